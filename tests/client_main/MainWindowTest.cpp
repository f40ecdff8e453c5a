#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <climits>

#include "ClientWindows.h"
#include "HttpClient.h"
#include "QtText.h"
#include "StringGrid.h"
#include "Unit1.h"
#include "Unit3.h"
#include "Unit7.h"
#include "Unit8.h"
#include "utils/Formatting.h"

using tarvello::testserver::HttpReply;
using tarvello::testserver::Record;

namespace {

const std::string Unavailable = "Сервер недоступен!\n Попробуйте повторить запрос чуть позже!";
const std::string DeleteQuestion = "Вы уверены, что хотите удалить запись?\nОтмена будет невозможна.";

class MainWindowTest : public ClientWindowTest {
protected:
    TStringGrid& grid() { return *Form1->StringGrid1; }
    std::string cell(int col, int row) { return grid().Cells(col, row).ToUtf8(); }
    std::string panel(int i) { return Form1->StatusPanels[i]->text().toStdString(); }

    int addRecord(const std::string& title, const std::string& duration = "3600")
    {
        Record record;
        record.owner = email;
        record.fields = {{"title", title}, {"producer", "Режиссёр"}, {"country", "Страна"},
                         {"creation_year", "1999"}, {"duration", duration}, {"genre", "драма"},
                         {"actors", "Актёр"}};
        return catalogue().addRecord(record);
    }

    // Fills the grid from the real catalogue with one record, so that a test can see it kept.
    void showOneRecord()
    {
        catalogue().unscript("list.php");
        addRecord("Прежняя запись");
        Form1->BitBtn1Click();
        ASSERT_EQ(cell(2, 1), "Прежняя запись");
        dialogs.messages.clear();
        catalogue().clearRequests();
    }

    void refreshWith(HttpReply reply)
    {
        catalogue().script("list.php", std::move(reply));
        Form1->BitBtn1Click();
    }
};

TEST_F(MainWindowTest, RefreshSendsTheAccountAndShowsEachRecordNumbered)
{
    addRecord("Первый");
    addRecord("Второй");
    addRecord("Третий");
    Form1->BitBtn1Click();

    const auto requests = requestsTo("list.php");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(partData(requests[0], "user"), email);
    EXPECT_EQ(partData(requests[0], "password"), password);

    EXPECT_EQ(grid().RowCount(), 4);
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(cell(0, row), std::to_string(row));
    EXPECT_EQ(cell(2, 1), "Первый");
    EXPECT_EQ(cell(2, 3), "Третий");
    EXPECT_EQ(cell(6, 1), GetTimeForMovieRus(3600).ToUtf8());
    EXPECT_EQ(panel(1), "Всего записей: 3");
    EXPECT_TRUE(dialogs.messages.empty());

    grid().SetRow(2);
    EXPECT_EQ(panel(0), "Запись: 2");
}

TEST_F(MainWindowTest, AnOkOnlyListLeavesOneEmptyRowAndEmptyPanels)
{
    for (const char* reply : {"OK", "OK\n", "OK\r\n"}) {
        SCOPED_TRACE(reply);
        showOneRecord();
        refreshWith(HttpReply::Text(reply));
        EXPECT_EQ(grid().RowCount(), 2);
        for (int col = 0; col < 9; ++col)
            EXPECT_EQ(cell(col, 1), "");
        EXPECT_EQ(panel(0), "");
        EXPECT_EQ(panel(1), "");
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST_F(MainWindowTest, RecordLineFieldsAreDecodedAndShortLinesPadded)
{
    refreshWith(HttpReply::Text("OK\n"
                                "7\tКороткая\tРежиссёр\n"
                                "8\tДва\\nслова\tR\tC\t2001\t5400.9\tG\\tH\tA\\r\\nB\textra\n"));
    EXPECT_EQ(cell(1, 1), "7");
    EXPECT_EQ(cell(3, 1), "Режиссёр");
    for (int col : {4, 5, 7, 8})
        EXPECT_EQ(cell(col, 1), "") << "column " << col;
    EXPECT_EQ(cell(6, 1), GetTimeForMovieRus(0).ToUtf8());

    EXPECT_EQ(cell(2, 2), "Два слова");
    EXPECT_EQ(cell(6, 2), GetTimeForMovieRus(5400).ToUtf8());
    EXPECT_EQ(cell(7, 2), "G H");
    EXPECT_EQ(cell(8, 2), "A  B");
}

TEST_F(MainWindowTest, DurationsAreReadAsTheCLibraryReadsTheLeadingNumber)
{
    struct Case {
        const char* field;
        int seconds;
    };
    const Case cases[] = {
        {"5400.9", 5400}, {" 61 s", 61},  {"12e", 12},         {"1.5e3x", 1500},    {"-5.7", -5},
        {"+7", 7},        {"+-7", 0},     {"abc", 0},          {"", 0},             {"nan", 0},
        {".5", 0},        {"1e-400", 0},  {"1e400", INT_MAX},  {"-1e400", INT_MIN}, {"99999999999", INT_MAX},
    };
    std::string reply = "OK\n";
    for (const Case& c : cases)
        reply += std::string("1\tT\tD\tC\t2000\t") + c.field + "\tG\tA\n";
    refreshWith(HttpReply::Text(reply));
    ASSERT_EQ(grid().RowCount(), int(std::size(cases)) + 1);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cell(6, int(i) + 1), GetTimeForMovieRus(cases[i].seconds).ToUtf8()) << "field " << cases[i].field;
}

TEST_F(MainWindowTest, AShorterListMovesTheSelectionToItsLastRow)
{
    refreshWith(HttpReply::Text("OK\n1\tA\n2\tB\n3\tC\n4\tD\n5\tE"));
    grid().SetRow(5);
    refreshWith(HttpReply::Text("OK\n1\tA\n2\tB"));
    EXPECT_EQ(grid().Row(), 2);
    EXPECT_EQ(panel(0), "Запись: 2");
    EXPECT_EQ(panel(1), "Всего записей: 2");
}

TEST_F(MainWindowTest, RefusalsAndUnknownRepliesKeepTheGrid)
{
    struct Case {
        const char* reply;
        const char* message;  // nullptr: nothing is shown
    };
    const Case cases[] = {
        {"Wrong password\n", "Неверный пароль!"},
        {"User not found", "Пользователь не найден!"},
        {"User blocked", "Пользователь заблокирован!"},
        {"Something else\n1\tX", nullptr},
        {"ok", nullptr},
        {"", Unavailable.c_str()},  // a reply without any line
    };
    showOneRecord();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        dialogs.messages.clear();
        refreshWith(HttpReply::Text(c.reply));
        EXPECT_EQ(dialogs.messages, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        EXPECT_EQ(cell(2, 1), "Прежняя запись");
    }
}

TEST_F(MainWindowTest, TheCatalogueRefusesAWrongPasswordAndABlockedAccount)
{
    Password = "not the password";
    Form1->BitBtn1Click();
    catalogue().addAccount("blocked@tarvello.example", "secret1", true);
    UserName = "blocked@tarvello.example";
    Password = "secret1";
    Form1->BitBtn1Click();
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"Неверный пароль!", "Пользователь заблокирован!"}));
}

