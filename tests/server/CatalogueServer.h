#pragma once
// The loopback catalogue server for tests.
//
//   CatalogueServer server;                        // makes its own CA and certificate in a temp folder
//   server.start();                                // HTTPS on 127.0.0.1, a free port
//   httpSettings().caFile = server.caFile();       // let the client trust it
//   server.addAccount("a@b.c", "secret");
//   client.Post(server.baseUrl() + "list.php", body);   // baseUrl() ends in "desk/v3/"
//   server.requests().back().raw                   // the request exactly as it arrived
//
// Catalogue mode (the default) answers list.php, delete.php, add.php, check.php, find.php, view.php,
// get_image.php and update.php from the accounts and records held in memory (see Catalogue.h for the
// record's fields). script(name, reply) makes one script answer a fixed reply instead — status,
// Content-Type with or without charset, Set-Cookie, Location, a delay, any bytes, a body trickled piece by
// piece, or no answer at all — until unscript(name). Paths outside "/desk/v3/" get 404.

#include "Catalogue.h"
#include "HttpsServer.h"
#include "TestCertificates.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tarvello::testserver {

class CatalogueServer {
 public:
  // The server certificate names 127.0.0.1 and localhost unless other names are given.
  explicit CatalogueServer(const std::string& certificateNames = kLoopbackNames);
  ~CatalogueServer();  // stops the server and removes its certificate folder (at exit for a server never destroyed)

  void start();
  void stop();
  int port() const;
  std::string baseUrl() const;  // "https://127.0.0.1:<port>/desk/v3/"
  std::string caFile() const;   // PEM file of the authority that signed the server's certificate

  void addAccount(const std::string& email, const std::string& password, bool blocked = false);
  int addRecord(Record record);  // returns the record's id
  std::optional<Record> record(int id) const;
  std::vector<Record> records() const;

  void script(const std::string& script, HttpReply reply);  // e.g. script("list.php", HttpReply::Text("OK\n"))
  void unscript(const std::string& script);

  std::vector<HttpRequest> requests() const;  // every request so far, in arrival order
  void clearRequests();

 private:
  HttpReply answer(const HttpRequest& request);

  std::string folder_;
  CertificateFiles certificates_;
  mutable std::mutex mutex_;
  Catalogue catalogue_;
  std::map<std::string, HttpReply> scripted_;
  std::vector<HttpRequest> requests_;
  std::unique_ptr<HttpsServer> server_;
};

}  // namespace tarvello::testserver
