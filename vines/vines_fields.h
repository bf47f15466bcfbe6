#pragma once
// The command-line fields of the VINES page (see config/config_fields.h).
#include <string>
#include <utility>
#include <vector>

#include "config/config_fields.h"

namespace vines {

// Appends the fields of `page` when it is the VINES page (opened already).
void vinesFields(config::CDevicePage& page, std::vector<config::ConfigField>& out);
std::vector<std::pair<std::string, std::string>> vinesFieldHelp();

}  // namespace vines
