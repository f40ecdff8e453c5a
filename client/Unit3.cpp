#include "Unit3.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "AnalyzeVideo.h"
#include "ClientState.h"
#include "Dialogs.h"
#include "FormLayout.h"
#include "Multipart.h"
#include "QtText.h"
#include "RecordFields.h"
#include "ServerReplies.h"
#include "Unit2.h"
#include "Unit5.h"
#include "ValueListEditor.h"
#include "WorkFolder.h"
#include "platform/Files.h"
#include "platform/StringList.h"
#include "utils/Paths.h"
#include "utils/Listing.h"

namespace {

constexpr int ClientWidth = 901;
constexpr int ClientHeight = 556;
constexpr int PictureColumn = 249;
constexpr int StatusHeight = 19;
constexpr int ButtonBarHeight = 41;
constexpr int ProgressHeight = 54;
constexpr int MemoHeight = 68;

// Three overlapping circles in red, green and blue whose overlaps add up: the additive colour model.
QPixmap colourModelPicture()
{
    QImage image(225, 225, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    painter.setPen(Qt::NoPen);
    const struct {
        QColor colour;
        QPointF centre;
        const char* label;
        QPointF labelAt;
    } circles[] = {{Qt::red, {112, 80}, "R", {104, 40}},
                   {Qt::green, {80, 140}, "G", {40, 160}},
                   {Qt::blue, {145, 140}, "B", {170, 160}}};
    for (const auto& c : circles) {
        painter.setBrush(c.colour);
        painter.drawEllipse(c.centre, 62, 62);
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(Qt::white);
    QFont font("Tahoma");
    font.setPixelSize(22);
    font.setBold(true);
    painter.setFont(font);
    for (const auto& c : circles)
        painter.drawText(c.labelAt, c.label);
    return QPixmap::fromImage(image);
}

// The pictures of the work folder in the order of their upper-cased names: the ten screenshots (ss_...) then
// table.jpg, whatever order the file system lists them in.
std::vector<UnicodeString> sortedPictures(const TStringList& list)
{
    std::vector<UnicodeString> pictures;
    for (int i = 0; i < list.Count(); ++i)
        pictures.push_back(list[i]);
    std::stable_sort(pictures.begin(), pictures.end(), [](const UnicodeString& a, const UnicodeString& b) {
        return get_file_name(a).UpperCase() < get_file_name(b).UpperCase();
    });
    return pictures;
}

// The 56 parts of add.php in their order.
void addNewRecordParts(MultipartBody& body, const TValueListEditor& editor, const std::vector<UnicodeString>& pictures)
{
    const TVideoInfo& v = VideoInfo;
    const std::pair<const char*, UnicodeString> plainParts[] = {
        {"application", ApplicationName},
        {"version", Version},
        {"user", UserName},
        {"password", Password},
        {"filename", v.filename},
        {"md5", v.md5},
        {"width", IntToStr(v.width)},
        {"height", IntToStr(v.height)},
        {"video_sar", FloatToStr(v.video_sar)},
        {"video_dar", FloatToStr(v.video_dar)},
        {"used_width", IntToStr(v.used_width)},
        {"used_height", IntToStr(v.used_height)},
        {"size", IntToStr(v.size)},
        {"frames", IntToStr(v.frames)},
        {"fps", FloatToStr(v.fps)},
        {"duration", FloatToStr(v.duration)},
    };
    for (const auto& [name, value] : plainParts)
        body.AddFormField(name, value);
    AddRecordFieldParts(body, editor);
    const std::string fileType = "application/octet-stream";
    body.AddFile("rgb", WorkFile("data.rgb"), fileType);
    body.AddFile("table", WorkFile("table.jpg"), fileType);
    body.AddFile("hash", WorkFile("hashes.dat"), fileType);
    for (int i = 0; i < 10; ++i) {
        const std::string n = std::to_string(i);
        body.AddFile("screenshot" + n, pictures[i], fileType);
        body.AddFormField("screenshot_name" + n, get_file_name(pictures[i])).SetContentTransfer("binary");
    }
}

}  // namespace

TForm3::TForm3(QWidget* parent) : QWidget(parent)
{
    setWindowTitle("Добавление нового видео в базу данных");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);  // a fixed dialog frame
    setFixedSize(ClientWidth, ClientHeight);
    UseFormFont(*this);

    const int progressTop = ClientHeight - StatusHeight - ButtonBarHeight - ProgressHeight;
    const int rightWidth = ClientWidth - PictureColumn;

    Image1 = new QLabel(this);
    Image1->setGeometry(0, 0, PictureColumn, progressTop);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(colourModelPicture());

    ValueListEditor1 = new TValueListEditor("Поле", "Значение", this);
    ValueListEditor1->setGeometry(PictureColumn, 0, rightWidth, progressTop - MemoHeight);
    ValueListEditor1->setColumnWidth(0, 163);
    ValueListEditor1->setColumnWidth(1, 477);
    AddRecordFieldRows(*ValueListEditor1);
    ValueListEditor1->OnClick = [this] { ValueListEditor1Click(); };
    ValueListEditor1->OnDblClick = [this] { ValueListEditor1DblClick(); };

    Memo1 = new QPlainTextEdit(this);
    Memo1->setGeometry(PictureColumn, progressTop - MemoHeight, rightWidth, MemoHeight);
    Memo1->installEventFilter(this);

    GroupBox11 = new QGroupBox("Процесс обработки видео", this);
    GroupBox11->setGeometry(0, progressTop, ClientWidth, ProgressHeight);
    ProgressBar1 = new QProgressBar(GroupBox11);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    (new QHBoxLayout(GroupBox11))->addWidget(ProgressBar1);

    Panel1 = new QWidget(this);
    Panel1->setGeometry(0, progressTop + ProgressHeight, ClientWidth, ButtonBarHeight);
    QHBoxLayout* buttons = NewButtonBar(Panel1);
    BitBtn3 = AddButton(buttons, "Открыть видео", 130);
    buttons->addStretch();
    BitBtn1 = AddButton(buttons, "Сохранить данные", 130);
    BitBtn2 = AddButton(buttons, "Очистить поля", 130);
    BitBtn4 = AddButton(buttons, "Закрыть", 130);
    BitBtn1->setEnabled(false);
    connect(BitBtn3, &QPushButton::clicked, this, [this] { N3Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { ClearFiledsExecute(); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setGeometry(0, ClientHeight - StatusHeight, ClientWidth, StatusHeight);
    constexpr int panelWidths[6] = {150, 150, 150, 150, 300, 50};
    AddStatusPanels(StatusBar1, StatusPanels, panelWidths);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
    Timer2 = new QTimer(this);
    Timer2->setInterval(1000);
    connect(Timer2, &QTimer::timeout, this, [this] { Timer2Timer(); });

    OpenDialog1 = [this] { return ustr(QFileDialog::getOpenFileName(this)); };
}

void TForm3::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    CentreOnScreen(*this);
    FormShow();
}

void TForm3::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

bool TForm3::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QWidget::event(event);
}

// The memo is left when the focus moves on to another control of this form. Losing the focus to another window
// (a message box, the record form) or to the memo's own context menu is no exit: the user comes back to the memo.
bool TForm3::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Memo1 && event->type() == QEvent::FocusOut) {
        const QWidget* next = QApplication::focusWidget();  // already the widget that takes the focus
        if (next && next != Memo1 && next->window() == this)
            Memo1Exit();
    }
    return QWidget::eventFilter(watched, event);
}

