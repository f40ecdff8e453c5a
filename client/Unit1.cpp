#include "Unit1.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include "ABOUT.h"
#include "AnalyzeVideo.h"
#include "DeleteQuestion.h"
#include "Dialogs.h"
#include "FormLayout.h"
#include "platform/IniFile.h"
#include "Pictures.h"
#include "RecordGrid.h"
#include "RecordLines.h"
#include "ServerReplies.h"
#include "StringGrid.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit7.h"
#include "platform/Files.h"
#include "platform/StringList.h"
#include "utils/Fields.h"

UnicodeString CurPath;
UnicodeString Source;
UnicodeString UserName;
UnicodeString Password;
UnicodeString Table;
UnicodeString CurEditForm;
const UnicodeString Program_URL = "https://www.tarvello.example/product.php?id=73";
UnicodeString Work_URL = "https://catalogue.tarvello.example/desk/v3/";
const UnicodeString ApplicationName = "Tarvello Desk";
const UnicodeString Version = "3.0";
bool VIDEO_OK = false;
AnalyzeVideo* Analyzer = nullptr;
TVideoInfo VideoInfo;
int32_t VIEW_ID = -1;

const UnicodeString Site_Caption = "www.tarvello.example";
const UnicodeString Help_URL = "http://www.tarvello.example/products/tarvello_desk/help/";
const UnicodeString BugReport_URL = "https://www.tarvello.example/bug_report.php?prog_id=79&version=3.0";
const UnicodeString Review_URL = "https://www.tarvello.example/product.php?id=79&tab=comments";
const UnicodeString Contact_URL = "https://www.tarvello.example/contacts.php";
const UnicodeString Mail_URL = "mailto:support@tarvello.example";
const UnicodeString Skype_URL = "Skype:tarvello.support?chat";
const UnicodeString Video_URL = "https://video.tarvello.example/watch?v=tarvello-desk-3";
const UnicodeString SignUp_URL = "http://signup.tarvello.example/";

TForm1* Form1 = nullptr;
TForm8* Form8 = nullptr;
TForm2* Form2 = nullptr;
TAboutBox* AboutBox = nullptr;
TForm7* Form7 = nullptr;
TForm3* Form3 = nullptr;
TForm5* Form5 = nullptr;

namespace {

const UnicodeString SettingsSection = "Account";

UnicodeString settingsPath() { return CurPath + PathDelim + "TarvelloDesk.ini"; }

}  // namespace

UnicodeString deenc(const UnicodeString& text, const UnicodeString& replacement)
{
    const bool literal = replacement.IsEmpty();
    UnicodeString result = str_replace(u"\\r", literal ? UnicodeString(u"\r") : replacement, text);
    result = str_replace(u"\\n", literal ? UnicodeString(u"\n") : replacement, result);
    return str_replace(u"\\t", literal ? UnicodeString(u"\t") : replacement, result);
}

TForm1::TForm1(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle("Tarvello Desk");
    setFont(QFont("Tahoma", 8));
    resize(1071, 696);
    setMinimumSize(700, 500);
    setMaximumSize(2000, 1080);
    CentreOnScreen(*this);

    auto* central = new QWidget(this);
    QVBoxLayout* column = NewTightColumn(central);

    Image1 = new QLabel(central);
    Image1->setPixmap(QPixmap::fromImage(DrawBanner(2000, 206)));
    Image1->setFixedHeight(206);
    Image1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setContentsMargins(3, 3, 3, 3);
    column->addWidget(Image1);

    GroupBox1 = new QGroupBox("Список записей", central);
    auto* groupLayout = new QVBoxLayout(GroupBox1);
    StringGrid1 = new TStringGrid(9, 5, GroupBox1);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setShowGrid(true);
    StringGrid1->OnClick = [this] { StringGrid1Click(); };
    StringGrid1->OnDblClick = [this] { BitBtn3Click(); };
    groupLayout->addWidget(StringGrid1);
    column->addWidget(GroupBox1, 1);

    Panel1 = new QWidget(central);
    QHBoxLayout* bar = NewButtonBar(Panel1);
    BitBtn1 = AddButton(bar, "Обновить записи", 130);
    BitBtn5 = AddButton(bar, "Поиск видео", 130);
    bar->addStretch(1);
    BitBtn2 = AddButton(bar, "Добавить видео", 130);
    BitBtn3 = AddButton(bar, "Редактировать", 130);
    BitBtn4 = AddButton(bar, "Удалить", 130);
    bar->addSpacing(100);
    BitBtn6 = AddButton(bar, "Выход", 130);
    column->addWidget(Panel1);
    setCentralWidget(central);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { BitBtn5Click(); });
    connect(BitBtn6, &QPushButton::clicked, this, [this] { BitBtn6Click(); });

    constexpr int panelWidths[6] = {150, 200, 150, 150, 300, 50};
    AddStatusPanels(statusBar(), StatusPanels, panelWidths);

    buildMenu();

    // The client formats and parses every number with "." whatever the locale: UnicodeString's FloatToStr,
    // Format and ToDouble never use the locale's separator, so there is no setting to make here.
    CurPath = ExtractFileDir(ExecutablePath());
    ReadINIExecute();
    Analyzer = new AnalyzeVideo(true);
    SetupRecordGrid(*StringGrid1);

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
}

