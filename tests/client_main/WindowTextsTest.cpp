// Each window's own texts and sizes as the user meets them: caption, client size, the captions and sizes of its
// buttons, labels and group boxes, grid and editor columns, status panel widths, timers, and what is masked or
// hidden. The main window is the one start-up created; the others are fresh instances, so that nothing a test did
// to the start-up windows (a caption set by a load, a button shown) counts here.

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <set>
#include <span>

#include "ABOUT.h"
#include "ClientWindows.h"
#include "StringGrid.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit5.h"
#include "Unit7.h"
#include "Unit8.h"
#include "ValueListEditor.h"

namespace {

class WindowTexts : public ClientWindowTest {};

// A button, label or group box with its caption and, where the window gives it, its size.
struct Control {
    const QWidget* widget;
    std::string caption;
    QSize size = {};  // not checked when invalid
};

std::string captionOf(const QWidget* widget)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text().toStdString();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text().toStdString();
    if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title().toStdString();
    ADD_FAILURE() << "no caption on " << widget->metaObject()->className();
    return "";
}

void expectControls(const std::vector<Control>& controls)
{
    for (const Control& c : controls) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(captionOf(c.widget), c.caption);
        if (c.size.isValid()) {
            EXPECT_EQ(c.widget->size(), c.size);
        }
    }
}

std::vector<int> widthsOf(std::span<QLabel* const> panels)
{
    std::vector<int> widths;
    for (const QLabel* panel : panels)
        widths.push_back(panel->width());
    return widths;
}

// A record list column: its title and its width, 0 for a hidden column.
struct Column {
    std::string title;
    int width;
};

void expectColumns(const TStringGrid& grid, const std::vector<Column>& columns)
{
    ASSERT_EQ(grid.ColCount(), static_cast<int>(columns.size()));
    for (int col = 0; col < grid.ColCount(); ++col) {
        SCOPED_TRACE(columns[col].title);
        EXPECT_EQ(grid.Cells(col, 0).ToUtf8(), columns[col].title);
        EXPECT_EQ(grid.isColumnHidden(col), columns[col].width == 0);
        if (columns[col].width > 0) {
            EXPECT_EQ(grid.columnWidth(col), columns[col].width);
        }
    }
}

void expectEditor(const TValueListEditor& editor, const std::vector<Column>& columns,
                  const std::vector<std::string>& rows)
{
    ASSERT_EQ(editor.columnCount(), 2);
    for (int col = 0; col < 2; ++col) {
        EXPECT_EQ(editor.horizontalHeaderItem(col)->text().toStdString(), columns[col].title);
        EXPECT_EQ(editor.columnWidth(col), columns[col].width) << columns[col].title;
    }
    ASSERT_EQ(editor.RowCount(), static_cast<int>(rows.size()) + 1);
    for (int row = 1; row < editor.RowCount(); ++row) {
        EXPECT_EQ(editor.Caption(row).ToUtf8(), rows[row - 1]) << "row " << row;
        EXPECT_EQ(editor.Value(row).ToUtf8(), "") << "row " << row;
    }
}

// The record field rows of the add-video form and the record form.
const std::vector<std::string> RecordFieldCaptions = {
    "Название", "Режиссёр", "Страна", "Жанры", "Актёры", "Описание", "Название (англ.)", "Режиссёр (англ.)",
    "Страна (англ.)", "Жанры (англ.)", "Актёры (англ.)", "Описание (англ.)", "Ссылка на трейлер",
    "Ссылка на полное видео", "Ссылка на Kinopoisk", "Ссылка на IMDB", "Год выпуска"};

// The columns of both record lists; the id column is the only one that differs.
std::vector<Column> recordListColumns(int idWidth)
{
    return {{"№", 50},  {"Id", idWidth},       {"Название", 200}, {"Режиссёр", 150}, {"Страна", 100},
            {"Год", 40}, {"Продолжительность", 110}, {"Жанр", 200}, {"Актёры", 300}};
}

const QSize Button130(130, 35);
const QSize Button100(100, 35);

TEST_F(WindowTexts, MainWindow)
{
    const TForm1& w = *Form1;
    EXPECT_EQ(w.windowTitle().toStdString(), "Tarvello Desk");
    EXPECT_EQ(w.size(), QSize(1071, 696));
    EXPECT_EQ(w.minimumSize(), QSize(700, 500));
    EXPECT_EQ(w.maximumSize(), QSize(2000, 1080));
    EXPECT_EQ(w.Image1->height(), 206);
    expectControls({{w.GroupBox1, "Список записей"},
                    {w.BitBtn1, "Обновить записи", Button130},
                    {w.BitBtn5, "Поиск видео", Button130},
                    {w.BitBtn2, "Добавить видео", Button130},
                    {w.BitBtn3, "Редактировать", Button130},
                    {w.BitBtn4, "Удалить", Button130},
                    {w.BitBtn6, "Выход", Button130}});
    EXPECT_EQ(w.Panel1->height(), 41);
    expectColumns(*w.StringGrid1, recordListColumns(0));
    EXPECT_EQ(widthsOf(w.StatusPanels), (std::vector<int>{150, 200, 150, 150, 300, 50}));
    EXPECT_EQ(w.Timer1->interval(), 1000);
}

