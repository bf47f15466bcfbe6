#pragma once
// CVinesClient: the workstation's VINES client library (libvnsapi32.so), loaded at run time. It
// checks StreetTalk names, a password and the user's right to manage a name. Without the library,
// or with any of its seven functions missing, the client is not available and the VINES page
// works without checks.
#include <cstdint>
#include <string>

#include "platform/dynamic_library.h"

namespace vines {

inline constexpr const char* kVinesLibrary = "libvnsapi32.so";
inline constexpr int kRetryFormat = 151;  // name formatting asks to be tried once more

// The client's functions: 0 on success, else a 16-bit VINES error.
extern "C" {
using VnsGetUserNameFn = int(char* name, unsigned size);
using VnsStartStSessionFn = int(void* session);
using VnsEndStSessionFn = int(void* session);
using VnsDoneFn = int();
using VnsTestSStMembershipFn = int(const char* list, const char* user, int* member);
using VnsVerifySPasswordFn = int(const char* name, const char* password);
using VnsFormatSStNameFn = int(const char* name, char* out, unsigned size);
}

class CVinesClient {
 public:
  CVinesClient() = default;
  ~CVinesClient() { release(); }
  CVinesClient(const CVinesClient&) = delete;
  CVinesClient& operator=(const CVinesClient&) = delete;

  // Loads the library (the loader's search, or a path); true when all seven functions exist.
  bool load(const std::string& library = kVinesLibrary);
  void release();
  bool available() const { return available_; }

  bool loggedIn();
  // The canonical form of `name` (an empty name is valid as it is); false: it does not exist.
  bool formatName(std::string& name);
  bool verifyPassword(std::string name, const std::string& password);
  // May the current user manage `name`? A name without "@" is allowed.
  bool mayManage(const std::string& name);
  std::uint16_t lastError() const { return lastError_; }

 private:
  platform::DynamicLibrary library_;
  bool available_ = false;
  bool sessionStarted_ = false;
  std::uint16_t lastError_ = 0;
  unsigned char session_[256] = {};  // the client's session block, opaque to us
  VnsGetUserNameFn* getUserName_ = nullptr;
  VnsStartStSessionFn* startSession_ = nullptr;
  VnsEndStSessionFn* endSession_ = nullptr;
  VnsDoneFn* done_ = nullptr;
  VnsTestSStMembershipFn* testMembership_ = nullptr;
  VnsVerifySPasswordFn* verifyPassword_ = nullptr;
  VnsFormatSStNameFn* formatName_ = nullptr;
};

}  // namespace vines
