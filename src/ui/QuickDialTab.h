#pragma once

#include <QWidget>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace dialvane {

class TGroupBoxQuick;
class TKWScrollBox;

// The quick-dial page: twelve slots in three group boxes of four inside a scroll box. The edit
// buttons carry the tags 41 to 52, the clear buttons 61 to 72, in slot order.
class TPanelQuickDialTab : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kSlots = 12;
    static constexpr int kFirstEditTag = 41;
    static constexpr int kFirstClearTag = 61;

    explicit TPanelQuickDialTab(QWidget* parent = nullptr);

    QString ButtonEditCaption() const;
    void SetButtonEditCaption(const QString& caption);
    QString ButtonClearCaption() const;
    void SetButtonClearCaption(const QString& caption);
    // The one handler of all 24 buttons; it is given the button pressed.
    void SetOnButtonClick(std::function<void(QPushButton*)> handler);

    // Keeps the scroll position while the page is laid out again.
    void Relayout();

    TKWScrollBox* ScrollBox;
    std::array<TGroupBoxQuick*, 3> GroupBoxes{};
    // Slot order 1 to 12 (index 0 is slot 1).
    std::array<QLabel*, kSlots> LabelQuickNumber{};
    std::array<QLineEdit*, kSlots> EditQuick{};
    std::array<QPushButton*, kSlots> ButtonEdit{};
    std::array<QPushButton*, kSlots> ButtonClear{};

  private:
    std::function<void(QPushButton*)> onButtonClick_;
};

}  // namespace dialvane
