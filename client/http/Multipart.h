#pragma once
// A multipart/form-data request body: text parts and file parts, laid out on the wire exactly as the
// catalogue scripts read them.

#include "platform/UnicodeString.h"

#include <deque>
#include <memory>
#include <string>

class OpenedFile;

class FormDataField {
 public:
  // Only "7bit", "8bit", "binary", "quoted-printable" and "base64" are accepted; anything else throws HttpError.
  void SetContentTransfer(const std::string& encoding);

  const std::string& ContentTransfer() const { return contentTransfer_; }

 private:
  friend class MultipartBody;

  std::string bytes() const;  // the part's lines, its data and its closing CR LF
  std::string data() const;   // the data after the transfer encoding

  std::string name_;
  UnicodeString value_;
  std::string charset_;
  std::string contentType_;
  std::string fileName_;
  std::string contentTransfer_;
  std::shared_ptr<const OpenedFile> file_;  // set for file parts only
};

class MultipartBody {  // one body serves one request; its boundary is fixed when it is created
 public:
  MultipartBody();  // boundary "--------" + MMDDYYHHMMSSmmm of the local time now

  // A text part: content type "text/plain" unless given, transfer "quoted-printable"; its data is the value
  // in `charset` ("" = one byte a character, "?" outside Latin-1).
  FormDataField& AddFormField(const std::string& name, const UnicodeString& value, const std::string& charset = "",
                              const std::string& contentType = "", const std::string& fileName = "");
  // A file part: transfer "binary", the file name without its folder. The file is opened now (throws HttpError
  // when it cannot be) and read when the body is sent.
  FormDataField& AddFile(const std::string& name, const UnicodeString& path, const std::string& contentType);

  const std::string& Boundary() const { return boundary_; }
  std::string ContentType() const { return "multipart/form-data; boundary=" + boundary_; }
  std::string Bytes() const;  // the whole body on the wire; throws HttpError when a file cannot be read

 private:
  std::string boundary_;
  std::deque<FormDataField> fields_;  // a deque keeps the references that Add* return valid
};
