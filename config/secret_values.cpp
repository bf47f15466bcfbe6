#include "config/secret_values.h"

namespace config {

bool secretVariable(const snmpaccess::CMibGroup& group, int index) {
  switch (group.def().id) {
    case mib::GroupId::WepKeyRow: return true;
    case mib::GroupId::Wireless: return index == 26 || index == 28;  // WPA-PSK, 802.1x password
    case mib::GroupId::TcpIp: return index == 11;                    // telnet/HTTP password
    default: return false;
  }
}

}  // namespace config
