// Opening a video in the add-video form: the analysis road to its success and to each of its endings,
// the progress ticker, and a second video opened while the first is still being analysed.

#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include "AddVideoFixture.h"
#include "AnalyzeVideo.h"
#include "FormData.h"
#include "LoopbackServer.h"
#include "RecordFields.h"
#include "Unit1.h"
#include "Unit3.h"
#include "Unit8.h"
#include "ValueListEditor.h"
#include "utils/Formatting.h"

namespace fs = std::filesystem;
using namespace tarvello::testserver;

namespace {

const char* Success = "Обработка видео успешно завершена!";

// The value of `key` in an info file of "key: value" lines, as the analyzer wrote it.
std::string infoValue(const fs::path& info, const std::string& key)
{
    std::istringstream lines(readFile(info));
    std::string name, value;
    while (lines >> name >> value)
        if (name == key)
            return value;
    ADD_FAILURE() << "no " << key << " in " << info;
    return "";
}

}  // namespace

// A clip of the whole road: the frame that ffmpeg makes, and the content's size within it as the analyzer crops it.
struct Clip {
    const char* name;  // the test's name
    const char* filters;
    int width, height, usedWidth, usedHeight;
    const char* ratio;  // video_dar as sent
};

void PrintTo(const Clip& clip, std::ostream* os) { *os << clip.name; }

class WholeRoad : public AddVideo, public ::testing::WithParamInterface<Clip> {};

