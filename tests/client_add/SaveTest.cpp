// Saving a new record: the file and picture checks, the required fields, the year range and the replies.

#include <QPushButton>
#include <filesystem>

#include "AddVideoFixture.h"
#include "ClientState.h"
#include "FormData.h"
#include "Unit3.h"
#include "ValueListEditor.h"

namespace fs = std::filesystem;
using namespace tarvello::testserver;

namespace {

// The work folder as a finished analysis leaves it, with the fields filled and save enabled.
class Save : public AddVideo {
protected:
    void SetUp() override
    {
        AddVideo::SetUp();
        for (const char* name : {"data.rgb", "hashes.dat", "table.jpg", "info.dat"})
            place->write(place->temp() / name, std::string("bytes of ") + name);
        for (int i = 0; i < 10; ++i)
            place->write(place->temp() / ("ss_" + std::to_string(i) + ".00_" + std::to_string(i * 25) + ".jpg"),
                         "shot");
        fillRequiredFields();
        Form3->BitBtn1->setEnabled(true);
        // The catalogue would refuse the same empty measurements twice; these tests are about the client's side.
        catalogue().script("add.php", HttpReply::Text("OK"));
    }

    // Presses save; returns its messages.
    std::vector<std::string> save()
    {
        dialogs.messages.clear();
        Form3->BitBtn1Click();
        return dialogs.messages;
    }
};

using Messages = std::vector<std::string>;

}  // namespace

TEST_F(Save, MissingAnalysisFilesDisableSaving)
{
    fs::remove(place->temp() / "data.rgb");
    fs::remove(place->temp() / "table.jpg");
    EXPECT_EQ(save(), Messages{"Не найден файл [data.rgb]"});
    EXPECT_FALSE(Form3->BitBtn1->isEnabled());

    place->write(place->temp() / "data.rgb", "x");
    fs::remove(place->temp() / "hashes.dat");
    EXPECT_EQ(save(), Messages{"Не найден файл [hashes.dat]"});
    place->write(place->temp() / "hashes.dat", "x");
    EXPECT_EQ(save(), Messages{"Не найден файл [table.jpg]"});
    EXPECT_TRUE(requestsTo("add.php").empty());
}

TEST_F(Save, ExactlyElevenPicturesAreNeeded)
{
    place->write(place->temp() / "extra.png", "x");
    EXPECT_EQ(save(), Messages{"Не найдены скриншоты из видео"});
    EXPECT_FALSE(Form3->BitBtn1->isEnabled());

    fs::remove(place->temp() / "extra.png");
    fs::remove(place->temp() / "ss_0.00_0.jpg");
    Form3->BitBtn1->setEnabled(true);
    EXPECT_EQ(save(), Messages{"Не найдены скриншоты из видео"});
    EXPECT_FALSE(Form3->BitBtn1->isEnabled());
    EXPECT_TRUE(requestsTo("add.php").empty());
}

TEST_F(Save, RequiredFieldsAreCheckedInOrder)
{
    TValueListEditor& e = *Form3->ValueListEditor1;
    const std::pair<int, const char*> checks[] = {
        {1, "Укажите название"},
        {3, "Укажите страну"},
        {4, "Укажите один или несколько жанров через запятую"},
        {6, "Заполните описание"},
        {17, "Заполните год выпуска"},
    };
    for (const auto& [row, message] : checks)
        e.SetValue(row, "");
    for (const auto& [row, message] : checks) {
        EXPECT_EQ(save(), Messages{message});
        EXPECT_TRUE(Form3->BitBtn1->isEnabled());
        e.SetValue(row, row == 17 ? "2000" : "filled");
    }
    EXPECT_EQ(save(), Messages{"Данные сохранены!"});
}

TEST_F(Save, TheYearMustLieBetween1900And2100)
{
    const std::pair<const char*, const char*> cases[] = {
        {"1899", "Исправьте год выпуска"}, {"1900", "Данные сохранены!"}, {"2100", "Данные сохранены!"},
        {"2101", "Исправьте год выпуска"}, {"год", "Исправьте год выпуска"}, {"19O0", "Исправьте год выпуска"},
        {"", "Заполните год выпуска"},
    };
    for (const auto& [year, message] : cases) {
        SCOPED_TRACE(year);
        Form3->ValueListEditor1->SetValue(17, year);
        EXPECT_EQ(save(), Messages{message});
        EXPECT_TRUE(Form3->BitBtn1->isEnabled());
    }
    EXPECT_EQ(requestsTo("add.php").size(), 2u);
}

TEST_F(Save, RepliesAndTheirMessages)
{
    const struct {
        HttpReply reply;
        Messages messages;
    } cases[] = {
        {HttpReply::Text("OK"), {"Данные сохранены!"}},
        {HttpReply::Text("Wrong password"), {"Неверный пароль!"}},
        {HttpReply::Text("User not found"), {"Пользователь не найден!"}},
        {HttpReply::Text("User blocked"), {"Пользователь заблокирован!"}},
        {HttpReply::Text("Duplicate 17"), {"Такой файл уже проиндексирован!"}},
        {HttpReply::Text("Duplicate "), {"Такой файл уже проиндексирован!"}},
        {HttpReply::Text("Duplicate"), {}},
        {HttpReply::Text("OK\r\n"), {}},
        {HttpReply::Text("OK", 404), {"Сервер недоступен!\n Попробуйте повторить запрос чуть позже!"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply.body);
        catalogue().script("add.php", c.reply);
        EXPECT_EQ(save(), c.messages);
        EXPECT_TRUE(Form3->BitBtn1->isEnabled());
    }
    EXPECT_EQ(requestsTo("add.php").size(), std::size(cases));
}

TEST_F(Save, AnUnreachableServerIsReported)
{
    const UnicodeString saved = Work_URL;
    Work_URL = "https://127.0.0.1:1/desk/v3/";
    EXPECT_EQ(save(), Messages{"Сервер недоступен!\n Попробуйте повторить запрос чуть позже!"});
    Work_URL = saved;
    EXPECT_TRUE(Form3->BitBtn1->isEnabled());
}
