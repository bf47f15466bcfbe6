#pragma once
// COM port names to device paths.
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class Registry;

// The port number of "COM1".."COM9" (a trailing ":" is allowed, as in "COM3:"); nullopt for
// any other text.
std::optional<int> comPortNumber(std::string_view portName);

// The device of a COM port: the registry value Serial\COMn when it is a non-empty text, else
// /dev/ttyS(n-1). nullopt when the name is not COM1..COM9. `registry` may be null.
std::optional<std::string> serialDevicePath(std::string_view portName, const Registry* registry);

}  // namespace platform
