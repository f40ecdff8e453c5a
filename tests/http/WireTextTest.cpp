#include "WireText.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct QuotedPrintableCase {
  const char* what;
  std::string input;
  std::string expected;
};

void PrintTo(const QuotedPrintableCase& c, std::ostream* out) { *out << c.what; }

class QuotedPrintableTest : public testing::TestWithParam<QuotedPrintableCase> {};

TEST_P(QuotedPrintableTest, EncodesAsTheScriptsRead) {
  EXPECT_EQ(QuotedPrintable(GetParam().input), GetParam().expected);
}

const std::string k69(69, 'a');

INSTANTIATE_TEST_SUITE_P(
    Cases, QuotedPrintableTest,
    testing::Values(
        QuotedPrintableCase{"empty", "", ""},
        QuotedPrintableCase{"printable ASCII unchanged", "user@mail.ru", "user@mail.ru\r\n"},
        QuotedPrintableCase{"equals sign", "a=b", "a=3Db\r\n"},
        QuotedPrintableCase{"leading dot", ".secret", "=2Esecret\r\n"},
        QuotedPrintableCase{"inner dot stays", "a.b", "a.b\r\n"},
        QuotedPrintableCase{"inner blank and tab stay", "a b\tc", "a b\tc\r\n"},
        QuotedPrintableCase{"trailing blank", "ab ", "ab=20\r\n"},
        QuotedPrintableCase{"trailing tab", "ab\t", "ab=09\r\n"},
        QuotedPrintableCase{"high bytes and controls", std::string("\xE9\x01", 2), "=E9=01\r\n"},
        QuotedPrintableCase{"breaks LF, CR LF, lone CR", "a\nb\r\nc\rd", "a\r\nb\r\nc\r\nd\r\n"},
        QuotedPrintableCase{"LF then CR is two breaks", "a\n\rb", "a\r\n\r\nb\r\n"},
        QuotedPrintableCase{"lone CR before CR LF is two breaks", "a\r\r\nb", "a\r\n\r\nb\r\n"},
        QuotedPrintableCase{"final break adds no line", "a\n", "a\r\n"},
        QuotedPrintableCase{"a break alone is one empty line", "\n", "\r\n"},
        QuotedPrintableCase{"dot starting a later line", "a\n.b", "a\r\n=2Eb\r\n"},
        QuotedPrintableCase{"tilde stays, delete is escaped", "~\x7F", "~=7F\r\n"},
        QuotedPrintableCase{"empty line kept", "a\n\nb", "a\r\n\r\nb\r\n"},
        QuotedPrintableCase{"blank before a break is the line's last", "a \nb", "a=20\r\nb\r\n"},
        QuotedPrintableCase{"69 characters: no soft break", k69, k69 + "\r\n"},
        QuotedPrintableCase{"70th character brings the soft break", k69 + "bc", k69 + "b=\r\nc\r\n"},
        QuotedPrintableCase{"escape that crosses 70", std::string(68, 'a') + "=x",
                            std::string(68, 'a') + "=3D=\r\nx\r\n"},
        QuotedPrintableCase{"trailing blank that crosses 70", k69 + " ", k69 + "=20=\r\n\r\n"},
        QuotedPrintableCase{"inner blank at 70 stays a blank", k69 + " b", k69 + " =\r\nb\r\n"},
        QuotedPrintableCase{"dot after a soft break", std::string(70, 'a') + ".b",
                            std::string(70, 'a') + "=\r\n=2Eb\r\n"},
        QuotedPrintableCase{"exactly 70: soft break before the line end", std::string(70, 'a'),
                            std::string(70, 'a') + "=\r\n\r\n"}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

TEST(SingleByteTest, LatinOneKeptEverythingElseQuestionMark) {
  EXPECT_EQ(ToSingleByte(UnicodeString(u"a\u00e9\u00ff\u0100\u043f")), std::string("a\xE9\xFF??"));
  // Each UTF-16 unit of a character outside the BMP is one character.
  EXPECT_EQ(ToSingleByte(UnicodeString(u"\U0001F600")), "??");
}

TEST(EncodeTextTest, NamedCharsets) {
  const UnicodeString russian(u"Привет");
  EXPECT_EQ(EncodeText(russian, "UTF-8"), "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
  EXPECT_EQ(EncodeText(russian, "windows-1251"), "\xCF\xF0\xE8\xE2\xE5\xF2");
  EXPECT_EQ(EncodeText(russian, ""), "??????");
  EXPECT_THROW(EncodeText(russian, "no-such-charset"), HttpError);
}

struct DecodeCase {
  const char* what;
  const char* contentType;  // nullptr: no header
  std::string bytes;
  std::u16string expected;
};

void PrintTo(const DecodeCase& c, std::ostream* out) { *out << c.what; }

class DecodeReplyTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeReplyTest, DecodesByTheReplysCharset) {
  EXPECT_EQ(DecodeReply(GetParam().bytes, GetParam().contentType).u16(), GetParam().expected);
}

const std::string kRussianUtf8 = "\xD0\x9F\xD1\x80\xD0\xB8";  // "При"

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeReplyTest,
    testing::Values(
        DecodeCase{"utf8", "text/plain; charset=UTF-8", kRussianUtf8, u"При"},
        DecodeCase{"utf8_quoted_any_case", "text/html; Charset=\"utf-8\"", kRussianUtf8, u"При"},
        DecodeCase{"windows1251", "text/plain; charset=windows-1251", "\xCF\xF0\xE8", u"При"},
        DecodeCase{"koi8r", "text/plain;charset=KOI8-R", "\xF0\xD2\xC9", u"При"},
        DecodeCase{"html_without_charset_is_latin1", "text/html", kRussianUtf8, u"\u00d0\u009f\u00d1\u0080\u00d0\u00b8"},
        DecodeCase{"xml_without_charset_is_ascii", "text/xml", "a\xE9", u"a?"},
        DecodeCase{"xml_entity_without_charset_is_ascii", "text/xml-external-parsed-entity", "a\xE9", u"a?"},
        DecodeCase{"xml_with_charset_follows_it", "text/xml; charset=UTF-8", kRussianUtf8, u"При"},
        DecodeCase{"media_type_in_any_case", "Text/PLAIN", "a\xE9", u"a\u00e9"},
        DecodeCase{"other_media_type_one_byte_a_character", "application/octet-stream", "a\xE9", u"a\u00e9"},
        DecodeCase{"empty_charset_is_none", "text/plain; charset=", "a\xE9", u"a\u00e9"},
        DecodeCase{"charset_after_other_parameters", "text/plain; format=flowed; charset=windows-1251", "\xCF",
                   u"П"},
        DecodeCase{"no_content_type_one_byte_a_character", nullptr, "a\xE9", u"a\u00e9"},
        DecodeCase{"unknown_charset_one_byte_a_character", "text/plain; charset=x-nothing", "a\xE9", u"a\u00e9"},
        DecodeCase{"keeps_line_breaks", "text/plain; charset=UTF-8", "OK\r\n", u"OK\r\n"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(PercentEncodeTest, OnlyUnreservedStay) {
  EXPECT_EQ(PercentEncode(UnicodeString("aZ09-._~")), "aZ09-._~");
  EXPECT_EQ(PercentEncode(UnicodeString("p&s#w+d =%")), "p%26s%23w%2Bd%20%3D%25");
  EXPECT_EQ(PercentEncode(UnicodeString(u"я@x.ru")), "%D1%8F%40x.ru");
}

TEST(Base64Test, PadsAndBreaksLines) {
  EXPECT_EQ(Base64("Man"), "TWFu");
  EXPECT_EQ(Base64("Ma"), "TWE=");
  EXPECT_EQ(Base64("M"), "TQ==");
  const std::string encoded = Base64(std::string(60, 'x'));  // 80 characters
  EXPECT_EQ(encoded.find("\r\n"), 76u);
  EXPECT_EQ(encoded.size(), 82u);
}

}  // namespace
