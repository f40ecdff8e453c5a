#include "Unit1.h"

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

TForm1* Form1 = nullptr;
TForm8* Form8 = nullptr;
TForm2* Form2 = nullptr;
TAboutBox* AboutBox = nullptr;
TForm7* Form7 = nullptr;
TForm3* Form3 = nullptr;
TForm5* Form5 = nullptr;

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
}

void TForm1::BitBtn1Click() {}
void TForm1::BitBtn4Click() {}
