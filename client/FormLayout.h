#pragma once
// The layout helpers that the client's windows share: their fonts, their place on the screen, the edge-to-edge
// column, the bottom bar of 35-pixel buttons and the status bar's fixed-width panels.

#include <span>

class QBoxLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QStatusBar;
class QVBoxLayout;
class QWidget;

// Tahoma at 11 pixels, the font of the add-video, search and record forms and the value picker.
void UseFormFont(QWidget& window);

// Gives every control of `window` without a font of its own the window's font, as each control takes its
// window's font on the designed platform. Qt passes a window's font on only while no style sheet is in force;
// with one, a control that was created without a parent and laid out later keeps the application's font.
void PassOnWindowFont(QWidget& window);

// Moves a window to the middle of the screen it is on.
void CentreOnScreen(QWidget& window);

// A column layout that fills `widget` edge to edge, its rows without gaps.
QVBoxLayout* NewTightColumn(QWidget* widget);

// Makes `panel` a button bar 41 pixels high whose buttons stand 3 pixels in from its edges; the buttons go into
// the returned row.
QHBoxLayout* NewButtonBar(QWidget* panel);

// A button `width` pixels wide and 35 high, added to `box`.
QPushButton* AddButton(QBoxLayout* box, const char* caption, int width);

// Fills `bar` with one new panel per width into `panels`, texts centred but in the last panel, which reads from
// the left. A width of 0 lets that panel take the rest of the bar. The bar gets no size grip.
void AddStatusPanels(QStatusBar* bar, std::span<QLabel*> panels, std::span<const int> widths);
