#pragma once
// What the server reads out of a request: the parts of a multipart/form-data body (with their
// transfer encodings undone) and the fields of a percent-encoded query.

#include <map>
#include <string>
#include <vector>

namespace tarvello::testserver {

struct FormPart {
  std::string name;
  bool hasFileName = false;
  std::string fileName;
  std::string contentType;        // "" when the part had no Content-Type line
  std::string charset;            // "" when none was given
  std::string transferEncoding;   // "" when the part had no Content-Transfer-Encoding line
  std::string rawData;            // the bytes between the part's empty line and its closing CR LF
  std::string data;               // rawData with quoted-printable or base64 undone

  // The value as UTF-8: data itself for charset UTF-8, else data read one byte to one character.
  std::string text() const;
};

// Throws std::runtime_error when the body does not follow the layout for `boundary`.
std::vector<FormPart> ParseMultipart(const std::string& body, const std::string& boundary);
// The boundary parameter of a "multipart/form-data; boundary=..." header; "" when absent.
std::string BoundaryOf(const std::string& contentType);

std::string DecodeQuotedPrintable(const std::string& encoded);
std::string DecodeBase64(const std::string& encoded);
std::string PercentDecode(const std::string& encoded);  // "+" stays "+"
std::map<std::string, std::string> ParseQuery(const std::string& query);
std::string Latin1ToUtf8(const std::string& bytes);

}  // namespace tarvello::testserver
