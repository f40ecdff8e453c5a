// Work-folder files whose names are not valid UTF-8, on the add-video road: the emptying of temp when an
// analysis starts, and the picture list that a save counts and uploads.

#include <QPushButton>
#include <filesystem>

#include "AddVideoFixture.h"
#include "ClientState.h"
#include "LoopbackServer.h"
#include "Unit3.h"
#include "ValueListEditor.h"

namespace fs = std::filesystem;
using namespace tarvello::testserver;

TEST_F(AddVideo, AnAnalysisEmptiesTempOfNamesThatAreNotUtf8)
{
    // Left from earlier: a picture that would otherwise be the save's twelfth, and a file in a subfolder.
    place->write(place->temp() / "ss_caf\xE9.jpg", "left over");
    fs::create_directory(place->temp() / "d\xFF");
    place->write(place->temp() / "d\xFF" / "\xC3.dat", "left over");
    open((place->root() / "gone.mp4").string());
    ASSERT_TRUE(waitForAnalysis());
    EXPECT_TRUE(hasMessage("Файл не найден!"));
    EXPECT_FALSE(fs::exists(place->temp() / "ss_caf\xE9.jpg"));
    EXPECT_TRUE(fs::is_empty(place->temp() / "d\xFF"));
}

TEST_F(AddVideo, ASaveUploadsAPictureWhoseNameIsNotUtf8)
{
    for (const char* name : {"data.rgb", "hashes.dat", "table.jpg"})
        place->write(place->temp() / name, std::string("bytes of ") + name);
    for (int i = 0; i < 9; ++i)
        place->write(place->temp() / ("ss_" + std::to_string(i) + ".00_" + std::to_string(i * 25) + ".jpg"), "shot");
    const std::string odd = "ss_9\xE9.jpg";  // sorts after the others, before table.jpg
    place->write(place->temp() / odd, "odd shot");
    TValueListEditor& e = *Form3->ValueListEditor1;
    for (const auto& [row, value] : {std::pair{1, "Фильм"}, {3, "Россия"}, {4, "драма"}, {6, "Описание"}, {17, "1999"}})
        e.SetValue(row, value);
    Form3->BitBtn1->setEnabled(true);
    catalogue().script("add.php", HttpReply::Text("OK"));

    Form3->BitBtn1Click();
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{"Данные сохранены!"});
    const auto adds = requestsTo("add.php");
    ASSERT_EQ(adds.size(), 1u);
    const std::vector<FormPart> parts = partsOf(adds[0]);
    ASSERT_EQ(parts.size(), 56u);
    const FormPart& last = parts[36 + 2 * 9];
    EXPECT_EQ(last.name, "screenshot9");
    EXPECT_EQ(last.fileName, odd);
    EXPECT_EQ(last.data, "odd shot");
}
