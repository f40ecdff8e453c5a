#include "Desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

QStringList RegisterDesignedFonts(const QString& folder)
{
    QStringList families;
    for (const char* file : {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"}) {
        const int id = QFontDatabase::addApplicationFont(QDir(folder).filePath(file));
        if (id >= 0)
            families += QFontDatabase::applicationFontFamilies(id);
    }
    return families;
}

QTranslator* LoadSystemTexts()
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load("qtbase_ru", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}
