#pragma once
// The settings of "Configure Multiple Devices" as data: one row per field with its name (the
// command line's NAME of NAME=VALUE), the variable it writes and how its value is sent. A field
// not given is left unchanged on every unit and not sent. Both the dialog model and
// `trellanctl multi-config` build their CMultiConfigSettings through buildMultiSettings.
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "multi/multi_config_settings.h"

namespace multi {

enum class FieldKind {
  TriState,          // on 2, off 1
  TriStateInverted,  // on 1, off 2
  Choice,            // a name of the choices (or its number)
  Text,              // up to maxLength bytes (at least minLength)
  Address,           // dotted IPv4
  Number,            // minimum..maximum
  WepKey,            // hexadecimal, sent as bytes
  AddressMethods,    // comma list of rarp, bootp, dhcp, gleaning, allowtimeout
};

struct FieldChoice {
  const char* name;
  std::int32_t value;
};

struct MultiField {
  const char* name;
  const char* label;  // the dialog's label
  const char* oid;    // relative (".") or absolute; per-port fields: the row OID without the port
  FieldKind kind;
  bool perPort = false;
  int minimum = 0;  // Number: range; Text: shortest length
  int maximum = 0;  // Number: range; Text: longest length
  std::span<const FieldChoice> choices = {};
  int offset = 0;  // added to a Number before it is sent (key selection 1-4 goes out as 0-3)
};

std::span<const MultiField> multiFields() noexcept;
const MultiField* findMultiField(const std::string& name) noexcept;

// Builds the settings from NAME=VALUE pairs (a name given twice: the last one wins). Empty
// result text: fine; else what is wrong, naming the field.
std::string buildMultiSettings(const std::vector<std::pair<std::string, std::string>>& values,
                               CMultiConfigSettings& settings);

}  // namespace multi
