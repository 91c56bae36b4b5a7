#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "support/Messages.h"
#include "support/Prompt.h"

class QBoxLayout;
class QComboBox;
class QLabel;
class QTableWidget;
class QWidget;

namespace dialvane {

// One entry of a window's caption table: the control (by objectName) and the message that
// becomes its caption. A comma list fills a grid's header row or a tab control's tabs.
enum class CaptionKind { Caption, CommaList };
struct CaptionEntry {
    const char* control;  // empty or nullptr: the window itself
    Msg message;
    CaptionKind kind = CaptionKind::Caption;
};

// Tables are picked by the window's objectName in upper case ("EDITFORM", "PROGFORM" ...).
// The tables of the dialogs are built in; other windows register theirs once at start-up
// (a later registration under the same name replaces the earlier one).
void RegisterCaptionTable(const std::string& windowName, std::vector<CaptionEntry> entries);

// Sets every caption of the window's table: a window's title, a button's, label's, group
// box's or action's text, a grid's header row, a tab control's tab texts. A window whose name
// has no table is left as it is; a control missing from the window is skipped.
void ApplyCaptions(QWidget* window);

// Splits at every ",", trims blanks from each piece; an empty piece stays an empty string.
// A text ending in "," gives nothing beyond the last piece.
void SetCommaList(const std::string& text, std::vector<std::string>& strings);
QStringList CommaList(const std::string& text);

// Texts are measured with the main window's font; until one is set, the application font.
void SetMeasuringFont(const QFont& font);
QFont MeasuringFont();
int TextWidth(const QString& text);
int TextHeight(const QString& text);

// Button: caption height + 12; combo or line edit: its own height; group box: caption + 2;
// grid: the height of its first header text; tab control: first tab's text + 12; else 0.
int MeasureHeight(const QWidget* control);
// Button: caption width + 10; combo box: width of "888" + 30; else 0.
int MeasureWidth(const QWidget* control);

inline constexpr int kMinButtonWidth = 56;

enum ButtonRowFlag : unsigned {
    FitPanelHeight = 1u << 0,
    Horizontal = 1u << 1,
    FromRight = 1u << 2,
    FromLeft = 1u << 3,
    VCentre = 1u << 4,
    LikeWidest = 1u << 5,
    HeightFromText = 1u << 6,
    WidthFromText = 1u << 7,
    MinWidth = 1u << 8,
};
inline constexpr unsigned kStandardRow =
    FitPanelHeight | Horizontal | FromRight | VCentre | LikeWidest | HeightFromText | WidthFromText;
inline constexpr unsigned kLeftAlignedRow =
    FitPanelHeight | Horizontal | FromLeft | VCentre | LikeWidest | HeightFromText | WidthFromText;
inline constexpr unsigned kIndividualRow =
    FitPanelHeight | Horizontal | FromRight | VCentre | HeightFromText | MinWidth;

// Lays out the panel's visible push buttons (its direct children, in tab order) in one row with
// a layout: 10 pixels from the edge, 5 between buttons. Returns the running position after the
// last button, or -1 when the panel has no visible button (the panel is then left alone).
// Other widgets of the panel (a label filling it) stay where they are.
int ArrangeButtons(QWidget* panel, unsigned options);

// Copies of the label named label's objectName + 0..count-1 draw its text over a fading
// shadow; copies from an earlier call are replaced, not added.
void ShadowLabel(QLabel* label, int count, const QColor& base);

// mode 0 load the list into the combo; 1 commit the combo's text to the front (most recent
// first, no duplicates, at most max); any other mode store the items into the list.
void ComboHistory(QComboBox* combo, std::vector<std::string>& list, int max, int mode);

// Geometry helpers for windows laid out by position.
void PlaceControl(QWidget* control, const QRect& rectangle, bool asSize);
int PlaceLabelAndControl(QWidget* container, const QRect& area, QWidget* caption, int flags,
                         QWidget* input);

// A panel's title band: the title label in bold yellow on the dark band, added to `layout`.
QLabel* AddPanelHead(QBoxLayout* layout, const char* headName, const char* titleName);

// A grid of three columns that selects whole rows, with its titles as StyleGridTitles draws
// them; the middle column 200 pixels wide.
QTableWidget* MakeSelectionGrid(QWidget* parent, const char* name);

// The grid's column titles on the yellow ground, in a dark text colour of their own so they stay
// readable under a dark desktop theme.
void StyleGridTitles(QTableWidget* grid);

// Rows that hold data in a grid that shows one empty row when it has none.
int GridDataRows(const QTableWidget* grid);

std::string TextBefore(const std::string& text, const std::string& delimiter);

// The system's default GUI font (the progress dialog's labels take its family).
QFont DefaultGuiFont();

// "Text Documents(*.txt)|*.txt|All Files(*.*)|*.*" as a Qt file-dialog filter.
QString QtFileFilter(const std::string& pipeFilter);

// Writes the lines (each ended by a line feed) to path atomically; on failure tells the user
// "Cannot write to file.Confirm whether or not the file is open." with the file name.
bool SaveLinesOrTell(const std::string& path, const std::vector<std::string>& lines);

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}
inline QString Q(Msg id) {
    return QString::fromStdString(Text(id));
}
inline std::string S(const QString& text) {
    return text.toStdString();
}

// A message box by the program's rules: a Yes/No question defaults to No, any other box to OK.
PromptAnswer AskBox(const std::string& text, Msg title, PromptButtons buttons, PromptIcon icon);

}  // namespace dialvane
