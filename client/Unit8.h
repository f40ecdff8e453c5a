#pragma once
// The record form: one catalogue record with its 17 fields, its measurements in the status bar and its picture;
// saving, deleting, stepping through the list it was opened from, and the record's four links.
//
// The form keeps the id of the record it shows itself. "Сохранить" and "Удалить" act on that record only. Every
// place that sets VIEW_ID while the form is visible (opening a grid row, the duplicate report of an analysis)
// also loads that record into it, so the two stay together.

#include <QImage>
#include <QWidget>
#include <array>

#include "HttpClient.h"
#include "platform/UnicodeString.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSplitter;
class QStatusBar;
class QTimer;
class TStringList;
class TValueListEditor;

class TForm8 : public QWidget {
    Q_OBJECT

public:
    explicit TForm8(QWidget* parent = nullptr);

    QWidget* Panel7 = nullptr;
    TValueListEditor* ValueListEditor1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QLabel* Image1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* N1 = nullptr;  // "Исходный масштаб"
    QAction* N2 = nullptr;  // "Вписать"
    QWidget* Panel1 = nullptr;
    QPushButton* BitBtn7 = nullptr;  // "Назад"
    QPushButton* BitBtn8 = nullptr;  // "Далее"
    QPushButton* BitBtn1 = nullptr;  // "Трейлер"
    QPushButton* BitBtn2 = nullptr;  // "Видео"
    QPushButton* BitBtn3 = nullptr;  // "Кинопоиск"
    QPushButton* BitBtn5 = nullptr;  // "IMDB"
    QPushButton* BitBtn6 = nullptr;  // "Сохранить"
    QPushButton* BitBtn9 = nullptr;  // "Удалить"
    QPushButton* BitBtn4 = nullptr;  // "Закрыть"
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 6> StatusPanels{};
    QTimer* Timer1 = nullptr;  // the picture timer

    void FormShow();  // loads the record VIEW_ID names
    // Edit mode for an id above zero ("Сохранить" and "Удалить" shown), view mode for any other.
    void ShowMode(int id);
    // Shows record `id` from a view.php reply whose first line is "OK": its values and measurements.
    void ShowRecord(int id, const TStringList& lines);
    void Timer1Timer();
    void N1Click();
    void N2Click();
    void ValueListEditor1Click();
    void ValueListEditor1DblClick();
    void FormActivate();
    void ClearFiledsExecute();

    void BitBtn6Click();  // save
    void BitBtn9Click();  // delete
    void BitBtn7Click();  // previous record
    void BitBtn8Click();  // next record
    void BitBtn1Click();  // trailer link
    void BitBtn2Click();  // video link
    void BitBtn3Click();  // Kinopoisk link
    void BitBtn5Click();  // IMDB link
    void BitBtn4Click();  // close

    int ShownId() const { return shownId_; }      // the record in the editor; 0 before the first one
    const QImage& Picture() const { return picture_; }

signals:
    // FormShow starts to load record `id` in place of the one on show.
    void loadingRecord(int id);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void step(int delta);
    void deleteFromMainList();
    void deleteSearchHit();
    void openLink(int row);
    void showPicture(QSize area, const QPixmap& pixmap);

    HttpClient IdHTTP1;
    int shownId_ = 0;   // id of the record whose values the editor holds
    QImage picture_;
};
