#include "vines/vines_client.h"

#include <cstring>

namespace vines {

bool CVinesClient::load(const std::string& library) {
  release();
  if (!library_.open(library)) return false;
  getUserName_ = library_.function<VnsGetUserNameFn>("VnsGetUserName");
  endSession_ = library_.function<VnsEndStSessionFn>("VnsEndStSession");
  done_ = library_.function<VnsDoneFn>("VnsDone");
  testMembership_ = library_.function<VnsTestSStMembershipFn>("VnsTestSStMembership");
  startSession_ = library_.function<VnsStartStSessionFn>("VnsStartStSession");
  verifyPassword_ = library_.function<VnsVerifySPasswordFn>("VnsVerifySPassword");
  formatName_ = library_.function<VnsFormatSStNameFn>("VnsFormatSStName");
  available_ = getUserName_ && endSession_ && done_ && testMembership_ && startSession_ && verifyPassword_ && formatName_;
  if (!available_) library_.close();
  return available_;
}

void CVinesClient::release() {
  if (available_) {
    if (sessionStarted_) endSession_(session_);
    done_();
  }
  sessionStarted_ = false;
  available_ = false;
  library_.close();
}

bool CVinesClient::loggedIn() {
  if (!available_) return false;
  char name[64] = {};
  lastError_ = static_cast<std::uint16_t>(getUserName_(name, sizeof name));
  name[sizeof name - 1] = '\0';
  if (lastError_ != 0 || name[0] == '\0') return false;
  if (sessionStarted_) return true;
  lastError_ = static_cast<std::uint16_t>(startSession_(session_));
  sessionStarted_ = lastError_ == 0;
  return sessionStarted_;
}

bool CVinesClient::formatName(std::string& name) {
  if (name.empty()) return true;
  if (!available_) return false;
  char out[65] = {};
  int rc = formatName_(name.c_str(), out, sizeof out);
  if (rc == kRetryFormat) rc = formatName_(name.c_str(), out, sizeof out);
  lastError_ = static_cast<std::uint16_t>(rc);
  if (rc != 0) return false;
  out[sizeof out - 1] = '\0';
  name = out;
  return true;
}

bool CVinesClient::verifyPassword(std::string name, const std::string& password) {
  if (!formatName(name)) return false;
  lastError_ = static_cast<std::uint16_t>(verifyPassword_(name.c_str(), password.c_str()));
  return lastError_ == 0;
}

bool CVinesClient::mayManage(const std::string& name) {
  const std::size_t at = name.find('@');
  if (at == std::string::npos) return true;
  if (!available_) return false;
  std::string list = "AdminList" + name.substr(at);
  char user[64] = {};
  lastError_ = static_cast<std::uint16_t>(getUserName_(user, sizeof user));
  user[sizeof user - 1] = '\0';
  if (lastError_ != 0 || !formatName(list)) return false;
  int member = 0;
  lastError_ = static_cast<std::uint16_t>(testMembership_(list.c_str(), user, &member));
  return lastError_ == 0 && member != 0;
}

}  // namespace vines