TEST_F(WindowTexts, SettingsDialog)
{
    TForm2 w;
    EXPECT_EQ(w.windowTitle().toStdString(), "Настройки подключения");
    EXPECT_EQ(w.size(), QSize(608, 290));
    EXPECT_EQ(w.minimumSize(), w.maximumSize()) << "a fixed frame";
    expectControls({{w.Label1, "E-mail"},
                    {w.Label2, "Пароль"},
                    {w.Label3, "Если у Вас нет учётной записи, зарегистрируйтесь. Это займёт минуту."},
                    {w.BitBtn3, "Зарегистрироваться", Button130},
                    {w.BitBtn1, "Сохранить", Button100},
                    {w.BitBtn2, "Отмена", Button100}});
    EXPECT_EQ(w.Edit1->geometry(), QRect(112, 53, 257, w.Edit1->height()));
    EXPECT_EQ(w.Edit2->geometry(), QRect(112, 104, 257, w.Edit2->height()));
    EXPECT_EQ(w.Image1->size(), QSize(203, 205));
    EXPECT_EQ(w.Panel1->height(), 41);

    // The password never shows in clear; the e-mail does.
    w.Edit1->setText("reader@tarvello.example");
    w.Edit2->setText("secret1");
    EXPECT_EQ(w.Edit1->displayText().toStdString(), "reader@tarvello.example");
    EXPECT_EQ(w.Edit2->echoMode(), QLineEdit::Password);
    EXPECT_EQ(w.Edit2->displayText().toStdString(), "*******");
}

TEST_F(WindowTexts, AboutBox)
{
    TAboutBox w;
    EXPECT_EQ(w.windowTitle().toStdString(), "О программе");
    EXPECT_EQ(w.size(), QSize(316, 242));
    EXPECT_EQ(w.minimumSize(), w.maximumSize()) << "a fixed frame";
    EXPECT_EQ(w.Panel1->geometry(), QRect(8, 8, 297, 195));
    expectControls({{w.ProductName, "Tarvello Desk"}, {w.Version, "Версия 3.0"}, {w.OKButton, "OK", QSize(75, 25)}});
    EXPECT_EQ(w.ProductName->pos(), QPoint(110, 21));
    EXPECT_EQ(w.Version->pos(), QPoint(111, 51));
    EXPECT_EQ(w.OKButton->pos(), QPoint(126, 209));
    EXPECT_TRUE(w.OKButton->isDefault());
    EXPECT_TRUE(w.ProductName->font().bold());
    EXPECT_TRUE(w.Version->font().bold());
    for (const QLabel* image : w.Images) {
        EXPECT_EQ(image->geometry(), QRect(5, 16, 100, 100));
        EXPECT_TRUE(image->isHidden()) << "until the first tick";
    }
    EXPECT_EQ(w.Timer1->interval(), 100);
    EXPECT_TRUE(w.Timer1->isActive());
}

TEST_F(WindowTexts, AddVideoForm)
{
    TForm3 w;
    EXPECT_EQ(w.windowTitle().toStdString(), "Добавление нового видео в базу данных");
    EXPECT_EQ(w.size(), QSize(901, 556));
    EXPECT_EQ(w.minimumSize(), w.maximumSize()) << "a fixed frame";
    EXPECT_EQ(w.Image1->width(), 249);
    expectEditor(*w.ValueListEditor1, {{"Поле", 163}, {"Значение", 477}}, RecordFieldCaptions);
    EXPECT_EQ(w.Memo1->height(), 68);
    EXPECT_EQ(w.Memo1->toPlainText().toStdString(), "");
    expectControls({{w.GroupBox11, "Процесс обработки видео"},
                    {w.BitBtn3, "Открыть видео", Button130},
                    {w.BitBtn1, "Сохранить данные", Button130},
                    {w.BitBtn2, "Очистить поля", Button130},
                    {w.BitBtn4, "Закрыть", Button130}});
    EXPECT_EQ(w.GroupBox11->height(), 54);
    EXPECT_EQ(w.ProgressBar1->minimum(), 0);
    EXPECT_EQ(w.ProgressBar1->maximum(), 100);
    EXPECT_EQ(w.ProgressBar1->value(), 0);
    EXPECT_FALSE(w.BitBtn1->isEnabled());
    EXPECT_TRUE(w.BitBtn3->isEnabled());
    EXPECT_EQ(w.Panel1->height(), 41);
    EXPECT_EQ(w.StatusBar1->height(), 19);
    EXPECT_EQ(widthsOf(w.StatusPanels), (std::vector<int>{150, 150, 150, 150, 300, 50}));
    EXPECT_EQ(w.Timer1->interval(), 1000);
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_EQ(w.Timer2->interval(), 1000);
    EXPECT_FALSE(w.Timer2->isActive());
}

