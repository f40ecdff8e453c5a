#include "ClientTestKit.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include "StringGrid.h"
#include "Unit1.h"
#include "Unit3.h"
#include "Unit7.h"
#include "Unit8.h"

DialogRecorder::DialogRecorder() : saved_(dialogHook())
{
    DialogHook& hook = dialogHook();
    hook.showMessage = [this](const UnicodeString& text) { messages.push_back(text.ToUtf8()); };
    hook.askYesNo = [this](const UnicodeString& text, const UnicodeString& caption) {
        questions.push_back(text.ToUtf8());
        questionCaptions.push_back(caption.ToUtf8());
        if (answers.empty())
            return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    };
    hook.showModal = [this](QDialog& dialog) {
        modalTitles.push_back(dialog.windowTitle().toStdString());
        return onModal ? onModal(dialog) : int(QDialog::Rejected);
    };
    hook.openUrl = [this](const UnicodeString& target) { opened.push_back(target.ToUtf8()); };
}

DialogRecorder::~DialogRecorder()
{
    dialogHook() = saved_;
}

void resetClientWindows()
{
    if (Form1) {
        Form1->Timer1->stop();
        Form1->StringGrid1->setCurrentCell(-1, -1);
    }
    if (Form3) {
        Form3->Timer1->stop();
        Form3->Timer2->stop();
    }
    if (Form7)
        Form7->StringGrid1->setCurrentCell(-1, -1);
    if (Form8) {
        Form8->Timer1->stop();
        Form8->N2->setChecked(true);
    }
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();

    Source = UnicodeString();
    Table = UnicodeString();
    CurEditForm = UnicodeString();
    VIDEO_OK = false;
    VIEW_ID = -1;
    VideoInfo = TVideoInfo{};
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeout.count())
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

void pumpEvents(std::chrono::milliseconds duration)
{
    waitUntil([] { return false; }, duration);
}

namespace {

void sendMouse(QWidget& target, QEvent::Type type, const QPoint& at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, target.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

}  // namespace

void sendClick(QWidget& target, const QPoint& at)
{
    sendMouse(target, QEvent::MouseButtonPress, at);
    sendMouse(target, QEvent::MouseButtonRelease, at);
}

void sendDoubleClick(QWidget& target, const QPoint& at)
{
    sendClick(target, at);
    sendMouse(target, QEvent::MouseButtonDblClick, at);
    sendMouse(target, QEvent::MouseButtonRelease, at);
}

void sendKey(QWidget& target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&target, &press);
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tarvello Desk");
    // Tests close and hide windows all the time; the last one closing must not make the application quit, as a
    // quit left pending would end the next test's event loop at once.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's file dialog keeps its history in the user's settings; the tests' dialogs keep theirs in a folder of
    // their own.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
