#include "CatalogueServer.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace tarvello::testserver {

namespace {

const std::string kScriptPath = "/desk/v3/";

// The certificate folders of the servers alive, each with the process that made it. Test programs keep one
// server for the whole run and never destroy it; its folder is removed when the process that made it ends (a child
// forked from that process leaves its parent's folders alone).
class ServerFolders {
 public:
  void add(const std::string& folder) {
    std::lock_guard lock(mutex_);
    folders_[folder] = getpid();
  }
  void remove(const std::string& folder) {
    std::lock_guard lock(mutex_);
    removeNow(folder);
    folders_.erase(folder);
  }
  ~ServerFolders() {
    for (const auto& [folder, maker] : folders_)
      if (maker == getpid()) removeNow(folder);
  }

 private:
  static void removeNow(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  std::mutex mutex_;
  std::map<std::string, pid_t> folders_;
};

ServerFolders& serverFolders() {
  static ServerFolders folders;
  return folders;
}

std::string makeTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tarvello-server-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("test server: cannot make a temp folder");
  serverFolders().add(pattern);
  return pattern;
}

}  // namespace

CatalogueServer::CatalogueServer(const std::string& certificateNames)
    : folder_(makeTempFolder()),
      certificates_(MakeCertificates(folder_, certificateNames)),
      server_(std::make_unique<HttpsServer>(certificates_, [this](const HttpRequest& r) { return answer(r); })) {}

CatalogueServer::~CatalogueServer() {
  server_.reset();
  serverFolders().remove(folder_);
}

void CatalogueServer::start() { server_->start(); }
void CatalogueServer::stop() { server_->stop(); }
int CatalogueServer::port() const { return server_->port(); }

std::string CatalogueServer::baseUrl() const {
  return "https://127.0.0.1:" + std::to_string(port()) + kScriptPath;
}

std::string CatalogueServer::caFile() const { return certificates_.caFile; }

void CatalogueServer::addAccount(const std::string& email, const std::string& password, bool blocked) {
  std::lock_guard lock(mutex_);
  catalogue_.addAccount({email, password, blocked});
}

int CatalogueServer::addRecord(Record record) {
  std::lock_guard lock(mutex_);
  return catalogue_.addRecord(std::move(record));
}

std::optional<Record> CatalogueServer::record(int id) const {
  std::lock_guard lock(mutex_);
  return catalogue_.record(id);
}

std::vector<Record> CatalogueServer::records() const {
  std::lock_guard lock(mutex_);
  return catalogue_.records();
}

void CatalogueServer::script(const std::string& script, HttpReply reply) {
  std::lock_guard lock(mutex_);
  scripted_[script] = std::move(reply);
}

void CatalogueServer::unscript(const std::string& script) {
  std::lock_guard lock(mutex_);
  scripted_.erase(script);
}

std::vector<HttpRequest> CatalogueServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void CatalogueServer::clearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

HttpReply CatalogueServer::answer(const HttpRequest& request) {
  std::lock_guard lock(mutex_);
  requests_.push_back(request);
  if (request.path.compare(0, kScriptPath.size(), kScriptPath) != 0) return HttpReply::Text("Not found", 404);
  const auto scripted = scripted_.find(request.script());
  if (scripted != scripted_.end()) return scripted->second;
  return catalogue_.handle(request);
}

}  // namespace tarvello::testserver
