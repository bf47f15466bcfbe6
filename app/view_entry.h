#pragma once
// Search-list entries of TCP/IP views, as "Specify a Device" builds and checks them: an address,
// a directed broadcast "a.b.c.255<DB>", a subnet "a.b.c.*", "Multicast<hops>", "File<path>".
#include <string_view>

namespace app {

// True when the entry has one of the forms above with a valid dotted IPv4 address.
bool validTcpIpEntry(std::string_view entry);

}  // namespace app
