#pragma once
// "&What's Wrong": the unit is asked again and its status for all its ports (255) is the one
// message shown.
#include <string>

#include "devices/device.h"

namespace status {

inline constexpr int kAllPorts = 255;

// 0 with the text, 2 when stopped, else the failed query's result with its text.
int whatsWrong(devices::CIpDevice& device, std::string& text);

}  // namespace status
