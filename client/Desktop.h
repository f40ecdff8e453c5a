#pragma once
// What the designed desktop brings along and this one lacks: the fonts the windows are laid out for, and the
// system's own Russian texts in the standard dialogs (message box buttons, the file dialog). The program entry
// sets up both before it creates a window.

#include <QString>

class QTranslator;

// Where Debian's fonts-wine puts its metric-compatible Tahoma and MS Sans Serif.
inline const QString DesignedFontsFolder = "/usr/share/wine/fonts";

// Registers Tahoma and MS Sans Serif from `folder` for this process; fontconfig does not list that folder, so
// nothing else would find them. The package's Tahoma Bold is left out: it holds the regular outlines, only spaced
// wider, so bold Tahoma is drawn by emboldening the regular face, as Qt does for an outline font without a bold
// face. A missing file is passed over: a window asking for its family then gets the system font. Returns the
// families registered, one per file.
QStringList RegisterDesignedFonts(const QString& folder = DesignedFontsFolder);

// Registers the designed fonts and makes Tahoma 8, the font the windows are laid out in, the application's font,
// which the message boxes and the file dialog take; without it they would be drawn in the system's font.
void UseDesignedFonts();

// Installs Qt's Russian texts (qtbase_ru from Qt's translations folder) into the application. Returns the
// installed translator, owned by the application, or nullptr when the translations are not there (the standard
// dialogs then speak English).
QTranslator* LoadSystemTexts();
