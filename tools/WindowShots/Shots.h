#pragma once
// Shooting the desktop client's windows: each one opened on the current platform with sample content and saved
// as a PNG, to look at the layout without a screen.

class QDir;

// Creates the client's windows and saves one PNG per window into `folder`, plus a sheet of the about box's nine
// figures. Reports each file on standard output; returns whether all were saved.
bool SaveWindowShots(const QDir& folder);
