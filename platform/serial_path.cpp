#include "platform/serial_path.h"

#include <climits>

#include "platform/registry.h"

namespace platform {

std::optional<int> comPortNumber(std::string_view name) {
  if (name.size() == 5 && name.back() == ':') name.remove_suffix(1);
  if (name.size() != 4 || name.substr(0, 3) != "COM") return std::nullopt;
  const char d = name[3];
  if (d < '1' || d > '9') return std::nullopt;
  return d - '0';
}

std::optional<std::string> serialDevicePath(std::string_view portName, const Registry* registry) {
  const auto n = comPortNumber(portName);
  if (!n) return std::nullopt;
  if (registry) {
    const std::string valueName = "COM" + std::to_string(*n);
    auto configured = registry->getString("Serial", valueName);
    // The settings store is untrusted text: an over-long or embedded-NUL path is ignored.
    if (configured && !configured->empty() && configured->size() < PATH_MAX &&
        configured->find('\0') == std::string::npos) {
      return *configured;
    }
  }
  return "/dev/ttyS" + std::to_string(*n - 1);
}

}  // namespace platform
