#pragma once
// Installs the Output Port, Token Ring and EtherTalk pages on a sheet, so that every place that
// opens the sheet (the window, trellanctl, tests) offers the same pages.
#include <string>

#include "config/config_sheet.h"

namespace config {

void installPortPages(CConfigPropSheet& sheet, const std::string& prefix);

}  // namespace config