void TForm3::FormShow()
{
    ClearFiledsExecute();
    BitBtn1->setEnabled(false);
    ProgressBar1->setValue(0);
    for (int panel = 0; panel <= 4; ++panel)
        SetStatusPanel(panel, UnicodeString());
}

void TForm3::FormActivate()
{
    CurEditForm = "Form3";
}

void TForm3::FormClose()
{
    BitBtn3->setEnabled(true);
    Timer2->stop();
    ProgressBar1->setValue(0);
}

void TForm3::ValueListEditor1Click()
{
    Memo1->setPlainText(qstr(ValueListEditor1->Value(ValueListEditor1->Row())));
}

void TForm3::Memo1Exit()
{
    ValueListEditor1->SetValue(ValueListEditor1->Row(), ustr(Memo1->toPlainText()));
}

void TForm3::ValueListEditor1DblClick()
{
    Memo1->selectAll();
    Memo1->copy();
    ShowPickerFor(ValueListEditor1->Row());
}

void TForm3::ClearFiledsExecute()
{
    for (int row = 1; row < ValueListEditor1->RowCount(); ++row)
        ValueListEditor1->SetValue(row, UnicodeString());
}

void TForm3::BitBtn4Click()
{
    close();
}

void TForm3::Timer1Timer()
{
    Timer1->stop();
    AskForMissingAccount();
}

