#pragma once
// The client's pictures, drawn at start-up: the main window's banner, the settings dialog's decoration and the
// about box's figure looking in nine directions.

#include <QImage>

// The banner across the top of the main window: a film strip with colour bands on a dark blue ground.
QImage DrawBanner(int width, int height);

// The settings dialog's decoration: a card with a person and a key.
QImage DrawAccountPicture(int width, int height);

// One round figure whose eyes look toward a region around the picture: column and row 0 (left, above),
// 1 (level with the picture) or 2 (right, below); (1, 1) looks straight out. Transparent around the figure.
QImage DrawLookingFigure(int column, int row, int size);
