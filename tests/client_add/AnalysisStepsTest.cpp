// What an analysis leaves of the one before and what each of its steps leaves behind: the emptied work folder and
// digest, the progress band of the step it ended in, the bar when the form closes, and an error inside the
// analysis.

#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "AddVideoFixture.h"
#include "ClientState.h"
#include "Unit3.h"

namespace fs = std::filesystem;
using namespace tarvello::testserver;

namespace {

void quillsumPrintsTooLittle(const WorkPlace& place)
{
    fs::remove(place.root() / "Quillsum");
    place.script("Quillsum", "echo short\n");
}

}  // namespace

TEST_F(AddVideo, AnAnalysisStartsFromAnEmptyWorkFolderAndNoDigest)
{
    place->write(place->temp() / "ss_7.00_175.jpg", "a screenshot of the last video");
    place->write(place->temp() / "info.dat", "Width: 1920\nHeight: 1080\nFPS: 25\nFrames: 175\n");
    VideoInfo.md5 = "digest of the last video";
    quillsumPrintsTooLittle(*place);

    open(someFile("video.mp4"));
    ASSERT_TRUE(waitForAnalysis());
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Ошибка вычисления хэша файла!"});
    EXPECT_FALSE(fs::exists(place->temp() / "ss_7.00_175.jpg"));
    EXPECT_FALSE(fs::exists(place->temp() / "info.dat"));
    EXPECT_EQ(VideoInfo.md5.ToUtf8(), "");
}

// The band that the ticker climbs in is that of the step running, so an analysis that ends leaves the band of
// the step it ended in.
TEST_F(AddVideo, EachEndingLeavesTheProgressBandOfItsStep)
{
    const struct {
        const char* step;
        std::function<void(const WorkPlace&)> arrange;
        bool videoExists;
        int lo, hi;
    } cases[] = {
        {"the file test", [](const WorkPlace&) {}, false, 0, 10},
        {"the digest", quillsumPrintsTooLittle, true, 10, 20},
        {"the duplicate check",
         [](const WorkPlace&) { catalogue().script("check.php", HttpReply::Text("Wrong password")); }, true, 20, 30},
        {"the analyzer", [](const WorkPlace& p) { p.script("TarvelloScan", ": > \"$3\"\n"); }, true, 30, 80},
        {"the info file", [](const WorkPlace& p) { p.script("TarvelloScan", "echo data > \"$3\"\n"); }, true, 80, 100},
        {"the whole road", [](const WorkPlace& p) { p.script("TarvelloScan", fakeAnalyzerScript(Info320)); }, true, 80,
         100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        place = std::make_unique<WorkPlace>();
        place->link("Quillsum", QUILLSUM_PATH);
        catalogue().script("check.php", HttpReply::Text("OK"));
        c.arrange(*place);
        VideoInfo.progress_lo = VideoInfo.progress_hi = -1;
        open(c.videoExists ? someFile("video.mp4") : (place->root() / "gone.mp4").string());
        ASSERT_TRUE(waitForAnalysis());
        EXPECT_EQ(VideoInfo.progress_lo, c.lo);
        EXPECT_EQ(VideoInfo.progress_hi, c.hi);
    }
}

TEST_F(AddVideo, ClosingTheFormResetsTheProgressBar)
{
    // As while an analysis runs.
    Form3->ProgressBar1->setValue(63);
    Form3->BitBtn3->setEnabled(false);
    Form3->Timer2->start();

    Form3->close();
    EXPECT_EQ(Form3->ProgressBar1->value(), 0);
    EXPECT_TRUE(Form3->BitBtn3->isEnabled());
    EXPECT_FALSE(Form3->Timer2->isActive());
}

// An error that nothing on the analysis road catches, raised here by the message box of a refused account while
// the form still waits for the analysis: the form is reset and says that the processing failed.
TEST_F(AddVideo, AnErrorInsideTheAnalysisResetsTheFormWithItsMessage)
{
    struct MessageBoxFailure {};
    const auto record = dialogHook().showMessage;
    dialogHook().showMessage = [record](const UnicodeString& text) {
        record(text);
        if (text == UnicodeString("Неверный пароль! Проверьте Ваш пароль."))
            throw MessageBoxFailure{};
    };
    place->script("TarvelloScan", fakeAnalyzerScript(Info320));
    catalogue().script("check.php", HttpReply::Text("Wrong password"));

    open(someFile("video.mp4"));
    ASSERT_TRUE(waitForAnalysis());
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"Неверный пароль! Проверьте Ваш пароль.",
                                                          "В процессе обработки видео произошла ошибка!"}));
    EXPECT_FALSE(VIDEO_OK);
    EXPECT_FALSE(Form3->BitBtn1->isEnabled());
    EXPECT_TRUE(Form3->BitBtn3->isEnabled());
    EXPECT_FALSE(Form3->Timer2->isActive());
    EXPECT_FALSE(fs::exists(place->root() / "analyzer.log"));
}