INSTANTIATE_TEST_SUITE_P(Clips, WholeRoad,
                         ::testing::Values(Clip{"FullFrame", "", 320, 180, 284, 180, "1.77777777777778"},
                                           // black bars above and below: the content is lower than the frame
                                           Clip{"Letterboxed", "pad=320:240:0:30:black", 320, 240, 284, 180,
                                                "1.33333333333333"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(WholeRoad, FromOpeningToSaving)
{
    const Clip& clip = GetParam();
    place->link("TarvelloScan", TARVELLOSCAN_PATH);
    // Sixteen seconds: long enough for the analyzer to find ten distinct screenshot frames.
    const fs::path video = makeVideo(place->root(), "clip one.mp4", "320x180", clip.filters, 16);
    open(video.string());
    EXPECT_EQ(Form1->windowTitle().toStdString(), "Tarvello Desk - " + video.string());
    EXPECT_FALSE(Form3->BitBtn3->isEnabled());
    EXPECT_TRUE(Form3->Timer2->isActive());
    ASSERT_TRUE(waitForAnalysis());
    ASSERT_EQ(dialogs.messages, std::vector<std::string>{Success});

    const std::string md5 = md5sumOf(video);
    EXPECT_EQ(VideoInfo.width, clip.width);
    EXPECT_EQ(VideoInfo.height, clip.height);
    EXPECT_EQ(VideoInfo.used_width, clip.usedWidth);
    EXPECT_EQ(VideoInfo.used_height, clip.usedHeight);
    EXPECT_EQ(VideoInfo.frames, 400);
    EXPECT_EQ(VideoInfo.fps, 25);
    EXPECT_EQ(VideoInfo.duration, 16);
    EXPECT_EQ(VideoInfo.video_sar, 1);
    EXPECT_EQ(VideoInfo.size, static_cast<int64_t>(fs::file_size(video)));
    EXPECT_EQ(VideoInfo.md5.ToUtf8(), md5);
    EXPECT_EQ(Form3->StatusPanel(0).ToUtf8(), std::to_string(clip.width) + "x" + std::to_string(clip.height) + "@25");
    EXPECT_EQ(Form3->StatusPanel(1), GetTimeForMovieRus(16));
    EXPECT_EQ(Form3->StatusPanel(2).ToUtf8(), "Фреймов: 400");
    EXPECT_EQ(Form3->StatusPanel(3), UnicodeString("Размер: ") + NiceNumberView(VideoInfo.size));
    EXPECT_EQ(Form3->StatusPanel(4).ToUtf8(), "MD5: " + md5);
    EXPECT_TRUE(Form3->BitBtn1->isEnabled());
    EXPECT_TRUE(Form3->BitBtn3->isEnabled());
    EXPECT_FALSE(Form3->Timer2->isActive());
    EXPECT_EQ(Form3->ProgressBar1->value(), 100);

    std::vector<std::string> screenshots;
    for (const auto& entry : fs::directory_iterator(place->temp()))
        if (entry.path().filename().string().rfind("ss_", 0) == 0)
            screenshots.push_back(entry.path().filename().string());
    EXPECT_EQ(screenshots.size(), 10u);
    for (const char* name : {"data.rgb", "hashes.dat", "table.jpg", "info.dat", "dar.info"})
        EXPECT_TRUE(fs::exists(place->temp() / name)) << name;
    EXPECT_FALSE(fs::exists(place->temp() / "md5.hash"));

    // check.php carries the account percent-encoded, the size and the digest.
    const auto checks = requestsTo("check.php");
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_EQ(checks[0].method, "GET");
    EXPECT_EQ(checks[0].query, "user=maker%40example.org&password=.pa%3D3D%26ss%20%2B%231&size=" +
                                   std::to_string(VideoInfo.size) + "&md5=" + md5);

    fillRequiredFields();
    Form3->ValueListEditor1->SetValue(1, "   ");  // blanks count as a title and go out unchanged
    Form3->BitBtn1Click();
    ASSERT_EQ(dialogs.messages.back(), "Данные сохранены!");
    EXPECT_TRUE(Form3->BitBtn1->isEnabled());

    const auto adds = requestsTo("add.php");
    ASSERT_EQ(adds.size(), 1u);
    const std::vector<FormPart> parts = partsOf(adds[0]);
    ASSERT_EQ(parts.size(), 56u);

    const std::vector<std::pair<std::string, std::string>> plain = {
        {"application", "Tarvello Desk"}, {"version", "3.0"}, {"user", TestUser}, {"password", TestPassword},
        {"filename", ""}, {"md5", md5}, {"width", std::to_string(clip.width)},
        {"height", std::to_string(clip.height)}, {"video_sar", "1"}, {"video_dar", clip.ratio},
        // the content's size as the analyzer measured it
        {"used_width", infoValue(place->temp() / "info.dat", "ResultWidth:")},
        {"used_height", infoValue(place->temp() / "info.dat", "ResultHeight:")},
        {"size", std::to_string(VideoInfo.size)}, {"frames", "400"}, {"fps", "25"}, {"duration", "16"}};
    for (size_t i = 0; i < plain.size(); ++i) {
        SCOPED_TRACE(plain[i].first);
        EXPECT_EQ(parts[i].name, plain[i].first);
        EXPECT_EQ(parts[i].data, plain[i].second);
        EXPECT_EQ(parts[i].contentType, "text/plain");
        EXPECT_EQ(parts[i].charset, "");
        EXPECT_EQ(parts[i].transferEncoding, "quoted-printable");
        EXPECT_FALSE(parts[i].hasFileName);
    }
    for (int row = 1; row <= RecordFieldCount; ++row) {
        const FormPart& part = parts[15 + row];
        SCOPED_TRACE(part.name);
        EXPECT_EQ(part.name, RecordFields[row - 1].formField);
        EXPECT_EQ(part.data, Form3->ValueListEditor1->Value(row).ToUtf8());
        EXPECT_EQ(part.charset, row == YearRow ? "" : "UTF-8");
        EXPECT_EQ(part.transferEncoding, "binary");
    }
    EXPECT_EQ(parts[16].data, "   ");

    const std::pair<const char*, const char*> files[] = {{"rgb", "data.rgb"}, {"table", "table.jpg"},
                                                         {"hash", "hashes.dat"}};
    for (int i = 0; i < 3; ++i) {
        const FormPart& part = parts[33 + i];
        EXPECT_EQ(part.name, files[i].first);
        EXPECT_EQ(part.fileName, files[i].second);
        EXPECT_EQ(part.contentType, "application/octet-stream");
        EXPECT_EQ(part.transferEncoding, "binary");
        EXPECT_EQ(part.data, readFile(place->temp() / files[i].second));
    }
    // The screenshots in the order of their upper-cased names: ss_10.00_240 before ss_2.00_48.
    std::sort(screenshots.begin(), screenshots.end(), [](const std::string& a, const std::string& b) {
        return UnicodeString(a).UpperCase() < UnicodeString(b).UpperCase();
    });
    for (int i = 0; i < 10; ++i) {
        const FormPart& file = parts[36 + 2 * i];
        const FormPart& name = parts[37 + 2 * i];
        SCOPED_TRACE(screenshots[i]);
        EXPECT_EQ(file.name, "screenshot" + std::to_string(i));
        EXPECT_EQ(file.fileName, screenshots[i]);
        EXPECT_EQ(file.data, readFile(place->temp() / screenshots[i]));
        EXPECT_EQ(name.name, "screenshot_name" + std::to_string(i));
        EXPECT_EQ(name.data, screenshots[i]);
        EXPECT_EQ(name.transferEncoding, "binary");
        EXPECT_EQ(name.charset, "");
    }
}

TEST_F(AddVideo, TheSizeGoesIntoTheQueryAndThePanelInFull)
{
    place->script("TarvelloScan", fakeAnalyzerScript(Info320));
    fs::remove(place->root() / "Quillsum");
    place->script("Quillsum", "echo 0123456789abcdef0123456789abcdef\n");
    catalogue().script("check.php", HttpReply::Text("OK"));
    const std::string video = someFile("big.mp4", "");
    fs::resize_file(video, 1234567890);  // sparse
    open(video);
    ASSERT_TRUE(waitForAnalysis());
    const auto checks = requestsTo("check.php");
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_NE(checks[0].query.find("&size=1234567890&md5=0123456789abcdef0123456789abcdef"), std::string::npos);
    EXPECT_EQ(Form3->StatusPanel(3).ToUtf8(), "Размер: 1 234 567 890");
}

TEST_F(AddVideo, AMissingFileEndsBeforeAnyTool)
{
    VideoInfo.size = 77;
    VideoInfo.md5 = "old";
    VideoInfo.frames = 9;
    open((place->root() / "gone.mp4").string());
    ASSERT_TRUE(waitForAnalysis());
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Файл не найден!"});
    EXPECT_EQ(VideoInfo.size, 77);
    EXPECT_EQ(VideoInfo.md5.ToUtf8(), "old");
    EXPECT_EQ(VideoInfo.frames, 0);
    EXPECT_FALSE(fs::exists(place->temp() / "dar.info"));
    EXPECT_TRUE(requestsTo("check.php").empty());
    EXPECT_FALSE(Form3->BitBtn1->isEnabled());
    EXPECT_TRUE(Form3->BitBtn3->isEnabled());
    EXPECT_FALSE(Form3->Timer2->isActive());
}

TEST_F(AddVideo, CheckRepliesOtherThanOkEndTheAnalysis)
{
    place->script("TarvelloScan", fakeAnalyzerScript(Info320));
    const std::string video = someFile("video.mp4");
    const struct {
        HttpReply reply;
        std::vector<std::string> messages;
    } cases[] = {
        {HttpReply::Text("User not found"), {"Пользователь не найден! Проверьте Ваш E-mail."}},
        {HttpReply::Text("Wrong password"), {"Неверный пароль! Проверьте Ваш пароль."}},
        {HttpReply::Text("User blocked"), {"Пользователь заблокирован."}},
        {HttpReply::Text("OK\n"), {}},
        {HttpReply::Text("ok"), {}},
        {HttpReply::Text("Internal error", 500), {"Сервер недоступен!\n Попробуйте повторить запрос чуть позже!"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.body);
        dialogs.messages.clear();
        catalogue().script("check.php", c.reply);
        open(video);
        ASSERT_TRUE(waitForAnalysis());
        EXPECT_EQ(dialogs.messages, c.messages);
        EXPECT_FALSE(VIDEO_OK);
        EXPECT_FALSE(fs::exists(place->root() / "analyzer.log"));
        EXPECT_FALSE(Form3->BitBtn1->isEnabled());
        EXPECT_TRUE(Form3->BitBtn3->isEnabled());
        EXPECT_FALSE(Form3->Timer2->isActive());
        EXPECT_EQ(Form3->StatusPanel(4).ToUtf8(), "MD5: " + md5sumOf(video));
    }
}

TEST_F(AddVideo, ADuplicateOpensItsRecord)
{
    place->script("TarvelloScan", fakeAnalyzerScript(Info320));
    const std::string video = someFile("video.mp4");
    const struct {
        const char* reply;
        int id;
    } cases[] = {
        {"Duplicate 1234", 1234},
        {"Duplicate", 0},
        {"Duplicate12345", 2345},  // the id is read from the 11th character on
        {"Duplicate 12a", 0},      // not an integer as a whole
        {"Duplicate 99999999999", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        dialogs.messages.clear();
        Form8->hide();
        catalogue().script("check.php", HttpReply::Text(c.reply));
        open(video);
        ASSERT_TRUE(waitForAnalysis());
        EXPECT_EQ(VIEW_ID, c.id);
        // The record form may report on the record it then loads; the duplicate's message comes first.
        ASSERT_FALSE(dialogs.messages.empty());
        EXPECT_EQ(dialogs.messages[0], "Это видео уже есть в нашей базе данных! " + std::to_string(c.id));
        EXPECT_TRUE(Form8->isVisible());
        EXPECT_FALSE(fs::exists(place->root() / "analyzer.log"));
        EXPECT_TRUE(Form3->BitBtn3->isEnabled());
        EXPECT_FALSE(Form3->BitBtn1->isEnabled());
    }
}

// A record form that is already open follows the duplicate: it shows the catalogued record, not the one it held.
TEST_F(AddVideo, ADuplicateReloadsAnOpenRecordForm)
{
    place->script("TarvelloScan", fakeAnalyzerScript(Info320));
    const auto film = [](const char* title) {
        Record record;
        record.owner = TestUser;
        record.fields = {{"title", title}};
        return catalogue().addRecord(record);
    };
    const int shown = film("Открытая запись");
    const int duplicate = film("Уже в каталоге");
    VIEW_ID = shown;
    Form8->show();
    ASSERT_EQ(Form8->ShownId(), shown);

    catalogue().script("check.php", HttpReply::Text("Duplicate " + std::to_string(duplicate)));
    open(someFile("video.mp4"));
    ASSERT_TRUE(waitForAnalysis());
    EXPECT_EQ(VIEW_ID, duplicate);
    EXPECT_EQ(Form8->ShownId(), duplicate);
    EXPECT_EQ(Form8->ValueListEditor1->Value(1).ToUtf8(), "Уже в каталоге");
    Form8->hide();
}

TEST_F(AddVideo, AnAnalyzerThatLeavesNoDataFails)
{
    place->script("TarvelloScan", ": > \"$3\"\n");
    catalogue().script("check.php", HttpReply::Text("OK"));
    open(someFile("video.mp4"));
    ASSERT_TRUE(waitForAnalysis());
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"В процессе обработки видео произошла ошибка!"});
    EXPECT_FALSE(Form3->BitBtn1->isEnabled());
    EXPECT_TRUE(Form3->BitBtn3->isEnabled());
}

TEST_F(AddVideo, ToolFailuresHaveTheirMessages)
{
    catalogue().script("check.php", HttpReply::Text("OK"));
    const struct {
        const char* what;
        std::function<void(const WorkPlace&)> arrange;
        const char* message;
    } cases[] = {
        {"no work folder, so no capture", [](const WorkPlace& p) { fs::remove_all(p.temp()); },
         "Ошибка получения характеристик видео!"},
        {"Quillsum prints too little",
         [](const WorkPlace& p) {
             fs::remove(p.root() / "Quillsum");
             p.script("Quillsum", "echo short\n");
         },
         "Ошибка вычисления хэша файла!"},
        {"no info file after a run that wrote its data",
         [](const WorkPlace& p) { p.script("TarvelloScan", "echo data > \"$3\"\n"); },
         "Ошибка получения характеристик видео!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        place = std::make_unique<WorkPlace>();
        place->link("Quillsum", QUILLSUM_PATH);
        const std::string video = someFile("video.mp4");
        c.arrange(*place);
        dialogs.messages.clear();
        open(video);
        ASSERT_TRUE(waitForAnalysis());
        EXPECT_EQ(dialogs.messages, std::vector<std::string>{c.message});
        EXPECT_FALSE(Form3->BitBtn1->isEnabled());
        EXPECT_TRUE(Form3->BitBtn3->isEnabled());
        EXPECT_FALSE(Form3->Timer2->isActive());
    }
}

TEST_F(AddVideo, ACancelledDialogChangesNothing)
{
    Form1->setWindowTitle("Tarvello Desk");
    Source = "before";
    Form3->OpenDialog1 = [] { return UnicodeString(); };
    AnalyzeVideo* before = Analyzer;
    Form3->N3Click();
    EXPECT_EQ(Analyzer, before);
    EXPECT_EQ(Source.ToUtf8(), "before");
    EXPECT_EQ(Form1->windowTitle().toStdString(), "Tarvello Desk");
}

TEST_F(AddVideo, TheTickerClimbsWithinItsBand)
{
    const struct {
        int position, lo, hi, next;
    } cases[] = {
        {5, 0, 10, 6},     // one step a second
        {10, 0, 10, 0},    // past the band's end: back to its start
        {3, 30, 80, 30},   // below the band: up to its start
        {80, 30, 80, 30},
        {50, 80, 100, 80},  // a new band starts at its start at once
        {99, 80, 100, 100},
    };
    for (const auto& c : cases) {
        Form3->ProgressBar1->setValue(c.position);
        VideoInfo.progress_lo = c.lo;
        VideoInfo.progress_hi = c.hi;
        Form3->Timer2Timer();
        EXPECT_EQ(Form3->ProgressBar1->value(), c.next) << c.position << " in " << c.lo << "-" << c.hi;
    }
}

TEST_F(AddVideo, OpeningAnotherVideoWaitsForTheRunningAnalysis)
{
    place->script("TarvelloScan", fakeAnalyzerScript(Info320));
    place->write(place->root() / "delay", "1");
    catalogue().script("check.php", HttpReply::Text("OK"));
    const std::string first = someFile("first.mp4");
    const std::string second = someFile("second \"take\".mp4");

    open(first);
    ASSERT_TRUE(waitUntil([&] { return fs::exists(place->temp() / "dar.info"); }));
    Form3->close();  // hiding the form does not stop the analysis
    EXPECT_TRUE(Form3->BitBtn3->isEnabled());
    EXPECT_FALSE(Form3->Timer2->isActive());
    Form3->show();
    open(second);
    // The first analysis ran to its end, on its own video, and its message came while the open waited.
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{Success});
    EXPECT_EQ(Source.ToUtf8(), second);
    ASSERT_TRUE(waitForAnalysis());
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{Success, Success}));
    const std::string log = readFile(place->root() / "analyzer.log");
    EXPECT_EQ(log.find(first + "\n"), 0u);
    EXPECT_NE(log.find("--\n" + second + "\n"), std::string::npos);
}

TEST_F(AddVideo, QuittingWhileAnOpenWaitsLeavesTheRunningAnalysisAlone)
{
    place->script("TarvelloScan", fakeAnalyzerScript(Info320));
    place->write(place->root() / "delay", "1");
    catalogue().script("check.php", HttpReply::Text("OK"));
    const std::string first = someFile("first.mp4");
    open(first);
    ASSERT_TRUE(waitUntil([&] { return fs::exists(place->temp() / "dar.info"); }));
    Form3->close();
    Form3->show();
    AnalyzeVideo* running = Analyzer;

    // "Выход" while the second open waits: the program ends instead of waiting and starting another analysis.
    QTimer::singleShot(0, [&] { open(someFile("second.mp4")); });
    QTimer::singleShot(200, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    EXPECT_EQ(Analyzer, running);
    ASSERT_TRUE(waitForAnalysis());
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{Success});
    EXPECT_EQ(readFile(place->root() / "analyzer.log").find("second.mp4"), std::string::npos);
}
