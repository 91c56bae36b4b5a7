#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QWidget;

namespace dialvane {

// Texts are measured with the font of the main window that `within` belongs to (through its
// parents); outside a main window, the application font.
QFont MeasuringFont(const QWidget* within);
int TextWidth(const QWidget* within, const QString& text);
int TextHeight(const QWidget* within, const QString& text);

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

// Geometry helpers for windows laid out by position.
void PlaceControl(QWidget* control, const QRect& rectangle, bool asSize);
int PlaceLabelAndControl(QWidget* container, const QRect& area, QWidget* caption, int flags,
                         QWidget* input);

// The system's default GUI font (the progress dialog's labels take its family).
QFont DefaultGuiFont();

}  // namespace dialvane
