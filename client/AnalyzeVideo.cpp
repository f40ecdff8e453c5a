#include "AnalyzeVideo.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <atomic>
#include <exception>
#include <mutex>

#include "Dialogs.h"
#include "HttpClient.h"
#include "ServerReplies.h"
#include "WireText.h"
#include "ToolRunners.h"
#include "Unit1.h"
#include "Unit3.h"
#include "Unit8.h"
#include "platform/Files.h"
#include "utils/FileOperations.h"
#include "utils/Formatting.h"

AnalyzeVideo::AnalyzeVideo(bool createSuspended) : source_(Source)
{
    if (!createSuspended)
        start();
}

AnalyzeVideo::~AnalyzeVideo()
{
    WaitUntilEnded();
    wait();
}

bool AnalyzeVideo::WaitUntilEnded()
{
    if (!isRunning())
        return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [this, &loop] {
        if (!isRunning())
            loop.quit();
    });
    poll.start(20);
    loop.exec();  // also left, or not entered, once the application quits
    return !isRunning();
}

void AnalyzeVideo::run()
{
    // An exception would otherwise end the thread silently and leave the form with its buttons disabled.
    try {
        Execute();
    } catch (...) {
        try {
            Stop(&AnalyzeVideo::ShowAnalyzeVideoError);
        } catch (...) {
        }
    }
}

