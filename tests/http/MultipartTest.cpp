#include "HttpError.h"
#include "Multipart.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>

namespace {

// The layout of one text part, built by hand from the wire rules.
std::string textPart(const std::string& boundary, const std::string& name, const std::string& headers,
                     const std::string& dataAndClose) {
  return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n" + headers + "\r\n" +
         dataAndClose;
}

const std::string kPlain = "Content-Type: text/plain\r\nContent-Transfer-Encoding: quoted-printable\r\n";

TEST(MultipartBodyTest, ListBodyByteForByte) {
  MultipartBody body;
  body.AddFormField("user", UnicodeString("user@mail.ru"));
  body.AddFormField("password", UnicodeString(""));
  const std::string& b = body.Boundary();
  EXPECT_EQ(body.Bytes(), textPart(b, "user", kPlain, "user@mail.ru\r\n") +
                              textPart(b, "password", kPlain, "\r\n") + "--" + b + "--\r\n");
  EXPECT_EQ(body.ContentType(), "multipart/form-data; boundary=" + b);
}

// MMDDYYHHMMSS of `t` in local time.
std::string localStamp(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d%02d%02d%02d%02d%02d", local.tm_mon + 1, local.tm_mday,
                local.tm_year % 100, local.tm_hour, local.tm_min, local.tm_sec);
  return stamp;
}

// Local time is `zone` for one scope.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* current = std::getenv("TZ")) saved_ = current;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (saved_) setenv("TZ", saved_->c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }

 private:
  std::optional<std::string> saved_;
};

TEST(MultipartBodyTest, BoundaryIsEightHyphensAndTheLocalTime) {
  // Eleven hours off UTC, no daylight time: a boundary written in UTC cannot pass for local time.
  const ScopedTimeZone zone("XYZ-11");
  const std::time_t before = std::time(nullptr);
  MultipartBody body;
  const std::time_t after = std::time(nullptr);
  const std::string& b = body.Boundary();
  ASSERT_EQ(b.size(), 23u);
  EXPECT_EQ(b.substr(0, 8), "--------");
  EXPECT_EQ(b.find_first_not_of("0123456789", 8), std::string::npos);
  const std::string first = localStamp(before), last = localStamp(after);
  EXPECT_TRUE(b.substr(8, 12) == first || b.substr(8, 12) == last) << b << " made between " << first << " and " << last;
}

TEST(MultipartBodyTest, PlainTextValuesAreQuotedPrintableSingleBytes) {
  MultipartBody body;
  body.AddFormField("password", UnicodeString(u"a=b"));
  body.AddFormField("password", UnicodeString(u"пароль1"));
  body.AddFormField("password", UnicodeString(".dot"));
  body.AddFormField("password", UnicodeString(std::string(75, 'x')));
  const std::string& b = body.Boundary();
  EXPECT_EQ(body.Bytes(), textPart(b, "password", kPlain, "a=3Db\r\n") +
                              textPart(b, "password", kPlain, "??????1\r\n") +
                              textPart(b, "password", kPlain, "=2Edot\r\n") +
                              textPart(b, "password", kPlain, std::string(70, 'x') + "=\r\nxxxxx\r\n") + "--" + b +
                              "--\r\n");
}

TEST(MultipartBodyTest, Utf8AndRawSingleByteParts) {
  MultipartBody body;
  body.AddFormField("title", UnicodeString(u"Ёлка = .\r\n"), "UTF-8").SetContentTransfer("binary");
  body.AddFormField("title", UnicodeString(""), "UTF-8").SetContentTransfer("binary");
  body.AddFormField("creation_year", UnicodeString(u"1984\u00e9\u0416")).SetContentTransfer("binary");
  const std::string& b = body.Boundary();
  const std::string utf8Headers =
      "Content-Type: text/plain; charset=\"UTF-8\"\r\nContent-Transfer-Encoding: binary\r\n";
  EXPECT_EQ(body.Bytes(),
            textPart(b, "title", utf8Headers, "\xD0\x81\xD0\xBB\xD0\xBA\xD0\xB0 = .\r\n\r\n") +
                textPart(b, "title", utf8Headers, "\r\n") +
                textPart(b, "creation_year", "Content-Type: text/plain\r\nContent-Transfer-Encoding: binary\r\n",
                         "1984\xE9?\r\n") +
                "--" + b + "--\r\n");
}

TEST(MultipartBodyTest, GivenContentTypeAndFileNameOfATextPart) {
  MultipartBody body;
  body.AddFormField("note", UnicodeString("x"), "", "text/csv", "n.csv").SetContentTransfer("base64");
  const std::string& b = body.Boundary();
  EXPECT_EQ(body.Bytes(), "--" + b + "\r\nContent-Disposition: form-data; name=\"note\"; filename=\"n.csv\"\r\n" +
                              "Content-Type: text/csv\r\nContent-Transfer-Encoding: base64\r\n\r\neA==\r\n--" + b +
                              "--\r\n");
}

TEST(MultipartBodyTest, OnlyTheKnownTransferEncodings) {
  MultipartBody body;
  FormDataField& field = body.AddFormField("a", UnicodeString("b"));
  for (const char* accepted : {"7bit", "8bit", "binary", "quoted-printable", "base64"}) {
    EXPECT_NO_THROW(field.SetContentTransfer(accepted));
    EXPECT_EQ(field.ContentTransfer(), accepted);
  }
  for (const char* refused : {"", "gzip", "BINARY", "8-bit"}) EXPECT_THROW(field.SetContentTransfer(refused), HttpError);
  EXPECT_EQ(field.ContentTransfer(), "base64");
}

class MultipartFileTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("tarvello-multipart-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string write(const std::string& name, const std::string& bytes) {
    const auto path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

  std::filesystem::path folder_;
};

TEST_F(MultipartFileTest, FilePartCarriesTheBytesAsStoredAndTheBareFileName) {
  const std::string bytes("\x00\x01\r\n--\xFF=.", 10);
  const std::string path = write("data.rgb", bytes);
  MultipartBody body;
  body.AddFile("rgb", UnicodeString(path), "application/octet-stream");
  const std::string& b = body.Boundary();
  EXPECT_EQ(body.Bytes(), "--" + b + "\r\nContent-Disposition: form-data; name=\"rgb\"; filename=\"data.rgb\"\r\n" +
                              "Content-Type: application/octet-stream\r\nContent-Transfer-Encoding: binary\r\n\r\n" +
                              bytes + "\r\n--" + b + "--\r\n");
}

TEST_F(MultipartFileTest, FileIsOpenedWhenAddedAndReadWhenSent) {
  const std::string path = write("ss_1.00_24.jpg", "first");
  MultipartBody body;
  body.AddFile("screenshot0", UnicodeString(path), "application/octet-stream");
  write("ss_1.00_24.jpg", "second");
  EXPECT_NE(body.Bytes().find("\r\n\r\nsecond\r\n"), std::string::npos);
  std::filesystem::remove(path);  // the part keeps its file open
  EXPECT_NE(body.Bytes().find("\r\n\r\nsecond\r\n"), std::string::npos);
}

TEST_F(MultipartFileTest, MissingFileThrowsWhenAdded) {
  MultipartBody body;
  EXPECT_THROW(body.AddFile("rgb", UnicodeString((folder_ / "none.rgb").string()), "application/octet-stream"),
               HttpError);
  EXPECT_EQ(body.Bytes(), "--" + body.Boundary() + "--\r\n");
}

}  // namespace
