#pragma once
// The command-line fields of the Output Port, Token Ring and EtherTalk pages (see config_fields.h).
#include <string>
#include <utility>
#include <vector>

#include "config/config_fields.h"

namespace config {

// Appends the fields of `page` when it is one of these pages.
void portPageFields(CDevicePage& page, std::vector<ConfigField>& out);
std::vector<std::pair<std::string, std::string>> portPageFieldHelp();

}  // namespace config
