// The record form's buttons: the save through update.php, the delete, stepping through the list the record came
// from, and the four links; each acts on the record on show only.

#include <QPushButton>

#include "BrowseFixture.h"
#include "StringGrid.h"
#include "Unit1.h"
#include "Unit7.h"
#include "Unit8.h"
#include "ValueListEditor.h"

namespace {

class RecordActions : public BrowseTest {
protected:
    // Opens row `row` of the main window's list.
    void openFromMainList(int row)
    {
        Form1->StringGrid1->SetRow(row);
        Form1->BitBtn3Click();
    }
    void open(int id)
    {
        VIEW_ID = id;
        Form8->show();
        Form8->FormShow();
    }
    void edit(int row, const std::string& value) { Form8->ValueListEditor1->SetValue(row, UnicodeString(value)); }
    static std::string value(int row) { return Form8->ValueListEditor1->Value(row).ToUtf8(); }
    static std::string stored(int id, const std::string& field) { return server().record(id)->fields.at(field); }
    TStringGrid& mainList() { return *Form1->StringGrid1; }
};

TEST_F(RecordActions, SaveSendsTheTwentyTwoPartsUnderTheShownId)
{
    const int id = addFilm("Сохраняемый");
    open(id);
    edit(2, "Новый режиссёр");
    edit(17, "abc");  // no year test here
    Form8->BitBtn6Click();
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Данные сохранены!"});

    const auto updates = requestsTo("update.php");
    ASSERT_EQ(updates.size(), 1u);
    const auto parts = partsOf(updates[0]);
    const std::vector<std::string> names = {
        "application", "version",  "user",        "password",    "id",         "title",
        "producer",    "country",  "genre",       "actors",      "description", "title_en",
        "producer_en", "country_en", "genre_en",  "actors_en",   "description_en", "trailer",
        "video",       "kinopoisk", "imdb",       "creation_year"};
    ASSERT_EQ(parts.size(), names.size());
    for (size_t i = 0; i < parts.size(); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(parts[i].name, names[i]);
        EXPECT_FALSE(parts[i].hasFileName);
        EXPECT_EQ(parts[i].charset, i >= 5 && i < 21 ? "UTF-8" : "");
        EXPECT_EQ(parts[i].transferEncoding, i >= 5 ? "binary" : "quoted-printable");
    }
    EXPECT_EQ(parts[0].text(), "Tarvello Desk");
    EXPECT_EQ(parts[1].text(), "3.0");
    EXPECT_EQ(parts[4].text(), std::to_string(id));
    EXPECT_EQ(parts[21].text(), "abc");
    EXPECT_EQ(stored(id, "producer"), "Новый режиссёр");
    EXPECT_EQ(stored(id, "creation_year"), "abc");
}

TEST_F(RecordActions, RequiredFieldsAreCheckedInOrderAndNothingIsSent)
{
    struct Case {
        std::vector<int> emptyRows;
        const char* message;
    };
    const Case cases[] = {
        {{1, 3}, "Укажите название"},
        {{3, 4, 6, 17}, "Укажите страну"},
        {{4, 17}, "Укажите один или несколько жанров через запятую"},
        {{6}, "Заполните описание"},
        {{17}, "Заполните год выпуска"},
    };
    open(addFilm("Проверки"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Form8->FormShow();
        dialogs.messages.clear();
        for (int row : c.emptyRows)
            edit(row, "");
        Form8->BitBtn6Click();
        EXPECT_EQ(dialogs.messages, std::vector<std::string>{c.message});
    }
    EXPECT_TRUE(requestsTo("update.php").empty());
}

TEST_F(RecordActions, SaveRepliesAndFailures)
{
    struct Case {
        ts::HttpReply reply;
        const char* message;  // nullptr: no message
    };
    const Case cases[] = {
        {ts::HttpReply::Text("OK"), "Данные сохранены!"},
        {ts::HttpReply::Text("OK\n"), nullptr},
        {ts::HttpReply::Text("Duplicate 17"), "Такой файл уже проиндексирован!"},
        {ts::HttpReply::Text("Duplicate"), nullptr},
        {ts::HttpReply::Text("Wrong password"), "Неверный пароль!"},
        {ts::HttpReply::Text("User not found"), "Пользователь не найден!"},
        {ts::HttpReply::Text("User blocked"), "Пользователь заблокирован!"},
        {ts::HttpReply::Text("OK", 500), "Сервер недоступен!\n Попробуйте повторить запрос чуть позже!"},
    };
    open(addFilm("Ответы"));
    edit(2, "Правка");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.body);
        dialogs.messages.clear();
        server().script("update.php", c.reply);
        Form8->BitBtn6Click();
        if (c.message)
            EXPECT_EQ(dialogs.messages, std::vector<std::string>{c.message});
        else
            EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_EQ(value(2), "Правка");
        EXPECT_FALSE(Form8->BitBtn6->isHidden());
    }
}

