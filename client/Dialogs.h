#pragma once
// Every message box, question and modal dialog of the client goes through this one replaceable hook, so that
// window tests can record the messages and answer the questions without a person at the screen.

#include <functional>

#include "platform/UnicodeString.h"

class QDialog;

struct DialogHook {
    // A modal box with an OK button and the application title as caption.
    std::function<void(const UnicodeString& text)> showMessage;
    // A Yes/No question that leaves every window usable; true for Yes. It stays above the client's windows, not
    // above other programs' windows.
    std::function<bool(const UnicodeString& text, const UnicodeString& caption)> askYesNo;
    // Shows a dialog modally and returns its result code.
    std::function<int(QDialog& dialog)> showModal;
    // Opens a web page, a mail or messenger link, or a local file with the desktop's handler.
    std::function<void(const UnicodeString& target)> openUrl;
};

// The hook in force; it starts with the real dialogs. Tests assign their own functions to its members.
DialogHook& dialogHook();

// The real dialogs, which the hook starts with.
DialogHook SystemDialogs();

void ShowMessage(const UnicodeString& text);
bool AskYesNo(const UnicodeString& text, const UnicodeString& caption);
// Whether a Yes/No question waits for its answer; when one does, it is brought to the front. Only one question is
// open at a time: a command that would ask another calls this first and, when it is true, asks nothing.
bool RaiseOpenQuestion();
// Closes the open Yes/No question, if there is one, as if "Нет" were pressed: its AskYesNo returns false whatever
// the answer, and a new question can be asked.
void WithdrawOpenQuestion();
int ShowModal(QDialog& dialog);
void OpenUrl(const UnicodeString& target);
// Whether `text` is an absolute http or https address with a host (the scheme in any letter case): the only
// kind of link that the client opens when the text comes from a server. Anything else, a local path, a file:,
// smb: or javascript: link, a desktop entry, could start a program.
bool IsWebAddress(const UnicodeString& text);

class QWidget;

// Shows a window modelessly; one that is already visible is brought to the front.
void ShowWindow(QWidget& window);

// Places a dialog in the middle of its owner window (the main window), as the client's dialogs and the search
// form open; without an owner it stays where it is.
void CentreOver(QWidget& dialog, const QWidget* owner);
