#include "Unit5.h"

#include <QListWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ClientState.h"
#include "Dialogs.h"
#include "FormLayout.h"
#include "QtText.h"
#include "RecordFields.h"
#include "Unit3.h"
#include "Unit8.h"
#include "ValueListEditor.h"

namespace {

const QStringList CountriesRu = {
    "Австралия", "Австрия", "Азербайджан", "Албания", "Аргентина", "Армения", "Афганистан", "Беларусь", "Бельгия",
    "Болгария", "Бразилия", "Великобритания", "Венгрия", "Венесуэла", "Вьетнам", "Гватемала", "ГДР", "Германия",
    "Гонконг", "Греция", "Грузия", "Дания", "Египет", "Израиль", "Индия", "Индонезия", "Иордания", "Иран",
    "Ирландия", "Исландия", "Испания", "Италия", "Казахстан", "Каймановы острова", "Канада", "Кения", "Кипр",
    "Киргизия", "Китай", "Колумбия", "Корея Северная", "Корея Южная", "Куба", "Латвия", "Литва", "Лихтенштейн",
    "Люксембург", "Малави", "Малайзия", "Мальта", "Марокко", "Мексика", "Молдова", "Монголия", "Непал",
    "Нидерланды", "Новая Зеландия", "Норвегия", "ОАЭ", "Перу", "Польша", "Португалия", "Республика Беларусь",
    "Россия", "Румыния", "СССР", "США", "Саудовская Аравия", "Сенегал", "Сербия", "Сингапур", "Сирия", "Словакия",
    "Словения", "Таиланд", "Тайвань", "Тунис", "Турция", "Узбекистан", "Украина", "ФРГ", "Филиппины", "Финляндия",
    "Франция", "Хорватия", "ЧССР", "Чехия", "Чехословакия", "Швейцария", "Швеция", "Эстония", "ЮАР", "Югославия",
    "Южная Корея", "Япония"};

const QStringList GenresRu = {
    "аниме", "арт-хаус", "биографический", "биография", "боевик", "боевые искусства", "вестерн", "вов", "военный",
    "детектив", "детский", "для взрослых", "документальный", "драма", "исторический", "история", "катастрофа",
    "киноальманах", "киноповесть", "комедия", "комикс", "короткометражка", "криминал", "криминальная мелодрама",
    "мелодрама", "мистика", "музыкальный", "мультфильм", "мюзикл", "немое", "остросюжетная мелодрама", "пародия",
    "полнометражный", "приключение", "психологическая драма", "психологический триллер", "реальные события",
    "рождество", "романтическая комедия", "семейный", "сказка", "советское", "социальная драма", "спорт",
    "стимпанк", "супергерой", "театр", "телеспектакль", "трагикомедия", "триллер", "трэш", "ужасы", "фантастика",
    "фантастическая комедия", "фильм-нуар", "фильм-спектакль", "фэнтези", "экранизация", "экшен", "эротика"};

const QStringList CountriesEn = {
    "Argentina", "Armenia", "Australia", "Austria", "Azerbaijan", "Bangladesh", "Belarus", "Belgium", "Brazil",
    "Bulgaria", "Burkina Faso", "Canada", "China", "Croatia", "Cyprus", "Czech Republic", "Czechoslovakia",
    "Denmark", "East Germany", "Egypt", "Estonia", "Finland", "France", "Georgia", "Germany", "Greece", "Hong Kong",
    "Hungary", "Iceland", "India", "Indonesia", "Iran", "Ireland", "Israel", "Italy", "Japan", "Jordan",
    "Kazakhstan", "Korea", "Kyrgyzstan", "Latvia", "Lebanon", "Lithuania", "Malaysia", "Mexico", "Moldova",
    "Netherlands", "New Zealand", "Nigeria", "North Korea", "Norway", "Pakistan", "Peru", "Philippines", "Poland",
    "Portugal", "Romania", "Russia", "Serbia", "Singapore", "South Africa", "South Korea", "Soviet Union", "Spain",
    "Sri Lanka", "Sweden", "Switzerland", "Taiwan", "Thailand", "Turkey", "Ukraine", "United Kingdom",
    "United States", "Uzbekistan", "Venezuela", "Vietnam", "West Germany", "Yugoslavia"};

const QStringList GenresEn = {
    "action", "adult", "adventure", "animation", "biography", "comedy", "crime", "documentary", "drama", "family",
    "fantasy", "film-noir", "game-show", "history", "horror", "music", "musical", "mystery", "news", "reality-tv",
    "romance", "sci-fi", "short", "sport", "talk-show", "thriller", "war", "western"};

// Every entry of the lists is this high, whatever the font and the style make of it.
constexpr int EntryHeight = 13;

// The editor of the window activated last; none until one of the two editor windows has been activated.
TValueListEditor* targetEditor()
{
    if (CurEditForm == UnicodeString("Form8"))
        return Form8->ValueListEditor1;
    if (CurEditForm == UnicodeString("Form3"))
        return Form3->ValueListEditor1;
    return nullptr;
}

}  // namespace