TEST_F(RecordActions, PressingSaveTwicePostsTwice)
{
    open(addFilm("Дважды"));
    Form8->BitBtn6Click();
    Form8->BitBtn6Click();
    EXPECT_EQ(requestsTo("update.php").size(), 2u);
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"Данные сохранены!", "Данные сохранены!"}));
}

TEST_F(RecordActions, SteppingThroughTheMainListStopsAtBothEnds)
{
    const int first = addFilm("Первый");
    const int second = addFilm("Второй");
    const int third = addFilm("Третий");
    loadMainList();
    openFromMainList(1);
    server().clearRequests();

    Form8->BitBtn7Click();  // "Назад" on the first row
    EXPECT_EQ(VIEW_ID, first);
    EXPECT_TRUE(requestsTo("view.php").empty());

    Form8->BitBtn8Click();
    EXPECT_EQ(mainList().Row(), 2);
    EXPECT_EQ(VIEW_ID, second);
    EXPECT_EQ(value(1), "Второй");
    EXPECT_EQ(requestsTo("view.php").size(), 1u);  // the form is visible: one load

    Form8->BitBtn8Click();
    EXPECT_EQ(VIEW_ID, third);
    server().clearRequests();
    Form8->BitBtn8Click();  // "Далее" on the last row
    EXPECT_EQ(VIEW_ID, third);
    EXPECT_TRUE(requestsTo("view.php").empty());

    Form8->BitBtn7Click();
    EXPECT_EQ(VIEW_ID, second);
    EXPECT_EQ(Table.ToUtf8(), "My");
}

TEST_F(RecordActions, SteppingThroughTheSearchResultsUsesTheSearchForm)
{
    addFilm("Искомый шаг 1");
    const int second = addFilm("Искомый шаг 2");
    Form7->BitBtn2Click();
    Form7->ValueListEditor1->SetValue(1, "Искомый шаг");
    Form7->BitBtn1Click();
    Form7->StringGrid1->SetRow(1);
    Form7->Button2Click();

    Form8->BitBtn7Click();
    EXPECT_EQ(Form7->StringGrid1->Row(), 1);
    Form8->BitBtn8Click();
    EXPECT_EQ(Form7->StringGrid1->Row(), 2);
    EXPECT_EQ(VIEW_ID, second);
    EXPECT_EQ(text(Form7->StatusPanels[0]), "Запись: 2");
    Form8->BitBtn8Click();
    EXPECT_EQ(VIEW_ID, second);
}

TEST_F(RecordActions, SteppingDoesNothingWithoutAList)
{
    addFilm("Один");
    loadMainList();
    open(addFilm("Без списка"));
    const int shown = VIEW_ID;
    server().clearRequests();
    for (const char* table : {"", "my", "Другое"}) {
        Table = table;
        Form8->BitBtn7Click();
        Form8->BitBtn8Click();
    }
    EXPECT_EQ(VIEW_ID, shown);
    EXPECT_TRUE(server().requests().empty());
}

TEST_F(RecordActions, EachLinkButtonOpensItsRow)
{
    open(addFilm("Ссылки", {{"trailer", "https://video.example/trailer"}, {"video", "https://video.example/full"},
                            {"kinopoisk", "https://kinopoisk.example/film/1"}, {"imdb", ""}}));
    Form8->BitBtn1->click();
    Form8->BitBtn2->click();
    Form8->BitBtn3->click();
    Form8->BitBtn5->click();  // an empty row does nothing
    EXPECT_EQ(dialogs.opened, (std::vector<std::string>{"https://video.example/trailer", "https://video.example/full",
                                                        "https://kinopoisk.example/film/1"}));
}

