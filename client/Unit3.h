#pragma once
// The add-video form: open a video (which starts its analysis), watch the progress, fill the seventeen
// descriptive fields and save the new record through add.php.

#include <QWidget>
#include <array>
#include <functional>

#include "HttpClient.h"
#include "platform/UnicodeString.h"

class QLabel;
class QPlainTextEdit;
class QGroupBox;
class QProgressBar;
class QPushButton;
class QStatusBar;
class QTimer;
class TValueListEditor;

class TForm3 : public QWidget {
public:
    explicit TForm3(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    TValueListEditor* ValueListEditor1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QGroupBox* GroupBox11 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QWidget* Panel1 = nullptr;
    QPushButton* BitBtn3 = nullptr;  // "Открыть видео"
    QPushButton* BitBtn1 = nullptr;  // "Сохранить данные"
    QPushButton* BitBtn2 = nullptr;  // "Очистить поля"
    QPushButton* BitBtn4 = nullptr;  // "Закрыть"
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 6> StatusPanels{};
    QTimer* Timer1 = nullptr;  // the start-up credential prompt, once
    QTimer* Timer2 = nullptr;  // the progress ticker
    // The file-open dialog: the chosen path, empty when cancelled. Tests replace it.
    std::function<UnicodeString()> OpenDialog1;
    HttpClient IdHTTP1;

    void FormShow();
    void FormActivate();
    void FormClose();
    void ValueListEditor1Click();
    void Memo1Exit();
    void ValueListEditor1DblClick();
    void ClearFiledsExecute();
    void BitBtn4Click();
    void Timer1Timer();
    void BitBtn1Click();  // save the new record
    void N3Click();       // open a video and start its analysis
    void Timer2Timer();

    // What the analysis does to the form when it ends without success: save disabled, open enabled, ticker off.
    void ResetAfterAnalysis();
    // What the analysis does to the form when it has succeeded: save and open enabled, ticker off, the bar full.
    void ShowAnalysisComplete();
    void SetStatusPanel(int panel, const UnicodeString& text);
    UnicodeString StatusPanel(int panel) const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool opening_ = false;  // N3Click is waiting for the previous analysis
};
