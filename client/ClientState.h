#pragma once
// The client-wide state that every window shares: the account, the client's folder, the video being added and its
// measurements, the ids and lists the windows hand each other, the constant addresses, and the seven windows.
// One instance each for the whole run, defined with the main window (Unit1.cpp).

#include <cstdint>

#include "platform/UnicodeString.h"

class AnalyzeVideo;
class QWidget;
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

// The main window as a plain window, for the windows that place themselves over it or set its caption and need
// nothing else of it.
QWidget* MainWindow();

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
