// The screenshot tool: every window saved with its sample content, without a single request to the server, in
// the fonts the program uses. It creates the client's windows itself, so it has a test program of its own.

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "CatalogueServer.h"
#include "ClientTestKit.h"
#include "LoopbackServer.h"
#include "Shots.h"
#include "Unit1.h"
#include "Unit8.h"

namespace {

TEST(WindowShots, EveryWindowIsSavedWithoutARequest)
{
    tarvello::testserver::CatalogueServer server;
    server.start();
    useLoopbackServer(server, std::chrono::milliseconds(3000), std::chrono::milliseconds(1000));
    const QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());

    EXPECT_TRUE(SaveWindowShots(QDir(folder.path())));
    pumpEvents(std::chrono::milliseconds(1200));  // the windows' own start-up timers too
    EXPECT_TRUE(server.requests().empty());
    for (const char* name : {"Form1", "Form2", "AboutBox", "Form3", "Form5", "Form7", "Form1Scrolled", "Form7Scrolled", "Form8",
                             "DeleteQuestion", "OpenDialog", "AboutBoxFigures"})
        EXPECT_TRUE(QFile::exists(QDir(folder.path()).filePath(QString(name) + ".png"))) << name;
    EXPECT_EQ(QFontInfo(Form8->font()).family().toStdString(), "Tahoma");
}

}  // namespace
