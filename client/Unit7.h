#pragma once
// The search form: up to seven criteria sent to find.php, the hits in a grid laid out like the main window's
// record list, and the hits opened in the record form.

#include <QWidget>
#include <array>

#include "HttpClient.h"

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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    HttpClient IdHTTP1;
};
