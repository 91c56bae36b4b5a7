#pragma once

#include <QColor>
#include <string>
#include <vector>

class QBoxLayout;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
class QWidget;

namespace dialvane {

// Copies of the label named label's objectName + 0..count-1 draw its text over a fading
// shadow; copies from an earlier call are replaced, not added.
void ShadowLabel(QLabel* label, int count, const QColor& base);

// mode 0 load the list into the combo; 1 commit the combo's text to the front (most recent
// first, no duplicates, at most max); any other mode store the items into the list.
void ComboHistory(QComboBox* combo, std::vector<std::string>& list, int max, int mode);

// A panel's title band: the title label in bold yellow on the dark band, added to `layout`.
QLabel* AddPanelHead(QBoxLayout* layout, const char* headName, const char* titleName);

class ChoiceListModel;
class ListFilterProxy;

// A grid of three columns that selects whole rows, with its titles as StyleGridTitles draws
// them; the middle column 200 pixels wide. It shows a ChoiceListModel through a ListFilterProxy
// (its model()).
QTableView* MakeSelectionGrid(QWidget* parent, const char* name);
ListFilterProxy* SelectionView(const QTableView* grid);
ChoiceListModel* SelectionChoices(const QTableView* grid);

// The search field above a list, with the lists' placeholder and a clear button; Ctrl+F in its
// window moves the cursor there.
QLineEdit* MakeSearchField(QWidget* parent, const char* name);

// The grid's column titles on the yellow ground, in a dark text colour of their own so they stay
// readable under a dark desktop theme.
void StyleGridTitles(QTableView* grid);

// Makes the view's row `row` current and its only selection, scrolled into sight.
void SelectViewRow(QTableView* grid, int row);

}  // namespace dialvane
