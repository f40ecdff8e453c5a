#include "AddVideoFixture.h"

#include <QTimer>
#include <algorithm>

#include "AnalyzeVideo.h"
#include "ClientForms.h"
#include "ClientState.h"
#include "LoopbackServer.h"
#include "Unit3.h"
#include "ValueListEditor.h"

using namespace tarvello::testserver;

CatalogueServer& catalogue()
{
    static CatalogueServer* server = [] {
        auto* s = new CatalogueServer;  // lives for the whole run, like the windows
        s->start();
        s->addAccount(TestUser, TestPassword);
        return s;
    }();
    return *server;
}

void fillRequiredFields()
{
    TValueListEditor& e = *Form3->ValueListEditor1;
    e.SetValue(1, "Тестовый фильм");
    e.SetValue(3, "Россия");
    e.SetValue(4, "драма");
    e.SetValue(6, "Описание фильма");
    e.SetValue(17, "2001");
}

namespace {

void createWindowsOnce()
{
    if (Form1)
        return;
    useLoopbackServer(catalogue(), std::chrono::milliseconds(5000), std::chrono::milliseconds(5000));
    CreateForms();
    UserName = UnicodeString(TestUser);
    Password = UnicodeString(TestPassword);
    Form3->Timer1->stop();
}

}  // namespace

void AddVideo::SetUp()
{
    createWindowsOnce();
    UserName = UnicodeString(TestUser);
    Password = UnicodeString(TestPassword);
    place = std::make_unique<WorkPlace>();
    place->link("Quillsum", QUILLSUM_PATH);
    resetClientWindows();
    catalogue().clearRequests();
    Form3->show();
}

void AddVideo::TearDown()
{
    waitForAnalysis();
    resetClientWindows();
    catalogue().unscript("check.php");
    catalogue().unscript("add.php");
    place.reset();
}

void AddVideo::open(const std::string& path)
{
    Form3->OpenDialog1 = [path] { return UnicodeString(path); };
    Form3->N3Click();
}

bool AddVideo::waitForAnalysis()
{
    return waitUntil([] { return !Analyzer || Analyzer->isFinished() || !Analyzer->isRunning(); });
}

bool AddVideo::hasMessage(const std::string& text) const
{
    return std::find(dialogs.messages.begin(), dialogs.messages.end(), text) != dialogs.messages.end();
}

std::vector<HttpRequest> AddVideo::requestsTo(const std::string& script) const
{
    return scriptRequests(catalogue(), script);
}

std::string AddVideo::someFile(const std::string& name, const std::string& bytes)
{
    const auto path = place->root() / name;
    place->write(path, bytes);
    return path.string();
}
