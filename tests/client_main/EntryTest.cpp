// The program's own start and end: the client's start-up and message loop as the entry runs them, ended each way
// the user can end the program. Each run creates the seven windows anew, so this test program holds nothing else.

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

#include "ABOUT.h"
#include "AnalyzeVideo.h"
#include "CatalogueServer.h"
#include "ClientForms.h"
#include "ClientTestKit.h"
#include "LoopbackServer.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit5.h"
#include "Unit7.h"
#include "Unit8.h"

namespace {

// The order in which widgets are created: each announces itself with a Create event while its constructor runs,
// a window before any of its controls.
class CreationLog : public QObject {
public:
    CreationLog() { qApp->installEventFilter(this); }
    ~CreationLog() override { qApp->removeEventFilter(this); }

    // Those of `windows` that were created, in their order.
    std::vector<const QObject*> order(const std::vector<const QObject*>& windows) const
    {
        std::vector<const QObject*> found;
        for (const QObject* widget : created_)
            if (std::find(windows.begin(), windows.end(), widget) != windows.end())
                found.push_back(widget);
        return found;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Create)
            created_.push_back(watched);
        return false;
    }

private:
    std::vector<const QObject*> created_;
};

QAction* menuItem(const QString& menu, const QString& item)
{
    for (QAction* entry : Form1->menuBar()->actions())
        if (entry->text() == menu && entry->menu())
            for (QAction* action : entry->menu()->actions())
                if (action->text() == item)
                    return action;
    return nullptr;
}

// The windows of one run go with it: the next run creates its own.
void destroyWindows()
{
    delete Form5;
    delete Form3;
    delete Form7;
    delete AboutBox;
    delete Form2;
    delete Form8;
    delete Form1;
    delete Analyzer;
    Form5 = nullptr;
    Form3 = nullptr;
    Form7 = nullptr;
    AboutBox = nullptr;
    Form2 = nullptr;
    Form8 = nullptr;
    Form1 = nullptr;
    Analyzer = nullptr;
}

std::string compiledInStyle()
{
    QFile sheet(":/styles/Cobalt XEMedia.qss");
    return sheet.open(QIODevice::ReadOnly) ? sheet.readAll().toStdString() : "";
}

TEST(Entry, StartsUpAndEachWayOfEndingEndsTheLoopWithCodeZeroAndSendsNothing)
{
    tarvello::testserver::CatalogueServer server;
    server.start();
    useLoopbackServer(server, std::chrono::milliseconds(3000), std::chrono::milliseconds(3000));

    const struct {
        const char* how;
        std::function<void()> end;
    } endings[] = {
        {"the Выход button", [] { Form1->BitBtn6->click(); }},
        {"Файл, Выход",
         [] {
             QAction* exit = menuItem("Файл", "Выход");
             ASSERT_NE(exit, nullptr);
             exit->trigger();
         }},
        // With another window open, so that only the main window's own closing can end the program.
        {"closing the main window",
         [] {
             Form1->BitBtn5Click();
             ASSERT_TRUE(Form7->isVisible());
             Form1->close();
         }},
    };
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.how);
        QApplication::setApplicationName("before start-up");
        qApp->setStyleSheet(QString());
        DialogRecorder dialogs;
        CreationLog log;
        bool ended = false;      // the ending was carried out inside the loop
        bool mainShown = false;  // the loop showed the main window
        bool timedOut = false;
        QTimer::singleShot(0, [&] {
            mainShown = Form1->isVisible();
            ended = true;
            ending.end();
        });
        // A loop that the ending leaves running is ended here, well after the windows' one-second timers.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, [&] {
            timedOut = true;
            QApplication::quit();
        });
        watchdog.start(3000);

        EXPECT_EQ(RunClient(), 0);
        watchdog.stop();

        EXPECT_TRUE(ended);
        EXPECT_FALSE(timedOut) << "the loop went on after the ending";
        EXPECT_TRUE(mainShown);
        EXPECT_EQ(QApplication::applicationName().toStdString(), "Tarvello Desk");
        const std::string style = compiledInStyle();
        EXPECT_FALSE(style.empty());
        EXPECT_EQ(qApp->styleSheet().toStdString(), style);
        const std::vector<const QObject*> windows = {Form1, Form8, Form2, AboutBox, Form7, Form3, Form5};
        EXPECT_EQ(log.order(windows), windows);
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_TRUE(dialogs.questions.empty());
        EXPECT_TRUE(dialogs.modalTitles.empty());
        EXPECT_TRUE(server.requests().empty());
        destroyWindows();
    }
}

}  // namespace
