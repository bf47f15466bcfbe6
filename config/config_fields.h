#pragma once
// The sheet's fields by name, for the command line: each page's fields with a text form, the
// same setters the Qt pages use, and the page's own checks afterwards. Names are stable: they are
// the --set names and the JSON keys of `trellanctl config`.
#include <functional>
#include <string>
#include <vector>

#include "config/config_sheet.h"

namespace config {

struct ConfigField {
  std::string page;  // the page title
  std::string name;
  std::string help;
  std::function<std::string()> get;
  // Empty on success, else the message (the value is refused as the page would).
  std::function<std::string(const std::string&)> set;
  bool writeOnly = false;
};

// The fields of the pages the sheet added (the pages are opened first, so they hold the unit's
// values). Fields the unit does not offer at its level are left out.
std::vector<ConfigField> configFields(CConfigPropSheet& sheet);

// Every field name with its help, whatever a unit offers (for --help).
std::vector<std::pair<std::string, std::string>> configFieldHelp();

}  // namespace config
