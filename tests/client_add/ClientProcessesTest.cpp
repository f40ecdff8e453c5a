// Clients as separate processes, each a copy of this program started from a client folder of the test's: two of
// them adding two videos at the same time or one after the other, and one installed in a folder whose name is not
// valid UTF-8 or whose path is long. The started program runs the one disabled test below, which runs the client on
// cue.

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "AddVideoFixture.h"
#include "AnalyzeVideo.h"
#include "ClientForms.h"
#include "ClientState.h"
#include "FormData.h"
#include "LoopbackServer.h"
#include "Unit3.h"
#include "WorkFolder.h"
#include "platform/Process.h"

namespace fs = std::filesystem;
using namespace tarvello::testserver;

namespace {

const char* ProcessTest = "ClientProcess.DISABLED_PlaysAClientOnCue";

// The cue folder of a started client, named in its environment, and the loopback server's address and authority.
const char* CueVariable = "TARVELLO_TEST_CUES";
const char* ServerVariable = "TARVELLO_TEST_SERVER";
const char* AuthorityVariable = "TARVELLO_TEST_CA";

// Cues and reports are files that appear whole.
void writeWhole(const fs::path& path, const std::string& bytes)
{
    const fs::path part = path.string() + ".part";
    std::ofstream(part, std::ios::binary) << bytes;
    fs::rename(part, path);
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

// The client's side once its start-up is done: it reports its account, its own folder and its work folder in
// "ready", then waits for a cue: "open" (holding the video's path) runs the analysis and reports its messages in
// "analysed"; "save" then fills the required rows, saves and reports the messages in "saved"; "quit" ends it at
// any point.
void playOnCue(const fs::path& cues, DialogRecorder& dialogs)
{
    writeWhole(cues / "ready", UserName.ToUtf8() + "\n" + CurPath.ToPathBytes() + "\n" + WorkFolder().ToPathBytes());
    const auto cued = [&](const char* cue) {
        EXPECT_TRUE(waitUntil([&] { return fs::exists(cues / cue) || fs::exists(cues / "quit"); },
                              std::chrono::minutes(2)));
        return fs::exists(cues / cue);
    };
    if (!cued("open"))
        return;
    const std::string video = readFile(cues / "open");
    dialogs.messages.clear();
    Form3->show();
    Form3->OpenDialog1 = [video] { return UnicodeString::FromPathBytes(video); };
    Form3->N3Click();
    ASSERT_TRUE(waitUntil([] { return Analyzer->isFinished(); }, std::chrono::minutes(2)));
    writeWhole(cues / "analysed", joined(dialogs.messages));
    if (!cued("save"))
        return;
    dialogs.messages.clear();
    fillRequiredFields();
    Form3->BitBtn1Click();
    writeWhole(cues / "saved", joined(dialogs.messages));
    cued("quit");
}

}  // namespace

// A client process: the client's own start-up and message loop, played on cue. Started by the tests below from a
// client folder of theirs, with the cue folder and the loopback server in its environment; it never runs alone.
TEST(ClientProcess, DISABLED_PlaysAClientOnCue)
{
    const char* cues = std::getenv(CueVariable);
    ASSERT_NE(cues, nullptr) << "started by the ClientProcesses tests only";
    useLoopbackServer(std::getenv(ServerVariable), std::getenv(AuthorityVariable), std::chrono::seconds(20),
                      std::chrono::seconds(20));
    DialogRecorder dialogs;
    QTimer::singleShot(0, [&] {
        playOnCue(cues, dialogs);
        QApplication::quit();
    });
    EXPECT_EQ(RunClient(), 0);
}

namespace {

// A client process started from `program`, driven through the cue folder `cues`. Ending, it is told to quit and,
// when it does not, killed.
class ClientProcess {
public:
    ClientProcess(const fs::path& program, const fs::path& cues) : cues_(cues)
    {
        fs::create_directories(cues_);
        std::vector<std::string> environment = {std::string(CueVariable) + "=" + cues_.string(),
                                                std::string(ServerVariable) + "=" + catalogue().baseUrl(),
                                                std::string(AuthorityVariable) + "=" + catalogue().caFile()};
        for (char** variable = environ; *variable; ++variable)
            environment.emplace_back(*variable);
        std::vector<char*> envp;
        for (std::string& variable : environment)
            envp.push_back(variable.data());
        envp.push_back(nullptr);
        std::string filter = std::string("--gtest_filter=") + ProcessTest;
        std::string alsoDisabled = "--gtest_also_run_disabled_tests";
        std::string path = program.string();
        char* argv[] = {path.data(), alsoDisabled.data(), filter.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        const std::string output = (cues_ / "output.txt").string();
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        if (posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv, envp.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_GT(pid_, 0) << "cannot start " << path;
    }
    ~ClientProcess()
    {
        if (pid_ <= 0)
            return;
        cue("quit");
        for (int i = 0; i < 300 && !ended(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (!ended()) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status_, 0);
        }
        EXPECT_TRUE(WIFEXITED(status_) && WEXITSTATUS(status_) == 0) << readFile(cues_ / "output.txt");
    }
    ClientProcess(const ClientProcess&) = delete;
    ClientProcess& operator=(const ClientProcess&) = delete;

    void cue(const std::string& name, const std::string& content = "") { writeWhole(cues_ / name, content); }

    // The report `name` once it is there; empty, with a failure, when the client ends or two minutes pass first.
    std::string report(const std::string& name)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        while (!fs::exists(cues_ / name)) {
            if (ended() || std::chrono::steady_clock::now() > until) {
                ADD_FAILURE() << "no report " << name << " from the client:\n" << readFile(cues_ / "output.txt");
                return "";
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return readFile(cues_ / name);
    }

private:
    bool ended()
    {
        if (!exited_)
            exited_ = pid_ <= 0 || ::waitpid(pid_, &status_, WNOHANG) == pid_;
        return exited_;
    }

    fs::path cues_;
    pid_t pid_ = -1;
    int status_ = 0;
    bool exited_ = false;
};

// A client folder as the client is installed: this program, a settings file with the test account, the outside
// programs and temp/.
fs::path installClient(const fs::path& folder)
{
    fs::create_directories(folder / "temp");
    const fs::path self = fs::read_symlink("/proc/self/exe");
    std::error_code notLinked;
    fs::create_hard_link(self, folder / "TarvelloDesk", notLinked);
    if (notLinked)
        fs::copy_file(self, folder / "TarvelloDesk");
    fs::create_symlink(QUILLSUM_PATH, folder / "Quillsum");
    fs::create_symlink(TARVELLOSCAN_PATH, folder / "TarvelloScan");
    std::ofstream(folder / "TarvelloDesk.ini", std::ios::binary)
        << "[Account]\nUserName=" << TestUser << "\nPassword=" << TestPassword << "\n";
    return folder / "TarvelloDesk";
}

// What the analyzer makes of a video on its own, run as the client runs it, in `folder`.
struct Analysis {
    std::string md5, frames, rgb, hashes, table;
    std::vector<std::pair<std::string, std::string>> screenshots;  // name and bytes, in upper-cased name order
};

Analysis analyseAlone(const fs::path& client, const fs::path& video, double ratio, const fs::path& folder)
{
    fs::create_directories(folder);
    const auto at = [&](const char* name) { return UnicodeString::FromPathBytes((folder / name).string()); };
    RunProgram(UnicodeString::FromPathBytes(client.string()), "TarvelloScan",
               {UnicodeString::FromPathBytes(video.string()), FloatToStr(ratio), at("data.rgb"), at("hashes.dat"),
                UnicodeString::FromPathBytes(folder.string()), "ss", at("table.jpg"), at("info.dat")});
    Analysis analysis{md5sumOf(video), "", readFile(folder / "data.rgb"), readFile(folder / "hashes.dat"),
                      readFile(folder / "table.jpg"), {}};
    std::istringstream info(readFile(folder / "info.dat"));
    for (std::string key, value; info >> key >> value;)
        if (key == "Frames:")
            analysis.frames = value;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().rfind("ss_", 0) == 0)
            analysis.screenshots.emplace_back(entry.path().filename().string(), readFile(entry.path()));
    std::sort(analysis.screenshots.begin(), analysis.screenshots.end(), [](const auto& a, const auto& b) {
        return UnicodeString(a.first).UpperCase() < UnicodeString(b.first).UpperCase();
    });
    return analysis;
}

// Whether an add.php request carries exactly this analysis: digest, frame count, the three files and the ten
// screenshots with their names, byte for byte.
void expectUploadOf(const std::vector<FormPart>& parts, const Analysis& analysis)
{
    std::map<std::string, std::string> data;
    for (const FormPart& part : parts)
        data[part.name] = part.data;
    EXPECT_EQ(data["md5"], analysis.md5);
    EXPECT_EQ(data["frames"], analysis.frames);
    EXPECT_TRUE(data["rgb"] == analysis.rgb) << "RGB data of another video";
    EXPECT_TRUE(data["hash"] == analysis.hashes) << "hashes of another video";
    EXPECT_TRUE(data["table"] == analysis.table) << "table view picture of another video";
    ASSERT_EQ(analysis.screenshots.size(), 10u);
    for (size_t i = 0; i < analysis.screenshots.size(); ++i) {
        SCOPED_TRACE(analysis.screenshots[i].first);
        EXPECT_EQ(data["screenshot_name" + std::to_string(i)], analysis.screenshots[i].first);
        EXPECT_TRUE(data["screenshot" + std::to_string(i)] == analysis.screenshots[i].second);
    }
}

class ClientProcesses : public ::testing::Test {
protected:
    void SetUp() override { catalogue().clearRequests(); }

    WorkPlace place;
};

// Two clients from one folder, A started first: A works in temp/, B in temp.2/. `together` has both analyse and
// save at the same time; otherwise A analyses, then B, then A saves, then B, as when A's user is slower. Each
// video's size and length are its own, in this test program, so that the catalogue has never seen it.
void addTwoVideos(const WorkPlace& place, bool together, const std::string& sizeA, const std::string& sizeB,
                  int secondsA, int secondsB)
{
    const fs::path program = installClient(place.root() / "client");
    const fs::path videoA = makeVideo(place.root(), "a.mp4", sizeA, "", secondsA);
    const fs::path videoB = makeVideo(place.root(), "b.mp4", sizeB, "", secondsB);
    const auto ratio = [](const std::string& size) {
        return std::stod(size) / std::stod(size.substr(size.find('x') + 1));
    };
    const Analysis alone[] = {analyseAlone(program.parent_path(), videoA, ratio(sizeA), place.root() / "alone a"),
                              analyseAlone(program.parent_path(), videoB, ratio(sizeB), place.root() / "alone b")};

    ClientProcess a(program, place.root() / "cues a");
    const std::string readyA = a.report("ready");
    ClientProcess b(program, place.root() / "cues b");
    const std::string readyB = b.report("ready");
    const fs::path client = program.parent_path();
    EXPECT_EQ(readyA, TestUser + "\n" + client.string() + "\n" + (client / "temp").string());
    EXPECT_EQ(readyB, TestUser + "\n" + client.string() + "\n" + (client / "temp.2").string());

    const std::string analysed = "Обработка видео успешно завершена!\n";
    const std::string saved = "Данные сохранены!\n";
    a.cue("open", videoA.string());
    if (together)
        b.cue("open", videoB.string());
    EXPECT_EQ(a.report("analysed"), analysed);
    if (!together)
        b.cue("open", videoB.string());
    EXPECT_EQ(b.report("analysed"), analysed);
    a.cue("save");
    if (together)
        b.cue("save");
    EXPECT_EQ(a.report("saved"), saved);
    if (!together)
        b.cue("save");
    EXPECT_EQ(b.report("saved"), saved);

    const auto adds = scriptRequests(catalogue(), "add.php");
    ASSERT_EQ(adds.size(), 2u);
    for (const HttpRequest& add : adds) {
        const std::vector<FormPart> parts = partsOf(add);
        const auto md5 = std::find_if(parts.begin(), parts.end(), [](const FormPart& p) { return p.name == "md5"; });
        ASSERT_NE(md5, parts.end());
        const Analysis& own = md5->data == alone[0].md5 ? alone[0] : alone[1];
        SCOPED_TRACE(&own == &alone[0] ? "A's upload" : "B's upload");
        expectUploadOf(parts, own);
    }
}

}  // namespace

TEST_F(ClientProcesses, TwoClientsAnalysingAndSavingAtOnceUploadEachItsOwnVideo)
{
    addTwoVideos(place, true, "320x180", "240x180", 14, 11);
}

TEST_F(ClientProcesses, AClientThatSavesAfterAnotherAnalysedUploadsItsOwnVideo)
{
    addTwoVideos(place, false, "288x162", "256x192", 13, 12);
}

// The client's folder is the whole folder of its executable, whatever its bytes and its length: the settings are
// read from there and the work folder lies there.
TEST_F(ClientProcesses, AClientKeepsItsSettingsAndWorkInItsOwnFolder)
{
    const std::string longName(100, 'n');
    const struct {
        const char* what;
        fs::path client;
    } cases[] = {
        {"a name that is not valid UTF-8", place.root() / "d\xE9sk \xFF"},
        {"a path of more than 256 bytes", place.root() / longName / longName / longName / "desk"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClientProcess started(installClient(c.client), c.client.parent_path() / "cues");
        EXPECT_EQ(started.report("ready"), TestUser + "\n" + c.client.string() + "\n" + (c.client / "temp").string());
    }
}
