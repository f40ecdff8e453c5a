#pragma once
// The catalogue's scripts in memory: accounts, records and the replies of list.php, delete.php, add.php,
// check.php, find.php, view.php, get_image.php and update.php, as the client expects them.
//
// Every script first checks the account (parts or query keys `user`, `password`) and answers, without a
// line break, "User not found", "Wrong password" or "User blocked" in that order of tests. Then:
//   list.php      "OK", then "\n" + a record line for each of the account's records, by id
//   delete.php    "OK", or "Record not found" when `id` is not one of the account's records
//   add.php       stores every text part (but user and password) as a field and every file part as a file;
//                 "OK", or "Duplicate <id>" when a record with the same `size` and `md5` exists
//   check.php     GET; "OK", or "Duplicate <id>" for a known `size` and `md5`
//   find.php      over the whole catalogue: each non-empty criterion of title, producer, country, genre,
//                 actors matches a part of the field, ignoring case; creation_year1/2 bound the year
//                 (a record whose year is no number fails a given bound); "OK" then record lines
//   view.php      any record: 26 lines "OK", the id, the 17 descriptive fields (CR, LF and tab escaped as in
//                 record lines, so that every field keeps its line), width, height, size, frames, fps,
//                 duration, md5; or "Record not found"
//   get_image.php the record's `table` file as image/jpeg, or "Record not found"
//   update.php    replaces the descriptive fields sent for one of the account's records; "OK" or
//                 "Record not found"
// Text replies are "text/plain; charset=UTF-8"; a body that is not valid multipart gets 400.

#include "HttpsServer.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarvello::testserver {

struct Account {
  std::string email;
  std::string password;
  bool blocked = false;
};

struct StoredFile {
  std::string fileName;
  std::string bytes;
};

struct Record {
  int id = 0;         // 0: the catalogue gives the next free id
  std::string owner;  // e-mail of the account the record belongs to
  // UTF-8 values by form field: the 17 descriptive fields (title ... imdb, creation_year) and the
  // measurements of add.php (width, height, size, frames, fps, duration, md5, video_sar, ...).
  std::map<std::string, std::string> fields;
  // Files by part name: rgb, table (the JPEG that get_image.php returns), hash, screenshot0 ... screenshot9.
  std::map<std::string, StoredFile> files;
};

// The 17 descriptive fields in the order of view.php's lines 2 to 18.
extern const std::vector<std::string> kDescriptiveFields;

// A record line of list.php and find.php: id, title, director, country, year, duration, genre, actors,
// separated by tabs; CR, LF and tab inside a field go out as backslash-r, backslash-n and backslash-t.
std::string RecordLine(const Record& record);

class Catalogue {
 public:
  void addAccount(Account account);
  int addRecord(Record record);
  std::optional<Record> record(int id) const;
  std::vector<Record> records() const;

  // Answers one request to a script; an unknown script gives 404.
  HttpReply handle(const HttpRequest& request);

 private:
  using Fields = std::map<std::string, std::string>;
  std::optional<std::string> refusal(const Fields& fields) const;  // the account's refusal, if any
  HttpReply list(const Fields& fields) const;
  HttpReply remove(const Fields& fields);
  HttpReply add(const Fields& fields, const std::map<std::string, StoredFile>& files);
  HttpReply check(const Fields& fields) const;
  HttpReply find(const Fields& fields) const;
  HttpReply view(const Fields& fields) const;
  HttpReply image(const Fields& fields) const;
  HttpReply update(const Fields& fields);
  const Record* recordNamed(const Fields& fields) const;  // the record of the part "id", if there is one
  std::optional<int> duplicateOf(const std::string& size, const std::string& md5) const;

  std::map<std::string, Account> accounts_;
  std::map<int, Record> records_;
  int nextId_ = 1;
};

}  // namespace tarvello::testserver
