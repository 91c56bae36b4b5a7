#pragma once

#include <QObject>
#include <functional>

class QAbstractItemView;
class QLineEdit;

namespace dialvane {

// The keys of one of the editor's lists: Enter (and a double click) edits the selected record,
// Delete deletes it, Insert adds one. In its search field Down or Enter goes on to the list, and
// Escape clears a search; an empty field lets Escape through to the window. A command left empty
// leaves its key (and, for edit, the double click) to the window.
class ListKeys : public QObject {
  public:
    struct Commands {
        std::function<void()> edit, remove, add;
    };

    ListKeys(QAbstractItemView* view, QLineEdit* search, Commands commands);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QAbstractItemView* view_;
    QLineEdit* search_;
    Commands commands_;
};

}  // namespace dialvane
