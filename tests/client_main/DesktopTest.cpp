// The desktop the windows are designed for: their fonts, and the system's own Russian delete question, which
// leaves every window usable.

#include <QApplication>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include "ABOUT.h"
#include "ClientWindows.h"
#include "Desktop.h"
#include "Style.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit5.h"
#include "Unit7.h"
#include "Unit8.h"

using tarvello::testserver::Record;

namespace {

using DesktopTest = ClientWindowTest;

// With the style sheet in force, as in the program, every control on show has its window's font.
TEST_F(DesktopTest, EachWindowAndItsControlsGetTheFontItIsLaidOutFor)
{
    const QTemporaryDir noFonts;
    EXPECT_TRUE(RegisterDesignedFonts(noFonts.path()).isEmpty());
    EXPECT_EQ(RegisterDesignedFonts().join(", ").toStdString(), "Tahoma, Tahoma, MS Sans Serif");

    const struct {
        const char* name;
        QWidget* window;
        const char* family;
    } windows[] = {{"main window", Form1, "Tahoma"},         {"settings", Form2, "Tahoma"},
                   {"about box", AboutBox, "MS Sans Serif"}, {"add video", Form3, "Tahoma"},
                   {"picker", Form5, "Tahoma"},              {"search", Form7, "Tahoma"},
                   {"record", Form8, "Tahoma"}};
    ASSERT_TRUE(TrySetStyle("Cobalt XEMedia"));
    const int viewId = VIEW_ID;
    VIEW_ID = 0;  // the record form loads a record when shown; none is there, so no picture follows
    for (const auto& w : windows) {
        SCOPED_TRACE(w.name);
        w.window->show();
        const QFontInfo windowFont(w.window->font());
        EXPECT_EQ(windowFont.family().toStdString(), w.family);
        std::vector<std::string> otherFonts;
        for (const QWidget* control : w.window->findChildren<QWidget*>()) {
            const QFontInfo font(control->font());
            if (control->isVisible() &&
                (font.family() != windowFont.family() || font.pixelSize() != windowFont.pixelSize()))
                otherFonts.push_back(std::string(control->metaObject()->className()) + " " +
                                     font.family().toStdString() + " " + std::to_string(font.pixelSize()) + "px");
        }
        EXPECT_EQ(otherFonts, std::vector<std::string>{});
        w.window->hide();
    }
    VIEW_ID = viewId;
    qApp->setStyleSheet(QString());
}

// What the real delete question showed while it was open.
struct Question {
    bool shown = false;
    bool blocksOtherWindows = false;
    std::string caption, text, yes, no;
};

// Presses the main window's "Удалить" with the system's question box in place of the test's recorder, and
// answers No once the box is up.
Question askTheRealDeleteQuestion()
{
    Question seen;
    dialogHook().askYesNo = SystemDialogs().askYesNo;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&seen] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(window);
            if (!box || !box->isVisible())
                continue;
            const auto label = [box](QMessageBox::StandardButton button) {
                return box->button(button)->text().remove('&').toStdString();
            };
            seen = {true, QGuiApplication::modalWindow() != nullptr, box->windowTitle().toStdString(),
                    box->text().toStdString(), label(QMessageBox::Yes), label(QMessageBox::No)};
            box->button(QMessageBox::No)->click();
        }
    });
    watch.start();
    Form1->BitBtn4Click();
    return seen;
}

class DeleteQuestion : public ClientWindowTest {
protected:
    void SetUp() override
    {
        ClientWindowTest::SetUp();
        Record record;
        record.owner = email;
        record.fields = {{"title", "Под вопросом"}};
        id = catalogue().addRecord(record);
        Form1->BitBtn1Click();
        catalogue().clearRequests();
    }
    int id = 0;
};

TEST_F(DeleteQuestion, TheMainWindowStaysUsableWhileItIsOpen)
{
    const Question question = askTheRealDeleteQuestion();
    ASSERT_TRUE(question.shown);
    EXPECT_FALSE(question.blocksOtherWindows);
    EXPECT_EQ(question.caption, "Подтверждение удаления записи");
    EXPECT_EQ(question.text, "Вы уверены, что хотите удалить запись?\nОтмена будет невозможна.");
    EXPECT_TRUE(requestsTo("delete.php").empty());  // the No was taken
    EXPECT_TRUE(catalogue().record(id).has_value());
}

TEST_F(DeleteQuestion, ItsButtonsReadInRussianOnceTheSystemTextsAreLoaded)
{
    QTranslator* texts = LoadSystemTexts();
    EXPECT_NE(texts, nullptr);
    const Question question = askTheRealDeleteQuestion();
    if (texts) {
        QCoreApplication::removeTranslator(texts);
        delete texts;
    }
    ASSERT_TRUE(question.shown);
    EXPECT_EQ(question.yes, "Да");
    EXPECT_EQ(question.no, "Нет");
}

}  // namespace
