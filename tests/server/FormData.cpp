#include "FormData.h"

#include <stdexcept>
#include <strings.h>

namespace tarvello::testserver {

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The value of `key="..."` inside a header line; false when it is not there.
bool quotedParameter(const std::string& line, const std::string& key, std::string& value) {
  const std::string pattern = "; " + key + "=\"";
  const auto start = line.find(pattern);
  if (start == std::string::npos) return false;
  const auto from = start + pattern.size();
  const auto end = line.find('"', from);
  if (end == std::string::npos) return false;
  value = line.substr(from, end - from);
  return true;
}

void readPartHeaders(const std::string& block, FormPart& part) {
  std::size_t pos = 0;
  while (pos < block.size()) {
    auto end = block.find("\r\n", pos);
    if (end == std::string::npos) end = block.size();
    const std::string line = block.substr(pos, end - pos);
    pos = end + 2;
    const auto colon = line.find(": ");
    if (colon == std::string::npos) throw std::runtime_error("multipart: bad header line " + line);
    const std::string key = line.substr(0, colon);
    const std::string value = line.substr(colon + 2);
    if (strcasecmp(key.c_str(), "Content-Disposition") == 0) {
      if (!quotedParameter(line, "name", part.name)) throw std::runtime_error("multipart: part without name");
      part.hasFileName = quotedParameter(line, "filename", part.fileName);
    } else if (strcasecmp(key.c_str(), "Content-Type") == 0) {
      part.contentType = value.substr(0, value.find(';'));
      quotedParameter(line, "charset", part.charset);
    } else if (strcasecmp(key.c_str(), "Content-Transfer-Encoding") == 0) {
      part.transferEncoding = value;
    }
  }
}

}  // namespace

std::string FormPart::text() const {
  return strcasecmp(charset.c_str(), "UTF-8") == 0 ? data : Latin1ToUtf8(data);
}

std::string BoundaryOf(const std::string& contentType) {
  const auto at = contentType.find("boundary=");
  return at == std::string::npos ? "" : contentType.substr(at + 9);
}

std::vector<FormPart> ParseMultipart(const std::string& body, const std::string& boundary) {
  const std::string delimiter = "--" + boundary;
  if (boundary.empty() || body.compare(0, delimiter.size(), delimiter) != 0)
    throw std::runtime_error("multipart: body does not start with its boundary");
  std::vector<FormPart> parts;
  std::size_t pos = delimiter.size();
  for (;;) {
    if (body.compare(pos, 4, "--\r\n") == 0 && pos + 4 == body.size()) return parts;
    if (body.compare(pos, 2, "\r\n") != 0) throw std::runtime_error("multipart: bad delimiter line");
    pos += 2;
    const auto headersEnd = body.find("\r\n\r\n", pos);
    if (headersEnd == std::string::npos) throw std::runtime_error("multipart: part headers not closed");
    FormPart part;
    readPartHeaders(body.substr(pos, headersEnd - pos), part);
    const auto dataStart = headersEnd + 4;
    const auto dataEnd = body.find("\r\n" + delimiter, dataStart);
    if (dataEnd == std::string::npos) throw std::runtime_error("multipart: part not closed");
    part.rawData = body.substr(dataStart, dataEnd - dataStart);
    if (strcasecmp(part.transferEncoding.c_str(), "quoted-printable") == 0)
      part.data = DecodeQuotedPrintable(part.rawData);
    else if (strcasecmp(part.transferEncoding.c_str(), "base64") == 0)
      part.data = DecodeBase64(part.rawData);
    else
      part.data = part.rawData;
    parts.push_back(std::move(part));
    pos = dataEnd + 2 + delimiter.size();
  }
}

std::string DecodeQuotedPrintable(const std::string& encoded) {
  std::string out;
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    if (encoded[i] != '=') {
      out += encoded[i];
    } else if (encoded.compare(i + 1, 2, "\r\n") == 0) {
      i += 2;  // soft line break
    } else if (i + 2 < encoded.size() && hexValue(encoded[i + 1]) >= 0 && hexValue(encoded[i + 2]) >= 0) {
      out += static_cast<char>(hexValue(encoded[i + 1]) * 16 + hexValue(encoded[i + 2]));
      i += 2;
    } else {
      throw std::runtime_error("quoted-printable: bad escape");
    }
  }
  return out;
}

std::string DecodeBase64(const std::string& encoded) {
  std::string out;
  unsigned value = 0;
  int bits = 0;
  for (char c : encoded) {
    int v;
    if (c >= 'A' && c <= 'Z') v = c - 'A';
    else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
    else if (c >= '0' && c <= '9') v = c - '0' + 52;
    else if (c == '+') v = 62;
    else if (c == '/') v = 63;
    else continue;  // line breaks and padding
    value = (value << 6) | static_cast<unsigned>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>((value >> bits) & 0xFF);
    }
  }
  return out;
}

std::string PercentDecode(const std::string& encoded) {
  std::string out;
  for (std::size_t i = 0; i < encoded.size(); ++i) {
    if (encoded[i] == '%' && i + 2 < encoded.size() && hexValue(encoded[i + 1]) >= 0 &&
        hexValue(encoded[i + 2]) >= 0) {
      out += static_cast<char>(hexValue(encoded[i + 1]) * 16 + hexValue(encoded[i + 2]));
      i += 2;
    } else {
      out += encoded[i];
    }
  }
  return out;
}

std::map<std::string, std::string> ParseQuery(const std::string& query) {
  std::map<std::string, std::string> fields;
  std::size_t pos = 0;
  while (pos <= query.size() && !query.empty()) {
    auto end = query.find('&', pos);
    if (end == std::string::npos) end = query.size();
    const std::string pair = query.substr(pos, end - pos);
    const auto equals = pair.find('=');
    const std::string key = PercentDecode(pair.substr(0, equals));
    if (!key.empty() && !fields.count(key))
      fields[key] = equals == std::string::npos ? "" : PercentDecode(pair.substr(equals + 1));
    pos = end + 1;
  }
  return fields;
}

std::string Latin1ToUtf8(const std::string& bytes) {
  std::string out;
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (byte >> 6));
      out += static_cast<char>(0x80 | (byte & 0x3F));
    }
  }
  return out;
}

}  // namespace tarvello::testserver
