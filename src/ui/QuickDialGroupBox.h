#pragma once

#include <QFrame>
#include <QGroupBox>
#include <QString>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace dialvane {

// One button slot: its number (or name), what is bound to it, and the buttons that choose and
// clear the binding. The display field is read-only and never takes the focus, so it never
// shows a caret.
class TPanelQuick : public QFrame {
    Q_OBJECT
  public:
    explicit TPanelQuick(QWidget* parent = nullptr);

    QLabel* LabelQuickNumber;
    QLineEdit* EditQuick;
    QPushButton* ButtonEdit;
    QPushButton* ButtonClear;
};

// A group box of at most four slots, stacked from the top.
class TGroupBoxQuick : public QGroupBox {
    Q_OBJECT
  public:
    static constexpr int kMaxSlots = 4;

    explicit TGroupBoxQuick(QWidget* parent = nullptr);

    // Setting the count replaces every slot; more than four gives four.
    int Count() const { return static_cast<int>(panels_.size()); }
    void SetCount(int count);
    const std::vector<TPanelQuick*>& Panels() const { return panels_; }

    // Kept for callers that place slots themselves; the layout does not read them.
    int PanelTop = 0;
    int PanelLeft = 0;
    int PanelMargin = 0;

    // Read from the first slot (empty without one), written to every slot.
    QString ButtonEditCaption() const;
    void SetButtonEditCaption(const QString& caption);
    QString ButtonClearCaption() const;
    void SetButtonClearCaption(const QString& caption);
    // Numbers the slots n, n+1, ... two characters wide ("%2d").
    void SetLabelQuickNumberCaption(int first);

  private:
    std::vector<TPanelQuick*> panels_;
};

}  // namespace dialvane
