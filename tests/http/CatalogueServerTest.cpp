#include "CatalogueServer.h"
#include "FormData.h"
#include "HttpClient.h"
#include "WireText.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace tarvello::testserver;

const std::string kUser = "user@mail.ru";
const std::string kPassword = "p=ss.word";

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

TEST(FormDataTest, ParsesWhatTheClientSends) {
  MultipartBody body;
  body.AddFormField("user", UnicodeString(kUser));
  body.AddFormField("password", UnicodeString(""));
  body.AddFormField("long", UnicodeString("." + std::string(100, 'x') + " \r\nend=1"));
  body.AddFormField("title", UnicodeString(u"Ёлка\r\n"), "UTF-8").SetContentTransfer("binary");
  body.AddFormField("creation_year", UnicodeString(u"1984é")).SetContentTransfer("binary");
  body.AddFormField("packed", UnicodeString(std::string(200, 'z'))).SetContentTransfer("base64");
  const auto parts = ParseMultipart(body.Bytes(), BoundaryOf(body.ContentType()));
  ASSERT_EQ(parts.size(), 6u);
  EXPECT_EQ(parts[0].name, "user");
  EXPECT_EQ(parts[0].text(), kUser);
  EXPECT_EQ(parts[1].text(), "");
  EXPECT_EQ(parts[2].text(), "." + std::string(100, 'x') + " \r\nend=1");
  EXPECT_EQ(parts[3].charset, "UTF-8");
  EXPECT_EQ(parts[3].text(), "Ёлка\r\n");
  EXPECT_EQ(parts[4].transferEncoding, "binary");
  EXPECT_EQ(parts[4].text(), "1984é");
  EXPECT_EQ(parts[5].text(), std::string(200, 'z'));
  EXPECT_FALSE(parts[0].hasFileName);
}

TEST(FormDataTest, RefusesABrokenBody) {
  EXPECT_THROW(ParseMultipart("garbage", "--------121026095255316"), std::runtime_error);
  MultipartBody body;
  body.AddFormField("user", UnicodeString(kUser));
  const std::string bytes = body.Bytes();
  EXPECT_THROW(ParseMultipart(bytes.substr(0, bytes.size() - 5), body.Boundary()), std::runtime_error);
}

TEST(FormDataTest, QueryValuesAreDecoded) {
  const auto fields = ParseQuery("user=a%2Bb%40mail.ru&password=p%26s%20s%23&size=123&md5=&user=second");
  EXPECT_EQ(fields.at("user"), "a+b@mail.ru");
  EXPECT_EQ(fields.at("password"), "p&s s#");
  EXPECT_EQ(fields.at("size"), "123");
  EXPECT_EQ(fields.at("md5"), "");
}

