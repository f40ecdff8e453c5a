#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

#include "ClientWindows.h"
#include "QtText.h"
#include "Unit1.h"
#include "Unit2.h"

namespace {

const std::string BadEmail = "Введите корректный E-mail адрес!";
const std::string ShortPassword = "Длина пароля должна быть не менее 6 символов!";

class SettingsTest : public ClientWindowTest {
protected:
    // Opens the dialog as ShowModal does, types both fields and presses "Сохранить".
    void save(const QString& mail, const QString& secret)
    {
        Form2->show();
        Form2->Edit1->setText(mail);
        Form2->Edit2->setText(secret);
        Form2->BitBtn1->click();
    }
    std::string settingsPath() const { return folder.filePath("TarvelloDesk.ini").toStdString(); }
};

TEST_F(SettingsTest, ChecksComeInOrderAndAFailureChangesNothing)
{
    struct Case {
        const char* email;
        const char* password;
        std::string message;
    };
    const Case cases[] = {
        {"nobody.example", "123456", BadEmail},
        {"nobody@example", "123456", BadEmail},
        {"nobody@example", "12345", BadEmail},  // the e-mail is checked first
        {"no.body@example", "12345", ShortPassword},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.email) + " / " + c.password);
        dialogs.messages.clear();
        save(c.email, c.password);
        EXPECT_EQ(dialogs.messages, std::vector<std::string>{c.message});
        EXPECT_TRUE(Form2->isVisible());
        EXPECT_EQ(UserName, UnicodeString(email));
        EXPECT_EQ(Password, UnicodeString(password));
    }
    EXPECT_EQ(readSettings(), "");
}

TEST_F(SettingsTest, FirstSaveCreatesTheFileForItsOwnerOnly)
{
    save("  new@mail.example", "123456");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_EQ(Form2->result(), int(QDialog::Accepted));
    EXPECT_EQ(UserName, UnicodeString("  new@mail.example"));  // as typed
    EXPECT_EQ(Password, UnicodeString("123456"));
    EXPECT_EQ(readSettings(), "[Account]\nUserName=  new@mail.example\nPassword=123456\n");
    struct stat info {};
    ASSERT_EQ(::stat(settingsPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    UserName = Password = UnicodeString();
    Form1->ReadINIExecute();
    EXPECT_EQ(UserName, UnicodeString("  new@mail.example"));
    EXPECT_EQ(Password, UnicodeString("123456"));
}

TEST_F(SettingsTest, SavingKeepsTheRestOfTheFile)
{
    writeSettings("[Account]\r\nUserName=old@mail.example\r\n\r\n[Window]\r\nLeft=10\r\n");
    save("new@mail.example", "Пароль-7");
    EXPECT_EQ(readSettings(), "[Account]\r\nUserName=new@mail.example\r\nPassword=Пароль-7\r\n\r\n[Window]\r\nLeft=10\r\n");
}

TEST_F(SettingsTest, CancelKeepsTheAccountAndReopeningShowsItAgain)
{
    Form2->show();
    EXPECT_EQ(ustr(Form2->Edit1->text()), UnicodeString(email));
    EXPECT_EQ(ustr(Form2->Edit2->text()), UnicodeString(password));
    Form2->Edit1->setText("typed@mail.example");
    Form2->Edit2->setText("typed-password");
    Form2->BitBtn2->click();
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_EQ(UserName, UnicodeString(email));

    Form2->show();
    EXPECT_EQ(ustr(Form2->Edit1->text()), UnicodeString(email));
    EXPECT_EQ(ustr(Form2->Edit2->text()), UnicodeString(password));
    EXPECT_EQ(readSettings(), "");
}

TEST_F(SettingsTest, AFileThatCannotBeWrittenIsReportedAndTheDialogStaysOpen)
{
    CurPath = ustr(folder.filePath("missing folder"));
    save("new@mail.example", "123456");
    EXPECT_EQ(dialogs.messages,
              std::vector<std::string>{"Unable to write to " + folder.path().toStdString() +
                                       "/missing folder/TarvelloDesk.ini"});
    EXPECT_TRUE(Form2->isVisible());
    EXPECT_EQ(UserName, UnicodeString("new@mail.example"));  // in effect for this run
}

// The account is saved into the settings file alone, never through a name planted beside it.
TEST_F(SettingsTest, SavingWritesNoPlantedNameBesideTheFile)
{
    const std::string victim = folder.filePath("victim").toStdString();
    const std::string planted = settingsPath() + ".new";
    writeSettings("[Account]\nUserName=old@mail.example\n");
    {
        std::ofstream(victim, std::ios::binary) << "the victim's bytes";
    }
    ASSERT_EQ(::symlink(victim.c_str(), planted.c_str()), 0);
    save("new@mail.example", "123456");
    EXPECT_TRUE(dialogs.messages.empty());
    std::ifstream in(victim, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the victim's bytes");
    struct stat info {};
    ASSERT_EQ(::lstat(planted.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(::lstat(settingsPath().c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(readSettings(), "[Account]\nUserName=new@mail.example\nPassword=123456\n");
}

// Something other than a file under the settings file's name cannot be read or replaced: the save reports it.
TEST_F(SettingsTest, AFolderNamedLikeTheSettingsFileIsReported)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir("TarvelloDesk.ini"));
    save("new@mail.example", "123456");
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Unable to write to " + settingsPath()});
    EXPECT_TRUE(Form2->isVisible());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList{"TarvelloDesk.ini"});
}

TEST_F(SettingsTest, SignUpOpensTheSignUpPage)
{
    Form2->BitBtn3->click();
    ASSERT_EQ(dialogs.opened.size(), 1u);
    // a plain HTTP address with the root path
    EXPECT_TRUE(QRegularExpression("^http://[^/]+/$").match(QString::fromStdString(dialogs.opened[0])).hasMatch())
        << dialogs.opened[0];
}

}  // namespace
