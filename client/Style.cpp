#include "Style.h"

#include <QApplication>
#include <QFile>

#include "Dialogs.h"
#include "QtText.h"

bool TrySetStyle(const UnicodeString& name)
{
    // The resources live in the client's static library; naming them here keeps the linker from dropping them.
    Q_INIT_RESOURCE(TarvelloDesk);
    QFile sheet(":/styles/" + qstr(name) + ".qss");
    if (!sheet.open(QIODevice::ReadOnly)) {
        ShowMessage(Format("Style '%s' not found", name.ToUtf8().c_str()));
        return false;
    }
    qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
    return true;
}
