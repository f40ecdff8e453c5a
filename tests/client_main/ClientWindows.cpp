#include "ClientWindows.h"

#include <QTimer>
#include <fstream>
#include <iterator>

#include "ClientForms.h"
#include "LoopbackServer.h"
#include "QtText.h"
#include "Unit1.h"

using tarvello::testserver::CatalogueServer;
using tarvello::testserver::HttpRequest;

namespace {

void createWindows()
{
    useLoopbackServer(catalogue(), std::chrono::milliseconds(3000), std::chrono::milliseconds(1000));

    DialogRecorder startup;  // whatever the windows' own start-up timers ask is answered here, not in a test
    CreateForms();
    // The main window's start-up is tested by restarting its timer; the other windows' timers run out here.
    Form1->Timer1->stop();
    pumpEvents(std::chrono::milliseconds(1500));
}

}  // namespace

CatalogueServer& catalogue()
{
    static CatalogueServer* server = [] {
        auto* s = new CatalogueServer;
        s->start();
        return s;
    }();
    return *server;
}

std::vector<HttpRequest> requestsTo(const std::string& script) { return scriptRequests(catalogue(), script); }

std::string partData(const HttpRequest& request, const std::string& name)
{
    for (const tarvello::testserver::FormPart& part : partsOf(request))
        if (part.name == name)
            return part.rawData;
    return "";
}

void ClientWindowTest::SetUp()
{
    static bool created = false;
    if (!created) {
        createWindows();
        created = true;
    }
    static int accounts = 0;
    email = "reader" + std::to_string(++accounts) + "@tarvello.example";
    catalogue().addAccount(email, password);
    catalogue().clearRequests();
    ASSERT_TRUE(folder.isValid());
    CurPath = ustr(folder.path());
    UserName = UnicodeString(email);
    Password = UnicodeString(password);
}

void ClientWindowTest::TearDown()
{
    for (const char* script : {"list.php", "delete.php"})
        catalogue().unscript(script);
    resetClientWindows();
}

void ClientWindowTest::writeSettings(const std::string& bytes) const
{
    std::ofstream(folder.filePath("TarvelloDesk.ini").toStdString(), std::ios::binary) << bytes;
}

std::string ClientWindowTest::readSettings() const
{
    std::ifstream in(folder.filePath("TarvelloDesk.ini").toStdString(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
