// The value picker and the add-video form's own handlers: fields, memo, double-click and credential prompt.

#include <QApplication>
#include <QTimer>
#include <QClipboard>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

#include "AddVideoFixture.h"
#include "QtText.h"
#include "Unit1.h"
#include "Unit3.h"
#include "Unit5.h"
#include "ValueListEditor.h"

namespace {

// Double-clicks entry `index` of a picker list, as the user does.
void pick(QListWidget* list, int index)
{
    list->setCurrentRow(index);
    emit list->itemDoubleClicked(list->item(index));
}

int indexOf(QListWidget* list, const char* text)
{
    return list->row(list->findItems(text, Qt::MatchExactly).value(0));
}

}  // namespace

TEST_F(AddVideo, PickerListsAndPages)
{
    const struct {
        QListWidget* list;
        const char* caption;
        int count;
        const char *first, *last;
    } pages[] = {{Form5->ListBox1, "Страна", 95, "Австралия", "Япония"},
                 {Form5->ListBox2, "Жанры", 60, "аниме", "эротика"},
                 {Form5->ListBox3, "Страна (англ.)", 78, "Argentina", "Yugoslavia"},
                 {Form5->ListBox4, "Жанры (англ.)", 28, "action", "western"}};
    for (int page = 0; page < 4; ++page) {
        EXPECT_EQ(Form5->PageControl1->tabText(page).toStdString(), pages[page].caption);
        EXPECT_EQ(pages[page].list->count(), pages[page].count);
        EXPECT_EQ(pages[page].list->item(0)->text().toStdString(), pages[page].first);
        EXPECT_EQ(pages[page].list->item(pages[page].count - 1)->text().toStdString(), pages[page].last);
    }
    EXPECT_EQ(Form5->windowTitle().toStdString(), "Знчения из списка");
}

TEST_F(AddVideo, PicksAppendToTheActivatedEditor)
{
    TValueListEditor& e = *Form3->ValueListEditor1;
    CurEditForm = "Form8";
    Form3->FormActivate();  // the add-video form activated last: picks go to its rows
    EXPECT_EQ(CurEditForm.ToUtf8(), "Form3");

    pick(Form5->ListBox1, indexOf(Form5->ListBox1, "Россия"));
    pick(Form5->ListBox1, indexOf(Form5->ListBox1, "США"));
    EXPECT_EQ(e.Value(3).ToUtf8(), "Россия, США");

    pick(Form5->ListBox2, indexOf(Form5->ListBox2, "драма"));
    pick(Form5->ListBox2, indexOf(Form5->ListBox2, "драма"));
    EXPECT_EQ(e.Value(4).ToUtf8(), "драма, драма");

    e.SetValue(10, " ");
    pick(Form5->ListBox4, indexOf(Form5->ListBox4, "drama"));
    EXPECT_EQ(e.Value(10).ToUtf8(), " , drama");

    pick(Form5->ListBox3, indexOf(Form5->ListBox3, "Russia"));
    EXPECT_EQ(e.Value(9).ToUtf8(), "Russia");
}

TEST_F(AddVideo, PicksWithoutTargetOrSelectionDoNothing)
{
    TValueListEditor& e = *Form3->ValueListEditor1;
    CurEditForm = "";
    pick(Form5->ListBox1, 0);
    EXPECT_EQ(e.Value(3).ToUtf8(), "");

    CurEditForm = "Form3";
    Form5->ListBox2->setCurrentRow(-1);
    Form5->ListBox2DblClick();
    EXPECT_EQ(e.Value(4).ToUtf8(), "");
}

TEST_F(AddVideo, DoubleClickCopiesTheMemoAndOpensThePickerPage)
{
    TValueListEditor& e = *Form3->ValueListEditor1;
    const std::pair<int, int> pickerRows[] = {{3, 0}, {4, 1}, {9, 2}, {10, 3}};
    for (const auto& [row, page] : pickerRows) {
        Form5->hide();
        e.SetRow(row);
        Form3->ValueListEditor1DblClick();
        EXPECT_TRUE(Form5->isVisible()) << row;
        EXPECT_EQ(Form5->PageControl1->currentIndex(), page) << row;
    }
    Form5->hide();
    e.SetValue(5, "Актёр Один");
    e.SetRow(5);  // the click shows the row's value in the memo
    EXPECT_EQ(Form3->Memo1->toPlainText().toStdString(), "Актёр Один");
    Form3->ValueListEditor1DblClick();
    EXPECT_FALSE(Form5->isVisible());
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "Актёр Один");
}

TEST_F(AddVideo, MemoWritesBackIntoTheCurrentRow)
{
    TValueListEditor& e = *Form3->ValueListEditor1;
    e.SetRow(2);
    Form3->Memo1->setPlainText("Режиссёр\nв две строки");
    Form3->Memo1Exit();
    EXPECT_EQ(e.Value(2).ToUtf8(), "Режиссёр\nв две строки");
}

TEST_F(AddVideo, ShowingAgainEmptiesTheFieldsButKeepsTheMemo)
{
    TValueListEditor& e = *Form3->ValueListEditor1;
    ASSERT_EQ(e.RowCount(), 18);
    EXPECT_EQ(e.Caption(1).ToUtf8(), "Название");
    EXPECT_EQ(e.Caption(17).ToUtf8(), "Год выпуска");
    for (int row = 1; row <= 17; ++row)
        e.SetValue(row, "value");
    Form3->Memo1->setPlainText("memo");
    Form3->BitBtn1->setEnabled(true);
    Form3->ProgressBar1->setValue(40);
    Form3->SetStatusPanel(0, "panel");
    Form3->SetStatusPanel(5, "sixth");

    Form3->ClearFiledsExecute();
    EXPECT_EQ(e.Value(17).ToUtf8(), "");
    EXPECT_TRUE(Form3->BitBtn1->isEnabled());
    e.SetValue(1, "value");

    Form3->hide();
    Form3->show();
    for (int row = 1; row <= 17; ++row)
        EXPECT_EQ(e.Value(row).ToUtf8(), "") << row;
    EXPECT_FALSE(Form3->BitBtn1->isEnabled());
    EXPECT_EQ(Form3->ProgressBar1->value(), 0);
    EXPECT_EQ(Form3->StatusPanel(0).ToUtf8(), "");
    EXPECT_EQ(Form3->StatusPanel(5).ToUtf8(), "sixth");
    EXPECT_EQ(Form3->Memo1->toPlainText().toStdString(), "memo");
}

TEST_F(AddVideo, CredentialPromptOnlyWithoutAnAccount)
{
    Form3->Timer1Timer();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.modalTitles.empty());

    Password = "";
    Form3->Timer1->start();
    Form3->Timer1Timer();
    EXPECT_FALSE(Form3->Timer1->isActive());
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Для сохранения данных необходимы учётные данные"});
    EXPECT_EQ(dialogs.modalTitles.size(), 1u);
}
