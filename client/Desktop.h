#pragma once
// What the designed desktop brings along and this one lacks: the fonts the windows are laid out for, and the
// system's own Russian texts in the standard dialogs (message box buttons, the file dialog). The program entry
// calls both before it creates a window.

#include <QString>

class QTranslator;

// Where Debian's fonts-wine puts its metric-compatible Tahoma and MS Sans Serif.
inline const QString DesignedFontsFolder = "/usr/share/wine/fonts";

// Registers Tahoma, Tahoma Bold and MS Sans Serif from `folder` for this process; fontconfig does not list that
// folder, so nothing else would find them. A missing file is passed over: a window asking for its family then
// gets the system font. Returns the families registered, one per file.
QStringList RegisterDesignedFonts(const QString& folder = DesignedFontsFolder);

// Installs Qt's Russian texts (qtbase_ru from Qt's translations folder) into the application. Returns the
// installed translator, owned by the application, or nullptr when the translations are not there (the standard
// dialogs then speak English).
QTranslator* LoadSystemTexts();
