#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace dialvane {

// The version picture with the product version drawn over it; a click on it closes the dialog.
class TFormVer : public QDialog {
    Q_OBJECT
  public:
    explicit TFormVer(QWidget* mainWindow = nullptr);

    // Shows the dialog modally, centred over the main window.
    void Execute();
    // Prepares the picture, caption and label as Execute shows them, without the modal loop.
    void Prepare();
    QString VersionText() const;

    QLabel* IMG_Ver = nullptr;
    QLabel* LBL_Version = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Activate();
    QWidget* mainWindow_;
    QString productVersion_;
};

}  // namespace dialvane