TEST_F(MainWindowTest, RedirectsAndErrorStatusesFailTheRequest)
{
    HttpReply redirect = HttpReply::Text("OK", 302);
    redirect.headers = {"Location: " + catalogue().baseUrl() + "list.php"};
    showOneRecord();
    for (const HttpReply& reply : {redirect, HttpReply::Text("OK", 404), HttpReply::Text("OK", 500)}) {
        SCOPED_TRACE(reply.status);
        dialogs.messages.clear();
        refreshWith(reply);
        EXPECT_EQ(dialogs.messages, std::vector<std::string>{Unavailable});
        EXPECT_EQ(cell(2, 1), "Прежняя запись");
    }
    EXPECT_EQ(requestsTo("list.php").size(), 3u);  // the redirect was not followed
}

TEST_F(MainWindowTest, AServerThatNeverAnswersEndsInTheFailureMessage)
{
    HttpReply silent;
    silent.neverAnswer = true;
    refreshWith(silent);
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{Unavailable});
}

TEST_F(MainWindowTest, TextWithoutCharsetIsReadAsLatin1)
{
    HttpReply reply = HttpReply::Text("OK\n1\tСолярис");
    reply.contentType = "text/html";
    refreshWith(reply);
    EXPECT_EQ(grid().Cells(2, 1), ustr(QString::fromLatin1("Солярис")));
    EXPECT_NE(cell(2, 1), "Солярис");
}

TEST_F(MainWindowTest, CookiesGoBackOnlyWithTheWindowThatReceivedThem)
{
    HttpReply reply = HttpReply::Text("OK");
    reply.headers = {"Set-Cookie: session=main-window; Path=/"};
    refreshWith(reply);
    Form1->BitBtn1Click();

    HttpClient other;
    MultipartBody body;
    body.AddFormField("user", UserName);
    other.Post(Work_URL + "list.php", body);

    const auto requests = requestsTo("list.php");
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[1].header("Cookie"), "session=main-window");
    EXPECT_EQ(requests[2].header("Cookie"), "");
}

