#pragma once
// The main window and the client-wide state that every window shares.

#include <QMainWindow>
#include <cstdint>

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
// it; there is no lock, as the add-video form only enables saving once an analysis has finished.
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

// Decodes the backslash-r, backslash-n and backslash-t escapes of server text: each becomes `replacement`, or
// the control character itself when `replacement` is empty.
UnicodeString deenc(const UnicodeString& text, const UnicodeString& replacement);

class TStringGrid;

class TForm1 : public QMainWindow {
public:
    explicit TForm1(QWidget* parent = nullptr);

    TStringGrid* StringGrid1 = nullptr;

    void BitBtn1Click();  // refresh the record list
    void BitBtn4Click();  // delete the selected record
};
