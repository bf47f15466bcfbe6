#pragma once
// The group tables, one per class, defined in the mib_catalogue_*.cpp file of their area and
// gathered by mib_catalogue.cpp. Users go through mib_catalogue.h.
#include "access/mib_catalogue.h"

namespace mib::groups {

// Identity, server control, statistics, protocol lists (mib_catalogue_server.cpp)
extern const GroupDef kServerInfo;
extern const GroupDef kTechSupport;
extern const GroupDef kSystem;
extern const GroupDef kServerControl;
extern const GroupDef kRestoreDefaults;
extern const GroupDef kSnmpConfig;
extern const GroupDef kStatistics;
extern const GroupDef kTokenRing;
extern const GroupDef kProtocolList;
extern const GroupDef kProtocolListTable;
extern const GroupDef kProtocolEnable;
extern const GroupDef kGenericProtocol;
// Output ports (mib_catalogue_ports.cpp)
extern const GroupDef kOutputPort;
extern const GroupDef kOutputPortRow;
extern const GroupDef kPrinterStatus;
// TCP/IP (mib_catalogue_tcpip.cpp)
extern const GroupDef kTcpIp;
// Trap destinations (mib_catalogue_traps.cpp)
extern const GroupDef kIpTrap;
extern const GroupDef kIpTrapRow;
extern const GroupDef kIpTrap2;
extern const GroupDef kIpTrapRow2;
extern const GroupDef kEmailTrap;
extern const GroupDef kEmailTrapRow;
extern const GroupDef kEmailTrap2;
extern const GroupDef kEmailTrapRow2;
extern const GroupDef kIpxTrap;
extern const GroupDef kIpxTrap2;
extern const GroupDef kTrapEvent;
// NetWare (mib_catalogue_netware.cpp)
extern const GroupDef kNetWare;
extern const GroupDef kFileServerStatusTable;
extern const GroupDef kNetWarePort;
extern const GroupDef kNetWarePortRow;
extern const GroupDef kNds;
// VINES and EtherTalk (mib_catalogue_vines.cpp, mib_catalogue_ethertalk.cpp)
extern const GroupDef kVines;
extern const GroupDef kVinesNameTable;
extern const GroupDef kVinesPortRow;
extern const GroupDef kEtherTalk;
extern const GroupDef kEtherTalkPortRow;
// Wireless (mib_catalogue_wireless.cpp)
extern const GroupDef kWireless;
extern const GroupDef kWirelessList;
extern const GroupDef kWepKeyRow;
extern const GroupDef kWirelessCountry;

}  // namespace mib::groups
