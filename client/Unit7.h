#pragma once
// The search form: up to seven criteria sent to find.php, the hits in a grid laid out like the main window's
// record list, and the hits opened in the record form.

#include <QWidget>
#include <array>
#include <vector>

#include "HttpClient.h"
#include "platform/UnicodeString.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QStatusBar;
class TStringGrid;
class TValueListEditor;

class TForm7 : public QWidget {
public:
    explicit TForm7(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;  // "Условия поиска"
    TValueListEditor* ValueListEditor1 = nullptr;
    QPushButton* BitBtn1 = nullptr;  // "Искать"
    QPushButton* BitBtn2 = nullptr;  // "Очистить поля"
    QPushButton* BitBtn3 = nullptr;  // "Пример"
    QGroupBox* GroupBox1 = nullptr;  // "Результаты поиска"
    TStringGrid* StringGrid1 = nullptr;
    QPushButton* Button1 = nullptr;  // "Назад"
    QPushButton* Button2 = nullptr;  // "Просмотр"
    QPushButton* Button3 = nullptr;  // "Далее"
    QPushButton* Button4 = nullptr;  // "Закрыть"
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 3> StatusPanels{};

    void BitBtn1Click();  // search
    void BitBtn2Click();  // clear the criteria
    void BitBtn3Click();  // the example criteria
    void Button2Click();  // open the current hit
    void Button1Click();  // previous hit
    void Button3Click();  // next hit
    void StringGrid1Click();
    void ShowStatExecute();
    void Button4Click();  // close

    // Runs the search whose hits the grid shows once more, with the same criteria, whatever the criteria rows
    // hold now. Returns whether the grid shows the new hits: false before any search has, and after a refusal
    // or a failure, which shows its message.
    bool RepeatSearch();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool search(const std::vector<UnicodeString>& criteria);

    HttpClient IdHTTP1;
    std::vector<UnicodeString> shownCriteria_;  // the criteria of the hits in the grid
};
