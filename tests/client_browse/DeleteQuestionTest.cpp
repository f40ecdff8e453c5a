// The delete question follows what the user sees: while it waits for its answer, a step, an open of another row, a
// reload of the list or a new search closes it unanswered, and "Да" then deletes nothing. What leaves the record
// where it is keeps the question, and "Да" deletes that record.

#include <QPushButton>
#include <functional>

#include "BrowseFixture.h"
#include "Dialogs.h"
#include "StringGrid.h"
#include "Unit1.h"
#include "Unit7.h"
#include "Unit8.h"
#include "ValueListEditor.h"

namespace {

// Where the question is asked: "Удалить" of the main window or of the record form, for a record opened from the
// main list or from the search results.
enum class AskedIn { MainWindow, RecordFormFromMainList, RecordFormFromSearch };

class DeleteQuestionFollows : public BrowseTest {
protected:
    // An account of its own with three films, in the main list and among the hits of a search of their own; the
    // middle one opened from the list `askedIn` names. Returns their ids.
    std::vector<int> openTheMiddleOfThree(AskedIn askedIn)
    {
        resetClientWindows();
        if (testAccount_.empty())
            testAccount_ = account;
        account = "case" + std::to_string(++cases_) + "." + testAccount_;
        server().addAccount(account, "secret");
        UserName = UnicodeString(account);
        const std::string marker = "Вопрос " + account;
        std::vector<int> ids;
        for (int i = 1; i <= 3; ++i)
            ids.push_back(addFilm(marker + " " + std::to_string(i)));
        loadMainList();
        Form7->BitBtn2Click();
        Form7->ValueListEditor1->SetValue(1, UnicodeString(marker));
        Form7->BitBtn1Click();
        if (askedIn == AskedIn::RecordFormFromSearch) {
            hits().SetRow(2);
            Form7->Button2Click();
        } else {
            openFromMainList(2);
        }
        server().clearRequests();
        return ids;
    }
    static void press(AskedIn askedIn)
    {
        if (askedIn == AskedIn::MainWindow)
            Form1->BitBtn4Click();
        else
            Form8->BitBtn9Click();
    }
    // What the user sees: the record on show and the current rows of both lists.
    struct View {
        int shown;
        int mainRow;
        int hitRow;
        bool operator==(const View&) const = default;
    };
    static View view() { return {Form8->ShownId(), Form1->StringGrid1->Row(), hits().Row()}; }