TEST_F(WindowTexts, SearchForm)
{
    TForm7 w;
    EXPECT_EQ(w.windowTitle().toStdString(), "Поиск видео");
    EXPECT_EQ(w.size(), QSize(1045, 694));
    EXPECT_NE(w.minimumSize(), w.maximumSize()) << "resizable";
    EXPECT_EQ(w.Image1->width(), 193);
    expectEditor(*w.ValueListEditor1, {{"Поле", 150}, {"Значение (можно указать часть или не указывать вообще)", 548}},
                 {"Название", "Режиссёр", "Страна", "Жанр", "Актёр", "Год выпуска (от)", "Год выпуска (до)"});
    expectControls({{w.GroupBox2, "Условия поиска"},
                    {w.BitBtn1, "Искать", QSize(126, 35)},
                    {w.BitBtn2, "Очистить поля", QSize(126, 35)},
                    {w.BitBtn3, "Пример", QSize(126, 35)},
                    {w.GroupBox1, "Результаты поиска"},
                    {w.Button1, "Назад", Button100},
                    {w.Button2, "Просмотр", Button100},
                    {w.Button3, "Далее", Button100},
                    {w.Button4, "Закрыть", Button100}});
    // The id column is a hair line here, not hidden.
    expectColumns(*w.StringGrid1, recordListColumns(1));
    EXPECT_EQ(w.StringGrid1->RowCount(), 5);
    ASSERT_EQ(w.StatusPanels.size(), 3u);
    EXPECT_EQ(w.StatusPanels[0]->width(), 150);
    EXPECT_EQ(w.StatusPanels[1]->width(), 200);
    EXPECT_EQ(w.StatusBar1->height(), 19);
}

TEST_F(WindowTexts, RecordForm)
{
    TForm8 w;
    EXPECT_EQ(w.windowTitle().toStdString(), "Просмотр данных");
    EXPECT_EQ(w.size(), QSize(1005, 661));
    EXPECT_NE(w.minimumSize(), w.maximumSize()) << "resizable";
    expectEditor(*w.ValueListEditor1, {{"Поле", 174}, {"Значение", 802}}, RecordFieldCaptions);
    EXPECT_EQ(w.Memo2->height(), 70);
    expectControls({{w.BitBtn7, "Назад", Button100},
                    {w.BitBtn8, "Далее", Button100},
                    {w.BitBtn1, "Трейлер", Button100},
                    {w.BitBtn2, "Видео", Button100},
                    {w.BitBtn3, "Кинопоиск", Button100},
                    {w.BitBtn5, "IMDB", Button100},
                    {w.BitBtn6, "Сохранить", Button100},
                    {w.BitBtn9, "Удалить", Button100},
                    {w.BitBtn4, "Закрыть", Button100}});
    // View mode until a record with an id above zero loads.
    EXPECT_TRUE(w.BitBtn6->isHidden());
    EXPECT_TRUE(w.BitBtn9->isHidden());
    EXPECT_EQ(w.Panel1->height(), 41);
    EXPECT_EQ(w.StatusBar1->height(), 19);
    EXPECT_EQ(widthsOf(w.StatusPanels), (std::vector<int>{150, 150, 150, 150, 300, 50}));
    ASSERT_EQ(w.PopupMenu1->actions(), (QList<QAction*>{w.N1, w.N2}));
    EXPECT_EQ(w.N1->text().toStdString(), "Исходный масштаб");
    EXPECT_EQ(w.N2->text().toStdString(), "Вписать");
    EXPECT_FALSE(w.N1->isChecked());
    EXPECT_TRUE(w.N2->isChecked());
    EXPECT_EQ(w.Timer1->interval(), 50);
    EXPECT_FALSE(w.Timer1->isActive());
}

TEST_F(WindowTexts, ValuePicker)
{
    TForm5 w;
    EXPECT_EQ(w.windowTitle().toStdString(), "Знчения из списка");
    EXPECT_EQ(w.size(), QSize(303, 547));
    EXPECT_EQ(w.minimumSize(), w.maximumSize()) << "a fixed frame";
    ASSERT_EQ(w.PageControl1->count(), 4);
    const QListWidget* lists[] = {w.ListBox1, w.ListBox2, w.ListBox3, w.ListBox4};
    const char* captions[] = {"Страна", "Жанры", "Страна (англ.)", "Жанры (англ.)"};
    for (int page = 0; page < 4; ++page) {
        EXPECT_EQ(w.PageControl1->tabText(page).toStdString(), captions[page]);
        EXPECT_EQ(lists[page]->selectionMode(), QAbstractItemView::SingleSelection);
        EXPECT_FALSE(lists[page]->isSortingEnabled());
        EXPECT_TRUE(lists[page]->selectedItems().isEmpty()) << captions[page];
        std::set<int> entryHeights;
        for (int entry = 0; entry < lists[page]->count(); ++entry)
            entryHeights.insert(lists[page]->visualItemRect(lists[page]->item(entry)).height());
        EXPECT_EQ(entryHeights, std::set<int>{13}) << captions[page];
    }
    EXPECT_EQ(w.PageControl1->currentIndex(), 3) << "the last page is active at creation";
}

}  // namespace
