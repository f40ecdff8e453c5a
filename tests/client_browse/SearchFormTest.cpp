// The search form: find.php's request and replies, the result grid and its status, stepping and opening hits.

#include <QHeaderView>
#include <QLabel>

#include "BrowseFixture.h"
#include "ClientState.h"
#include "StringGrid.h"
#include "Unit7.h"
#include "Unit8.h"
#include "ValueListEditor.h"

namespace {

const char* const ServerUnavailable = "Сервер недоступен!\n Попробуйте повторить запрос чуть позже!";

class SearchForm : public BrowseTest {
protected:
    void search(const std::string& reply)
    {
        server().script("find.php", ts::HttpReply::Text(reply));
        Form7->BitBtn1Click();
    }
    // Criteria that only this test's films match.
    void searchOwnFilms(const std::string& titlePart)
    {
        Form7->BitBtn2Click();
        Form7->ValueListEditor1->SetValue(1, UnicodeString(titlePart));
        Form7->BitBtn1Click();
    }
    TStringGrid& grid() { return *Form7->StringGrid1; }
};

TEST_F(SearchForm, OkAloneGivesOneEmptyRowAndEmptyCounts)
{
    for (const char* reply : {"OK", "OK\r\n"}) {
        search("OK\n1\tx\ty");
        search(reply);
        EXPECT_EQ(grid().RowCount(), 2) << reply;
        for (int col = 0; col < 9; ++col)
            EXPECT_EQ(cell(grid(), col, 1), "") << reply << " column " << col;
        EXPECT_EQ(text(Form7->StatusPanels[0]), "");
        EXPECT_EQ(text(Form7->StatusPanels[1]), "");
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SearchForm, HitsAreNumberedDecodedAndCounted)
{
    search("OK\n11\tДве\\nстроки\tРеж\tСССР\t1975\t3725.4\tдетский\tактёр\n"
           "12\tB\t\t\t\t5400.9\n"
           "13\tC");
    ASSERT_EQ(grid().RowCount(), 4);
    EXPECT_EQ(cell(grid(), 0, 1), "1");
    EXPECT_EQ(cell(grid(), 0, 3), "3");
    EXPECT_EQ(cell(grid(), 1, 1), "11");
    EXPECT_EQ(cell(grid(), 2, 1), "Две строки");
    EXPECT_EQ(cell(grid(), 6, 1), "1:02:05 (3 725 сек)");
    EXPECT_EQ(cell(grid(), 6, 2), "1:30:00 (5 400 сек)");
    EXPECT_EQ(cell(grid(), 8, 1), "актёр");
    EXPECT_EQ(cell(grid(), 8, 3), "");
    EXPECT_EQ(text(Form7->StatusPanels[1]), "Всего записей: 3");
    EXPECT_EQ(text(Form7->StatusPanels[0]), "Запись: " + std::to_string(grid().Row()));
}

TEST_F(SearchForm, ASearchKeepsTheCurrentRowWhileItExists)
{
    search("OK\n1\ta\n2\tb\n3\tc");
    grid().SetRow(3);
    search("OK\n1\ta\n2\tb\n3\tc\n4\td\n5\te");
    EXPECT_EQ(grid().Row(), 3);
    EXPECT_EQ(text(Form7->StatusPanels[0]), "Запись: 3");
    search("OK\n1\ta\n2\tb");
    EXPECT_EQ(grid().Row(), 2);
    EXPECT_EQ(text(Form7->StatusPanels[0]), "Запись: 2");
    EXPECT_EQ(text(Form7->StatusPanels[1]), "Всего записей: 2");
}

TEST_F(SearchForm, ExampleCriteriaAreSentAsNineParts)
{
    Form7->BitBtn3Click();
    search("OK");
    const auto requests = requestsTo("find.php");
    ASSERT_EQ(requests.size(), 1u);
    const auto parts = partsOf(requests[0]);
    ASSERT_EQ(parts.size(), 9u);

    struct Expected {
        const char* name;
        std::string value;
    };
    const Expected expected[] = {
        {"user", account},          {"password", "secret"},      {"title", "приключения"},
        {"producer", ""},           {"country", "СССР"},          {"genre", "детский"},
        {"actors", ""},             {"creation_year1", "1970"},   {"creation_year2", "1990"},
    };
    for (size_t i = 0; i < parts.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(parts[i].name, expected[i].name);
        EXPECT_EQ(parts[i].text(), expected[i].value);
        const bool criterion = i >= 2;
        EXPECT_EQ(parts[i].charset, criterion ? "UTF-8" : "");
        EXPECT_EQ(parts[i].transferEncoding, criterion ? "binary" : "quoted-printable");
    }
}

TEST_F(SearchForm, ClearEmptiesEveryCriterion)
{
    Form7->BitBtn3Click();
    Form7->BitBtn2Click();
    for (int row = 1; row <= 7; ++row)
        EXPECT_TRUE(Form7->ValueListEditor1->Value(row).IsEmpty()) << row;
    EXPECT_EQ(Form7->ValueListEditor1->Caption(7).ToUtf8(), "Год выпуска (до)");
}

TEST_F(SearchForm, CatalogueHitsMatchTheCriteria)
{
    addFilm("Поисковый тест один", {{"creation_year", "1980"}});
    addFilm("Поисковый тест два", {{"creation_year", "2005"}});
    Form7->BitBtn2Click();
    Form7->ValueListEditor1->SetValue(1, "поисковый тест");
    Form7->ValueListEditor1->SetValue(7, "1990");
    Form7->BitBtn1Click();
    ASSERT_EQ(grid().RowCount(), 2);
    EXPECT_EQ(cell(grid(), 2, 1), "Поисковый тест один");
}

TEST_F(SearchForm, RefusalsAndFailuresKeepTheGrid)
{
    struct Case {
        ts::HttpReply reply;
        const char* message;  // nullptr: no message
    };
    const Case cases[] = {
        {ts::HttpReply::Text("Wrong password"), "Неверный пароль!"},
        {ts::HttpReply::Text("User not found\n"), "Пользователь не найден!"},
        {ts::HttpReply::Text("User blocked"), "Пользователь заблокирован!"},
        {ts::HttpReply::Text("Something else"), nullptr},
        {ts::HttpReply::Text("ok"), nullptr},
        {ts::HttpReply::Text(""), ServerUnavailable},
        {ts::HttpReply::Text("OK", 500), ServerUnavailable},
        {ts::HttpReply::Text("OK", 302), ServerUnavailable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.body + " " + std::to_string(c.reply.status));
        search("OK\n7\tKept");
        dialogs.messages.clear();
        server().script("find.php", c.reply);
        Form7->BitBtn1Click();
        EXPECT_EQ(grid().RowCount(), 2);
        EXPECT_EQ(cell(grid(), 2, 1), "Kept");
        if (c.message)
            EXPECT_EQ(dialogs.messages, std::vector<std::string>{c.message});
        else
            EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST_F(SearchForm, UnreachableServerShowsTheFailureMessage)
{
    const UnicodeString saved = Work_URL;
    Work_URL = "https://127.0.0.1:1/desk/v3/";
    search("OK");
    Work_URL = saved;
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{ServerUnavailable});
}

TEST_F(SearchForm, SteppingMovesWithinTheHitsAndOpensThem)
{
    const int first = addFilm("Шаговый фильм 1");
    const int second = addFilm("Шаговый фильм 2");
    addFilm("Шаговый фильм 3");
    searchOwnFilms("Шаговый фильм");
    ASSERT_EQ(grid().RowCount(), 4);

    grid().SetRow(1);
    Form7->Button1Click();  // on the first row: nothing
    EXPECT_EQ(VIEW_ID, -1);
    EXPECT_TRUE(requestsTo("view.php").empty());

    Form7->Button3Click();
    EXPECT_EQ(grid().Row(), 2);
    EXPECT_EQ(VIEW_ID, second);
    EXPECT_EQ(Table.ToUtf8(), "Search");
    EXPECT_TRUE(Form8->isVisible());
    EXPECT_EQ(Form8->ValueListEditor1->Value(1).ToUtf8(), "Шаговый фильм 2");
    EXPECT_EQ(text(Form7->StatusPanels[0]), "Запись: 2");

    Form7->Button1Click();
    EXPECT_EQ(VIEW_ID, first);

    grid().SetRow(3);
    server().clearRequests();
    Form7->Button3Click();  // on the last row: nothing
    EXPECT_EQ(grid().Row(), 3);
    EXPECT_TRUE(requestsTo("view.php").empty());
}

TEST_F(SearchForm, OpeningAnEmptyRowOpensNothing)
{
    search("OK");
    grid().OnDblClick();
    EXPECT_EQ(VIEW_ID, 0);
    EXPECT_FALSE(Form8->isVisible());
    EXPECT_TRUE(requestsTo("view.php").empty());
}

TEST_F(SearchForm, OpeningAHitWithTheRecordFormHiddenLoadsItTwiceAndThePictureOnce)
{
    const int id = addFilm("Двойная загрузка");
    searchOwnFilms("Двойная загрузка");
    grid().SetRow(1);
    Form7->Button2Click();
    waitForPicture();
    EXPECT_EQ(VIEW_ID, id);
    const auto views = requestsTo("view.php");
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(fieldsOf(views[1])["id"], std::to_string(id));
    EXPECT_EQ(requestsTo("get_image.php").size(), 1u);
    EXPECT_FALSE(Form8->Picture().isNull());
}

TEST_F(SearchForm, WithTheServerFailingTheHiddenRecordFormReportsBothLoads)
{
    addFilm("Недоступный");
    searchOwnFilms("Недоступный");
    server().script("view.php", ts::HttpReply::Text("", 500));
    grid().SetRow(1);
    Form7->Button2Click();
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{ServerUnavailable, ServerUnavailable}));
}

// A double-click opens the current row wherever it lands: on the title row, or on the blank part of the grid
// below the last row.
TEST_F(SearchForm, DoubleClickOutsideTheCellsOpensTheCurrentRow)
{
    addFilm("Вне ячеек 1");
    const int second = addFilm("Вне ячеек 2");
    searchOwnFilms("Вне ячеек");
    Form7->show();
    QWidget* blank = grid().viewport();
    const QPoint below(60, blank->height() - 5);
    ASSERT_FALSE(grid().indexAt(below).isValid());
    QWidget* title = grid().horizontalHeader()->viewport();
    for (auto [target, at] : {std::pair{title, QPoint(100, 5)}, std::pair{blank, below}}) {
        Form8->hide();
        VIEW_ID = -1;
        grid().SetRow(2);
        sendDoubleClick(*target, at);
        EXPECT_EQ(VIEW_ID, second) << (target == title ? "title row" : "below the rows");
        EXPECT_TRUE(Form8->isVisible());
    }
}

TEST_F(SearchForm, ClickingACellShowsItsTextInPanelTwoOnly)
{
    search("OK\n5\tДлинное название фильма\tРежиссёр");
    Form7->StatusPanels[0]->setText("zero");
    Form7->StatusPanels[1]->setText("one");
    grid().setCurrentCell(0, 2);
    EXPECT_EQ(text(Form7->StatusPanels[2]), "Длинное название фильма");
    grid().setCurrentCell(0, 3);
    EXPECT_EQ(text(Form7->StatusPanels[2]), "Режиссёр");
    EXPECT_EQ(text(Form7->StatusPanels[0]), "zero");
    EXPECT_EQ(text(Form7->StatusPanels[1]), "one");
}

// The number and id columns are fixed: panel 2 shows a cell of the current row's data columns, never "№" or
// an id, whatever is clicked or pressed.
TEST_F(SearchForm, FixedColumnsNeverBecomeCurrent)
{
    search("OK\n7\ta\n8\tb\n9\tc");
    Form7->show();
    grid().SetRow(2);
    EXPECT_EQ(grid().currentColumn(), 2);
    EXPECT_EQ(text(Form7->StatusPanels[2]), "b");

    QWidget& cells = *grid().viewport();
    for (const int col : {0, 1}) {
        sendClick(cells, grid().visualItemRect(grid().item(2, col)).topLeft());
        EXPECT_EQ(grid().Row(), 2) << "column " << col;
        EXPECT_EQ(grid().currentColumn(), 2) << "column " << col;
        EXPECT_EQ(text(Form7->StatusPanels[2]), "b") << "column " << col;
    }

    sendClick(cells, grid().visualItemRect(grid().item(0, 3)).center());
    ASSERT_EQ(grid().currentColumn(), 3);
    for (const int key : {Qt::Key_Home, Qt::Key_Left, Qt::Key_Left}) {
        sendKey(grid(), key);
        EXPECT_EQ(grid().currentColumn(), 2) << key;
        EXPECT_EQ(text(Form7->StatusPanels[2]), "a") << key;
    }
}

}  // namespace
