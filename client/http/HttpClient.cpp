#include "HttpClient.h"

#include "TransferWatch.h"
#include "WireText.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

namespace {

constexpr const char* kAccept = "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
constexpr const char* kUserAgent = "Mozilla/3.0 (compatible; Indy Library)";

CURL* handleOf(void* curl) { return static_cast<CURL*>(curl); }

// The CA bundle libcurl was built to use (the system store); "" when it has none.
std::string systemCaFile;

void initialiseCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) throw HttpError("libcurl cannot start");
    if (CURL* probe = curl_easy_init()) {
      char* bundle = nullptr;
      if (curl_easy_getinfo(probe, CURLINFO_CAINFO, &bundle) == CURLE_OK && bundle) systemCaFile = bundle;
      curl_easy_cleanup(probe);
    }
  });
}

// Where a reply's body goes as it arrives: up to `limit` bytes; a piece beyond them aborts the transfer.
struct ReplySink {
  CURL* curl;
  std::string& bytes;
  std::size_t limit;
  bool tooLarge = false;
};

std::size_t appendToReply(char* data, std::size_t size, std::size_t count, void* target) {
  auto& sink = *static_cast<ReplySink*>(target);
  const std::size_t length = size * count;
  if (length > sink.limit - sink.bytes.size()) {
    sink.tooLarge = true;
    return 0;  // curl ends the transfer with a write error
  }
  if (sink.bytes.empty()) {
    // An announced length is taken at once, so that a long reply is not copied over and over as it grows.
    curl_off_t announced = -1;
    if (curl_easy_getinfo(sink.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) == CURLE_OK && announced > 0)
      sink.bytes.reserve(std::min(static_cast<std::size_t>(announced), sink.limit));
  }
  sink.bytes.append(data, length);
  return length;
}

// curl's progress report, handed to the transfer's watch; a non-zero result aborts the transfer.
int watchProgress(void* watch, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
  return static_cast<TransferWatch*>(watch)->KeepsGoing(TransferWatch::Clock::now(), downloaded + uploaded) ? 0 : 1;
}

using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

HeaderList requestHeaders(const MultipartBody* body) {
  curl_slist* list = curl_slist_append(nullptr, kAccept);
  if (body) {
    list = curl_slist_append(list, ("Content-Type: " + body->ContentType()).c_str());
    list = curl_slist_append(list, "Expect:");  // no "100-continue" round trip: send the body at once
  }
  return HeaderList(list, &curl_slist_free_all);
}

}  // namespace

struct HttpClient::Reply {
  std::string body;
  std::optional<std::string> contentType;

  UnicodeString text() const { return DecodeReply(body, contentType ? contentType->c_str() : nullptr); }
};

HttpSettings& httpSettings() {
  static HttpSettings settings;
  return settings;
}

HttpClient::HttpClient() {
  initialiseCurlOnce();
  curl_ = curl_easy_init();
  if (!curl_) throw HttpError("libcurl cannot make a handle");
  CURL* curl = handleOf(curl_);
  curl_easy_setopt(curl, CURLOPT_COOKIEFILE, "");  // cookie engine on, in memory, for this client only
}

HttpClient::~HttpClient() { curl_easy_cleanup(handleOf(curl_)); }

UnicodeString HttpClient::Post(const UnicodeString& url, const MultipartBody& body) {
  return perform(url, &body, MaxTextReplyBytes).text();
}

std::string HttpClient::PostBytes(const UnicodeString& url, const MultipartBody& body, std::size_t maxBytes) {
  return perform(url, &body, maxBytes).body;
}

UnicodeString HttpClient::Get(const UnicodeString& url) { return perform(url, nullptr, MaxTextReplyBytes).text(); }

HttpClient::Reply HttpClient::perform(const UnicodeString& url, const MultipartBody* body, std::size_t maxBytes) {
  CURL* curl = handleOf(curl_);
  const HttpSettings& settings = httpSettings();
  const std::string address = url.ToUtf8();
  const std::string bodyBytes = body ? body->Bytes() : std::string();
  HeaderList headers = requestHeaders(body);
  Reply reply;
  char errorText[CURL_ERROR_SIZE] = "";

  curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_PROXY, "");  // straight to the server, whatever proxy the environment names
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  if (body) {
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, bodyBytes.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(bodyBytes.size()));
  } else {
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  }

  // Every request carries the account's password: verify the server and refuse the old protocols.
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(curl, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
  const std::string& caFile = settings.caFile.empty() ? systemCaFile : settings.caFile;
  curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.empty() ? nullptr : caFile.c_str());

  // A dead or trickling server must not hold the client for ever.
  TransferWatch watch(std::chrono::milliseconds(settings.stallTimeoutMs),
                      std::chrono::milliseconds(settings.lowSpeedWindowMs), TransferWatch::Clock::now());
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, settings.connectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &watchProgress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &watch);

  // A reply may not be longer than maxBytes: curl refuses one whose announced length is longer, and the sink
  // ends one that grows longer without announcing it.
  ReplySink sink{curl, reply.body, maxBytes};
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBytes));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &appendToReply);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);

  const CURLcode result = curl_easy_perform(curl);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
  if (sink.tooLarge || result == CURLE_FILESIZE_EXCEEDED)
    throw ReplyTooLarge("Reply longer than " + std::to_string(maxBytes) + " bytes");
  if (!watch.Failure().empty()) throw HttpError("Request failed: " + watch.Failure());
  if (result != CURLE_OK)
    throw HttpError(std::string("Request failed: ") + (*errorText ? errorText : curl_easy_strerror(result)));

  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  if (status < 200 || status > 299) throw HttpError("HTTP status " + std::to_string(status));
  char* contentType = nullptr;
  if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType)
    reply.contentType = contentType;
  return reply;
}
