#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "ClientWindows.h"
#include "StringGrid.h"
#include "Style.h"
#include "Unit1.h"
#include "Unit2.h"

using tarvello::testserver::Record;

namespace {

const std::string Prompt = "Для сохранения данных необходимы учётные данные";

class StartupTest : public ClientWindowTest {
protected:
    // The main window's start-up as it runs one second after creation: the settings file, then the timer.
    void startUp()
    {
        UserName = UnicodeString();
        Password = UnicodeString();
        Form1->ReadINIExecute();
        Form1->Timer1->start();
    }
};

TEST_F(StartupTest, WithoutASettingsFileItPromptsAndLoadsNothingWhenCancelled)
{
    startUp();
    ASSERT_TRUE(waitUntil([&] { return !Form1->Timer1->isActive(); }));
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{Prompt});
    EXPECT_EQ(dialogs.modalTitles, std::vector<std::string>{"Настройки подключения"});
    EXPECT_TRUE(UserName.IsEmpty());
    EXPECT_TRUE(Password.IsEmpty());
    EXPECT_TRUE(catalogue().requests().empty());
}

TEST_F(StartupTest, AnAccountSavedInThePromptIsStoredAndItsListLoaded)
{
    dialogs.onModal = [this](QDialog& dialog) {
        Form2->show();  // as ShowModal shows it: the stored (empty) account fills the fields
        Form2->Edit1->setText(QString::fromStdString(email));
        Form2->Edit2->setText(QString::fromStdString(password));
        Form2->BitBtn1->click();
        return dialog.result();
    };
    startUp();
    ASSERT_TRUE(waitUntil([&] { return !Form1->Timer1->isActive(); }));
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{Prompt});
    EXPECT_EQ(readSettings(), "[Account]\nUserName=" + email + "\nPassword=" + password + "\n");
    const auto requests = requestsTo("list.php");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(partData(requests[0], "user"), email);
    EXPECT_EQ(partData(requests[0], "password"), password);
}

TEST_F(StartupTest, AnEmailWithoutPasswordPromptsThenRequestsTheListAllTheSame)
{
    writeSettings("[Account]\r\nUserName=" + email + "\r\n");
    startUp();
    ASSERT_TRUE(waitUntil([&] { return !Form1->Timer1->isActive(); }));
    EXPECT_EQ(UserName, UnicodeString(email));
    EXPECT_TRUE(Password.IsEmpty());
    const auto requests = requestsTo("list.php");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(partData(requests[0], "user"), email);
    EXPECT_EQ(partData(requests[0], "password"), "");
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{Prompt, "Неверный пароль!"}));
}

TEST_F(StartupTest, AStoredAccountLoadsTheListAboutASecondInWithoutAPrompt)
{
    Record record;
    record.owner = email;
    record.fields = {{"title", "Сохранённая"}};
    catalogue().addRecord(record);
    writeSettings("[Account]\nUserName=" + email + "\nPassword=" + password + "\n");

    startUp();
    pumpEvents(std::chrono::milliseconds(500));
    EXPECT_TRUE(catalogue().requests().empty()) << "requested before the second was up";
    ASSERT_TRUE(waitUntil([&] { return !requestsTo("list.php").empty(); }));
    pumpEvents(std::chrono::milliseconds(200));
    EXPECT_EQ(requestsTo("list.php").size(), 1u);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(Form1->StringGrid1->Cells(2, 1), UnicodeString("Сохранённая"));
}

TEST(StyleTest, TheCompiledInStyleLoadsAndAnUnknownOneIsReported)
{
    DialogRecorder dialogs;
    EXPECT_TRUE(TrySetStyle("Cobalt XEMedia"));
    EXPECT_FALSE(qApp->styleSheet().isEmpty());
    EXPECT_TRUE(dialogs.messages.empty());
    qApp->setStyleSheet(QString());

    EXPECT_FALSE(TrySetStyle("Charcoal"));
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Style 'Charcoal' not found"});
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
}

}  // namespace
