// "Удалить" on a record opened from the search results: the hit on show is deleted, the form keeps stepping
// through the hits, and the search runs again so that the form shows the hit that took the deleted one's row.

#include "BrowseFixture.h"
#include "ClientState.h"
#include "StringGrid.h"
#include "Unit7.h"
#include "Unit8.h"
#include "ValueListEditor.h"

namespace {

const char* const ServerUnavailable = "Сервер недоступен!\n Попробуйте повторить запрос чуть позже!";

class SearchHitDelete : public BrowseTest {
protected:
    // `count` films whose titles, "Находка 1 <marker>" and on, only this search matches.
    std::vector<int> addHits(int count, const std::string& marker)
    {
        std::vector<int> ids;
        for (int i = 1; i <= count; ++i)
            ids.push_back(addFilm(title(i, marker)));
        return ids;
    }
    static std::string title(int hit, const std::string& marker)
    {
        return "Находка " + std::to_string(hit) + " " + marker;
    }
    // Searches for the titles holding `marker`, opens hit `row`, and changes the criteria afterwards.
    void searchAndOpen(const std::string& marker, int row)
    {
        Form7->BitBtn2Click();
        Form7->ValueListEditor1->SetValue(1, UnicodeString(marker));
        Form7->BitBtn1Click();
        hits().SetRow(row);
        Form7->Button2Click();
        Form7->ValueListEditor1->SetValue(1, "не та находка");
        server().clearRequests();
    }
    static TStringGrid& hits() { return *Form7->StringGrid1; }
    static std::string value(int row) { return Form8->ValueListEditor1->Value(row).ToUtf8(); }
};

TEST_F(SearchHitDelete, TheSearchRunsAgainAndTheHitThatTookTheRowIsShown)
{
    const struct {
        const char* deleting;
        int hitCount;
        int opened;
        int shownAfter;  // 0: no hit is left to show
    } cases[] = {
        {"a middle hit", 3, 2, 3},
        {"the last hit", 3, 3, 2},
        {"the only hit", 1, 1, 0},
    };
    int caseNumber = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deleting);
        const std::string marker = account + " " + std::to_string(++caseNumber);
        const std::vector<int> ids = addHits(c.hitCount, marker);
        searchAndOpen(marker, c.opened);

        Form8->BitBtn9Click();
        EXPECT_EQ(deletedIds(), std::vector<std::string>{std::to_string(ids[c.opened - 1])});
        EXPECT_FALSE(server().record(ids[c.opened - 1]));
        const auto searches = requestsTo("find.php");
        ASSERT_EQ(searches.size(), 1u);
        EXPECT_EQ(fieldsOf(searches[0])["title"], marker);  // the criteria of the hits, not the edited ones
        EXPECT_EQ(Table.ToUtf8(), "Search");
        EXPECT_EQ(hits().RowCount(), std::max(c.hitCount, 2));
        if (c.shownAfter) {
            EXPECT_EQ(VIEW_ID, ids[c.shownAfter - 1]);
            EXPECT_EQ(value(1), title(c.shownAfter, marker));
            EXPECT_EQ(hits().Row(), std::min(c.opened, c.hitCount - 1));
            EXPECT_EQ(text(Form7->StatusPanels[0]), "Запись: " + std::to_string(hits().Row()));
        } else {
            EXPECT_EQ(VIEW_ID, 0);
            EXPECT_EQ(value(1), title(c.opened, marker));  // the deleted hit stays on show
        }
        // The search form's cell panel shows the title in the row now, not the deleted one's.
        EXPECT_EQ(text(Form7->StatusPanels[2]), c.shownAfter ? title(c.shownAfter, marker) : "");
        EXPECT_TRUE(dialogs.messages.empty());
    }
}

TEST_F(SearchHitDelete, ADeclinedQuestionChangesNothing)
{
    const std::vector<int> ids = addHits(2, account);
    searchAndOpen(account, 2);
    Form8->ValueListEditor1->SetValue(2, "Несохранённая правка");
    dialogs.answers = {false};
    Form8->BitBtn9Click();
    EXPECT_EQ(dialogs.questions.size(), 1u);
    EXPECT_TRUE(server().requests().empty());
    EXPECT_EQ(Table.ToUtf8(), "Search");
    EXPECT_EQ(VIEW_ID, ids[1]);
    EXPECT_EQ(hits().Row(), 2);
    EXPECT_EQ(value(2), "Несохранённая правка");
}

// After the delete, the main list and then the search are loaded again; when either fails, its message is all the
// user gets, and the deleted hit stays on show.
TEST_F(SearchHitDelete, AFailedReloadIsTheOnlyMessage)
{
    int caseNumber = 0;
    for (const char* failing : {"list.php", "find.php"}) {
        SCOPED_TRACE(failing);
        const std::string marker = account + " " + std::to_string(++caseNumber);
        const std::vector<int> ids = addHits(2, marker);
        searchAndOpen(marker, 1);
        server().script(failing, ts::HttpReply::Text("OK", 500));
        dialogs.messages.clear();

        Form8->BitBtn9Click();
        server().unscript(failing);
        EXPECT_EQ(dialogs.messages, std::vector<std::string>{ServerUnavailable});
        EXPECT_EQ(deletedIds(), std::vector<std::string>{std::to_string(ids[0])});
        EXPECT_TRUE(requestsTo("view.php").empty());
        EXPECT_EQ(Table.ToUtf8(), "Search");
        EXPECT_EQ(value(1), title(1, marker));
    }
}

}  // namespace
