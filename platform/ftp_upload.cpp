#include "platform/ftp_upload.h"

#include <arpa/inet.h>
#include <curl/curl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "platform/net_config.h"
#include "platform/send_guard.h"

namespace platform {

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
struct CurlCleanup {
  void operator()(CURL* c) const { curl_easy_cleanup(c); }
};

bool curlReady() {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return ok;
}

std::size_t readChunk(char* buffer, std::size_t size, std::size_t count, void* file) {
  return std::fread(buffer, size, count, static_cast<std::FILE*>(file));
}

FtpResult classify(CURLcode rc) {
  switch (rc) {
    case CURLE_OK: return kFtpOk;
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_LOGIN_DENIED:
    case CURLE_FTP_WEIRD_SERVER_REPLY:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING: return kFtpLoginFailed;
    default: return kFtpTransferFailed;
  }
}

}  // namespace

std::uint16_t defaultFtpPort() {
  if (const char* v = std::getenv("TRELLAN_FTP_PORT"); v && *v)
    if (auto p = parsePort(v)) return *p;
  return 21;
}

FtpResult ftpPutFile(const FtpUpload& u) {
  in_addr parsed{};
  if (u.address.size() > 15 || ::inet_pton(AF_INET, u.address.c_str(), &parsed) != 1) return kFtpCannotStart;
  if (checkConnection(ntohl(parsed.s_addr), netConfig()) != 0) return kFtpLoginFailed;
  if (u.remoteName.empty() || u.remoteName.find_first_of("/\r\n") != std::string::npos) return kFtpCannotStart;
  if (!curlReady()) return kFtpCannotStart;
  std::unique_ptr<CURL, CurlCleanup> curl(curl_easy_init());
  if (!curl) return kFtpCannotStart;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(u.localFile.c_str(), "rb"));
  if (!file) return kFtpTransferFailed;
  if (std::fseek(file.get(), 0, SEEK_END) != 0) return kFtpTransferFailed;
  const long size = std::ftell(file.get());
  if (size < 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) return kFtpTransferFailed;

  const std::uint16_t port = u.port ? u.port : defaultFtpPort();
  const std::string url = "ftp://" + u.address + ":" + std::to_string(port) + "/" + u.remoteName;
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "ftp");
  curl_easy_setopt(c, CURLOPT_USERNAME, u.user.c_str());
  curl_easy_setopt(c, CURLOPT_PASSWORD, u.password.c_str());
  curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(c, CURLOPT_TRANSFERTEXT, 0L);  // binary
  curl_easy_setopt(c, CURLOPT_READFUNCTION, readChunk);
  curl_easy_setopt(c, CURLOPT_READDATA, file.get());
  curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
  // The data connection goes to the address asked, whatever a PASV reply says.
  curl_easy_setopt(c, CURLOPT_FTP_SKIP_PASV_IP, 1L);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, u.timeoutSeconds);
  curl_easy_setopt(c, CURLOPT_TIMEOUT, u.timeoutSeconds * 4);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_NOPROXY, "*");
  return classify(curl_easy_perform(c));
}

}  // namespace platform
