// The record form's load through view.php, its status panels, the picture with its two zoom modes, the memo,
// the clipboard and the value picker hooks.

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>

#include "BrowseFixture.h"
#include "HttpClient.h"
#include "RecordPicture.h"
#include "Unit1.h"
#include "Unit5.h"
#include "Unit8.h"
#include "ValueListEditor.h"

namespace {

// A JPEG picture of one colour cut after its scan header: the header announces width x height, and no picture
// data follows.
std::string headerOnlyJpeg(int width, int height)
{
    std::string bytes = jpegBytes(16, 16);
    const auto frame = bytes.find("\xFF\xC0");
    const auto scan = bytes.find("\xFF\xDA");
    if (frame == std::string::npos || scan == std::string::npos)
        return {};
    const auto put16 = [&bytes](std::size_t at, int value) {
        bytes[at] = static_cast<char>(value >> 8);
        bytes[at + 1] = static_cast<char>(value & 0xFF);
    };
    put16(frame + 5, height);
    put16(frame + 7, width);
    const std::size_t scanHeader = (static_cast<unsigned char>(bytes[scan + 2]) << 8) | static_cast<unsigned char>(bytes[scan + 3]);
    return bytes.substr(0, scan + 2 + scanHeader) + "\xFF\xD9";
}

class RecordForm : public BrowseTest {
protected:
    // Loads a scripted view.php reply into the visible form.
    void loadReply(const std::string& reply)
    {
        server().script("view.php", ts::HttpReply::Text(reply));
        VIEW_ID = 42;
        Form8->FormShow();
    }
    // A view.php reply: "OK", the id line, 17 values and the seven measurement lines given.
    static std::string viewReply(const std::vector<std::string>& measurements, const std::string& title = "Фильм")
    {
        std::string reply = "OK\n42\n" + title;
        for (int row = 2; row <= 17; ++row)
            reply += "\nvalue " + std::to_string(row);
        for (const std::string& line : measurements)
            reply += "\n" + line;
        return reply;
    }
    // Loads a new record whose get_image.php reply is `reply`: the picture message, no picture, the fields on show.
    void expectPictureRefused(const ts::HttpReply& reply)
    {
        dialogs.messages.clear();
        server().script("get_image.php", reply);
        VIEW_ID = addFilm("Без картинки");
        Form8->FormShow();
        waitForPicture();
        EXPECT_EQ(dialogs.messages,
                  std::vector<std::string>{"Изображение не загружено\n Попробуйте повторить запрос чуть позже!"});
        EXPECT_TRUE(Form8->Picture().isNull());
        EXPECT_TRUE(Form8->Image1->pixmap().isNull());
        EXPECT_EQ(value(1), "Без картинки");
    }
    static std::string panel(int i) { return text(Form8->StatusPanels[i]); }
    static std::string value(int row) { return Form8->ValueListEditor1->Value(row).ToUtf8(); }
};

TEST_F(RecordForm, ModeFollowsTheIdAndTheRequestGoesOutAnyway)
{
    for (int id : {0, -5}) {
        SCOPED_TRACE(id);
        server().clearRequests();
        VIEW_ID = id;
        Form8->show();
        EXPECT_EQ(Form8->windowTitle().toStdString(), "Просмотр данных");
        EXPECT_TRUE(Form8->BitBtn6->isHidden());
        EXPECT_TRUE(Form8->BitBtn9->isHidden());
        const auto views = requestsTo("view.php");
        ASSERT_EQ(views.size(), 1u);
        const auto parts = partsOf(views[0]);
        ASSERT_EQ(parts.size(), 3u);
        EXPECT_EQ(parts[0].text(), account);
        EXPECT_EQ(parts[1].text(), "secret");
        EXPECT_EQ(parts[2].name, "id");
        EXPECT_EQ(parts[2].text(), std::to_string(id));
        Form8->hide();
    }
    const int id = addFilm("Редактируемый");
    VIEW_ID = id;
    Form8->show();
    EXPECT_EQ(Form8->windowTitle().toStdString(), "Просмотр и редактирование данных");
    EXPECT_FALSE(Form8->BitBtn6->isHidden());
    EXPECT_FALSE(Form8->BitBtn9->isHidden());
}

TEST_F(RecordForm, LoadFillsTheEditorAndTheStatusPanels)
{
    const int id = addFilm("Полная запись", {{"producer", "Режиссёр"}, {"imdb", "https://imdb.example/t1"},
                                             {"width", "1920"}, {"height", "1080"}, {"fps", "25"},
                                             {"frames", "123456"}, {"size", "1234567.9"}, {"duration", "5400.9"},
                                             {"md5", "d41d8cd98f00b204e9800998ecf8427e"}});
    VIEW_ID = id;
    Form8->show();
    EXPECT_EQ(value(1), "Полная запись");
    EXPECT_EQ(value(2), "Режиссёр");
    EXPECT_EQ(value(16), "https://imdb.example/t1");
    EXPECT_EQ(value(17), "1975");
    EXPECT_EQ(panel(0), "1920x1080@25");
    EXPECT_EQ(panel(1), "1:30:00 (5 400 сек)");
    EXPECT_EQ(panel(2), "Фреймов: 123 456");
    EXPECT_EQ(panel(3), "Размер: 1 234 567");
    EXPECT_EQ(panel(4), "MD5: d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(panel(5), "");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(RecordForm, MalformedNumbersShowZero)
{
    struct Case {
        const char* size;
        const char* frames;
        const char* duration;
        const char* sizePanel;
        const char* framesPanel;
        const char* durationPanel;
    };
    const Case cases[] = {
        {"1234567.9", "letters", "5400.9", "Размер: 1 234 567", "Фреймов: 0", "1:30:00 (5 400 сек)"},
        {"12a", "25.5", "", "Размер: 0", "Фреймов: 0", "0:00:00 (0 сек)"},
        {"", "", "abc", "Размер: 0", "Фреймов: 0", "0:00:00 (0 сек)"},
        {"1e30", "-3", "1e30", "Размер: 9 223 372 036 854 775 807", "Фреймов: -3",
         "596523:14:07 (2 147 483 647 сек)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        loadReply(viewReply({"640", "480", c.size, c.frames, "30", c.duration, "md5"}));
        EXPECT_EQ(panel(3), c.sizePanel);
        EXPECT_EQ(panel(2), c.framesPanel);
        EXPECT_EQ(panel(1), c.durationPanel);
    }
}

TEST_F(RecordForm, LinesAfterTheDigestAreIgnored)
{
    loadReply(viewReply({"1", "2", "3", "4", "5", "6", "digest", "extra 26", "extra 27", "extra 28", "extra 29"}));
    EXPECT_EQ(panel(4), "MD5: digest");
    EXPECT_EQ(value(17), "value 17");
}

TEST_F(RecordForm, AShortReplyLeavesTheMissingValuesEmpty)
{
    loadReply(viewReply({"1", "2", "3", "4", "5", "6", "digest"}));
    loadReply("OK\n42\nКороткая\nвторое");
    EXPECT_EQ(value(1), "Короткая");
    EXPECT_EQ(value(2), "второе");
    EXPECT_EQ(value(3), "");
    EXPECT_EQ(value(17), "");
    EXPECT_EQ(panel(0), "x@");
    EXPECT_EQ(panel(1), "0:00:00 (0 сек)");
    EXPECT_EQ(panel(2), "Фреймов: 0");
    EXPECT_EQ(panel(3), "Размер: 0");
    EXPECT_EQ(panel(4), "MD5: ");
}

TEST_F(RecordForm, AFirstLineOtherThanOkFillsNothingAndFetchesNoPicture)
{
    struct Case {
        ts::HttpReply reply;
        const char* message;  // nullptr: no message
    };
    const Case cases[] = {
        {ts::HttpReply::Text("OK \nx\nNew title"), nullptr},
        {ts::HttpReply::Text("ok\nx\nNew title"), nullptr},
        {ts::HttpReply::Text("Record not found"), "Запись не найдена!"},
        {ts::HttpReply::Text("Wrong password"), "Неверный пароль!"},
        {ts::HttpReply::Text("User not found"), "Пользователь не найден!"},
        {ts::HttpReply::Text("User blocked"), "Пользователь заблокирован!"},
        {ts::HttpReply::Text(""), "Сервер недоступен!\n Попробуйте повторить запрос чуть позже!"},
        {ts::HttpReply::Text("OK", 404), "Сервер недоступен!\n Попробуйте повторить запрос чуть позже!"},
    };
    const int id = addFilm("Прежняя запись", {{"md5", "old"}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.body);
        server().unscript("view.php");
        VIEW_ID = id;
        Form8->FormShow();
        waitForPicture();
        ASSERT_FALSE(Form8->Picture().isNull());
        server().clearRequests();
        dialogs.messages.clear();

        server().script("view.php", c.reply);
        VIEW_ID = 999999;
        Form8->FormShow();
        pumpEvents(std::chrono::milliseconds(150));
        if (c.message)
            EXPECT_EQ(dialogs.messages, std::vector<std::string>{c.message});
        else
            EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_EQ(value(1), "Прежняя запись");
        EXPECT_EQ(panel(4), "MD5: old");
        EXPECT_TRUE(Form8->Picture().isNull());
        EXPECT_TRUE(Form8->Image1->pixmap().isNull());
        EXPECT_TRUE(requestsTo("get_image.php").empty());
        EXPECT_EQ(Form8->windowTitle().toStdString(), "Просмотр и редактирование данных");
        EXPECT_EQ(Form8->ShownId(), id);
    }
}

TEST_F(RecordForm, APictureThatIsNotJpegStaysEmpty)
{
    for (const ts::HttpReply& reply : {ts::HttpReply::Text("Wrong password"), ts::HttpReply::Text(""),
                                       ts::HttpReply::Text(jpegBytes(8, 8), 500),
                                       ts::HttpReply::Text(pictureBytes(8, 8, "PNG")),
                                       ts::HttpReply::Text(pictureBytes(8, 8, "BMP"))}) {
        SCOPED_TRACE(std::to_string(reply.status) + " " + reply.body.substr(0, 20));
        expectPictureRefused(reply);
    }
}

// Qt's image readers refuse to allocate more than a cap of their own unless told otherwise; every picture the
// analyzer can make is shown, the tallest table view picture (503 MB decoded) included.
TEST_F(RecordForm, EveryPictureTheAnalyzerMakesIsShown)
{
    for (const QSize size : {QSize(6000, 6000), QSize(1920, 65500)}) {
        SCOPED_TRACE(size.height());
        VIEW_ID = addFilm("Огромная картинка");
        auto stored = *server().record(VIEW_ID);
        stored.files["table"] = {"table.jpg", jpegBytes(size.width(), size.height())};
        server().addRecord(stored);
        Form8->FormShow();
        waitForPicture();
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_EQ(Form8->Picture().size(), size);
        Form8->ClearFiledsExecute();
    }
}

// A picture reply is bounded: one over MaxRecordPictureBytes is not received, and one whose header announces
// more than MaxRecordPicturePixels is not decoded. Both give the picture message; the fields stay on show.
TEST_F(RecordForm, APictureOverItsBoundsIsNotDecoded)
{
    // A picture followed by more bytes than the bound allows, its length announced: ended before any is taken.
    ts::HttpReply announced = ts::HttpReply::Text(jpegBytes(8, 8));
    announced.fillBytes = MaxRecordPictureBytes + 1 - announced.body.size();
    struct Case {
        const char* what;
        ts::HttpReply reply;
        QSize header;  // what the reply's header announces, when it is one
    };
    const Case cases[] = {
        {"a length over the bound", announced, {}},
        {"a header of 30000 x 30000 pixels", ts::HttpReply::Text(headerOnlyJpeg(30000, 30000)), {30000, 30000}},
        {"a header just over the pixel bound", ts::HttpReply::Text(headerOnlyJpeg(2000, 64001)), {2000, 64001}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.header.isValid()) {
            QByteArray bytes = QByteArray::fromStdString(c.reply.body);
            QBuffer device(&bytes);
            ASSERT_EQ(QImageReader(&device, "JPG").size(), c.header);
        }
        expectPictureRefused(c.reply);
    }
}

// A text reply over its bound fails the load as an unreachable server does; nothing of it is shown.
TEST_F(RecordForm, ARecordReplyOverTheTextBoundFailsTheLoad)
{
    const int id = addFilm("Прежняя запись");
    VIEW_ID = id;
    Form8->FormShow();
    waitForPicture();
    dialogs.messages.clear();
    server().clearRequests();

    ts::HttpReply huge = ts::HttpReply::Text(viewReply({"1920", "1080", "1000", "250", "25", "10", "abc"}, "Новая"));
    huge.fillBytes = MaxTextReplyBytes + 1 - huge.body.size();
    huge.chunked = true;
    server().script("view.php", huge);
    VIEW_ID = 42;
    Form8->FormShow();
    pumpEvents(std::chrono::milliseconds(150));
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Сервер недоступен!\n Попробуйте повторить запрос чуть позже!"});
    EXPECT_EQ(value(1), "Прежняя запись");
    EXPECT_EQ(Form8->ShownId(), id);
    EXPECT_TRUE(requestsTo("get_image.php").empty());
}

// Closing the form gives the picture's memory back; the next opening loads it again.
TEST_F(RecordForm, ClosingTheFormReleasesThePicture)
{
    VIEW_ID = addFilm("Картинка");
    Form8->show();
    waitForPicture();
    ASSERT_FALSE(Form8->Picture().isNull());
    Form8->BitBtn4->click();
    EXPECT_FALSE(Form8->isVisible());
    EXPECT_TRUE(Form8->Picture().isNull());
    EXPECT_TRUE(Form8->Image1->pixmap().isNull());
    Form8->show();
    waitForPicture();
    EXPECT_EQ(Form8->Picture().size(), QSize(40, 30));
}

TEST_F(RecordForm, TwoLoadsInARowFetchThePictureOnce)
{
    VIEW_ID = addFilm("Одна картинка");
    Form8->FormShow();
    Form8->FormShow();
    EXPECT_EQ(requestsTo("view.php").size(), 2u);
    EXPECT_TRUE(requestsTo("get_image.php").empty());  // only once the loads have returned
    waitForPicture();
    pumpEvents(std::chrono::milliseconds(150));
    const auto pictures = requestsTo("get_image.php");
    ASSERT_EQ(pictures.size(), 1u);
    std::vector<std::string> names;
    for (const ts::FormPart& part : partsOf(pictures[0]))
        names.push_back(part.name);
    EXPECT_EQ(names, (std::vector<std::string>{"user", "password", "id"}));
    EXPECT_EQ(fieldsOf(pictures[0])["user"], account);
    EXPECT_EQ(fieldsOf(pictures[0])["id"], std::to_string(VIEW_ID));
    EXPECT_EQ(Form8->Picture().size(), QSize(40, 30));
}

TEST_F(RecordForm, ZoomModesSetTheScrollRanges)
{
    VIEW_ID = addFilm("Большая картинка");
    auto stored = *server().record(VIEW_ID);
    stored.files["table"] = {"table.jpg", jpegBytes(3000, 2000)};
    server().addRecord(stored);

    Form8->N2Click();  // no picture yet: the ranges of "Вписать" still follow the scroll box
    Form8->show();
    waitForPicture();
    ASSERT_EQ(Form8->Picture().size(), QSize(3000, 2000));
    EXPECT_TRUE(Form8->N2->isChecked());
    const QSize fit = Form8->ScrollBox1->size() - QSize(10, 10);
    EXPECT_EQ(Form8->Image1->size(), fit);
    const QSize scaled = Form8->Image1->pixmap().size();
    EXPECT_TRUE(scaled.width() == fit.width() || scaled.height() == fit.height());
    EXPECT_LE(scaled.width(), fit.width());
    EXPECT_LE(scaled.height(), fit.height());

    Form8->ScrollBox1->horizontalScrollBar()->setValue(50);
    Form8->N1->trigger();
    EXPECT_TRUE(Form8->N1->isChecked());
    EXPECT_FALSE(Form8->N2->isChecked());
    EXPECT_EQ(Form8->Image1->size(), QSize(3000, 2000));
    EXPECT_EQ(Form8->Image1->pixmap().size(), QSize(3000, 2000));
    EXPECT_EQ(Form8->ScrollBox1->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(Form8->ScrollBox1->verticalScrollBar()->value(), 0);

    // The choice holds for the next picture; with no picture the ranges are 0.
    Form8->FormShow();
    waitForPicture();
    EXPECT_EQ(Form8->Image1->size(), QSize(3000, 2000));
    Form8->ClearFiledsExecute();
    Form8->N1Click();
    EXPECT_EQ(Form8->Image1->size(), QSize(0, 0));
    Form8->N2Click();
}

// The zoom menu is the only way to change the mode, so it opens anywhere in the picture's area, even while the
// picture is empty and, in "Исходный масштаб", has no size at all.
TEST_F(RecordForm, TheZoomMenuOpensAnywhereInThePictureArea)
{
    server().script("view.php", ts::HttpReply::Text("Record not found"));
    VIEW_ID = 42;
    Form8->show();
    for (QAction* mode : {Form8->N2, Form8->N1}) {
        SCOPED_TRACE(mode->text().toStdString());
        mode->trigger();
        QWidget* area = Form8->ScrollBox1->viewport();
        const QPoint inside(area->width() - 20, area->height() - 20);
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, inside, area->mapToGlobal(inside));
        QApplication::sendEvent(area->childAt(inside) ? area->childAt(inside) : area, &rightClick);
        EXPECT_TRUE(Form8->PopupMenu1->isVisible());
        Form8->PopupMenu1->hide();
    }
    Form8->N2->trigger();
}

TEST_F(RecordForm, TheMemoShowsTheClickedRowAndSurvivesALoad)
{
    VIEW_ID = addFilm("Первая", {{"producer", "Режиссёр первой"}});
    Form8->show();
    Form8->ValueListEditor1->SetRow(2);
    EXPECT_EQ(Form8->Memo2->toPlainText().toStdString(), "Режиссёр первой");
    VIEW_ID = addFilm("Вторая", {{"producer", "Режиссёр второй"}});
    Form8->FormShow();
    EXPECT_EQ(value(2), "Режиссёр второй");
    EXPECT_EQ(Form8->Memo2->toPlainText().toStdString(), "Режиссёр первой");
}

TEST_F(RecordForm, DoubleClickCopiesTheRowAndOpensThePickerOnItsPage)
{
    VIEW_ID = addFilm("Картинка", {{"actors", "Актёры фильма"}, {"country_en", "USSR"}, {"genre_en", "family"}});
    Form8->show();
    struct Case {
        int row;
        const char* copied;
        int page;  // -1: no picker
    };
    const Case cases[] = {
        {5, "Актёры фильма", -1}, {3, "СССР", 0},   {4, "детский", 1},
        {9, "USSR", 2},           {10, "family", 3}, {1, "Картинка", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        Form5->hide();
        Form5->PageControl1->setCurrentIndex(c.page == 3 ? 0 : 3);
        Form8->ValueListEditor1->SetRow(c.row);
        Form8->ValueListEditor1DblClick();
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(), c.copied);
        EXPECT_EQ(Form5->isVisible(), c.page >= 0);
        if (c.page >= 0) {
            EXPECT_EQ(Form5->PageControl1->currentIndex(), c.page);
        }
    }

    // A picker already open behind the record form comes to the front.
    Form8->activateWindow();
    ASSERT_TRUE(waitUntil([] { return QApplication::activeWindow() == Form8; }, std::chrono::seconds(2)));
    Form8->ValueListEditor1->SetRow(3);
    Form8->ValueListEditor1DblClick();
    EXPECT_TRUE(waitUntil([] { return QApplication::activeWindow() == Form5; }, std::chrono::seconds(2)));
    EXPECT_EQ(Form5->PageControl1->currentIndex(), 0);
}

TEST_F(RecordForm, ActivationMakesThePickerFillThisForm)
{
    CurEditForm = "Form3";
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(Form8, &activate);
    EXPECT_EQ(CurEditForm.ToUtf8(), "Form8");
}

}  // namespace
