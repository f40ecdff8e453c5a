#include "WireText.h"

#include "HttpError.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <array>
#include <memory>
#include <strings.h>

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void appendHexByte(std::string& out, char prefix, unsigned char byte) {
  out += prefix;
  out += kHex[byte >> 4];
  out += kHex[byte & 0x0F];
}

using Converter = std::unique_ptr<UConverter, decltype(&ucnv_close)>;

Converter openConverter(const std::string& charset) {
  UErrorCode status = U_ZERO_ERROR;
  Converter converter(ucnv_open(charset.c_str(), &status), &ucnv_close);
  if (U_FAILURE(status)) converter.reset();
  return converter;
}

std::string trimmedLower(std::string text) {
  const auto first = text.find_first_not_of(" \t");
  const auto last = text.find_last_not_of(" \t");
  text = first == std::string::npos ? "" : text.substr(first, last - first + 1);
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// The charset parameter of a Content-Type value, without quotes; "" when there is none.
std::string charsetOf(const std::string& contentType) {
  std::size_t pos = contentType.find(';');
  while (pos != std::string::npos) {
    const std::size_t next = contentType.find(';', pos + 1);
    const std::string parameter = contentType.substr(pos + 1, next == std::string::npos ? next : next - pos - 1);
    const auto equals = parameter.find('=');
    if (equals != std::string::npos && trimmedLower(parameter.substr(0, equals)) == "charset") {
      std::string value = trimmedLower(parameter.substr(equals + 1));
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
      return value;
    }
    pos = next;
  }
  return "";
}

UnicodeString oneBytePerCharacter(const std::string& bytes, bool asciiOnly) {
  std::u16string text;
  text.reserve(bytes.size());
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    text += asciiOnly && byte >= 0x80 ? u'?' : static_cast<char16_t>(byte);
  }
  return UnicodeString(std::move(text));
}

// Encodes one line (no break inside) and appends its closing CR LF.
void encodeQuotedPrintableLine(std::string& out, const std::string& line) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto byte = static_cast<unsigned char>(line[i]);
    const bool lastOfLine = i + 1 == line.size();
    const std::size_t before = out.size();
    if (byte == '.' && count == 0)
      out += "=2E";
    else if ((byte >= 0x21 && byte <= 0x7E && byte != '=') || ((byte == ' ' || byte == '\t') && !lastOfLine))
      out += static_cast<char>(byte);
    else
      appendHexByte(out, '=', byte);
    count += out.size() - before;
    if (count >= 70) {
      out += "=\r\n";
      count = 0;
    }
  }
  out += "\r\n";
}

}  // namespace

std::string ToSingleByte(const UnicodeString& text) {
  std::string out;
  out.reserve(text.u16().size());
  for (char16_t c : text.u16()) out += c <= 0xFF ? static_cast<char>(c) : '?';
  return out;
}

std::string EncodeText(const UnicodeString& text, const std::string& charset) {
  if (charset.empty()) return ToSingleByte(text);
  if (strcasecmp(charset.c_str(), "UTF-8") == 0) return text.ToUtf8();
  Converter converter = openConverter(charset);
  if (!converter) throw HttpError("Unknown character set: " + charset);
  UErrorCode status = U_ZERO_ERROR;
  ucnv_setSubstChars(converter.get(), "?", 1, &status);
  const std::u16string& units = text.u16();
  std::string out(units.size() * static_cast<std::size_t>(ucnv_getMaxCharSize(converter.get())) + 1, '\0');
  status = U_ZERO_ERROR;
  const int32_t length = ucnv_fromUChars(converter.get(), out.data(), static_cast<int32_t>(out.size()),
                                         reinterpret_cast<const UChar*>(units.data()),
                                         static_cast<int32_t>(units.size()), &status);
  if (U_FAILURE(status)) throw HttpError("Cannot encode text as " + charset);
  out.resize(static_cast<std::size_t>(length));
  return out;
}

UnicodeString DecodeReply(const std::string& bytes, const char* contentType) {
  if (!contentType) return oneBytePerCharacter(bytes, false);
  const std::string type = contentType;
  const std::string charset = charsetOf(type);
  if (!charset.empty()) {
    if (Converter converter = openConverter(charset)) {
      std::u16string text(bytes.size() * 2 + 1, u'\0');
      UErrorCode status = U_ZERO_ERROR;
      const int32_t length = ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(text.data()),
                                           static_cast<int32_t>(text.size()), bytes.data(),
                                           static_cast<int32_t>(bytes.size()), &status);
      if (U_FAILURE(status)) throw HttpError("Cannot decode the reply as " + charset);
      text.resize(static_cast<std::size_t>(length));
      return UnicodeString(std::move(text));
    }
  }
  const std::string media = trimmedLower(type.substr(0, type.find(';')));
  const bool xmlText = media == "text/xml" || media == "text/xml-external-parsed-entity";
  return oneBytePerCharacter(bytes, xmlText);
}

std::string QuotedPrintable(const std::string& bytes) {
  std::string out;
  std::string line;
  bool open = false;  // a line has begun that is not written yet
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      encodeQuotedPrintableLine(out, line);
      line.clear();
      open = false;
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      line += c;
      open = true;
    }
  }
  if (open) encodeQuotedPrintableLine(out, line);
  return out;
}

std::string Base64(const std::string& bytes) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  std::size_t lineLength = 0;
  auto put = [&](char c) {
    if (lineLength == 76) {
      out += "\r\n";
      lineLength = 0;
    }
    out += c;
    ++lineLength;
  };
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    std::array<unsigned char, 3> b{};
    for (std::size_t k = 0; k < n; ++k) b[k] = static_cast<unsigned char>(bytes[i + k]);
    const unsigned v = (b[0] << 16) | (b[1] << 8) | b[2];
    put(kAlphabet[(v >> 18) & 0x3F]);
    put(kAlphabet[(v >> 12) & 0x3F]);
    put(n > 1 ? kAlphabet[(v >> 6) & 0x3F] : '=');
    put(n > 2 ? kAlphabet[v & 0x3F] : '=');
  }
  return out;
}

std::string PercentEncode(const UnicodeString& text) {
  std::string out;
  for (char c : text.ToUtf8()) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                            (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                            byte == '~';
    if (unreserved)
      out += c;
    else
      appendHexByte(out, '%', byte);
  }
  return out;
}
