// The desktop the windows are designed for: their fonts, the standard dialogs in the program's font, and the
// system's own Russian delete question, one at a time, which leaves every window usable.

#include <QApplication>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QWindow>

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

// With the style sheet in force, as in the program, every control on show has its window's font. Bold text is
// left out here: a family without a bold face draws it in another (see below).
TEST_F(DesktopTest, EachWindowAndItsControlsGetTheFontItIsLaidOutFor)
{
    const QTemporaryDir noFonts;
    EXPECT_TRUE(RegisterDesignedFonts(noFonts.path()).isEmpty());
    EXPECT_EQ(RegisterDesignedFonts().join(", ").toStdString(), "Tahoma, MS Sans Serif");

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
            if (control->isVisible() && !control->font().bold() &&
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

// Runs `open`, which shows a dialog of type Dialog and waits for its answer; `whileOpen` gets the dialog once it
// is on show, and the dialog is then closed unanswered (a question takes that as No).
template <typename Dialog>
void whileOnShow(const std::function<void()>& open, const std::function<void(Dialog&)>& whileOpen)
{
    bool seen = false;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<Dialog*>(window);
            if (seen || !dialog || !dialog->isVisible())
                continue;
            seen = true;
            whileOpen(*dialog);
            dialog->reject();
        }
    });
    watch.start();
    open();
    EXPECT_TRUE(seen) << "no dialog was shown";
}

// Presses the main window's "Удалить" with the system's question box in place of the test's recorder; `whileOpen`
// gets the box, which is then closed unanswered.
void askTheRealDeleteQuestion(const std::function<void(QMessageBox&)>& whileOpen)
{
    dialogHook().askYesNo = SystemDialogs().askYesNo;
    whileOnShow<QMessageBox>([] { Form1->BitBtn4Click(); }, whileOpen);
}

std::vector<QMessageBox*> visibleMessageBoxes()
{
    std::vector<QMessageBox*> boxes;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
            boxes.push_back(box);
    return boxes;
}

// The program's fonts for as long as it lives, then the test program's again.
class ProgramFonts {
public:
    ProgramFonts() { UseDesignedFonts(); }
    ~ProgramFonts() { QApplication::setFont(saved_); }

private:
    const QFont saved_ = QApplication::font();
};

