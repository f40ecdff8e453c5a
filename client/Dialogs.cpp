#include "Dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QMessageBox>
#include <QUrl>

#include "QtText.h"

namespace {

void realShowMessage(const UnicodeString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), qstr(text), QMessageBox::Ok);
    box.exec();
}

bool realAskYesNo(const UnicodeString& text, const UnicodeString& caption)
{
    QMessageBox box(QMessageBox::NoIcon, qstr(caption), qstr(text), QMessageBox::Yes | QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void realOpenUrl(const UnicodeString& target)
{
    const QString text = qstr(target);
    // A target with a scheme (https:, mailto:, skype:) is a link; anything else is a local file.
    const QUrl url(text);
    QDesktopServices::openUrl(url.scheme().size() > 1 ? url : QUrl::fromLocalFile(text));
}

}  // namespace

DialogHook& dialogHook()
{
    static DialogHook hook{realShowMessage, realAskYesNo, [](QDialog& d) { return d.exec(); }, realOpenUrl};
    return hook;
}

void ShowMessage(const UnicodeString& text) { dialogHook().showMessage(text); }
bool AskYesNo(const UnicodeString& text, const UnicodeString& caption) { return dialogHook().askYesNo(text, caption); }
int ShowModal(QDialog& dialog) { return dialogHook().showModal(dialog); }
void OpenUrl(const UnicodeString& target) { dialogHook().openUrl(target); }

void ShowWindow(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

void CentreOver(QWidget& dialog, const QWidget* owner)
{
    if (owner)
        dialog.move(owner->frameGeometry().center() - dialog.rect().center());
}
