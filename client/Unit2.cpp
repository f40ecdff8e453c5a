#include "Unit2.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "Dialogs.h"
#include "platform/Exception.h"
#include "Pictures.h"
#include "QtText.h"
#include "Unit1.h"

TForm2::TForm2(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Настройки подключения");
    setFont(QFont("Tahoma", 8));
    setFixedSize(608, 290);

    Label1 = new QLabel("E-mail", this);
    Label1->move(24, 56);
    Edit1 = new QLineEdit(this);
    Edit1->setGeometry(112, 53, 257, 21);
    Label2 = new QLabel("Пароль", this);
    Label2->move(24, 107);
    Edit2 = new QLineEdit(this);
    Edit2->setGeometry(112, 104, 257, 21);
    Edit2->setEchoMode(QLineEdit::Password);
    // Each character of the password shows as "*", not as the style's own dot.
    Edit2->setStyleSheet("lineedit-password-character: 42;");
    Label3 = new QLabel("Если у Вас нет учётной записи, зарегистрируйтесь. Это займёт минуту.", this);
    Label3->setGeometry(24, 170, 370, 26);
    Label3->setWordWrap(true);

    Image1 = new QLabel(this);
    Image1->setGeometry(608 - 203 - 8, 16, 203, 205);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(QPixmap::fromImage(DrawAccountPicture(203, 205)));

    Panel1 = new QWidget(this);
    Panel1->setGeometry(0, 290 - 41, 608, 41);
    BitBtn3 = new QPushButton("Зарегистрироваться", Panel1);
    BitBtn3->setGeometry(8, 3, 130, 35);
    BitBtn1 = new QPushButton("Сохранить", Panel1);
    BitBtn1->setGeometry(608 - 8 - 100 - 6 - 100, 3, 100, 35);
    BitBtn2 = new QPushButton("Отмена", Panel1);
    BitBtn2->setGeometry(608 - 8 - 100, 3, 100, 35);

    // The dialog has no default button, so Enter in a field presses none. Qt would otherwise make the first
    // button after the fields the default, and Enter in the password field would open the sign-up page.
    for (QPushButton* button : {BitBtn1, BitBtn2, BitBtn3})
        button->setAutoDefault(false);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
}

void TForm2::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        CentreOver(*this, Form1);
        FormShow();
    }
}

void TForm2::FormShow()
{
    Edit1->setText(qstr(UserName));
    Edit2->setText(qstr(Password));
}

void TForm2::BitBtn1Click()
{
    const UnicodeString email = ustr(Edit1->text());
    const UnicodeString password = ustr(Edit2->text());
    if (email.Pos("@") == 0 || email.Pos(".") == 0) {
        ShowMessage("Введите корректный E-mail адрес!");
        return;
    }
    if (password.Length() < 6) {
        ShowMessage("Длина пароля должна быть не менее 6 символов!");
        return;
    }
    UserName = email;
    Password = password;
    try {
        Form1->WriteINIExecute();
    } catch (const Exception& error) {
        // The account stays in effect for this run; the dialog stays open so the user sees the failure.
        ShowMessage(error.Message());
        return;
    }
    accept();
}

void TForm2::BitBtn2Click() { reject(); }

void TForm2::BitBtn3Click() { OpenUrl(SignUp_URL); }

void AskForMissingAccount()
{
    if (UserName.IsEmpty() || Password.IsEmpty()) {
        ShowMessage("Для сохранения данных необходимы учётные данные");
        ShowModal(*Form2);
    }
}
