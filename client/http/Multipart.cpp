#include "Multipart.h"

#include "HttpError.h"
#include "WireText.h"

#include "platform/Files.h"
#include "platform/LocalTime.h"
#include "platform/OpenedFile.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

std::string readFile(const OpenedFile& file) {
  const std::optional<std::string> bytes = file.ReadAll();
  if (!bytes) throw HttpError("Cannot read a file of the request");
  return *bytes;
}

}  // namespace

void FormDataField::SetContentTransfer(const std::string& encoding) {
  for (const char* accepted : {"7bit", "8bit", "binary", "quoted-printable", "base64"}) {
    if (encoding == accepted) {
      contentTransfer_ = encoding;
      return;
    }
  }
  throw HttpError("Unsupported content transfer encoding: " + encoding);
}

std::string FormDataField::data() const {
  const std::string raw = file_ ? readFile(*file_) : EncodeText(value_, charset_);
  if (contentTransfer_ == "quoted-printable") return QuotedPrintable(raw);
  if (contentTransfer_ == "base64") return raw.empty() ? raw : Base64(raw) + "\r\n";
  return raw.empty() ? raw : raw + "\r\n";
}

std::string FormDataField::bytes() const {
  std::string out = "Content-Disposition: form-data; name=\"" + name_ + "\"";
  if (!fileName_.empty()) out += "; filename=\"" + fileName_ + "\"";
  out += "\r\n";
  if (!contentType_.empty()) {
    out += "Content-Type: " + contentType_;
    if (!charset_.empty()) out += "; charset=\"" + charset_ + "\"";
    out += "\r\n";
  }
  if (!contentTransfer_.empty()) out += "Content-Transfer-Encoding: " + contentTransfer_ + "\r\n";
  out += "\r\n";
  // Every encoded form of a non-empty value ends in the part's closing CR LF; an empty one has no data.
  const std::string encoded = data();
  out += encoded.empty() ? "\r\n" : encoded;
  return out;
}

MultipartBody::MultipartBody() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  const std::tm local = LocalTime(seconds);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d%02d%02d%02d%02d%02d%03d", local.tm_mon + 1, local.tm_mday,
                local.tm_year % 100, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(millis));
  boundary_ = std::string("--------") + stamp;
}

FormDataField& MultipartBody::AddFormField(const std::string& name, const UnicodeString& value,
                                           const std::string& charset, const std::string& contentType,
                                           const std::string& fileName) {
  FormDataField& field = fields_.emplace_back();
  field.name_ = name;
  field.value_ = value;
  field.charset_ = charset;
  field.contentType_ = contentType.empty() ? "text/plain" : contentType;
  field.fileName_ = fileName;
  field.contentTransfer_ = "quoted-printable";
  return field;
}

FormDataField& MultipartBody::AddFile(const std::string& name, const UnicodeString& path,
                                      const std::string& contentType) {
  // A file part keeps its file open from here until the body is gone, as the request reads it then.
  auto file = std::make_shared<const OpenedFile>(path);
  if (!file->IsOpen()) throw HttpError("Cannot open file " + path.ToUtf8());
  FormDataField& field = fields_.emplace_back();
  field.name_ = name;
  field.fileName_ = ExtractFileName(path).ToPathBytes();
  field.contentType_ = contentType;
  field.contentTransfer_ = "binary";
  field.file_ = std::move(file);
  return field;
}

std::string MultipartBody::Bytes() const {
  std::string out;
  for (const FormDataField& field : fields_) out += "--" + boundary_ + "\r\n" + field.bytes();
  out += "--" + boundary_ + "--\r\n";
  return out;
}
