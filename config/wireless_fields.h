#pragma once
// The Wireless page's fields by name for the command line (see config_fields.h): the page's own
// lists decide what a value may be, and the security values get the dialog's checks at the end.
// Keys and passwords are write-only: they are never printed.
#include <string>
#include <utility>
#include <vector>

#include "config/config_fields.h"
#include "config/wireless_page.h"

namespace config {

void wirelessFields(CWirelessPage& page, std::vector<ConfigField>& out);
std::vector<std::pair<std::string, std::string>> wirelessFieldHelp();

}  // namespace config