class CatalogueTest : public testing::Test {
 protected:
  void SetUp() override {
    server_.start();
    saved_ = httpSettings();
    httpSettings().caFile = server_.caFile();
    server_.addAccount(kUser, kPassword);
    server_.addAccount("other@mail.ru", "other");
    server_.addAccount("blocked@mail.ru", "blocked", true);
    folder_ = std::filesystem::temp_directory_path() /
              ("tarvello-catalogue-" + std::to_string(server_.port()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override {
    httpSettings() = saved_;
    std::filesystem::remove_all(folder_);
  }

  MultipartBody accountBody(const std::string& user = kUser, const std::string& password = kPassword) {
    MultipartBody body;
    body.AddFormField("user", UnicodeString(user));
    body.AddFormField("password", UnicodeString(password));
    return body;
  }

  MultipartBody idBody(int id, const std::string& user = kUser) {
    MultipartBody body = accountBody(user, user == kUser ? kPassword : "other");
    body.AddFormField("id", UnicodeString(std::to_string(id)));
    return body;
  }

  std::string post(const std::string& script, const MultipartBody& body) {
    return client_.Post(UnicodeString(server_.baseUrl() + script), body).ToUtf8();
  }

  std::string check(const std::string& user, const std::string& password, const std::string& size,
                    const std::string& md5) {
    const std::string address = server_.baseUrl() + "check.php?user=" + PercentEncode(UnicodeString(user)) +
                                "&password=" + PercentEncode(UnicodeString(password)) + "&size=" + size +
                                "&md5=" + md5;
    return HttpClient().Get(UnicodeString(address)).ToUtf8();
  }

  std::string file(const std::string& name, const std::string& bytes) {
    const auto path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  // An add.php body laid out as the add-video form sends it, shortened to two screenshots.
  MultipartBody addBody(const std::string& md5, const std::string& title) {
    MultipartBody body;
    body.AddFormField("application", UnicodeString("Tarvello Desk"));
    body.AddFormField("version", UnicodeString("3.0"));
    body.AddFormField("user", UnicodeString(kUser));
    body.AddFormField("password", UnicodeString(kPassword));
    body.AddFormField("filename", UnicodeString(""));
    body.AddFormField("md5", UnicodeString(md5));
    for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
             {"width", "1920"}, {"height", "1080"}, {"video_sar", "1"}, {"video_dar", "1.77777777777778"},
             {"used_width", "1920"}, {"used_height", "800"}, {"size", "1234567890"}, {"frames", "2400"},
             {"fps", "23.976"}, {"duration", "5400.9"}})
      body.AddFormField(name, UnicodeString(value));
    for (const auto& key : kDescriptiveFields) {
      if (key == "creation_year") continue;
      const std::string value = key == "title" ? title : key == "country" ? "СССР" : key + " value";
      body.AddFormField(key, UnicodeString(value), "UTF-8").SetContentTransfer("binary");
    }
    body.AddFormField("creation_year", UnicodeString("1975")).SetContentTransfer("binary");
    body.AddFile("rgb", UnicodeString(file("data.rgb", std::string("\x01\x02\x03\x00", 4))), "application/octet-stream");
    body.AddFile("table", UnicodeString(file("table.jpg", kJpeg)), "application/octet-stream");
    body.AddFile("hash", UnicodeString(file("hashes.dat", std::string(90, '\x7F'))), "application/octet-stream");
    for (int i = 0; i < 2; ++i) {
      const std::string name = "ss_" + std::to_string(i) + ".00_" + std::to_string(i * 24) + ".jpg";
      body.AddFile("screenshot" + std::to_string(i), UnicodeString(file(name, "shot" + std::to_string(i))),
                   "application/octet-stream");
      body.AddFormField("screenshot_name" + std::to_string(i), UnicodeString(name)).SetContentTransfer("binary");
    }
    return body;
  }

  Record record(const std::string& owner, std::map<std::string, std::string> fields) {
    Record r;
    r.owner = owner;
    r.fields = std::move(fields);
    return r;
  }

  const std::string kJpeg = std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\xFF\xD9", 13);
  CatalogueServer server_;
  HttpClient client_;
  HttpSettings saved_;
  std::filesystem::path folder_;
};

TEST_F(CatalogueTest, EveryScriptRefusesABadAccount) {
  for (const char* script : {"list.php", "delete.php", "add.php", "find.php", "view.php", "get_image.php",
                             "update.php"}) {
    EXPECT_EQ(post(script, accountBody("nobody@mail.ru", kPassword)), "User not found") << script;
    EXPECT_EQ(post(script, accountBody(kUser, "wrong")), "Wrong password") << script;
    EXPECT_EQ(post(script, accountBody("blocked@mail.ru", "blocked")), "User blocked") << script;
  }
  EXPECT_EQ(check("nobody@mail.ru", kPassword, "1", "a"), "User not found");
  EXPECT_EQ(check(kUser, "wrong", "1", "a"), "Wrong password");
  EXPECT_EQ(check("blocked@mail.ru", "blocked", "1", "a"), "User blocked");
}

TEST_F(CatalogueTest, AddStoresFieldsMeasurementsAndFiles) {
  EXPECT_EQ(post("add.php", addBody("0123456789abcdef0123456789abcdef", "Приключения Электроника")), "OK");
  const auto records = server_.records();
  ASSERT_EQ(records.size(), 1u);
  const Record& r = records[0];
  EXPECT_EQ(r.owner, kUser);
  EXPECT_EQ(r.fields.at("title"), "Приключения Электроника");
  EXPECT_EQ(r.fields.at("country"), "СССР");
  EXPECT_EQ(r.fields.at("creation_year"), "1975");
  EXPECT_EQ(r.fields.at("video_dar"), "1.77777777777778");
  EXPECT_EQ(r.fields.at("filename"), "");
  EXPECT_EQ(r.fields.count("password"), 0u);
  EXPECT_EQ(r.files.at("rgb").bytes, std::string("\x01\x02\x03\x00", 4));
  EXPECT_EQ(r.files.at("table").bytes, kJpeg);
  EXPECT_EQ(r.files.at("table").fileName, "table.jpg");
  EXPECT_EQ(r.files.at("screenshot1").bytes, "shot1");
  EXPECT_EQ(r.fields.at("screenshot_name1"), "ss_1.00_24.jpg");
}

TEST_F(CatalogueTest, KnownSizeAndDigestIsADuplicate) {
  const std::string md5 = "0123456789abcdef0123456789abcdef";
  EXPECT_EQ(check(kUser, kPassword, "1234567890", md5), "OK");
  ASSERT_EQ(post("add.php", addBody(md5, "Первый")), "OK");
  const int id = server_.records().at(0).id;
  EXPECT_EQ(post("add.php", addBody(md5, "Второй")), "Duplicate " + std::to_string(id));
  EXPECT_EQ(check(kUser, kPassword, "1234567890", md5), "Duplicate " + std::to_string(id));
  EXPECT_EQ(check(kUser, kPassword, "1234567891", md5), "OK");
  EXPECT_EQ(server_.records().size(), 1u);
}

TEST_F(CatalogueTest, CheckQueryCarriesAPasswordWithSpecialCharactersWhole) {
  const std::string password = "a&b#c+d e=f%";
  server_.addAccount("mark+1@mail.ru", password);
  EXPECT_EQ(check("mark+1@mail.ru", password, "1", "ab"), "OK");
}

TEST_F(CatalogueTest, ListGivesTheAccountsRecordLines) {
  EXPECT_EQ(post("list.php", accountBody()), "OK");
  const int first = server_.addRecord(record(kUser, {{"title", "Два\nслова"}, {"producer", "Р\tР"},
                                                     {"country", "СССР"}, {"creation_year", "1979"},
                                                     {"duration", "5400.9"}, {"genre", "детский"},
                                                     {"actors", "А\r\nБ"}}));
  server_.addRecord(record("other@mail.ru", {{"title", "Чужой"}}));
  const int third = server_.addRecord(record(kUser, {{"title", "Только название"}}));
  EXPECT_EQ(post("list.php", accountBody()),
            "OK\n" + std::to_string(first) + "\tДва\\nслова\tР\\tР\tСССР\t1979\t5400.9\tдетский\tА\\r\\nБ\n" +
                std::to_string(third) + "\tТолько название\t\t\t\t\t\t");
}

TEST_F(CatalogueTest, FindMatchesAPartOfEachCriterionAndTheYearBounds) {
  const int a = server_.addRecord(record("other@mail.ru", {{"title", "Приключения Электроника"},
                                                           {"country", "СССР"}, {"genre", "детский, фантастика"},
                                                           {"creation_year", "1979"}}));
  const int b = server_.addRecord(record(kUser, {{"title", "Новые приключения"}, {"country", "СССР"},
                                                 {"genre", "детский"}, {"creation_year", "1992"}}));
  server_.addRecord(record(kUser, {{"title", "Другое"}, {"country", "США"}, {"creation_year", "1980"}}));
  auto find = [&](std::map<std::string, std::string> criteria) {
    MultipartBody body = accountBody();
    for (const char* key : {"title", "producer", "country", "genre", "actors", "creation_year1", "creation_year2"})
      body.AddFormField(key, UnicodeString(criteria[key]), "UTF-8").SetContentTransfer("binary");
    std::vector<std::string> ids;
    const auto replyLines = lines(post("find.php", body));
    EXPECT_EQ(replyLines.at(0), "OK");
    for (std::size_t i = 1; i < replyLines.size(); ++i) ids.push_back(replyLines[i].substr(0, replyLines[i].find('\t')));
    return ids;
  };
  const std::string ia = std::to_string(a), ib = std::to_string(b);
  EXPECT_EQ(find({{"title", "приключения"}, {"country", "СССР"}, {"genre", "детский"},
                  {"creation_year1", "1970"}, {"creation_year2", "1990"}}),
            std::vector<std::string>{ia});
  EXPECT_EQ(find({{"title", "ПРИКЛЮЧЕНИЯ"}}), (std::vector<std::string>{ia, ib}));
  EXPECT_EQ(find({{"creation_year1", "1980"}}).size(), 2u);
  EXPECT_EQ(find({}).size(), 3u);
  EXPECT_TRUE(find({{"actors", "никто"}}).empty());
}

TEST_F(CatalogueTest, ViewGivesTheTwentySixLinesAndGetImageThePicture) {
  std::map<std::string, std::string> fields;
  for (const auto& key : kDescriptiveFields) fields[key] = key + " значение";
  fields["description"] = "строка 1\nстрока 2";
  for (const auto& [key, value] : std::map<std::string, std::string>{
           {"width", "1920"}, {"height", "1080"}, {"size", "1234567.9"}, {"frames", "2400"}, {"fps", "25"},
           {"duration", "5400.9"}, {"md5", "abcdef"}})
    fields[key] = value;
  Record r = record("other@mail.ru", fields);
  r.files["table"] = {"table.jpg", kJpeg};
  const int id = server_.addRecord(r);

  const auto view = lines(post("view.php", idBody(id)));  // any account may view any record
  ASSERT_EQ(view.size(), 26u);
  EXPECT_EQ(view[0], "OK");
  EXPECT_EQ(view[2], "title значение");
  EXPECT_EQ(view[7], "строка 1\\nстрока 2");
  EXPECT_EQ(view[18], "creation_year значение");
  EXPECT_EQ(std::vector<std::string>(view.begin() + 19, view.end()),
            (std::vector<std::string>{"1920", "1080", "1234567.9", "2400", "25", "5400.9", "abcdef"}));
  EXPECT_EQ(client_.PostBytes(UnicodeString(server_.baseUrl() + "get_image.php"), idBody(id), kJpeg.size()), kJpeg);

  EXPECT_EQ(post("view.php", idBody(id + 1)), "Record not found");
  EXPECT_EQ(post("get_image.php", idBody(id + 1)), "Record not found");
  // Ids that are no int of a record: never another record by a cut or a loose reading.
  for (const std::string& badId : {std::to_string(id + (1LL << 32)), " " + std::to_string(id), std::string("")}) {
    MultipartBody body = accountBody();
    body.AddFormField("id", UnicodeString(badId));
    EXPECT_EQ(post("view.php", body), "Record not found") << badId;
  }
}

TEST_F(CatalogueTest, UpdateAndDeleteOnlyTheAccountsOwnRecord) {
  const int mine = server_.addRecord(record(kUser, {{"title", "Старое"}, {"md5", "abc"}}));
  const int theirs = server_.addRecord(record("other@mail.ru", {{"title", "Чужое"}}));

  MultipartBody update = idBody(mine);
  for (const auto& key : kDescriptiveFields) {
    if (key == "creation_year") continue;
    update.AddFormField(key, UnicodeString(key == "title" ? "Новое" : ""), "UTF-8").SetContentTransfer("binary");
  }
  update.AddFormField("creation_year", UnicodeString("1800")).SetContentTransfer("binary");
  EXPECT_EQ(post("update.php", update), "OK");
  EXPECT_EQ(server_.record(mine)->fields.at("title"), "Новое");
  EXPECT_EQ(server_.record(mine)->fields.at("creation_year"), "1800");
  EXPECT_EQ(server_.record(mine)->fields.at("md5"), "abc");

  MultipartBody foreign = idBody(theirs);
  foreign.AddFormField("title", UnicodeString("Взлом"), "UTF-8").SetContentTransfer("binary");
  EXPECT_EQ(post("update.php", foreign), "Record not found");
  EXPECT_EQ(post("delete.php", idBody(theirs)), "Record not found");
  EXPECT_EQ(server_.record(theirs)->fields.at("title"), "Чужое");

  EXPECT_EQ(post("delete.php", idBody(mine)), "OK");
  EXPECT_FALSE(server_.record(mine));
  EXPECT_EQ(post("delete.php", idBody(mine)), "Record not found");
}

TEST_F(CatalogueTest, ScriptedReplyOverridesTheCatalogueUntilRemoved) {
  server_.script("list.php", HttpReply::Text("OK\n"));
  EXPECT_EQ(post("list.php", accountBody()), "OK\n");
  server_.unscript("list.php");
  EXPECT_EQ(post("list.php", accountBody()), "OK");
  EXPECT_THROW(post("missing.php", accountBody()), HttpError);
  EXPECT_THROW(client_.Post(UnicodeString("https://127.0.0.1:" + std::to_string(server_.port()) + "/list.php"),
                            accountBody()),
               HttpError);
}

// The server's folder holds its private key: nothing of it stays once the server or its process ends, also for a
// server that is never destroyed, as the window tests keep theirs.
TEST(CatalogueServerFolder, GoesWithTheServerOrElseWithItsProcess) {
  std::filesystem::path folder;
  {
    CatalogueServer server;
    folder = std::filesystem::path(server.caFile()).parent_path();
    EXPECT_TRUE(std::filesystem::exists(folder / "server-key.pem"));
  }
  EXPECT_FALSE(std::filesystem::exists(folder));

  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  const pid_t child = fork();
  if (child == 0) {
    const std::string ca = (new CatalogueServer)->caFile();  // never destroyed
    const bool told = write(fds[1], ca.data(), ca.size()) == static_cast<ssize_t>(ca.size());
    std::exit(told ? 0 : 1);
  }
  close(fds[1]);
  std::string ca(4096, '\0');
  ca.resize(static_cast<size_t>(std::max<ssize_t>(read(fds[0], ca.data(), ca.size()), 0)));
  close(fds[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_FALSE(ca.empty());
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(ca).parent_path()));
}

}  // namespace
