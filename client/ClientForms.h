#pragma once
// Creating the client's seven windows, and the start-up and message loop around them.

// Creates the windows hidden, in the client's fixed start-up order (main window, record form, settings, about
// box, search form, add-video form, value picker), into Form1 .. Form5 and AboutBox. The first one created is
// the main window; the others' constructors may rely on it, and their start-up timers begin running here. Each
// control gets its window's font.
void CreateForms();

// The client's start-up and message loop on the application object that the caller has made: the application
// title, the designed fonts, the system's Russian texts, the style, the seven windows, the work folder (held while
// the process runs), then the loop, which shows the main window and runs until the application quits ("Выход" or
// closing the main window). An error escaping start-up or the loop is shown in a message box. Returns the
// program's exit code, 0 in every case.
int RunClient();
