#pragma once
// The catalogue as a listing: every group with its variables (OID, syntax, access, level), as
// plain records for JSON and as text for people.
#include <string>
#include <string_view>
#include <vector>

#include "access/oid_text.h"

namespace mib {

struct VariableListing {
  int index = 0;
  int stringId = 0;
  std::string oid;     // full OID; ".n" stands for the row or entry number
  std::string syntax;  // "int", "text", "bytes", "ip", "uns", "oid"
  std::string access;  // "read-only", "read-write"
  int minLevel = 1;    // present at levels L with L == 0 || L >= minLevel
  bool excluded = false;
  std::string enumeration;  // name of the value enumeration, empty when none
  std::string meaning;
};

struct GroupListing {
  std::string name;
  std::string kind;
  int probeIndex = -1;
  std::string backupSection;  // empty when the group is not saved
  std::string users;
  std::vector<VariableListing> variables;
  std::vector<VariableListing> extras;       // bindings held outside the variable list
  std::vector<std::string> additions;        // run-time additions, described
  std::vector<std::string> children;         // "COutputPortRow per variable 1", ...
};

// Every group, with OIDs under the given enterprise prefix.
std::vector<GroupListing> listGroups(std::string_view prefix = kDefaultEnterprisePrefix);
// One group by class name; false when unknown.
bool listGroup(std::string_view name, GroupListing& out, std::string_view prefix = kDefaultEnterprisePrefix);

// Plain-text form: one heading line per group, one line per variable.
std::string formatGroupListing(const std::vector<GroupListing>& groups);

}  // namespace mib
