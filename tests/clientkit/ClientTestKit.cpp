#include "ClientTestKit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QThread>
#include <gtest/gtest.h>

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
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
