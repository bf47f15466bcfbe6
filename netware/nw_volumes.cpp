#include "netware/nw_volumes.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdlib>

#include "platform/atomic_file.h"

namespace netware {

namespace {
std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}
// Files in a print server's directory are small fixed-record files.
constexpr std::size_t kMaxFileBytes = 1 << 20;
}  // namespace

std::string volumesRoot() {
  if (const char* r = std::getenv("TRELLAN_NETWARE_VOLUMES"); r && *r) return r;
  if (const char* s = std::getenv("XDG_STATE_HOME"); s && *s) return std::string(s) + "/trellan/netware";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : ".") + "/.local/state/trellan/netware";
}

std::string NwVolumes::directoryPath(const std::string& server, const std::string& dir) const {
  return root_ + "/" + upper(server) + "/SYS/SYSTEM/" + upper(dir);
}

bool NwVolumes::directoryExists(const std::string& server, const std::string& dir) const {
  struct stat st {};
  return ::stat(directoryPath(server, dir).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::string> NwVolumes::readFile(const std::string& server, const std::string& dir,
                                               const std::string& file, bool* failed) const {
  if (failed) *failed = false;
  auto r = platform::readFileBounded(directoryPath(server, dir) + "/" + file, kMaxFileBytes);
  if (r.status == platform::ReadStatus::Ok) return std::move(r.data);
  if (r.status != platform::ReadStatus::Missing && failed) *failed = true;
  return std::nullopt;
}

bool NwVolumes::writeFile(const std::string& server, const std::string& dir, const std::string& file,
                          const std::string& bytes) {
  if (!directoryExists(server, dir)) return false;
  return platform::writeFileAtomically(directoryPath(server, dir) + "/" + file, bytes);
}

}  // namespace netware
