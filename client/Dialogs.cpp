#include "Dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QEventLoop>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPointer>
#include <QScopedValueRollback>
#include <QStyle>
#include <QUrl>

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

bool questionOpen = false;               // a Yes/No question waits for its answer
QPointer<QMessageBox> openQuestionBox;   // the real box of that question

void realShowMessage(const UnicodeString& text)
{
    MessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), qstr(text), QMessageBox::Ok);
    box.exec();
}

// The box has no owner, so it blocks no window: it is shown modelessly and waited for in a loop of its own,
// while the main window stays usable. It stays above the client's windows, so that it cannot wait out of sight.
// Closing it, or the program ending meanwhile, answers No.
bool realAskYesNo(const UnicodeString& text, const UnicodeString& caption)
{
    MessageBox box(QMessageBox::NoIcon, qstr(caption), qstr(text), QMessageBox::Yes | QMessageBox::No);
    box.setWindowModality(Qt::NonModal);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    openQuestionBox = &box;
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
    const QScopedValueRollback<bool> open(questionOpen, true);
    return dialogHook().askYesNo(text, caption);
}

bool RaiseOpenQuestion()
{
    if (openQuestionBox)
        ShowWindow(*openQuestionBox);
    return questionOpen;
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
