#include "Unit8.h"

#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QCloseEvent>
#include <QShowEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

#include "Dialogs.h"
#include "FormLayout.h"
#include "Multipart.h"
#include "QtText.h"
#include "RecordFields.h"
#include "RecordGrid.h"
#include "RecordPicture.h"
#include "ServerReplies.h"
#include "StringGrid.h"
#include "Unit1.h"
#include "Unit5.h"
#include "Unit7.h"
#include "ValueListEditor.h"
#include "platform/Exception.h"
#include "platform/StringList.h"
#include "utils/Formatting.h"

namespace {

const char* const PictureFailedMessage = "Изображение не загружено\n Попробуйте повторить запрос чуть позже!";

// The picture's scroll area in "Вписать" is the scroll box less this much in each direction.
constexpr int FitInset = 10;

// The parts of view.php and get_image.php: the account and the record's id.
void addRecordRequestParts(MultipartBody& body, int id)
{
    body.AddFormField("user", UserName);
    body.AddFormField("password", Password);
    body.AddFormField("id", IntToStr(id));
}

// A decimal number of a reply line cut toward zero to Int: 0 when the line holds no number, the nearest bound
// when the number lies outside Int.
template <typename Int>
Int truncatedNumber(const UnicodeString& line)
{
    double value = 0;
    try {
        value = line.ToDouble();
    } catch (const EConvertError&) {
        return 0;
    }
    constexpr Int lowest = std::numeric_limits<Int>::min();
    constexpr Int highest = std::numeric_limits<Int>::max();
    if (std::isnan(value))
        return 0;
    if (value <= static_cast<double>(lowest))
        return lowest;
    if (value >= static_cast<double>(highest))
        return highest;
    return static_cast<Int>(value);
}

// The data row of a record list whose id column holds `id`; 0 when there is none.
int rowHoldingId(const TStringGrid& grid, int id)
{
    for (int row = 1; row < grid.RowCount(); ++row) {
        if (grid.Cells(1, row).ToIntDef(0) == id)
            return row;
    }
    return 0;
}

}  // namespace

