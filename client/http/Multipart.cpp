#include "Multipart.h"

#include "HttpError.h"
#include "WireText.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>

// A file part keeps its file open from AddFile until the body is gone, as the request needs it then.
struct FormDataField::OpenFile {
  explicit OpenFile(const std::string& path) : fd(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~OpenFile() {
    if (fd >= 0) close(fd);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  std::string readAll() const {
    std::string bytes;
    char buffer[65536];
    for (off_t offset = 0;;) {
      const ssize_t n = pread(fd, buffer, sizeof buffer, offset);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw HttpError("Cannot read a file of the request");
      if (n == 0) return bytes;
      bytes.append(buffer, static_cast<std::size_t>(n));
      offset += n;
    }
  }

  int fd;
};

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
  const std::string raw = file_ ? file_->readAll() : EncodeText(value_, charset_);
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
  std::tm local{};
  localtime_r(&seconds, &local);
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
  const std::string localPath = path.ToUtf8();
  auto file = std::make_shared<FormDataField::OpenFile>(localPath);
  if (file->fd < 0) throw HttpError("Cannot open file " + localPath);
  FormDataField& field = fields_.emplace_back();
  field.name_ = name;
  field.fileName_ = localPath.substr(localPath.rfind('/') + 1);
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
