#include "Desktop.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

QStringList RegisterDesignedFonts(const QString& folder)
{
    QStringList families;
    for (const char* file : {"tahoma.ttf", "ms_sans_serif.ttf"}) {
        const int id = QFontDatabase::addApplicationFont(QDir(folder).filePath(file));
        if (id >= 0)
            families += QFontDatabase::applicationFontFamilies(id);
    }
    return families;
}

void UseDesignedFonts()
{
    RegisterDesignedFonts();
    QApplication::setFont(QFont("Tahoma", 8));
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
