#pragma once
// The main window and the client-wide state that every window shares.

#include <QMainWindow>
#include <cstdint>

#include "HttpClient.h"
#include "platform/UnicodeString.h"

class AnalyzeVideo;
class TForm1;
class TForm2;
class TForm3;
class TForm5;
class TForm7;
class TForm8;
class TAboutBox;

// The measurements of the video being added. The analysis thread writes it while the user-interface thread reads
// it; there is no lock, as the add-video form only enables saving once an analysis has finished. The progress
// band, which the form's ticker reads at any moment, is only touched atomically (CurrentProgressBand).
struct TVideoInfo {
    int32_t width = 0;
    int32_t height = 0;
    int32_t frames = 0;
    int32_t used_width = 0;
    int32_t used_height = 0;
    double fps = 0;
    double duration = 0;
    double video_dar = 0;
    double video_sar = 0;
    int64_t size = 0;
    UnicodeString filename;  // nothing fills it: add.php always sends it empty
    UnicodeString md5;
    int32_t progress_lo = 0;
    int32_t progress_hi = 0;
};

extern UnicodeString CurPath;      // the executable's folder, no trailing separator
extern UnicodeString Source;       // the video opened in the add-video form
extern UnicodeString UserName;
extern UnicodeString Password;
extern UnicodeString Table;        // the list the record form steps through: "My" or "Search"
extern UnicodeString CurEditForm;  // the editor the value picker fills: "Form3" or "Form8"
extern const UnicodeString Program_URL;
extern UnicodeString Work_URL;         // a constant of the client; only tests point it at their own server
extern const UnicodeString ApplicationName;
extern const UnicodeString Version;
extern bool VIDEO_OK;
extern AnalyzeVideo* Analyzer;
extern TVideoInfo VideoInfo;
extern int32_t VIEW_ID;

extern TForm1* Form1;
extern TForm8* Form8;
extern TForm2* Form2;
extern TAboutBox* AboutBox;
extern TForm7* Form7;
extern TForm3* Form3;
extern TForm5* Form5;

// The addresses of the maker's web site, mail and messenger account that the help menu, the about box and the
// settings dialog open. Every host the client knows is named here.
extern const UnicodeString Site_Caption;   // the about box's link label
extern const UnicodeString Help_URL;       // online help (plain HTTP)
extern const UnicodeString BugReport_URL;
extern const UnicodeString Review_URL;
extern const UnicodeString Contact_URL;
extern const UnicodeString Mail_URL;       // a mailto: link to the support address
extern const UnicodeString Skype_URL;      // a chat with the maker's messenger account
extern const UnicodeString Video_URL;      // the tutorial video
extern const UnicodeString SignUp_URL;     // account sign-up (plain HTTP)

// Decodes the backslash-r, backslash-n and backslash-t escapes of server text: each becomes `replacement`, or
// the control character itself when `replacement` is empty.
UnicodeString deenc(const UnicodeString& text, const UnicodeString& replacement);

// What came of a delete (TForm1::DeleteRecord).
enum class DeleteOutcome {
    NoReply,          // nothing to delete, the user declined, or the request failed
    Withdrawn,        // the question closed unanswered: the user moved to another record meanwhile
    ListReloaded,     // the server answered and the record list was loaded again
    ListNotReloaded,  // the server answered, but the list could not be loaded again; its message is shown
};

class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;
class TStringGrid;

// The main window: the account's record list from list.php, deleting and opening a record, and the commands
// that show the other windows, the help and the web links.
class TForm1 : public QMainWindow {
public:
    explicit TForm1(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;  // the banner
    QGroupBox* GroupBox1 = nullptr;
    TStringGrid* StringGrid1 = nullptr;
    QWidget* Panel1 = nullptr;
    QPushButton* BitBtn1 = nullptr;  // "Обновить записи"
    QPushButton* BitBtn2 = nullptr;  // "Добавить видео"
    QPushButton* BitBtn3 = nullptr;  // "Редактировать"
    QPushButton* BitBtn4 = nullptr;  // "Удалить"
    QPushButton* BitBtn5 = nullptr;  // "Поиск видео"
    QPushButton* BitBtn6 = nullptr;  // "Выход"
    QLabel* StatusPanels[6] = {};    // StatusBar1's panels; only 0 and 1 are written
    QTimer* Timer1 = nullptr;        // the one-shot start-up timer
    HttpClient IdHTTP1;              // this window's connection and cookies for its whole life

    void Timer1Timer();      // asks for a missing account, then loads the list
    void BitBtn1Click();     // refresh the record list
    void BitBtn2Click();     // show the add-video form
    void BitBtn3Click();     // open the selected record in the record form
    void BitBtn4Click();     // delete the selected record
    void BitBtn5Click();     // show the search form
    void BitBtn6Click();     // end the program
    void N5Click();          // end the program
    void StringGrid1Click();
    void ShowStatExecute();  // the status panels for the selected row
    void N20Click();         // the settings dialog
    void N11Click();         // the about box
    void N7Click();          // the local help file
    void N9Click();          // online help
    void N26Click();         // tutorial video
    void N13Click();         // error report
    void N14Click();         // review
    void N16Click();         // mail to the maker
    void N17Click();         // contact page
    void Skype1Click();      // Skype chat

    // Loads the account's records from list.php into the grid. Returns whether it did; a refusal or a failure
    // leaves the grid as it was and shows its message.
    bool RefreshList();
    // The delete: asks the question, posts delete.php for `id` (the id column's text), shows the reply's message
    // and loads the list again, as "Удалить" does for the selected row. `list` is the record list the record was
    // chosen in; the question closes unanswered when the record stops being the one selected there or shown in
    // the record form (AskToDeleteRecord). While a question is open it only brings that one to the front.
    DeleteOutcome DeleteRecord(const UnicodeString& id, TStringGrid& list);

    // The settings file CurPath/TarvelloDesk.ini, section "Account": read into UserName and Password when it
    // exists; written from them (throws Exception "Unable to write to <path>" when it cannot be).
    void ReadINIExecute();
    void WriteINIExecute();

protected:
    // Closing the main window ends the program, also while other windows are open.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
};
