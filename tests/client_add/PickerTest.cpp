// The value picker and the add-video form's own handlers: fields, memo, double-click and credential prompt.

#include <QApplication>
#include <QTimer>
#include <QClipboard>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <functional>

#include "AddVideoFixture.h"
#include "ClientState.h"
#include "QtText.h"
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

// Makes `window` the active window. The offscreen platform keeps a window that was hidden while active as its
// active one, so activating that window again would change nothing: another window is activated first.
void activate(QWidget& window)
{
    QWidget passing;
    for (QWidget* next : {&passing, &window}) {
        next->show();
        next->activateWindow();
        ASSERT_TRUE(waitUntil([next] { return next->isActiveWindow(); }));
    }
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

// The memo is left, and written into the current row, only when the focus moves on to another control of the
// form; a message box, another window or the memo's own context menu taking the focus is no exit.
TEST_F(AddVideo, TheMemoWritesOnlyWhenAnotherControlOfTheFormTakesTheFocus)
{
    TValueListEditor& e = *Form3->ValueListEditor1;
    QMessageBox box(QMessageBox::NoIcon, "Tarvello Desk", "Сообщение анализа", QMessageBox::Ok);
    box.setWindowModality(Qt::NonModal);
    QWidget otherWindow;
    QMenu contextMenu;
    contextMenu.addAction("Копировать");
    const struct {
        const char* focusGoesTo;
        std::function<void()> moveFocus;
        bool writes;
    } cases[] = {
        {"the field editor", [&] { e.setFocus(Qt::MouseFocusReason); }, true},
        {"a button of the form", [&] { Form3->BitBtn4->setFocus(Qt::TabFocusReason); }, true},
        {"a message box", [&] { box.show(); box.activateWindow(); }, false},
        {"another window", [&] { otherWindow.show(); otherWindow.activateWindow(); }, false},
        {"the context menu", [&] { contextMenu.popup(Form3->Memo1->mapToGlobal(QPoint(5, 5))); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.focusGoesTo);
        activate(*Form3);
        e.SetRow(2);
        e.SetValue(2, "в поле");
        Form3->Memo1->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(Form3->Memo1->hasFocus());
        Form3->Memo1->setPlainText("в памятке");
        c.moveFocus();
        pumpEvents(std::chrono::milliseconds(50));
        EXPECT_EQ(e.Value(2).ToUtf8(), c.writes ? "в памятке" : "в поле");
        contextMenu.hide();
        box.hide();
        otherWindow.hide();
    }
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
