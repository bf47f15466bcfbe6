#pragma once
// The VINES part of the Network page and of the status report: the last error, the StreetTalk
// user, one block per print service the unit reports with a name, and the routing it uses.
#include <cstdint>
#include <string>

#include "access/group_classes.h"

namespace status {

// "Using Sequenced RTP", "Protocol Disabled", ... for the routing state the unit reports.
std::string vinesRoutingStateText(std::int32_t state);
// The "Routing Protocol:" line for a routing mode (1 automatic) and state.
std::string vinesRoutingLine(std::int32_t mode, std::int32_t state);
// The details that follow the "(Enabled)" line, from a read VINES group.
std::string vinesSectionDetails(snmpaccess::CVinesGroup& group);

}  // namespace status
