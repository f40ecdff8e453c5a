// WindowShots: opens every window of the desktop client on Qt's offscreen platform with sample content and
// saves one PNG per window into the folder named on the command line, to look at the layout without a screen.
//
//   WindowShots <folder>

#include <QApplication>
#include <QDir>
#include <cstdio>

#include "Shots.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: WindowShots <folder>\n");
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tarvello Desk");
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    return SaveWindowShots(folder) ? 0 : 1;
}
