#include "ClientForms.h"

#include <QApplication>
#include <initializer_list>

#include "ABOUT.h"
#include "Desktop.h"
#include "Dialogs.h"
#include "FormLayout.h"
#include "Style.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit5.h"
#include "Unit7.h"
#include "Unit8.h"
#include "WorkFolder.h"
#include "platform/Exception.h"

void CreateForms()
{
    Form1 = new TForm1;
    Form8 = new TForm8;
    Form2 = new TForm2;
    AboutBox = new TAboutBox;
    Form7 = new TForm7;
    Form3 = new TForm3;
    Form5 = new TForm5;
    for (QWidget* window : std::initializer_list<QWidget*>{Form1, Form8, Form2, AboutBox, Form7, Form3, Form5})
        PassOnWindowFont(*window);
}

int RunClient()
{
    try {
        // The application title, which message boxes take as their caption. It is deliberately not set as the
        // display name too: X11 and Wayland would then append it to every window's own caption.
        QApplication::setApplicationName("Tarvello Desk");
        UseDesignedFonts();
        LoadSystemTexts();
        TrySetStyle("Cobalt XEMedia");

        // The first window created is the main window; the others stay hidden until something shows them.
        CreateForms();
        TakeWorkFolder();

        Form1->show();
        QApplication::exec();
    } catch (const Exception& error) {
        ShowMessage(error.Message());
    } catch (...) {
        // Any other kind of error escaping start-up is shown without a text of its own.
        ShowMessage(UnicodeString());
    }
    return 0;
}
