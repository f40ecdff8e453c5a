#pragma once
// Helpers for window tests that drive the real forms in-process on Qt's offscreen platform.
// Link `tarvello_clientkit` and `GTest::gtest` (not gtest_main): the kit provides main() with a QApplication.

#include <QDialog>
#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "Dialogs.h"
#include "platform/UnicodeString.h"

// Records every message, question and opened link through the client's dialog hook, answers questions from a
// queue (Yes when it is empty), and answers modal dialogs with a function of the test's (Rejected by default).
class DialogRecorder {
public:
    DialogRecorder();   // installs itself into the hook
    ~DialogRecorder();  // restores the hook it found

    std::vector<std::string> messages;               // UTF-8 texts of ShowMessage, in order
    std::vector<std::string> questions;              // UTF-8 texts of the Yes/No questions
    std::vector<std::string> questionCaptions;       // and their captions
    std::vector<std::string> opened;                 // UTF-8 targets handed to the URL opener
    std::vector<std::string> modalTitles;            // window titles of the dialogs shown modally
    std::deque<bool> answers;                        // answers to the next questions
    std::function<int(QDialog&)> onModal;            // what a modal dialog does; Rejected when empty

private:
    DialogHook saved_;  // the hook in force before
};

// Puts the windows and the client-wide state that tests change back as start-up leaves them, so that no test
// sees what an earlier one left: stops the timers a test may have started (the start-up timers, the progress
// ticker and the record form's picture timer, whose late request and message would land in the next test), hides
// every window, clears the grids' current cells, checks "Вписать" again and resets VIEW_ID, Table, CurEditForm,
// Source, VIDEO_OK and VideoInfo. The account, CurPath and the server address are each fixture's own. Call it
// with no analysis running.
void resetClientWindows();

// Runs the event loop until `done` holds or `timeout` passes; returns whether `done` held.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Runs the event loop for about `duration`.
void pumpEvents(std::chrono::milliseconds duration);

class QPoint;
class QWidget;

// A left click (press and release) or a double-click (press, release, double-click, release) at `at` in
// `target`'s coordinates, and a key press, delivered as the window system would deliver them.
void sendClick(QWidget& target, const QPoint& at);
void sendDoubleClick(QWidget& target, const QPoint& at);
void sendKey(QWidget& target, int key);
