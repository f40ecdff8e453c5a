#include "Unit7.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QVBoxLayout>
#include <iterator>

#include "ClientState.h"
#include "Dialogs.h"
#include "FormLayout.h"
#include "Multipart.h"
#include "QtText.h"
#include "RecordGrid.h"
#include "RecordLines.h"
#include "ServerReplies.h"
#include "StringGrid.h"
#include "ValueListEditor.h"
#include "platform/StringList.h"

namespace {

struct Criterion {
    const char* caption;
    const char* formField;
    const char* example;
};

// Rows 1 to 7 of the criteria editor.
constexpr Criterion Criteria[] = {
    {"Название", "title", "приключения"},
    {"Режиссёр", "producer", ""},
    {"Страна", "country", "СССР"},
    {"Жанр", "genre", "детский"},
    {"Актёр", "actors", ""},
    {"Год выпуска (от)", "creation_year1", "1970"},
    {"Год выпуска (до)", "creation_year2", "1990"},
};
constexpr int CriteriaCount = static_cast<int>(std::size(Criteria));

// The search picture: a magnifying glass over a blue button labelled "Найти", on a transparent ground.
QPixmap searchPicture()
{
    QImage image(289, 300, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF button(14, 196, 261, 96);
    QLinearGradient blue(button.topLeft(), button.bottomLeft());
    blue.setColorAt(0, QColor(86, 156, 236));
    blue.setColorAt(1, QColor(22, 84, 178));
    painter.setPen(QPen(QColor(14, 52, 118), 3));
    painter.setBrush(blue);
    painter.drawRoundedRect(button, 22, 22);
    QFont label("Tahoma");
    label.setPixelSize(44);
    label.setBold(true);
    painter.setFont(label);
    painter.setPen(Qt::white);
    painter.drawText(button, Qt::AlignCenter, "Найти");

    const QPointF centre(118, 92);
    painter.setPen(QPen(QColor(60, 44, 30), 22, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre + QPointF(52, 52), centre + QPointF(118, 92));
    painter.setPen(QPen(QColor(90, 96, 104), 12));
    painter.setBrush(QColor(200, 228, 255, 120));
    painter.drawEllipse(centre, 76, 76);
    painter.setPen(QPen(QColor(255, 255, 255, 170), 7, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(centre.x() - 58, centre.y() - 58, 116, 116), 100 * 16, 70 * 16);
    return QPixmap::fromImage(image);
}

}  // namespace

TForm7::TForm7(QWidget* parent) : QWidget(parent)
{
    setWindowTitle("Поиск видео");
    resize(1045, 694);
    UseFormFont(*this);

    Image1 = new QLabel;
    Image1->setFixedWidth(193);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(searchPicture().scaled(193, 192, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    ValueListEditor1 = new TValueListEditor("Поле", "Значение (можно указать часть или не указывать вообще)");
    ValueListEditor1->setColumnWidth(0, 150);
    ValueListEditor1->setColumnWidth(1, 548);
    ValueListEditor1->verticalHeader()->setDefaultSectionSize(18);  // all seven rows fit the band
    ValueListEditor1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const Criterion& criterion : Criteria)
        ValueListEditor1->AddRow(criterion.caption);

    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->setContentsMargins(3, 0, 3, 0);
    BitBtn1 = AddButton(buttonColumn, "Искать", 126);
    BitBtn2 = AddButton(buttonColumn, "Очистить поля", 126);
    BitBtn3 = AddButton(buttonColumn, "Пример", 126);
    buttonColumn->addStretch(1);
    GroupBox2 = new QGroupBox("Условия поиска");
    auto* criteriaLayout = new QHBoxLayout(GroupBox2);
    criteriaLayout->setContentsMargins(6, 4, 3, 4);
    criteriaLayout->addWidget(ValueListEditor1, 1);
    criteriaLayout->addLayout(buttonColumn);

    auto* topBand = new QHBoxLayout;
    topBand->setContentsMargins(0, 0, 3, 0);
    topBand->addWidget(Image1);
    topBand->addWidget(GroupBox2, 1);
    auto* topBandWidget = new QWidget;
    topBandWidget->setFixedHeight(192);
    topBandWidget->setLayout(topBand);

    StringGrid1 = new TStringGrid(9, 5);
    SetupRecordGrid(*StringGrid1);
    // Unlike the main list, the id column shows as a hair line and a click selects a single cell.
    StringGrid1->setColumnHidden(1, false);
    StringGrid1->SetColWidth(1, 1);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    GroupBox1 = new QGroupBox("Результаты поиска");
    auto* resultsLayout = new QVBoxLayout(GroupBox1);
    resultsLayout->addWidget(StringGrid1);

    auto* buttonBar = new QWidget;
    QHBoxLayout* bar = NewButtonBar(buttonBar);
    Button1 = AddButton(bar, "Назад", 100);
    Button2 = AddButton(bar, "Просмотр", 100);
    Button3 = AddButton(bar, "Далее", 100);
    bar->addStretch(1);
    Button4 = AddButton(bar, "Закрыть", 100);

    StatusBar1 = new QStatusBar;
    StatusBar1->setFixedHeight(19);
    constexpr int panelWidths[] = {150, 200, 0};  // the last panel takes the rest
    AddStatusPanels(StatusBar1, StatusPanels, panelWidths);

    QVBoxLayout* layout = NewTightColumn(this);
    layout->addWidget(topBandWidget);
    layout->addWidget(GroupBox1, 1);
    layout->addWidget(buttonBar);
    layout->addWidget(StatusBar1);

    StringGrid1->OnClick = [this] { StringGrid1Click(); };
    StringGrid1->OnDblClick = [this] { Button2Click(); };
    // The title row is not selectable: a click on it leaves the current row where it is.
    StringGrid1->horizontalHeader()->setSectionsClickable(false);
    // A double-click on the title row or below the last row opens the current row too (see eventFilter).
    StringGrid1->horizontalHeader()->viewport()->installEventFilter(this);
    StringGrid1->viewport()->installEventFilter(this);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
}

void TForm7::BitBtn1Click()
{
    std::vector<UnicodeString> criteria;
    for (int row = 1; row <= CriteriaCount; ++row)
        criteria.push_back(ValueListEditor1->Value(row));
    search(criteria);
}

bool TForm7::RepeatSearch() { return !shownCriteria_.empty() && search(shownCriteria_); }

// `criteria` holds the values of criteria rows 1 to 7.
bool TForm7::search(const std::vector<UnicodeString>& criteria)
{
    MultipartBody body;
    body.AddFormField("user", UserName);
    body.AddFormField("password", Password);
    for (int i = 0; i < CriteriaCount; ++i)
        body.AddFormField(Criteria[i].formField, criteria[i], "UTF-8").SetContentTransfer("binary");
    TStringList lines;
    if (!PostForLines(IdHTTP1, Work_URL + "find.php", body, lines) || !ShowRecordReply(*StringGrid1, lines))
        return false;
    shownCriteria_ = criteria;
    ShowStatExecute();
    return true;
}

void TForm7::BitBtn2Click()
{
    for (int row = 1; row <= CriteriaCount; ++row)
        ValueListEditor1->SetValue(row, UnicodeString());
}

void TForm7::BitBtn3Click()
{
    for (int row = 1; row <= CriteriaCount; ++row)
        ValueListEditor1->SetValue(row, Criteria[row - 1].example);
}

void TForm7::Button2Click()
{
    if (OpenCurrentRecord(*StringGrid1, "Search"))
        ShowStatExecute();
}

void TForm7::Button1Click()
{
    if (MoveCurrentRow(*StringGrid1, -1))
        Button2Click();
}

void TForm7::Button3Click()
{
    if (MoveCurrentRow(*StringGrid1, +1))
        Button2Click();
}

void TForm7::StringGrid1Click()
{
    StatusPanels[2]->setText(qstr(StringGrid1->Cells(StringGrid1->currentColumn(), StringGrid1->Row())));
}

void TForm7::ShowStatExecute() { ShowRecordPosition(*StringGrid1, *StatusPanels[0], *StatusPanels[1]); }

void TForm7::Button4Click() { close(); }

bool TForm7::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        // Double-clicks on a cell reach Button2Click through the grid's OnDblClick.
        const bool onTitleRow = watched == StringGrid1->horizontalHeader()->viewport();
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (onTitleRow || !StringGrid1->indexAt(mouse->position().toPoint()).isValid())
            Button2Click();
    }
    return QWidget::eventFilter(watched, event);
}

void TForm7::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        CentreOver(*this, MainWindow());
}
