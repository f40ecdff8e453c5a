// Enter in a window presses a button only where the window has a default button: the about box's "OK". Every
// control of every window that takes the focus, and the window itself, gets one Enter.

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "ABOUT.h"
#include "ClientWindows.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit5.h"
#include "Unit7.h"
#include "Unit8.h"

namespace {

using EnterKeyTest = ClientWindowTest;

// Where Enter can be typed: the controls that take the focus but are not buttons themselves, and the window.
std::vector<QWidget*> enterTargets(QWidget& window)
{
    std::vector<QWidget*> targets;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if ((control->focusPolicy() & Qt::TabFocus) && !qobject_cast<QAbstractButton*>(control) &&
            control->isVisibleTo(&window))
            targets.push_back(control);
    }
    targets.push_back(&window);
    return targets;
}

std::string nameOf(const QWidget* widget)
{
    return std::string(widget->metaObject()->className()) + " " + widget->objectName().toStdString();
}

TEST_F(EnterKeyTest, OnlyTheAboutBoxHasADefaultButton)
{
    const struct {
        const char* name;
        QWidget* window;
        QPushButton* defaultButton;
    } windows[] = {{"main window", Form1, nullptr}, {"settings", Form2, nullptr},
                   {"about box", AboutBox, AboutBox->OKButton}, {"add video", Form3, nullptr},
                   {"picker", Form5, nullptr}, {"search", Form7, nullptr},
                   {"record", Form8, nullptr}};
    for (const auto& w : windows) {
        SCOPED_TRACE(w.name);
        std::vector<std::string> pressed;  // the captions of the buttons that Enter pressed
        QObject listening;                 // its connections end with it
        for (QPushButton* button : w.window->findChildren<QPushButton*>())
            QObject::connect(button, &QPushButton::clicked, &listening,
                             [&pressed, button] { pressed.push_back(button->text().toStdString()); });
        for (QWidget* target : enterTargets(*w.window)) {
            SCOPED_TRACE(nameOf(target));
            w.window->show();  // the about box closes on "OK"
            w.window->activateWindow();
            target->setFocus(Qt::TabFocusReason);
            pressed.clear();
            sendKey(*target, Qt::Key_Return);
            EXPECT_EQ(pressed, w.defaultButton ? std::vector<std::string>{w.defaultButton->text().toStdString()}
                                               : std::vector<std::string>{});
        }
        w.window->hide();
    }
    Form8->Timer1->stop();  // showing the record form loaded a record; its picture is not wanted
    EXPECT_TRUE(dialogs.opened.empty());  // the sign-up page above all
}

}  // namespace