// A record's values come from people the user does not know: a link button hands on a web address only, and
// anything else does nothing and shows nothing.
TEST_F(RecordActions, LinkButtonsOpenOnlyWebAddresses)
{
    struct Case {
        const char* value;
        bool opened;
    };
    const Case cases[] = {
        {"https://video.example/trailer?t=1#x", true},
        {"http://kinopoisk.example/film/1", true},
        {"HTTP://Host/x", true},
        {"hTTpS://imdb.example/title/tt1", true},
        {"https://[::1]:8443/x", true},
        {"file:///etc/passwd", false},
        {"FILE:///etc/passwd", false},
        {"/usr/bin/xterm", false},
        {"/usr/share/applications/xterm.desktop", false},
        {"xterm.desktop", false},
        {"smb://host/share/x.exe", false},
        {"javascript:alert(1)", false},
        {"not a web address", false},
        {"https:", false},
        {"https://", false},
        {"http:/etc/passwd", false},
        {"http:///etc/passwd", false},
        {"//host/share/x", false},
        {"ftp://host/x", false},
        {"mailto:someone@mail.example", false},
    };
    open(addFilm("Ссылки"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        dialogs.opened.clear();
        for (int row : {13, 14, 15, 16})
            edit(row, c.value);
        for (QPushButton* button : {Form8->BitBtn1, Form8->BitBtn2, Form8->BitBtn3, Form8->BitBtn5})
            button->click();
        EXPECT_EQ(dialogs.opened, c.opened ? std::vector<std::string>(4, c.value) : std::vector<std::string>{});
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST_F(RecordActions, CloseHidesTheForm)
{
    open(addFilm("Закрываемый"));
    Form8->BitBtn4Click();
    EXPECT_FALSE(Form8->isVisible());
    EXPECT_EQ(value(1), "Закрываемый");
}

// Every opener of a record names it in VIEW_ID and calls the show handler of the open form: the form follows,
// and the save goes to the record on show.
TEST_F(RecordActions, TheOpenFormFollowsViewId)
{
    const int first = addFilm("Показанный");
    const int other = addFilm("Дубликат");
    open(first);
    VIEW_ID = other;
    Form8->FormShow();
    ASSERT_EQ(Form8->ShownId(), other);
    EXPECT_EQ(value(1), "Дубликат");
    edit(2, "Правка дубликата");
    Form8->BitBtn6Click();
    EXPECT_EQ(stored(other, "producer"), "Правка дубликата");
    EXPECT_EQ(server().record(first)->fields.count("producer"), 0u);
}

TEST_F(RecordActions, SaveAfterAFailedLoadKeepsTheShownRecordsId)
{
    const int id = addFilm("Остаётся");
    open(id);
    VIEW_ID = id + 1000;
    Form8->FormShow();  // "Record not found": the old values stay on show
    edit(2, "Своя правка");
    Form8->BitBtn6Click();
    const auto updates = requestsTo("update.php");
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(fieldsOf(updates[0])["id"], std::to_string(id));
    EXPECT_EQ(stored(id, "producer"), "Своя правка");
}

using RecordDelete = RecordActions;

TEST_F(RecordDelete, DeletingTheLastOfFiveShowsTheNewLast)
{
    std::vector<int> ids;
    for (int i = 1; i <= 5; ++i)
        ids.push_back(addFilm("Пятёрка " + std::to_string(i)));
    loadMainList();
    openFromMainList(5);
    Form8->BitBtn9Click();
    EXPECT_EQ(deletedIds(), std::vector<std::string>{std::to_string(ids[4])});
    EXPECT_FALSE(server().record(ids[4]));
    EXPECT_EQ(mainList().RowCount(), 5);
    EXPECT_EQ(mainList().Row(), 4);
    EXPECT_EQ(VIEW_ID, ids[3]);
    EXPECT_EQ(value(1), "Пятёрка 4");
}

TEST_F(RecordDelete, DeletingAMiddleRecordShowsTheOneThatTookItsRow)
{
    const int first = addFilm("Верхний");
    const int middle = addFilm("Средний");
    const int last = addFilm("Нижний");
    loadMainList();
    openFromMainList(2);
    Form8->BitBtn9Click();
    EXPECT_EQ(deletedIds(), std::vector<std::string>{std::to_string(middle)});
    EXPECT_TRUE(server().record(first));
    EXPECT_EQ(VIEW_ID, last);
    EXPECT_EQ(value(1), "Нижний");
}

TEST_F(RecordDelete, DeletingTheOnlyRecordKeepsItOnShow)
{
    const int only = addFilm("Единственный");
    loadMainList();
    openFromMainList(1);
    Form8->BitBtn9Click();
    EXPECT_FALSE(server().record(only));
    EXPECT_EQ(mainList().RowCount(), 2);
    EXPECT_EQ(cell(mainList(), 1, 1), "");
    EXPECT_EQ(VIEW_ID, 0);
    EXPECT_EQ(value(1), "Единственный");
    EXPECT_FALSE(Form8->BitBtn9->isHidden());
}

TEST_F(RecordDelete, ADeclinedConfirmationReloadsTheRecord)
{
    const int id = addFilm("Передумал", {{"producer", "С сервера"}});
    loadMainList();
    openFromMainList(1);
    edit(2, "Несохранённая правка");
    dialogs.answers = {false};
    Form8->BitBtn9Click();
    EXPECT_EQ(dialogs.questions.size(), 1u);
    EXPECT_TRUE(deletedIds().empty());
    EXPECT_TRUE(server().record(id));
    EXPECT_EQ(VIEW_ID, id);
    EXPECT_EQ(value(2), "С сервера");
}

// The main list's current row is another record than the one on show: only the one on show is deleted.
TEST_F(RecordDelete, OnlyTheRecordOnShowIsDeleted)
{
    const int kept = addFilm("Выбран в списке");
    const int shown = addFilm("Открыт из поиска");
    loadMainList();
    mainList().SetRow(1);
    Form7->BitBtn2Click();
    Form7->ValueListEditor1->SetValue(1, "Открыт из поиска");
    Form7->BitBtn1Click();
    Form7->StringGrid1->SetRow(1);
    Form7->Button2Click();
    ASSERT_EQ(Form8->ShownId(), shown);

    Form8->BitBtn9Click();
    EXPECT_EQ(deletedIds(), std::vector<std::string>{std::to_string(shown)});
    EXPECT_TRUE(server().record(kept));
    EXPECT_EQ(Table.ToUtf8(), "Search");
    EXPECT_EQ(VIEW_ID, 0);  // the search has no hit left to show
}

// When the list cannot be loaded, before or after the delete, its failure is all the user is told: opening the
// record that the old list still holds would only add "Запись не найдена!".
TEST_F(RecordDelete, AListThatCannotBeLoadedIsTheOnlyMessage)
{
    const struct {
        const char* when;
        bool listedBefore;  // else the list is loaded to find the record, and that fails
    } cases[] = {{"after the delete", true}, {"before the delete", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        server().unscript("list.php");
        const int id = addFilm("Без списка после удаления");
        if (c.listedBefore) {
            loadMainList();
            openFromMainList(1);  // the account's only record
        } else {
            open(id);
        }
        server().script("list.php", ts::HttpReply::Text("OK", 500));
        server().clearRequests();
        dialogs.messages.clear();

        Form8->BitBtn9Click();
        EXPECT_EQ(dialogs.messages,
                  std::vector<std::string>{"Сервер недоступен!\n Попробуйте повторить запрос чуть позже!"});
        EXPECT_EQ(server().record(id).has_value(), !c.listedBefore);
        EXPECT_TRUE(requestsTo("view.php").empty());
        EXPECT_EQ(value(1), "Без списка после удаления");
    }
}

TEST_F(RecordDelete, ARecordOutsideTheAccountsListIsNotDeleted)
{
    ts::Record foreign;
    foreign.owner = "someone.else@tarvello.example";
    foreign.fields = {{"title", "Чужой"}};
    const int id = server().addRecord(foreign);
    open(id);
    Form8->BitBtn9Click();
    EXPECT_TRUE(deletedIds().empty());
    EXPECT_TRUE(server().record(id));
    EXPECT_EQ(dialogs.messages.back(), "Запись не найдена!");
}

}  // namespace
