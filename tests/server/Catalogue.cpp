#include "Catalogue.h"

#include "FormData.h"

#include <unicode/unistr.h>

#include <charconv>
#include <climits>

namespace tarvello::testserver {

const std::vector<std::string> kDescriptiveFields = {
    "title",    "producer",    "country",        "genre",   "actors",  "description",
    "title_en", "producer_en", "country_en",     "genre_en", "actors_en", "description_en",
    "trailer",  "video",       "kinopoisk",      "imdb",    "creation_year"};

namespace {

std::string escaped(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else out += c;
  }
  return out;
}

std::optional<long long> wholeNumber(const std::string& text) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

std::string valueOf(const std::map<std::string, std::string>& fields, const std::string& key) {
  const auto it = fields.find(key);
  return it == fields.end() ? "" : it->second;
}

bool containsIgnoringCase(const std::string& haystack, const std::string& needle) {
  icu::UnicodeString h = icu::UnicodeString::fromUTF8(haystack);
  icu::UnicodeString n = icu::UnicodeString::fromUTF8(needle);
  return h.foldCase().indexOf(n.foldCase()) >= 0;
}

HttpReply notFound() { return HttpReply::Text("Not found", 404); }

}  // namespace

std::string RecordLine(const Record& record) {
  std::string line = std::to_string(record.id);
  for (const char* key : {"title", "producer", "country", "creation_year", "duration", "genre", "actors"})
    line.append(1, '\t').append(escaped(valueOf(record.fields, key)));
  return line;
}

void Catalogue::addAccount(Account account) {
  const std::string email = account.email;
  accounts_[email] = std::move(account);
}

int Catalogue::addRecord(Record record) {
  if (record.id == 0) record.id = nextId_;
  nextId_ = std::max(nextId_, record.id + 1);
  const int id = record.id;
  records_[id] = std::move(record);
  return id;
}

std::optional<Record> Catalogue::record(int id) const {
  const auto it = records_.find(id);
  if (it == records_.end()) return std::nullopt;
  return it->second;
}

std::vector<Record> Catalogue::records() const {
  std::vector<Record> all;
  for (const auto& [id, record] : records_) all.push_back(record);
  return all;
}

HttpReply Catalogue::handle(const HttpRequest& request) {
  Fields fields;
  std::map<std::string, StoredFile> files;
  if (request.method == "GET") {
    fields = ParseQuery(request.query);
  } else {
    try {
      for (const FormPart& part : ParseMultipart(request.body, BoundaryOf(request.header("Content-Type")))) {
        if (part.hasFileName)
          files[part.name] = {part.fileName, part.data};
        else
          fields[part.name] = part.text();
      }
    } catch (const std::exception& error) {
      return HttpReply::Text(error.what(), 400);
    }
  }

  const std::string script = request.script();
  if (script == "list.php") return list(fields);
  if (script == "delete.php") return remove(fields);
  if (script == "add.php") return add(fields, files);
  if (script == "check.php") return check(fields);
  if (script == "find.php") return find(fields);
  if (script == "view.php") return view(fields);
  if (script == "get_image.php") return image(fields);
  if (script == "update.php") return update(fields);
  return notFound();
}

std::optional<std::string> Catalogue::refusal(const Fields& fields) const {
  const auto account = accounts_.find(valueOf(fields, "user"));
  if (account == accounts_.end()) return "User not found";
  if (account->second.password != valueOf(fields, "password")) return "Wrong password";
  if (account->second.blocked) return "User blocked";
  return std::nullopt;
}

const Record* Catalogue::recordNamed(const Fields& fields) const {
  const auto id = wholeNumber(valueOf(fields, "id"));
  // An id beyond int names no record; cutting it to int would name another one.
  const bool inRange = id && *id >= INT_MIN && *id <= INT_MAX;
  const auto it = inRange ? records_.find(static_cast<int>(*id)) : records_.end();
  return it == records_.end() ? nullptr : &it->second;
}

std::optional<int> Catalogue::duplicateOf(const std::string& size, const std::string& md5) const {
  for (const auto& [id, record] : records_)
    if (valueOf(record.fields, "size") == size && valueOf(record.fields, "md5") == md5) return id;
  return std::nullopt;
}

