#pragma once

#include <QString>
#include <QWidget>

class QFrame;
class QLabel;
class QTimer;

namespace dialvane {

// A borderless notice inside the main window while the program talks to the device at start-up.
class TStartupMessageForm : public QWidget {
    Q_OBJECT
  public:
    explicit TStartupMessageForm(QWidget* mainWindow);

    // Shows text for at least `minimumMs` milliseconds.
    void ShowNotice(const QString& text, int minimumMs);
    // Closes now, or as soon as the minimum time has passed.
    void RequestClose();

    bool CloseRequested() const { return closeRequested_; }
    bool TimerRunning() const;

    QFrame* PNL_Message = nullptr;
    QLabel* LBL_Message = nullptr;
    QLabel* LBL_Measure = nullptr;

  private:
    void TimerFired();
    QWidget* mainWindow_;
    QTimer* timer_ = nullptr;
    bool closeRequested_ = false;
};

}  // namespace dialvane