    // Presses "Удалить" where `askedIn` names, runs `meanwhile` while the question waits and answers "Да"; returns
    // whether the question was still open after `meanwhile`, and notes in `afterMove` what was on show then.
    bool pressAndAnswerYesAfter(AskedIn askedIn, const std::function<void()>& meanwhile, View* afterMove = nullptr)
    {
        const auto recorder = dialogHook().askYesNo;
        bool stillOpen = false;
        int questions = 0;
        dialogHook().askYesNo = [&](const UnicodeString& text, const UnicodeString& caption) {
            if (++questions == 1) {
                meanwhile();
                stillOpen = RaiseOpenQuestion();
                if (afterMove)
                    *afterMove = view();
            }
            dialogs.answers.push_back(true);
            return recorder(text, caption);
        };
        press(askedIn);
        dialogHook().askYesNo = recorder;
        EXPECT_EQ(questions, 1);
        return stillOpen;
    }
    static void openFromMainList(int row)
    {
        Form1->StringGrid1->SetRow(row);
        Form1->BitBtn3Click();
    }
    static void openHit(int row)
    {
        hits().SetRow(row);
        Form7->Button2Click();
    }
    static TStringGrid& hits() { return *Form7->StringGrid1; }

private:
    std::string testAccount_;
    int cases_ = 0;
};

struct Move {
    const char* name;
    std::function<void()> act;
};

TEST_F(DeleteQuestionFollows, AMoveAwayFromTheRecordClosesItAndNothingIsDeleted)
{
    const Move fromTheMainList[] = {
        {"\"Далее\" in the record form", [] { Form8->BitBtn8Click(); }},
        {"\"Назад\" in the record form", [] { Form8->BitBtn7Click(); }},
        {"an open of another row of the main list", [] { openFromMainList(3); }},
        {"another row selected in the main list", [] { Form1->StringGrid1->SetRow(1); }},
        {"a reload of the main list", [] { Form1->BitBtn1Click(); }},
    };
    const Move fromTheSearch[] = {
        {"\"Далее\" in the record form", [] { Form8->BitBtn8Click(); }},
        {"\"Назад\" in the record form", [] { Form8->BitBtn7Click(); }},
        {"an open of another hit", [] { openHit(1); }},
        {"another hit selected", [] { hits().SetRow(3); }},
        {"a new search", [] { Form7->BitBtn1Click(); }},
        {"an open of a row of the main list", [] { openFromMainList(1); }},
    };
    const struct {
        const char* name;
        AskedIn askedIn;
        const Move* moves;
        size_t moveCount;
    } sources[] = {
        {"the main window", AskedIn::MainWindow, fromTheMainList, std::size(fromTheMainList)},
        {"the record form, opened from the main list", AskedIn::RecordFormFromMainList, fromTheMainList,
         std::size(fromTheMainList)},
        {"the record form, opened from the search", AskedIn::RecordFormFromSearch, fromTheSearch,
         std::size(fromTheSearch)},
    };
    for (const auto& source : sources) {
        for (size_t m = 0; m < source.moveCount; ++m) {
            const Move& move = source.moves[m];
            SCOPED_TRACE(std::string(source.name) + ", then " + move.name);
            const std::vector<int> ids = openTheMiddleOfThree(source.askedIn);
            View afterMove{};
            EXPECT_FALSE(pressAndAnswerYesAfter(source.askedIn, move.act, &afterMove));
            EXPECT_EQ(deletedIds(), std::vector<std::string>{});
            EXPECT_TRUE(view() == afterMove);  // nothing took the user back
            for (const int id : ids)
                EXPECT_TRUE(server().record(id));
            EXPECT_FALSE(RaiseOpenQuestion());
        }
    }
}

// One question at a time, and what leaves the record in place keeps it: "Да" deletes the record it asked about.
TEST_F(DeleteQuestionFollows, OneQuestionAtATimeAndItsAnswerActsOnItsRecord)
{
    const struct {
        const char* name;
        AskedIn askedIn;
        std::function<void()> act;
    } cases[] = {
        {"\"Удалить\" again in both windows", AskedIn::MainWindow,
         [] {
             Form1->BitBtn4->click();
             Form8->BitBtn9->click();
         }},
        {"the same row opened again", AskedIn::RecordFormFromMainList, [] { openFromMainList(2); }},
        {"another cell of the same hit", AskedIn::RecordFormFromSearch, [] { hits().setCurrentCell(1, 5); }},
        {"a new search, asked from the main list", AskedIn::RecordFormFromMainList, [] { Form7->BitBtn1Click(); }},
        {"a reload of the main list, asked from the search", AskedIn::RecordFormFromSearch,
         [] { Form1->BitBtn1Click(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<int> ids = openTheMiddleOfThree(c.askedIn);
        EXPECT_TRUE(pressAndAnswerYesAfter(c.askedIn, c.act));
        EXPECT_EQ(deletedIds(), std::vector<std::string>{std::to_string(ids[1])});
        EXPECT_FALSE(server().record(ids[1]));
        EXPECT_TRUE(server().record(ids[0]));
        EXPECT_TRUE(server().record(ids[2]));
    }
}

// A list without a current row asks about its first record; that row becoming current, as it does when the list
// gets the focus, leaves the question open.
TEST_F(DeleteQuestionFollows, TheFirstRowBecomingCurrentKeepsAQuestionAskedWithoutACurrentRow)
{
    const std::vector<int> ids = openTheMiddleOfThree(AskedIn::MainWindow);
    Form8->hide();
    Form1->StringGrid1->setCurrentCell(-1, -1);
    EXPECT_TRUE(pressAndAnswerYesAfter(AskedIn::MainWindow, [] { Form1->StringGrid1->setCurrentCell(0, 2); }));
    EXPECT_EQ(deletedIds(), std::vector<std::string>{std::to_string(ids[0])});
}

}  // namespace
