#include "Dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QEventLoop>
#include <QFontDatabase>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QScopedValueRollback>
#include <QStyle>
#include <QUrl>
#include <QWindow>

#include "QtText.h"

namespace {

// The width a window needs for its caption under a window manager: the caption in the system's title font,
// which window managers draw bold, with room beside it for the window's icon and three buttons, each as wide as
// the title bar is high.
int CaptionWidth(const QWidget& window)
{
    QFont titleFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    titleFont.setBold(true);
    const int barHeight = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    return QFontMetrics(titleFont).horizontalAdvance(window.windowTitle()) + 4 * barHeight;
}

// Qt sizes a message box to its text, on show and on every layout request, so that a short text leaves too
// little room for the caption and the window manager cuts it; the box widens itself each time.
class MessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    bool event(QEvent* event) override
    {
        const bool handled = QMessageBox::event(event);
        if (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest) {
            const int needed = CaptionWidth(*this);
            if (width() < needed)
                setFixedWidth(needed);
        }
        return handled;
    }
};

// The Yes/No question that waits for its answer: set while one does, unless it has been withdrawn since. What it
// points at becomes true when the question is withdrawn.
bool* openQuestionWithdrawn = nullptr;
QPointer<QMessageBox> openQuestionBox;  // the real box of that question

void realShowMessage(const UnicodeString& text)
{
    MessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), qstr(text), QMessageBox::Ok);
    box.exec();
}

// The client's main window, which owns the question box; none before it exists.
QWidget* mainWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(window))
            return window;
    return nullptr;
}

// The box blocks no window: it is shown modelessly and waited for in a loop of its own, while the main window
// stays usable. It belongs to the main window, so that the window manager keeps it above that one, and it moves
// above any other window of the client that becomes active; other programs' windows can still cover it. Closing
// it, withdrawing it, or the program ending meanwhile, answers No.
bool realAskYesNo(const UnicodeString& text, const UnicodeString& caption)
{
    MessageBox box(QMessageBox::NoIcon, qstr(caption), qstr(text), QMessageBox::Yes | QMessageBox::No, mainWindow());
    box.setWindowModality(Qt::NonModal);
    openQuestionBox = &box;
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, &box, [&box](QWindow* active) {
        if (active && active != box.windowHandle())
            box.raise();
    });
    QEventLoop answered;
    QObject::connect(&box, &QDialog::finished, &answered, &QEventLoop::quit);
    box.show();
    answered.exec();
    return box.standardButton(box.clickedButton()) == QMessageBox::Yes;
}

void realOpenUrl(const UnicodeString& target)
{
    const QString text = qstr(target);
    // A target with a scheme (https:, mailto:, skype:) is a link; anything else is a local file.
    const QUrl url(text);
    QDesktopServices::openUrl(url.scheme().size() > 1 ? url : QUrl::fromLocalFile(text));
}

}  // namespace

DialogHook SystemDialogs()
{
    return {realShowMessage, realAskYesNo, [](QDialog& d) { return d.exec(); }, realOpenUrl};
}

DialogHook& dialogHook()
{
    static DialogHook hook = SystemDialogs();
    return hook;
}

void ShowMessage(const UnicodeString& text) { dialogHook().showMessage(text); }
bool AskYesNo(const UnicodeString& text, const UnicodeString& caption)
{
    bool withdrawn = false;
    const QScopedValueRollback<bool*> open(openQuestionWithdrawn, &withdrawn);
    const bool yes = dialogHook().askYesNo(text, caption);
    return yes && !withdrawn;
}

bool RaiseOpenQuestion()
{
    if (!openQuestionWithdrawn)
        return false;
    if (openQuestionBox)
        ShowWindow(*openQuestionBox);
    return true;
}

void WithdrawOpenQuestion()
{
    if (!openQuestionWithdrawn)
        return;
    *openQuestionWithdrawn = true;
    openQuestionWithdrawn = nullptr;
    if (openQuestionBox)
        openQuestionBox->reject();
}

int ShowModal(QDialog& dialog) { return dialogHook().showModal(dialog); }
void OpenUrl(const UnicodeString& target) { dialogHook().openUrl(target); }

// The opener parses the text the same way, so what passes here is what it opens.
bool IsWebAddress(const UnicodeString& text)
{
    const QUrl url(qstr(text));
    return url.isValid() && (url.scheme() == "http" || url.scheme() == "https") && !url.host().isEmpty();
}

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