// The darkness of `text` drawn black on white in `font`: the sum over its pixels, 1 for a black one.
double inkOf(const QFont& font, const QString& text)
{
    QImage picture(400, 60, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setFont(font);
    painter.drawText(picture.rect(), Qt::AlignCenter, text);
    painter.end();
    double ink = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ink += (255 - qGray(picture.pixel(x, y))) / 255.0;
    return ink;
}

// The about box's bold labels are bold on the screen: MS Sans Serif, a bitmap font without a bold face, cannot be
// emboldened, so they are drawn in bold Tahoma, clearly heavier than its regular face.
TEST_F(DesktopTest, TheAboutBoxsBoldLabelsAreDrawnBold)
{
    ASSERT_FALSE(RegisterDesignedFonts().isEmpty());
    for (const QLabel* label : {AboutBox->ProductName, AboutBox->Version}) {
        SCOPED_TRACE(label->text().toStdString());
        const QFontInfo drawn(label->font());
        EXPECT_TRUE(drawn.bold());
        EXPECT_EQ(drawn.family().toStdString(), "Tahoma");
        EXPECT_EQ(drawn.pointSize(), 8);
        QFont regular = label->font();
        regular.setBold(false);
        EXPECT_GT(inkOf(label->font(), label->text()), 1.3 * inkOf(regular, label->text()));
    }
}

// The message boxes, the delete question and the file dialog are drawn in the program's Tahoma 8, as its windows
// are, not in the system's font.
TEST_F(DesktopTest, TheStandardDialogsUseTheProgramsFont)
{
    const ProgramFonts fonts;
    std::vector<std::string> seen;
    const auto note = [&seen](QWidget& dialog) {
        const QFontInfo drawn(dialog.font());
        seen.push_back(drawn.family().toStdString() + " " + std::to_string(drawn.pointSize()));
    };
    whileOnShow<QMessageBox>([] { SystemDialogs().showMessage("Данные сохранены!"); }, note);
    whileOnShow<QMessageBox>([] { SystemDialogs().askYesNo("Удалить?", "Подтверждение удаления записи"); }, note);
    whileOnShow<QFileDialog>([] { Form3->OpenDialog1(); }, note);
    EXPECT_EQ(seen, (std::vector<std::string>{"Tahoma 8", "Tahoma 8", "Tahoma 8"}));
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
    askTheRealDeleteQuestion([](QMessageBox& box) {
        EXPECT_EQ(QGuiApplication::modalWindow(), nullptr);
        EXPECT_TRUE(Form1->isEnabled());
        EXPECT_EQ(box.windowTitle().toStdString(), "Подтверждение удаления записи");
        EXPECT_EQ(box.text().toStdString(), "Вы уверены, что хотите удалить запись?\nОтмена будет невозможна.");
    });
    EXPECT_TRUE(requestsTo("delete.php").empty());  // closing it answers No
    EXPECT_TRUE(catalogue().record(id).has_value());
}

TEST_F(DeleteQuestion, ItsButtonsReadInRussianOnceTheSystemTextsAreLoaded)
{
    QTranslator* texts = LoadSystemTexts();
    EXPECT_NE(texts, nullptr);
    std::string yes, no;
    askTheRealDeleteQuestion([&](QMessageBox& box) {
        yes = box.button(QMessageBox::Yes)->text().remove('&').toStdString();
        no = box.button(QMessageBox::No)->text().remove('&').toStdString();
    });
    if (texts) {
        QCoreApplication::removeTranslator(texts);
        delete texts;
    }
    EXPECT_EQ(yes, "Да");
    EXPECT_EQ(no, "Нет");
}

// The box belongs to the main window, so that the window manager keeps it above the client's window, and it is
// no window above every program's: other programs' windows can cover it.
TEST_F(DeleteQuestion, ItStaysAboveTheMainWindowNotAboveOtherPrograms)
{
    Form1->show();
    askTheRealDeleteQuestion([](QMessageBox& box) {
        EXPECT_FALSE(box.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_EQ(box.windowType(), Qt::Dialog);
        ASSERT_NE(box.windowHandle(), nullptr);
        EXPECT_EQ(box.windowHandle()->transientParent(), Form1->windowHandle());
        EXPECT_TRUE(Form1->isEnabled());
    });
}

// A reload of the list while the box is open closes it unanswered: the record selected when it was asked need
// not be the one selected now.
TEST_F(DeleteQuestion, AReloadOfTheListClosesIt)
{
    bool closed = false;
    askTheRealDeleteQuestion([&closed](QMessageBox& box) {
        Form1->BitBtn1Click();
        closed = !box.isVisible();
        // Were it still open, the box would be answered "Да" now.
        if (!closed)
            box.button(QMessageBox::Yes)->click();
    });
    EXPECT_TRUE(closed);
    EXPECT_TRUE(visibleMessageBoxes().empty());
    EXPECT_TRUE(requestsTo("delete.php").empty());
    EXPECT_TRUE(catalogue().record(id).has_value());
}

// A second "Удалить", in the main window or in the record form, brings the one open question to the front.
TEST_F(DeleteQuestion, ASecondPressBringsTheOpenOneToTheFront)
{
    Form1->show();
    Form1->BitBtn3Click();  // the record on show in the record form too
    askTheRealDeleteQuestion([](QMessageBox& box) {
        for (QPushButton* press : {Form1->BitBtn4, Form8->BitBtn9}) {
            SCOPED_TRACE(press->window()->windowTitle().toStdString());
            press->window()->activateWindow();
            ASSERT_TRUE(waitUntil([press] { return QApplication::activeWindow() == press->window(); }));
            // A second question would wait for its answer inside the press: a moment after the press, the boxes on
            // show are noted and any new one is closed.
            std::vector<QMessageBox*> onShow;
            QTimer::singleShot(50, [&box, &onShow] {
                onShow = visibleMessageBoxes();
                for (QMessageBox* other : onShow)
                    if (other != &box)
                        other->reject();
            });
            press->click();
            ASSERT_TRUE(waitUntil([&onShow] { return !onShow.empty(); }));
            EXPECT_EQ(onShow, std::vector<QMessageBox*>{&box});
            EXPECT_EQ(QApplication::activeWindow(), &box);
        }
    });
    EXPECT_TRUE(visibleMessageBoxes().empty());
    EXPECT_TRUE(requestsTo("delete.php").empty());
}

// The box is at least as wide as its caption needs beside the title bar's buttons, in the title font, which
// window managers draw bold; the program's own font makes its text much narrower than that.
TEST_F(DeleteQuestion, ItIsAsWideAsItsCaptionNeeds)
{
    const ProgramFonts fonts;
    int width = 0;
    int captionWidth = 0;
    askTheRealDeleteQuestion([&](QMessageBox& box) {
        QFont titleFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
        titleFont.setBold(true);
        const int buttons = 3 * box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
        captionWidth = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + buttons;
        width = box.width();
    });
    EXPECT_GE(width, captionWidth);
}

}  // namespace