HttpReply Catalogue::list(const Fields& fields) const {
  if (auto refused = refusal(fields)) return HttpReply::Text(*refused);
  std::string reply = "OK";
  for (const auto& [id, record] : records_)
    if (record.owner == valueOf(fields, "user")) reply.append(1, '\n').append(RecordLine(record));
  return HttpReply::Text(reply);
}

HttpReply Catalogue::remove(const Fields& fields) {
  if (auto refused = refusal(fields)) return HttpReply::Text(*refused);
  const Record* record = recordNamed(fields);
  if (!record || record->owner != valueOf(fields, "user")) return HttpReply::Text("Record not found");
  const int id = record->id;  // the key must outlive the node that erase destroys
  records_.erase(id);
  return HttpReply::Text("OK");
}

HttpReply Catalogue::add(const Fields& fields, const std::map<std::string, StoredFile>& files) {
  if (auto refused = refusal(fields)) return HttpReply::Text(*refused);
  if (auto id = duplicateOf(valueOf(fields, "size"), valueOf(fields, "md5")))
    return HttpReply::Text("Duplicate " + std::to_string(*id));
  Record record;
  record.owner = valueOf(fields, "user");
  record.fields = fields;
  record.fields.erase("user");
  record.fields.erase("password");
  record.files = files;
  addRecord(std::move(record));
  return HttpReply::Text("OK");
}

HttpReply Catalogue::check(const Fields& fields) const {
  if (auto refused = refusal(fields)) return HttpReply::Text(*refused);
  if (auto id = duplicateOf(valueOf(fields, "size"), valueOf(fields, "md5")))
    return HttpReply::Text("Duplicate " + std::to_string(*id));
  return HttpReply::Text("OK");
}

HttpReply Catalogue::find(const Fields& fields) const {
  if (auto refused = refusal(fields)) return HttpReply::Text(*refused);
  const auto from = wholeNumber(valueOf(fields, "creation_year1"));
  const auto to = wholeNumber(valueOf(fields, "creation_year2"));
  std::string reply = "OK";
  for (const auto& [id, record] : records_) {
    bool match = true;
    for (const char* key : {"title", "producer", "country", "genre", "actors"}) {
      const std::string wanted = valueOf(fields, key);
      if (!wanted.empty() && !containsIgnoringCase(valueOf(record.fields, key), wanted)) match = false;
    }
    const auto year = wholeNumber(valueOf(record.fields, "creation_year"));
    if (from && (!year || *year < *from)) match = false;
    if (to && (!year || *year > *to)) match = false;
    if (match) reply.append(1, '\n').append(RecordLine(record));
  }
  return HttpReply::Text(reply);
}

HttpReply Catalogue::view(const Fields& fields) const {
  if (auto refused = refusal(fields)) return HttpReply::Text(*refused);
  const Record* found = recordNamed(fields);
  if (!found) return HttpReply::Text("Record not found");
  const Record& record = *found;
  // Lines 0 and 1, the 17 fields (escaped, so that each stays on its line), then the measurements.
  std::string reply = "OK\n";
  reply += std::to_string(record.id);
  for (const auto& key : kDescriptiveFields) reply.append(1, '\n').append(escaped(valueOf(record.fields, key)));
  for (const char* key : {"width", "height", "size", "frames", "fps", "duration", "md5"})
    reply.append(1, '\n').append(valueOf(record.fields, key));
  return HttpReply::Text(reply);
}

HttpReply Catalogue::image(const Fields& fields) const {
  if (auto refused = refusal(fields)) return HttpReply::Text(*refused);
  const Record* record = recordNamed(fields);
  if (!record || !record->files.count("table")) return HttpReply::Text("Record not found");
  HttpReply reply = HttpReply::Text(record->files.at("table").bytes);
  reply.contentType = "image/jpeg";
  return reply;
}

HttpReply Catalogue::update(const Fields& fields) {
  if (auto refused = refusal(fields)) return HttpReply::Text(*refused);
  const Record* record = recordNamed(fields);
  if (!record || record->owner != valueOf(fields, "user")) return HttpReply::Text("Record not found");
  Record& stored = records_.at(record->id);
  for (const auto& key : kDescriptiveFields)
    if (fields.count(key)) stored.fields[key] = fields.at(key);
  return HttpReply::Text("OK");
}

}  // namespace tarvello::testserver
