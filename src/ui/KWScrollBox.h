#pragma once

#include <QScrollArea>

namespace dialvane {

// A scroll box that reports every vertical scroll and moves by one step per wheel notch.
class TKWScrollBox : public QScrollArea {
    Q_OBJECT
  public:
    explicit TKWScrollBox(QWidget* parent = nullptr);

    // The largest vertical position the scroll bar accepts.
    int VertMaxPosition() const;
    void RememberPosition();
    void RestorePosition();

  signals:
    void OnScroll();

  protected:
    void wheelEvent(QWheelEvent* event) override;

  private:
    int remembered_ = 0;
};

}  // namespace dialvane
