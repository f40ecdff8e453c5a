#pragma once
// Creating the client's seven windows.

// Creates the windows hidden, in the client's fixed start-up order (main window, record form, settings, about
// box, search form, add-video form, value picker), into Form1 .. Form5 and AboutBox. The first one created is
// the main window; the others' constructors may rely on it, and their start-up timers begin running here. Each
// control gets its window's font.
void CreateForms();