void TForm3::N3Click()
{
    if (opening_)
        return;
    const UnicodeString path = OpenDialog1();
    if (path.IsEmpty())
        return;
    MainWindow()->setWindowTitle(qstr(UnicodeString("Tarvello Desk - ") + path));
    Source = path;
    Timer2->stop();
    ProgressBar1->setValue(0);
    // The previous analysis runs to its end first; its messages still appear meanwhile.
    opening_ = true;
    const bool previousEnded = !Analyzer || Analyzer->WaitUntilEnded();
    opening_ = false;
    if (!previousEnded)
        return;  // the program is ending; the previous analysis ends with it
    delete Analyzer;
    Analyzer = new AnalyzeVideo(false);
    BitBtn1->setEnabled(false);
    BitBtn3->setEnabled(false);
    Timer2->start();
}

void TForm3::Timer2Timer()
{
    const ProgressBand band = CurrentProgressBand();
    int p = ProgressBar1->value() + 1;
    if (p < band.lo)
        p = band.lo;
    if (p > band.hi)
        p = band.lo;
    ProgressBar1->setValue(p);
}

void TForm3::ResetAfterAnalysis()
{
    BitBtn1->setEnabled(false);
    BitBtn3->setEnabled(true);
    Timer2->stop();
}

void TForm3::ShowAnalysisComplete()
{
    BitBtn1->setEnabled(true);
    BitBtn3->setEnabled(true);
    Timer2->stop();
    ProgressBar1->setValue(ProgressBar1->maximum());
}

void TForm3::SetStatusPanel(int panel, const UnicodeString& text)
{
    StatusPanels[panel]->setText(qstr(text));
}

UnicodeString TForm3::StatusPanel(int panel) const
{
    return ustr(StatusPanels[panel]->text());
}

void TForm3::BitBtn1Click()
{
    for (const char* name : {"data.rgb", "hashes.dat", "table.jpg"}) {
        if (!FileExists(WorkFile(name))) {
            ShowMessage(UnicodeString("Не найден файл [") + name + "]");
            BitBtn1->setEnabled(false);
            return;
        }
    }
    TStringList list;
    if (GetPicturesFromDirectory(WorkFolder(), &list) != 11) {
        ShowMessage("Не найдены скриншоты из видео");
        BitBtn1->setEnabled(false);
        return;
    }
    const std::vector<UnicodeString> pictures = sortedPictures(list);
    if (const auto missing = FirstMissingRequiredField(*ValueListEditor1)) {
        ShowMessage(*missing);
        return;
    }
    const int year = ValueListEditor1->Value(YearRow).ToIntDef(0);
    if (year < 1900 || year > 2100) {
        ShowMessage("Исправьте год выпуска");
        return;
    }
    try {
        MultipartBody body;
        addNewRecordParts(body, *ValueListEditor1, pictures);
        ShowSaveReply(IdHTTP1.Post(Work_URL + "add.php", body));
    } catch (const std::exception&) {
        ShowMessage(ServerUnavailableMessage);
    }
}
