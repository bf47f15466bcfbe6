#pragma once
// Values that are never printed or logged: passwords and keys a page writes. Whatever shows a
// pending write (trellanctl config --dry-run) shows these as hidden.
#include "access/mib_group.h"

namespace config {

bool secretVariable(const snmpaccess::CMibGroup& group, int index);

}  // namespace config
