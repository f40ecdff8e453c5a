#include "Shots.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPainter>
#include <QTimer>
#include <cstdio>
#include <functional>

#include <QProgressBar>
#include <QScrollBar>

#include "ABOUT.h"
#include "ClientForms.h"
#include "Desktop.h"
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
#include "utils/Formatting.h"

namespace {

bool savePicture(const QPixmap& picture, const QDir& folder, const QString& name)
{
    const QString path = folder.filePath(name + ".png");
    const bool saved = picture.save(path);
    std::printf("%s %s\n", saved ? "saved" : "FAILED", path.toUtf8().constData());
    return saved;
}

// Shows `window`, runs `fill` for content that showing it would clear, and saves its picture.
bool save(QWidget& window, const QDir& folder, const QString& name, const std::function<void()>& fill = {})
{
    window.show();
    if (fill)
        fill();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    const bool saved = savePicture(window.grab(), folder, name);
    window.hide();
    return saved;
}

// Runs `open`, which shows a standard dialog and waits for its answer; saves the dialog once it is up and closes
// it unanswered.
bool saveDialog(const std::function<void()>& open, const QDir& folder, const QString& name)
{
    bool saved = false;
    QTimer watch;
    watch.setInterval(50);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(window);
            if (dialog && dialog->isVisible()) {
                saved = savePicture(dialog->grab(), folder, name);
                dialog->reject();
            }
        }
    });
    watch.start();
    open();
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

// Keeps the show event from a window: the record form would load its record from the server when shown.
class WithoutShowEvent : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::Show; }
};

}  // namespace

bool SaveWindowShots(const QDir& folder)
{
    // No person answers here: messages and dialogs that a start-up timer might raise are passed over.
    dialogHook() = DialogHook{[](const UnicodeString&) {}, [](const UnicodeString&, const UnicodeString&) { return false; },
                              [](QDialog&) { return int(QDialog::Rejected); }, [](const UnicodeString&) {}};
    // The fonts and the system texts of the program.
    UseDesignedFonts();
    LoadSystemTexts();
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

    // The record form shows a sample record as view.php would send it, and asks the server nothing.
    WithoutShowEvent noLoad;
    Form8->installEventFilter(&noLoad);
    TStringList record;
    record.SetText("OK\n17\nСолярис\nАндрей Тарковский\nСССР\nфантастика, драма\nНаталья Бондарчук, Донатас Банионис\n"
                   "Экранизация романа Станислава Лема.\nSolaris\nAndrei Tarkovsky\nSoviet Union\ndrama, sci-fi\n"
                   "Natalya Bondarchuk, Donatas Banionis\nAn adaptation of Stanislaw Lem's novel.\n"
                   "https://video.tarvello.example/trailer/17\n\nhttps://kinopoisk.example/film/43911\n"
                   "https://imdb.example/title/tt0069293\n1972\n1920\n816\n4675432123\n238812\n23.976\n9960.5\n"
                   "0123456789abcdef0123456789abcdef\n");
    Form8->ShowMode(17);
    Form8->ShowRecord(17, record);

    bool ok = save(*Form1, folder, "Form1");
    ok = save(*Form2, folder, "Form2") && ok;
    ok = save(*AboutBox, folder, "AboutBox") && ok;
    ok = save(*Form3, folder, "Form3", [] {
        // The measurements as a finished analysis shows them.
        Form3->SetStatusPanel(0, "1920x816@23.976");
        Form3->SetStatusPanel(1, GetTimeForMovieRus(9960));
        Form3->SetStatusPanel(2, "Фреймов: " + NiceNumberView(238812));
        Form3->SetStatusPanel(3, "Размер: " + NiceNumberView(int64_t{4675432123}));
        Form3->SetStatusPanel(4, "MD5: 0123456789abcdef0123456789abcdef");
        Form3->ProgressBar1->setValue(100);
    }) && ok;
    ok = save(*Form5, folder, "Form5") && ok;
    ok = save(*Form7, folder, "Form7") && ok;
    // The record lists scrolled to their last column: the number and id columns stay at the left edge.
    ShowRecordLines(*Form7->StringGrid1, lines);
    const std::pair<TStringGrid*, const char*> lists[] = {{Form1->StringGrid1, "Form1Scrolled"},
                                                          {Form7->StringGrid1, "Form7Scrolled"}};
    for (const auto& [grid, name] : lists) {
        ok = save(*grid->window(), folder, name, [grid] {
            grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
        }) && ok;
        grid->horizontalScrollBar()->setValue(0);
    }
    ok = save(*Form8, folder, "Form8") && ok;
    Form8->removeEventFilter(&noLoad);

    // The system's dialogs: the main window's delete question, answered No, and the add-video form's file dialog.
    dialogHook().askYesNo = SystemDialogs().askYesNo;
    ok = saveDialog([] { Form1->BitBtn4Click(); }, folder, "DeleteQuestion") && ok;
    ok = saveDialog([] { Form3->OpenDialog1(); }, folder, "OpenDialog") && ok;

    const QString sheet = folder.filePath("AboutBoxFigures.png");
    ok = figureSheet().save(sheet) && ok;
    std::printf("saved %s\n", sheet.toUtf8().constData());
    return ok;
}
