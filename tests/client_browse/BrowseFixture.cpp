#include "BrowseFixture.h"

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QTimer>

#include "ClientForms.h"
#include "LoopbackServer.h"
#include "StringGrid.h"
#include "Unit1.h"
#include "Unit8.h"

namespace {

ts::CatalogueServer* theServer = nullptr;

class BrowseEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        theServer = new ts::CatalogueServer;
        theServer->start();
        useLoopbackServer(*theServer, std::chrono::milliseconds(3000), std::chrono::milliseconds(3000));
        theServer->addAccount("startup@tarvello.example", "secret");
        UserName = "startup@tarvello.example";
        Password = "secret";
        DialogRecorder startupDialogs;
        CreateForms();
        pumpEvents(std::chrono::milliseconds(1300));  // the start-up timers fire once, a second in
    }
    void TearDown() override
    {
        delete theServer;
        theServer = nullptr;
    }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new BrowseEnvironment);

int accountCounter = 0;

}  // namespace

ts::CatalogueServer& server() { return *theServer; }

void BrowseTest::SetUp()
{
    account = "user" + std::to_string(++accountCounter) + "@tarvello.example";
    server().addAccount(account, "secret");
    UserName = UnicodeString(account);
    Password = "secret";
    for (const char* script : {"list.php", "delete.php", "find.php", "view.php", "get_image.php", "update.php"})
        server().unscript(script);
    resetClientWindows();
    server().clearRequests();
}

void BrowseTest::TearDown()
{
    resetClientWindows();
}

int BrowseTest::addFilm(const std::string& title, const std::map<std::string, std::string>& fields)
{
    ts::Record record;
    record.owner = account;
    record.fields = {{"title", title},      {"country", "СССР"},   {"genre", "детский"},   {"description", "О фильме"},
                     {"creation_year", "1975"}, {"width", "1920"}, {"height", "1080"},    {"size", "1000"},
                     {"frames", "250"},    {"fps", "25"},         {"duration", "10"},     {"md5", "abc"}};
    for (const auto& [key, value] : fields)
        record.fields[key] = value;
    record.files["table"] = {"table.jpg", jpegBytes(40, 30)};
    return server().addRecord(record);
}

std::vector<ts::HttpRequest> BrowseTest::requestsTo(const std::string& script) const
{
    return scriptRequests(server(), script);
}

std::map<std::string, std::string> BrowseTest::fieldsOf(const ts::HttpRequest& request)
{
    std::map<std::string, std::string> fields;
    for (const ts::FormPart& part : partsOf(request))
        fields[part.name] = part.text();
    return fields;
}

std::vector<std::string> BrowseTest::deletedIds() const
{
    std::vector<std::string> ids;
    for (const ts::HttpRequest& request : requestsTo("delete.php"))
        ids.push_back(fieldsOf(request)["id"]);
    return ids;
}

void BrowseTest::loadMainList()
{
    Form1->BitBtn1Click();
}

void BrowseTest::waitForPicture()
{
    ASSERT_TRUE(waitUntil([] { return !Form8->Timer1->isActive(); }));
}

std::string text(const QLabel* label) { return label->text().toStdString(); }

std::string cell(const TStringGrid& grid, int col, int row) { return grid.Cells(col, row).ToUtf8(); }

std::string pictureBytes(int width, int height, const char* format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(40, 90, 160));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toStdString();
}
