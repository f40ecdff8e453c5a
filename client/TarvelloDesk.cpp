// The program entry of the desktop client: the application object, then the client's start-up and message loop
// (RunClient).

#include <QApplication>
#include <cstdlib>
#include <exception>

#include "ClientForms.h"
#include "Dialogs.h"
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
    const int exitCode = RunClient();
    // A running analysis is not waited for: the process ends here, before the application object and the
    // client-wide state it still uses are destroyed under it.
    std::quick_exit(exitCode);
}