TEST_F(MainWindowTest, DeleteAsksFirstAndDoesNothingWhenDeclined)
{
    const int id = addRecord("Удаляемая");
    Form1->BitBtn1Click();
    catalogue().clearRequests();

    dialogs.answers = {false};
    Form1->BitBtn4Click();
    EXPECT_EQ(dialogs.questions, std::vector<std::string>{DeleteQuestion});
    EXPECT_EQ(dialogs.questionCaptions, std::vector<std::string>{"Подтверждение удаления записи"});
    EXPECT_TRUE(catalogue().requests().empty());

    Form1->BitBtn4Click();  // Yes
    const auto deletes = requestsTo("delete.php");
    ASSERT_EQ(deletes.size(), 1u);
    EXPECT_EQ(partData(deletes[0], "id"), std::to_string(id));
    EXPECT_EQ(partData(deletes[0], "password"), password);
    EXPECT_FALSE(catalogue().record(id).has_value());
    EXPECT_EQ(requestsTo("list.php").size(), 1u);  // refreshed after the reply
    EXPECT_EQ(cell(1, 1), "");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindowTest, EveryDeleteReplyIsFollowedByARefresh)
{
    struct Case {
        const char* reply;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"Record not found", {"Запись не найдена!"}},
        {"OK\n", {}},  // not "OK", yet nothing to say
        {"User blocked", {"Пользователь заблокирован!"}},
    };
    showOneRecord();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        catalogue().clearRequests();
        dialogs.messages.clear();
        catalogue().script("delete.php", HttpReply::Text(c.reply));
        Form1->BitBtn4Click();
        EXPECT_EQ(dialogs.messages, c.messages);
        const auto requests = catalogue().requests();
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(requests[0].script(), "delete.php");
        EXPECT_EQ(requests[1].script(), "list.php");
    }
}

TEST_F(MainWindowTest, AFailedDeleteIsNotFollowedByARefresh)
{
    showOneRecord();
    catalogue().script("delete.php", HttpReply::Text("OK", 500));
    Form1->BitBtn4Click();
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{Unavailable});
    EXPECT_EQ(requestsTo("list.php").size(), 0u);
}

TEST_F(MainWindowTest, DeletingTheEmptyRowOfAnEmptyListDoesNothing)
{
    refreshWith(HttpReply::Text("OK"));
    catalogue().clearRequests();
    Form1->BitBtn4Click();
    EXPECT_TRUE(dialogs.questions.empty());
    EXPECT_TRUE(catalogue().requests().empty());
}

TEST_F(MainWindowTest, OpeningARowWithoutANumericIdDoesNothing)
{
    for (const char* id : {"0", "abc", ""}) {
        SCOPED_TRACE(id);
        refreshWith(HttpReply::Text(std::string("OK\n") + id + "\tTitle"));
        Table = "Search";
        Form1->BitBtn3Click();
        EXPECT_EQ(VIEW_ID, 0);
        EXPECT_EQ(Table, UnicodeString("Search"));
        EXPECT_TRUE(Form8->isHidden());
    }
}

TEST_F(MainWindowTest, OpeningARowShowsItInTheRecordForm)
{
    refreshWith(HttpReply::Text("OK\n5\tFirst\n42\tSecond"));
    grid().SetRow(2);
    Form1->BitBtn3->click();
    EXPECT_EQ(VIEW_ID, 42);
    EXPECT_EQ(Table, UnicodeString("My"));
    EXPECT_TRUE(Form8->isVisible());

    Form8->hide();
    grid().SetRow(1);
    emit grid().cellDoubleClicked(0, 2);
    EXPECT_EQ(VIEW_ID, 5);
    EXPECT_TRUE(Form8->isVisible());
}

// The number and id columns are fixed: a click there neither moves nor selects, the keyboard stops beside them,
// and a double-click there opens the current row.
TEST_F(MainWindowTest, FixedColumnsNeverBecomeCurrent)
{
    refreshWith(HttpReply::Text("OK\n5\tFirst\n42\tSecond\n43\tThird"));
    Form1->show();
    grid().SetRow(2);
    EXPECT_EQ(grid().currentColumn(), 2);

    QWidget& cells = *grid().viewport();
    const QPoint numberOfThird = grid().visualItemRect(grid().item(2, 0)).center();
    sendClick(cells, numberOfThird);
    EXPECT_EQ(grid().Row(), 2);
    EXPECT_EQ(panel(0), "Запись: 2");
    const QModelIndexList selected = grid().selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].row(), 1);

    for (const int key : {Qt::Key_Home, Qt::Key_Left}) {
        sendKey(grid(), key);
        EXPECT_EQ(grid().currentColumn(), 2) << key;
        EXPECT_EQ(grid().Row(), 2) << key;
    }

    sendDoubleClick(cells, grid().visualItemRect(grid().item(0, 0)).center());
    EXPECT_EQ(VIEW_ID, 42);
    EXPECT_EQ(grid().Row(), 2);
    EXPECT_TRUE(Form8->isVisible());
}