TForm5::TForm5(QWidget* parent) : QWidget(parent)
{
    setWindowTitle("Знчения из списка");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(303, 547);
    UseFormFont(*this);

    PageControl1 = new QTabWidget(this);
    // Narrow tab padding, so that all four captions fit the window's width side by side.
    PageControl1->setStyleSheet("QTabBar::tab { padding-left: 4px; padding-right: 4px; }");
    NewTightColumn(this)->addWidget(PageControl1);

    const struct {
        QListWidget** list;
        const char* caption;
        const QStringList& items;
        void (TForm5::*handler)();
    } pages[] = {{&ListBox1, "Страна", CountriesRu, &TForm5::ListBox1DblClick},
                 {&ListBox2, "Жанры", GenresRu, &TForm5::ListBox2DblClick},
                 {&ListBox3, "Страна (англ.)", CountriesEn, &TForm5::ListBox3DblClick},
                 {&ListBox4, "Жанры (англ.)", GenresEn, &TForm5::ListBox4DblClick}};
    for (const auto& page : pages) {
        auto* sheet = new QWidget;
        auto* list = new QListWidget(sheet);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        for (const QString& entry : page.items)
            (new QListWidgetItem(entry, list))->setSizeHint(QSize(0, EntryHeight));
        auto* box = new QVBoxLayout(sheet);
        box->setContentsMargins(3, 3, 3, 3);
        box->addWidget(list);
        PageControl1->addTab(sheet, page.caption);
        connect(list, &QListWidget::itemDoubleClicked, this, [this, handler = page.handler] { (this->*handler)(); });
        *page.list = list;
    }
    PageControl1->setCurrentIndex(PageControl1->count() - 1);
}

void TForm5::ListBox1DblClick() { Pick(*ListBox1, 3); }
void TForm5::ListBox2DblClick() { Pick(*ListBox2, 4); }
void TForm5::ListBox3DblClick() { Pick(*ListBox3, 9); }
void TForm5::ListBox4DblClick() { Pick(*ListBox4, 10); }

void TForm5::Pick(const QListWidget& list, int row)
{
    TValueListEditor* editor = targetEditor();
    const QListWidgetItem* entry = list.currentRow() >= 0 ? list.item(list.currentRow()) : nullptr;
    if (!editor || !entry)
        return;
    const UnicodeString value = editor->Value(row);
    const UnicodeString picked = ustr(entry->text());
    editor->SetValue(row, value.IsEmpty() ? picked : value + ", " + picked);
}

void ShowPickerFor(int row)
{
    const int page = row >= 1 && row <= RecordFieldCount ? RecordFields[row - 1].pickerPage : -1;
    if (page >= 0) {
        ShowWindow(*Form5);
        Form5->PageControl1->setCurrentIndex(page);
    }
}
