#pragma once
// The settings dialog: the account's e-mail and password, checked and stored in the settings file.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TForm2 : public QDialog {
public:
    explicit TForm2(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;  // e-mail
    QLabel* Label2 = nullptr;
    QLineEdit* Edit2 = nullptr;  // password
    QLabel* Label3 = nullptr;
    QLabel* Image1 = nullptr;
    QWidget* Panel1 = nullptr;
    QPushButton* BitBtn1 = nullptr;  // "Сохранить"
    QPushButton* BitBtn2 = nullptr;  // "Отмена"
    QPushButton* BitBtn3 = nullptr;  // "Зарегистрироваться"

    void FormShow();     // fills the fields with the stored account
    void BitBtn1Click(); // checks, stores the account and closes
    void BitBtn2Click(); // closes without a change
    void BitBtn3Click(); // opens the sign-up page

protected:
    void showEvent(QShowEvent* event) override;
};

// The start-up check of the main window and the add-video form: while the e-mail or the password is missing,
// says that an account is needed and shows the settings dialog.
void AskForMissingAccount();
