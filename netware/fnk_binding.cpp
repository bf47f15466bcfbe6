#include "netware/fnk_binding.h"

#include <cstdlib>

namespace netware {

std::uint32_t CFennick::load(const std::string& path) {
  std::string file = path;
  if (file.empty()) {
    const char* env = std::getenv("TRELLAN_FENNICK");
    file = env && *env ? env : platform::besideProgram("libfennick.so");
  }
  ready_ = false;
  if (!library_.open(file)) {
    loadError_ = library_.error();
    return 0;
  }
  loadError_.clear();
  library_.keepLoaded();
  void* init = library_.ordinal("fnk", 1);
  if (!init) return kFnkNotAvailable;
  const std::uint32_t r = reinterpret_cast<FnkResult (*)()>(init)();
  ready_ = r == 1;
  return r;
}

CFennick& fennick() {
  static CFennick instance;
  return instance;
}

std::uint32_t FnkLoad() { return fennick().load(); }

}  // namespace netware
