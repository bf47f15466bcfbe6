#pragma once
// The EtherTalk part of the Network page and of the status report: the unit's AppleTalk address
// and state, then per output port whether it is offered and the names it is known by.
#include <string>

#include "access/group_classes.h"

namespace status {

// "   Printer Name:\tCURRENT" or, when the unit has not taken the configured one yet,
// "   Printer Name:\tCURRENT (CONFIGURED)"; the zone line is built the same way.
std::string etherTalkNameLine(const char* label, const std::string& current, const std::string& configured);
// The details that follow the "(Enabled)" line, from a read EtherTalk group.
std::string etherTalkSectionDetails(snmpaccess::CEtherTalkGroup& group);

}  // namespace status