// The main menu as the user sees it: each menu's entries in order, "-" for a separator, with their shortcuts.
TEST_F(MainWindowTest, MenusHaveTheirItemsShortcutsAndSeparatorsInOrder)
{
    using Entries = std::vector<std::pair<std::string, std::string>>;
    const std::vector<std::pair<std::string, Entries>> expected = {
        {"Файл", {{"Выход", ""}}},
        {"Поиск", {{"По всей базе", "Ctrl+F"}}},
        {"Таблица",
         {{"Добавить видео", "Ctrl+N"}, {"Редактировать запись", "Ctrl+E"}, {"Удалить запись", "Ctrl+Del"},
          {"-", ""}, {"Обновить записи", "Ctrl+R"}}},
        {"Настройки", {{"Настройки подключения", "Ctrl+O"}}},
        {"Помощь",
         {{"Справка", "F1"}, {"-", ""}, {"Сетевая справка (обновляется)", "Shift+F1"}, {"-", ""},
          {"О программе", "Ctrl+F1"}, {"-", ""}, {"Видео работы с программой", ""}, {"-", ""},
          {"Сообщить об ошибке в программе", ""}, {"Оставить отзыв о программе", ""}, {"-", ""},
          {"Написать автору программы", ""}, {"Отправить сообщение через сайт", ""}, {"-", ""},
          {"Заказать разработку ПО через Skype", ""}}},
    };
    std::vector<std::pair<std::string, Entries>> actual;
    for (QAction* top : Form1->menuBar()->actions()) {
        ASSERT_NE(top->menu(), nullptr);
        Entries entries;
        for (QAction* action : top->menu()->actions())
            entries.emplace_back(action->isSeparator() ? "-" : action->text().toStdString(),
                                 action->shortcut().toString(QKeySequence::PortableText).toStdString());
        actual.emplace_back(top->text().toStdString(), entries);
    }
    EXPECT_EQ(actual, expected);
}

// Triggers the item of that caption in the main menu.
void triggerMenuItem(const QString& caption)
{
    for (QAction* top : Form1->menuBar()->actions())
        for (QAction* action : top->menu()->actions())
            if (action->text() == caption)
                return action->trigger();
    FAIL() << "no menu item " << caption.toStdString();
}

TEST_F(MainWindowTest, WebItemsOfTheHelpMenuOpenTheirTargets)
{
    struct Case {
        const char* item;
        std::string start;  // the scheme
        std::string end;    // the path and query after the maker's host
    };
    const Case cases[] = {
        {"Сетевая справка (обновляется)", "http://", "/products/tarvello_desk/help/"},
        {"Видео работы с программой", "https://", ""},
        {"Сообщить об ошибке в программе", "https://", "/bug_report.php?prog_id=79&version=3.0"},
        {"Оставить отзыв о программе", "https://", "/product.php?id=79&tab=comments"},
        {"Написать автору программы", "mailto:", ""},
        {"Отправить сообщение через сайт", "https://", "/contacts.php"},
        {"Заказать разработку ПО через Skype", "Skype:", "?chat"},
    };
    std::vector<std::string> targets;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        dialogs.opened.clear();
        triggerMenuItem(QString::fromUtf8(c.item));
        ASSERT_EQ(dialogs.opened.size(), 1u);
        const std::string& target = dialogs.opened[0];
        EXPECT_EQ(target.rfind(c.start, 0), 0u) << target;
        EXPECT_GT(target.size(), c.start.size() + c.end.size()) << target;
        EXPECT_EQ(target.compare(target.size() - c.end.size(), c.end.size(), c.end), 0) << target;
        targets.push_back(target);
    }
    std::sort(targets.begin(), targets.end());
    EXPECT_EQ(std::adjacent_find(targets.begin(), targets.end()), targets.end()) << "two items open one target";
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainWindowTest, MenuItemsAndButtonsShowTheirWindows)
{
    triggerMenuItem("По всей базе");
    EXPECT_TRUE(Form7->isVisible());
    Form7->hide();
    Form1->BitBtn5->click();
    EXPECT_TRUE(Form7->isVisible());

    triggerMenuItem("Добавить видео");
    EXPECT_TRUE(Form3->isVisible());
    Form3->hide();
    Form1->BitBtn2->click();
    EXPECT_TRUE(Form3->isVisible());

    triggerMenuItem("Настройки подключения");
    triggerMenuItem("О программе");
    EXPECT_EQ(dialogs.modalTitles, (std::vector<std::string>{"Настройки подключения", "О программе"}));
}

TEST_F(MainWindowTest, HelpFileLiesBesideTheProgram)
{
    triggerMenuItem("Справка");
    EXPECT_EQ(dialogs.opened, std::vector<std::string>{folder.path().toStdString() + "/TarvelloDesk.chm"});
}

}  // namespace