void TForm1::buildMenu()
{
    auto item = [this](QMenu* menu, const char* caption, void (TForm1::*handler)(), QKeySequence shortcut = {}) {
        QAction* action = menu->addAction(caption);
        action->setShortcut(shortcut);
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    };

    QMenu* file = menuBar()->addMenu("Файл");
    item(file, "Выход", &TForm1::N5Click);

    QMenu* search = menuBar()->addMenu("Поиск");
    item(search, "По всей базе", &TForm1::BitBtn5Click, QKeySequence(Qt::CTRL | Qt::Key_F));

    QMenu* table = menuBar()->addMenu("Таблица");
    item(table, "Добавить видео", &TForm1::BitBtn2Click, QKeySequence(Qt::CTRL | Qt::Key_N));
    item(table, "Редактировать запись", &TForm1::BitBtn3Click, QKeySequence(Qt::CTRL | Qt::Key_E));
    item(table, "Удалить запись", &TForm1::BitBtn4Click, QKeySequence(Qt::CTRL | Qt::Key_Delete));
    table->addSeparator();
    item(table, "Обновить записи", &TForm1::BitBtn1Click, QKeySequence(Qt::CTRL | Qt::Key_R));

    QMenu* settings = menuBar()->addMenu("Настройки");
    item(settings, "Настройки подключения", &TForm1::N20Click, QKeySequence(Qt::CTRL | Qt::Key_O));

    QMenu* help = menuBar()->addMenu("Помощь");
    item(help, "Справка", &TForm1::N7Click, QKeySequence(Qt::Key_F1));
    help->addSeparator();
    item(help, "Сетевая справка (обновляется)", &TForm1::N9Click, QKeySequence(Qt::SHIFT | Qt::Key_F1));
    help->addSeparator();
    item(help, "О программе", &TForm1::N11Click, QKeySequence(Qt::CTRL | Qt::Key_F1));
    help->addSeparator();
    item(help, "Видео работы с программой", &TForm1::N26Click);
    help->addSeparator();
    item(help, "Сообщить об ошибке в программе", &TForm1::N13Click);
    item(help, "Оставить отзыв о программе", &TForm1::N14Click);
    help->addSeparator();
    item(help, "Написать автору программы", &TForm1::N16Click);
    item(help, "Отправить сообщение через сайт", &TForm1::N17Click);
    help->addSeparator();
    item(help, "Заказать разработку ПО через Skype", &TForm1::Skype1Click);
}

void TForm1::Timer1Timer()
{
    Timer1->stop();
    AskForMissingAccount();
    if (!UserName.IsEmpty() || !Password.IsEmpty())
        BitBtn1Click();
}

void TForm1::BitBtn1Click() { RefreshList(); }

bool TForm1::RefreshList()
{
    MultipartBody body;
    body.AddFormField("user", UserName);
    body.AddFormField("password", Password);
    TStringList lines;
    if (!PostForLines(IdHTTP1, Work_URL + "list.php", body, lines) || !ShowRecordReply(*StringGrid1, lines))
        return false;
    ShowStatExecute();
    return true;
}

void TForm1::BitBtn2Click() { ShowWindow(*Form3); }

void TForm1::BitBtn3Click() { OpenCurrentRecord(*StringGrid1, "My"); }

void TForm1::BitBtn4Click() { DeleteRecord(StringGrid1->Cells(1, StringGrid1->Row()), *StringGrid1); }

DeleteOutcome TForm1::DeleteRecord(const UnicodeString& id, TStringGrid& list)
{
    if (RaiseOpenQuestion() || id.IsEmpty())
        return DeleteOutcome::NoReply;
    switch (AskToDeleteRecord(id, list)) {
    case DeleteAnswer::Yes:
        break;
    case DeleteAnswer::No:
        return DeleteOutcome::NoReply;
    case DeleteAnswer::Withdrawn:
        return DeleteOutcome::Withdrawn;
    }
    try {
        MultipartBody body;
        body.AddFormField("user", UserName);
        body.AddFormField("password", Password);
        body.AddFormField("id", id);
        const UnicodeString reply = IdHTTP1.Post(Work_URL + "delete.php", body);
        if (reply == UnicodeString("Record not found"))
            ShowMessage("Запись не найдена!");
        else
            ShowAccountRefusal(reply);
    } catch (const std::exception&) {
        ShowMessage(ServerUnavailableMessage);
        return DeleteOutcome::NoReply;
    }
    return RefreshList() ? DeleteOutcome::ListReloaded : DeleteOutcome::ListNotReloaded;
}

void TForm1::BitBtn5Click() { ShowWindow(*Form7); }

void TForm1::BitBtn6Click() { QApplication::quit(); }

void TForm1::N5Click() { QApplication::quit(); }

void TForm1::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    QApplication::quit();
}

void TForm1::StringGrid1Click() { ShowStatExecute(); }

void TForm1::ShowStatExecute() { ShowRecordPosition(*StringGrid1, *StatusPanels[0], *StatusPanels[1]); }

void TForm1::N20Click() { ShowModal(*Form2); }
void TForm1::N11Click() { ShowModal(*AboutBox); }
void TForm1::N7Click() { OpenUrl(CurPath + PathDelim + "TarvelloDesk.chm"); }
void TForm1::N9Click() { OpenUrl(Help_URL); }
void TForm1::N26Click() { OpenUrl(Video_URL); }
void TForm1::N13Click() { OpenUrl(BugReport_URL); }
void TForm1::N14Click() { OpenUrl(Review_URL); }
void TForm1::N16Click() { OpenUrl(Mail_URL); }
void TForm1::N17Click() { OpenUrl(Contact_URL); }
void TForm1::Skype1Click() { OpenUrl(Skype_URL); }

void TForm1::ReadINIExecute()
{
    if (!FileExists(settingsPath()))
        return;
    const TIniFile ini(settingsPath());
    UserName = ini.ReadString(SettingsSection, "UserName", "");
    Password = ini.ReadString(SettingsSection, "Password", "");
}

void TForm1::WriteINIExecute()
{
    TIniFile ini(settingsPath());
    ini.WriteString(SettingsSection, "UserName", UserName);
    ini.WriteString(SettingsSection, "Password", Password);
    ini.UpdateFile();
}
