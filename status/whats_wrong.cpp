#include "status/whats_wrong.h"

namespace status {

int whatsWrong(devices::CIpDevice& device, std::string& text) { return device.statusText(text, kAllPorts); }

}  // namespace status
