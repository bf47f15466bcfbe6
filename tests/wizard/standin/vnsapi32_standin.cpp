// A stand-in for the workstation's VINES client (libvnsapi32.so), for the wizard's tests: the user
// "Admin@Lab@Org" is logged in and may manage every name; a name whose item begins with "Nobody"
// does not exist; the password "wrong" is refused. Every other name and password is accepted.
#include <cstring>

namespace {

constexpr const char* kUser = "Admin@Lab@Org";
constexpr int kNoSuchName = 1003;
constexpr int kBadPassword = 1010;

int copyBounded(const char* text, char* out, unsigned size) {
  if (!out || size == 0) return kNoSuchName;
  std::strncpy(out, text, size - 1);
  out[size - 1] = '\0';
  return 0;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int VnsGetUserName(char* name, unsigned size) {
  return copyBounded(kUser, name, size);
}
__attribute__((visibility("default"))) int VnsStartStSession(void*) { return 0; }
__attribute__((visibility("default"))) int VnsEndStSession(void*) { return 0; }
__attribute__((visibility("default"))) int VnsDone() { return 0; }
__attribute__((visibility("default"))) int VnsTestSStMembership(const char*, const char*, int* member) {
  if (member) *member = 1;
  return 0;
}
__attribute__((visibility("default"))) int VnsVerifySPassword(const char* name, const char* password) {
  if (!name || !password) return kBadPassword;
  return std::strcmp(password, "wrong") == 0 ? kBadPassword : 0;
}
__attribute__((visibility("default"))) int VnsFormatSStName(const char* name, char* out, unsigned size) {
  if (!name || std::strncmp(name, "Nobody", 6) == 0) return kNoSuchName;
  return copyBounded(name, out, size);
}

}