void AnalyzeVideo::Synchronize(void (AnalyzeVideo::*method)())
{
    std::exception_ptr failure;
    // The blocking call orders the method between what this thread did before and does after it, but inside Qt,
    // where ThreadSanitizer does not see it. This lock, taken on each side in turn, shows the sanitizer that order.
    std::mutex handOver;
    { const std::lock_guard before(handOver); }
    QMetaObject::invokeMethod(
        qApp,
        [this, method, &failure, &handOver] {
            const std::lock_guard during(handOver);
            try {
                (this->*method)();
            } catch (...) {
                failure = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    { const std::lock_guard after(handOver); }
    if (failure)
        std::rethrow_exception(failure);
}

void AnalyzeVideo::Stop(void (AnalyzeVideo::*message)())
{
    VIDEO_OK = false;
    Synchronize(message);
}

void AnalyzeVideo::SetProgressBand(int lo, int hi)
{
    std::atomic_ref(VideoInfo.progress_lo).store(lo, std::memory_order_relaxed);
    std::atomic_ref(VideoInfo.progress_hi).store(hi, std::memory_order_relaxed);
}

ProgressBand CurrentProgressBand()
{
    return {std::atomic_ref(VideoInfo.progress_lo).load(std::memory_order_relaxed),
            std::atomic_ref(VideoInfo.progress_hi).load(std::memory_order_relaxed)};
}

void AnalyzeVideo::Execute()
{
    DeleteFilesFromDirectory(WorkFolder());
    VIDEO_OK = true;
    VideoInfo.frames = 0;
    SetProgressBand(0, 10);
    if (!FileExists(source_))
        return Stop(&AnalyzeVideo::ShowFileNotFound);
    VideoInfo.size = getFileSize(source_);
    VideoInfo.md5 = UnicodeString();
    if (!GetDARInfo(source_))
        return Stop(&AnalyzeVideo::ShowVideoPropertiesError);
    SetProgressBand(10, 20);
    if (!GetMD5Hash(source_))
        return Stop(&AnalyzeVideo::ShowHashNotCounted);
    Synchronize(&AnalyzeVideo::ShowVideoInfo);
    SetProgressBand(20, 30);
    Synchronize(&AnalyzeVideo::CheckHash);
    if (!VIDEO_OK)
        return;
    SetProgressBand(30, 80);
    if (!GetVideoAnalysis(source_))
        return Stop(&AnalyzeVideo::ShowAnalyzeVideoError);
    SetProgressBand(80, 100);
    if (!GetVideoInfo())
        return Stop(&AnalyzeVideo::ShowVideoPropertiesError);
    Synchronize(&AnalyzeVideo::ShowVideoInfo);
    Synchronize(&AnalyzeVideo::ShowResult);
}

void AnalyzeVideo::ShowVideoInfo()
{
    if (VideoInfo.frames != 0) {
        Form3->SetStatusPanel(0, Format("%ix%i@", VideoInfo.width, VideoInfo.height) + FloatToStr(VideoInfo.fps));
        Form3->SetStatusPanel(1, GetTimeForMovieRus(static_cast<int>(VideoInfo.duration)));
        Form3->SetStatusPanel(2, UnicodeString("Фреймов: ") + NiceNumberView(VideoInfo.frames));
        Form3->SetStatusPanel(3, UnicodeString("Размер: ") + NiceNumberView(VideoInfo.size));
    } else {
        for (int panel = 0; panel <= 3; ++panel)
            Form3->SetStatusPanel(panel, UnicodeString());
    }
    Form3->SetStatusPanel(4, VideoInfo.md5.IsEmpty() ? UnicodeString() : UnicodeString("MD5: ") + VideoInfo.md5);
}

void AnalyzeVideo::CheckHash()
{
    HttpClient http;  // a fresh client: the request carries no cookie of earlier ones
    VIDEO_OK = false;
    try {
        // The values are percent-encoded, so a password with "&", "#", "+" or a blank arrives whole.
        const UnicodeString url = Work_URL + "check.php?user=" + PercentEncode(UserName) +
                                  "&password=" + PercentEncode(Password) + "&size=" + IntToStr(VideoInfo.size) +
                                  "&md5=" + PercentEncode(VideoInfo.md5);
        const UnicodeString reply = http.Get(url);
        if (reply == UnicodeString("OK")) {
            VIDEO_OK = true;
        } else if (reply == UnicodeString("User not found")) {
            ShowMessage("Пользователь не найден! Проверьте Ваш E-mail.");
            Form3->ResetAfterAnalysis();
        } else if (reply == UnicodeString("Wrong password")) {
            ShowMessage("Неверный пароль! Проверьте Ваш пароль.");
            Form3->ResetAfterAnalysis();
        } else if (reply == UnicodeString("User blocked")) {
            ShowMessage("Пользователь заблокирован.");
            Form3->ResetAfterAnalysis();
        } else if (reply.SubString(1, 9) == UnicodeString("Duplicate")) {
            Form3->ResetAfterAnalysis();
            VIEW_ID = reply.SubString(11, reply.Length()).ToIntDef(0);
            ShowMessage(UnicodeString("Это видео уже есть в нашей базе данных! ") + Format("%i", VIEW_ID));
            // A hidden record form loads VIEW_ID as it is shown; one already open is brought to the front and
            // loads it, so it never shows another record while VIEW_ID names this one.
            const bool wasOpen = Form8->isVisible();
            ShowWindow(*Form8);
            if (wasOpen)
                Form8->FormShow();
        } else {
            Form3->ResetAfterAnalysis();
        }
    } catch (const std::exception&) {
        ShowMessage(ServerUnavailableMessage);
        Form3->ResetAfterAnalysis();
    }
}

void AnalyzeVideo::ShowResult()
{
    Form3->BitBtn1->setEnabled(true);
    Form3->BitBtn3->setEnabled(true);
    Form3->Timer2->stop();
    Form3->ProgressBar1->setValue(Form3->ProgressBar1->maximum());
    ShowMessage("Обработка видео успешно завершена!");
}

void AnalyzeVideo::ShowAnalyzeVideoError()
{
    Form3->ResetAfterAnalysis();
    ShowMessage("В процессе обработки видео произошла ошибка!");
}

void AnalyzeVideo::ShowFileNotFound()
{
    Form3->ResetAfterAnalysis();
    ShowMessage("Файл не найден!");
}

void AnalyzeVideo::ShowVideoPropertiesError()
{
    Form3->ResetAfterAnalysis();
    ShowMessage("Ошибка получения характеристик видео!");
}

void AnalyzeVideo::ShowHashNotCounted()
{
    Form3->ResetAfterAnalysis();
    ShowMessage("Ошибка вычисления хэша файла!");
}

void AnalyzeVideo::ShowMakeTableError()
{
    Form3->ResetAfterAnalysis();
    ShowMessage("Создание табличного изображения завершилось с ошибкой!");
}
