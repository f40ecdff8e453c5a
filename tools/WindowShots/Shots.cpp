#include "Shots.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTimer>
#include <cstdio>

#include "ABOUT.h"
#include "ClientForms.h"
#include "Dialogs.h"
#include "Pictures.h"
#include "RecordLines.h"
#include "StringGrid.h"
#include "platform/StringList.h"
#include "Style.h"
#include "Unit1.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit5.h"
#include "Unit7.h"
#include "Unit8.h"

namespace {

bool save(QWidget& window, const QDir& folder, const QString& name)
{
    window.show();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    const QString path = folder.filePath(name + ".png");
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "saved" : "FAILED", path.toUtf8().constData());
    window.hide();
    return saved;
}

// All nine views of the about box's figure in one sheet, in their regions' order.
QImage figureSheet()
{
    QImage sheet(3 * 110, 3 * 110, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(11, 22, 51));
    QPainter p(&sheet);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            p.drawImage(column * 110 + 5, row * 110 + 5, DrawLookingFigure(column, row, 100));
    return sheet;
}

}  // namespace

bool SaveWindowShots(const QDir& folder)
{
    // No person answers here: messages and dialogs that a start-up timer might raise are passed over.
    dialogHook() = DialogHook{[](const UnicodeString&) {}, [](const UnicodeString&, const UnicodeString&) { return false; },
                              [](QDialog&) { return int(QDialog::Rejected); }, [](const UnicodeString&) {}};
    TrySetStyle("Cobalt XEMedia");

    CreateForms();
    Form1->Timer1->stop();

    TStringList lines;
    lines.SetText("OK\n"
                  "17\tСолярис\tАндрей Тарковский\tСССР\t1972\t9960.5\tфантастика, драма\tНаталья Бондарчук, Донатас Банионис\n"
                  "18\tСталкер\tАндрей Тарковский\tСССР\t1979\t9720\tфантастика\tАлександр Кайдановский\n"
                  "23\tThe Third Man\tCarol Reed\tUK\t1949\t6240\tnoir, thriller\tJoseph Cotten,\\nOrson Welles\n");
    ShowRecordLines(*Form1->StringGrid1, lines);
    Form1->StringGrid1->SetRow(2);
    Form1->ShowStatExecute();

    UserName = "viewer@tarvello.example";
    Password = "secret-password";

    AboutBox->CursorPos = [] { return AboutBox->frameGeometry().topLeft() + QPoint(150, 300); };
    AboutBox->Timer1Timer();
    AboutBox->Timer1->stop();

    bool ok = save(*Form1, folder, "Form1");
    ok = save(*Form2, folder, "Form2") && ok;
    ok = save(*AboutBox, folder, "AboutBox") && ok;
    ok = save(*Form3, folder, "Form3") && ok;
    ok = save(*Form5, folder, "Form5") && ok;
    ok = save(*Form7, folder, "Form7") && ok;
    ok = save(*Form8, folder, "Form8") && ok;
    const QString sheet = folder.filePath("AboutBoxFigures.png");
    ok = figureSheet().save(sheet) && ok;
    std::printf("saved %s\n", sheet.toUtf8().constData());
    return ok;
}