TForm8::TForm8(QWidget* parent) : QWidget(parent)
{
    setWindowTitle("Просмотр данных");
    resize(1005, 661);
    UseFormFont(*this);

    Panel7 = new QWidget;
    ValueListEditor1 = new TValueListEditor("Поле", "Значение");
    ValueListEditor1->setColumnWidth(0, 174);
    ValueListEditor1->setColumnWidth(1, 802);
    AddRecordFieldRows(*ValueListEditor1);
    Memo2 = new QPlainTextEdit;
    Memo2->setFixedHeight(70);
    auto* panel7Layout = new QVBoxLayout(Panel7);
    panel7Layout->setContentsMargins(3, 3, 3, 0);
    panel7Layout->setSpacing(3);
    panel7Layout->addWidget(ValueListEditor1);
    panel7Layout->addWidget(Memo2);

    Image1 = new QLabel;
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1 = new QScrollArea;
    ScrollBox1->setWidget(Image1);
    // The picture can be smaller than the visible area, or have no size at all, so the whole area carries its
    // menu: a right-click on the picture passes on to it.
    ScrollBox1->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenu1 = new QMenu(this);
    N1 = PopupMenu1->addAction("Исходный масштаб");
    N2 = PopupMenu1->addAction("Вписать");
    auto* zoomModes = new QActionGroup(this);
    for (QAction* mode : {N1, N2}) {
        mode->setCheckable(true);
        zoomModes->addAction(mode);
    }
    N2->setChecked(true);
    connect(N1, &QAction::triggered, this, [this] { N1Click(); });
    connect(N2, &QAction::triggered, this, [this] { N2Click(); });
    connect(ScrollBox1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(ScrollBox1->viewport()->mapToGlobal(at)); });

    Splitter1 = new QSplitter(Qt::Vertical);
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(Panel7);
    Splitter1->addWidget(ScrollBox1);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({273, 661 - 273 - 3 - 41 - 19});

    Panel1 = new QWidget;
    QHBoxLayout* bar = NewButtonBar(Panel1);
    BitBtn7 = AddButton(bar, "Назад", 100);
    BitBtn8 = AddButton(bar, "Далее", 100);
    bar->addSpacing(30);
    BitBtn1 = AddButton(bar, "Трейлер", 100);
    BitBtn2 = AddButton(bar, "Видео", 100);
    BitBtn3 = AddButton(bar, "Кинопоиск", 100);
    BitBtn5 = AddButton(bar, "IMDB", 100);
    bar->addStretch(1);
    BitBtn6 = AddButton(bar, "Сохранить", 100);
    BitBtn9 = AddButton(bar, "Удалить", 100);
    BitBtn4 = AddButton(bar, "Закрыть", 100);
    BitBtn6->hide();
    BitBtn9->hide();

    StatusBar1 = new QStatusBar;
    StatusBar1->setFixedHeight(19);
    constexpr int panelWidths[] = {150, 150, 150, 150, 300, 50};
    AddStatusPanels(StatusBar1, StatusPanels, panelWidths);

    QVBoxLayout* layout = NewTightColumn(this);
    layout->addWidget(Splitter1, 1);
    layout->addWidget(Panel1);
    layout->addWidget(StatusBar1);

    Timer1 = new QTimer(this);
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    ValueListEditor1->OnClick = [this] { ValueListEditor1Click(); };
    ValueListEditor1->OnDblClick = [this] { ValueListEditor1DblClick(); };
    connect(BitBtn6, &QPushButton::clicked, this, [this] { BitBtn6Click(); });
    connect(BitBtn9, &QPushButton::clicked, this, [this] { BitBtn9Click(); });
    connect(BitBtn7, &QPushButton::clicked, this, [this] { BitBtn7Click(); });
    connect(BitBtn8, &QPushButton::clicked, this, [this] { BitBtn8Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { BitBtn5Click(); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
}

void TForm8::FormShow()
{
    const int id = VIEW_ID;
    emit loadingRecord(id);
    ShowMode(id);
    ClearFiledsExecute();

    MultipartBody body;
    addRecordRequestParts(body, id);
    TStringList lines;
    if (!PostForLines(IdHTTP1, Work_URL + "view.php", body, lines))
        return;
    const UnicodeString& first = lines.Get(0);
    if (first != "OK") {
        if (first == "Record not found")
            ShowMessage("Запись не найдена!");
        else
            ShowAccountRefusal(first);
        return;
    }
    ShowRecord(id, lines);
    if (!Timer1->isActive())
        Timer1->start();
}

void TForm8::ShowMode(int id)
{
    const bool editMode = id > 0;
    BitBtn6->setVisible(editMode);
    BitBtn9->setVisible(editMode);
    setWindowTitle(editMode ? "Просмотр и редактирование данных" : "Просмотр данных");
}

void TForm8::ShowRecord(int id, const TStringList& lines)
{
    // A short reply leaves the missing values empty or 0.
    const auto line = [&lines](int i) { return i < lines.Count() ? lines.Get(i) : UnicodeString(); };
    for (int row = 1; row <= RecordFieldCount; ++row)
        ValueListEditor1->SetValue(row, line(row + 1));
    StatusPanels[0]->setText(qstr(line(19) + "x" + line(20) + "@" + line(23)));
    StatusPanels[1]->setText(qstr(GetTimeForMovieRus(truncatedNumber<int32_t>(line(24)))));
    StatusPanels[2]->setText(qstr("Фреймов: " + NiceNumberView(line(22).ToIntDef(0))));
    StatusPanels[3]->setText(qstr("Размер: " + NiceNumberView(truncatedNumber<int64_t>(line(21)))));
    StatusPanels[4]->setText(qstr("MD5: " + line(25)));
    shownId_ = id;
}

void TForm8::Timer1Timer()
{
    Timer1->stop();
    std::string bytes;
    try {
        MultipartBody body;
        addRecordRequestParts(body, shownId_);  // the picture of the record on show
        bytes = IdHTTP1.PostBytes(Work_URL + "get_image.php", body, MaxRecordPictureBytes);
    } catch (const std::exception&) {
        ShowMessage(PictureFailedMessage);
        return;
    }
    QImage decoded = DecodeRecordPicture(bytes);
    bytes = std::string();  // the reply's memory goes back before the picture is drawn
    if (decoded.isNull()) {
        ShowMessage(PictureFailedMessage);
        return;
    }
    picture_ = std::move(decoded);
    if (N1->isChecked())
        N1Click();
    else if (N2->isChecked())
        N2Click();
}

void TForm8::N1Click()
{
    N1->setChecked(true);
    showPicture(picture_.size(), QPixmap::fromImage(picture_));
}

void TForm8::N2Click()
{
    N2->setChecked(true);
    // The area is taken from the scroll box as it is now; a later change of the window's or the splitter's size
    // leaves the picture as fitted until the mode is applied again.
    const QSize area = (ScrollBox1->size() - QSize(FitInset, FitInset)).expandedTo(QSize(0, 0));
    showPicture(area, picture_.isNull() ? QPixmap()
                                        : QPixmap::fromImage(picture_.scaled(area, Qt::KeepAspectRatio,
                                                                             Qt::SmoothTransformation)));
}

// The picture's area is the scroll box's content, so its size is the scroll range; the view goes back to the
// top left corner.
void TForm8::showPicture(QSize area, const QPixmap& pixmap)
{
    Image1->setPixmap(pixmap);
    Image1->resize(area);
    ScrollBox1->horizontalScrollBar()->setValue(0);
    ScrollBox1->verticalScrollBar()->setValue(0);
}

void TForm8::ClearFiledsExecute()
{
    picture_ = QImage();
    Image1->clear();
}

void TForm8::ValueListEditor1Click()
{
    Memo2->setPlainText(qstr(ValueListEditor1->Value(ValueListEditor1->Row())));
}

void TForm8::ValueListEditor1DblClick()
{
    Memo2->selectAll();
    Memo2->copy();
    ShowPickerFor(ValueListEditor1->Row());
}

void TForm8::FormActivate()
{
    CurEditForm = "Form8";
}

void TForm8::BitBtn6Click()
{
    if (const auto missing = FirstMissingRequiredField(*ValueListEditor1)) {
        ShowMessage(*missing);
        return;
    }
    try {
        MultipartBody body;
        body.AddFormField("application", ApplicationName);
        body.AddFormField("version", Version);
        body.AddFormField("user", UserName);
        body.AddFormField("password", Password);
        body.AddFormField("id", IntToStr(shownId_));  // the values on show belong to this record
        AddRecordFieldParts(body, *ValueListEditor1);
        ShowSaveReply(IdHTTP1.Post(Work_URL + "update.php", body));
    } catch (const std::exception&) {
        ShowMessage(ServerUnavailableMessage);
    }
}

// The delete acts on the record on show and then shows the record that took its row in the list the form steps
// through, or that list's new last one. When the list cannot be loaded again after the delete, its message is
// all the user gets: it still holds the deleted record, and opening that would only add "Запись не найдена!".
// While a delete question is open, the press only brings it to the front: its answer acts on the record it asked
// about. A step, an open or a reload meanwhile closes it unanswered (AskToDeleteRecord).
void TForm8::BitBtn9Click()
{
    if (RaiseOpenQuestion() || shownId_ <= 0)
        return;
    if (Table == "Search")
        deleteSearchHit();
    else
        deleteFromMainList();
}

// The main window's delete works on its list's current row, so that row is made the one holding the record on
// show first; a record that the list does not hold, even after a refresh, is not deleted. A declined question
// or a failed request opens the same record again; a question withdrawn because the user moved on leaves the
// list and the form where the user took them.
void TForm8::deleteFromMainList()
{
    TStringGrid& list = *Form1->StringGrid1;
    int row = rowHoldingId(list, shownId_);
    if (row == 0) {
        if (!Form1->RefreshList())
            return;
        row = rowHoldingId(list, shownId_);
    }
    if (row == 0) {
        ShowMessage("Запись не найдена!");
        return;
    }
    list.SetRow(row);
    const DeleteOutcome outcome = Form1->DeleteRecord(list.Cells(1, row), list);
    if (outcome == DeleteOutcome::ListNotReloaded || outcome == DeleteOutcome::Withdrawn)
        return;
    list.SetRow(std::min(row, list.RowCount() - 1));
    Form1->BitBtn3Click();
}

// A search hit need not be in the main list: it is deleted by its id, and after the main list the search runs
// again with its criteria. A declined question or a failed request changes nothing, and the form keeps
// stepping through the hits.
void TForm8::deleteSearchHit()
{
    TStringGrid& hits = *Form7->StringGrid1;
    int row = rowHoldingId(hits, shownId_);
    if (row == 0)
        row = hits.Row();  // the grid shows another search by now
    if (Form1->DeleteRecord(IntToStr(shownId_), hits) != DeleteOutcome::ListReloaded || !Form7->RepeatSearch())
        return;
    hits.SetRow(std::min(row, hits.RowCount() - 1));
    Form7->Button2Click();
}

void TForm8::step(int delta)
{
    if (Table == "Search") {
        if (delta < 0)
            Form7->Button1Click();
        else
            Form7->Button3Click();
    } else if (Table == "My" && MoveCurrentRow(*Form1->StringGrid1, delta)) {
        Form1->BitBtn3Click();
    }
}

void TForm8::BitBtn7Click() { step(-1); }
void TForm8::BitBtn8Click() { step(+1); }

void TForm8::openLink(int row)
{
    // A record's values come from whoever wrote it: only a web address is handed on, anything else does nothing.
    const UnicodeString target = ValueListEditor1->Value(row);
    if (IsWebAddress(target))
        OpenUrl(target);
}

void TForm8::BitBtn1Click() { openLink(13); }
void TForm8::BitBtn2Click() { openLink(14); }
void TForm8::BitBtn3Click() { openLink(15); }
void TForm8::BitBtn5Click() { openLink(16); }

void TForm8::BitBtn4Click() { close(); }

void TForm8::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    CentreOnScreen(*this);
    FormShow();
}

// A closed form is only hidden, and the next opening empties the picture before it loads the record again, so the
// picture's memory, up to half a gigabyte, goes back now.
void TForm8::closeEvent(QCloseEvent* event)
{
    ClearFiledsExecute();
    QWidget::closeEvent(event);
}

bool TForm8::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QWidget::event(event);
}
