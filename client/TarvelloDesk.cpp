// The program entry of the desktop client: the application, its style and its seven windows, created hidden in
// their fixed order, then the message loop.

#include <QApplication>
#include <cstdlib>
#include <exception>

#include "ClientForms.h"
#include "Desktop.h"
#include "Dialogs.h"
#include "Style.h"
#include "Unit1.h"
#include "platform/Exception.h"

namespace {

// An error that leaves an event handler is shown in a message box and the loop goes on.
class TApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const Exception& error) {
            ShowMessage(error.Message());
        } catch (const std::exception& error) {
            ShowMessage(UnicodeString(error.what()));
        }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    try {
        // The application title, which message boxes take as their caption. It is deliberately not set as the
        // display name too: X11 and Wayland would then append it to every window's own caption.
        QApplication::setApplicationName("Tarvello Desk");
        RegisterDesignedFonts();
        LoadSystemTexts();
        TrySetStyle("Cobalt XEMedia");

        // The first window created is the main window; the others stay hidden until something shows them.
        CreateForms();

        Form1->show();
        app.exec();
    } catch (const Exception& error) {
        ShowMessage(error.Message());
    } catch (...) {
        // Any other kind of error escaping start-up is shown without a text of its own.
        ShowMessage(UnicodeString());
    }
    // A running analysis is not waited for: the process ends here, before the application object and the
    // client-wide state it still uses are destroyed under it.
    std::quick_exit(0);
}
