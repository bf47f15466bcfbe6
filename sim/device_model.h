#pragma once
// One simulated print server: identity, communities, standard objects, ports, the private MIB
// values, the agent's firmware quirks and the faults to inject.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/mib_store.h"
#include "sim/mib_value.h"

namespace sim {

inline constexpr const char* kDefaultCommunity = "vorlak";
inline constexpr const char* kNativeFamily = "KDV";
inline constexpr const char* kNativeEnterprise = "1.3.6.1.4.1.1240.2.3.5";
inline constexpr std::size_t kMaxCommunityLength = 32;
inline constexpr std::size_t kMaxTextLength = 255;
inline constexpr std::size_t kMaxPorts = 16;

// Enterprise prefix of a known product family code ("KDV", "ZBN", "HLQ"), or nullopt.
std::optional<Oid> enterpriseOfFamily(const std::string& family);

// Error index a unit puts into a tooBig reply.
enum class TooBigIndex {
  PlusOne,  // one more than the bindings it could have answered (what the program relies on)
  Zero,
  One,
};

// What a unit does with a SET that carries its GET community (when that differs from the SET one).
enum class ReadOnlyCommunity {
  ReadOnly,  // answers readOnly, error index 1
  Silence,   // treats it as an authentication failure and stays silent
};

// When a SET takes effect.
enum class SetMode {
  OnRestart,  // staged; GET keeps answering the old value until the next reset
  Immediate,  // GET answers the new value at once
};

// A SET of `value` to `oid` orders a reset (no scope) or a restore of factory values (scope).
struct Trigger {
  Oid oid;
  std::int32_t value = 2;
  std::vector<Oid> scope;  // restore defaults: prefixes restored; empty for a plain reset
  bool restore = false;
  bool answer = true;      // false: the unit restarts before it answers
};

// Areas of the private MIB that carry a level variable of their own (E = enterprise prefix).
enum class MibArea : std::uint8_t {
  Server,      // E.1.1.0: identity, tech support, statistics, protocol list
  Control,     // E.2.1.0: reset, print configuration, restore
  Snmp,        // E.3.1.0
  TokenRing,   // E.5.1.0, only on a Token Ring unit
  Ports,       // E.6.2.1.0: output ports
  TcpIp,       // E.6.3.1.1.0: TCP/IP and its trap destinations
  NetWare,     // E.6.3.2.1.0: protocol 2, with the IPX trap destination and NDS
  Vines,       // E.6.3.3.1.0: protocol 3
  LanManager,  // E.6.3.4.1.0: protocol 4
  EtherTalk,   // E.6.3.5.1.0: protocol 5
  Wireless,    // E.8.2.0: protocol 7
  Count
};
inline constexpr std::size_t kMibAreaCount = static_cast<std::size_t>(MibArea::Count);

struct MibAreaInfo {
  MibArea area;
  const char* key;        // its name under "levels" in the fleet file
  const char* levelOid;   // relative to the enterprise prefix
  const char* prefix;     // relative: the area's variables lie under it
  std::int32_t protocol;  // installed-protocol id that brings the area; 0: not a protocol
};
// Every area, in MibArea order.
std::span<const MibAreaInfo> mibAreas();
const MibAreaInfo& mibArea(MibArea area);
inline constexpr std::size_t kMaxProtocols = 16;

struct AgentSettings {
  std::uint32_t maxVarsPerReply = 0;  // 0: only the 1408-byte message size limits a reply
  TooBigIndex tooBigIndex = TooBigIndex::PlusOne;
  ReadOnlyCommunity setWithGetCommunity = ReadOnlyCommunity::ReadOnly;
  SetMode setMode = SetMode::OnRestart;
  std::uint32_t resetSilenceMs = 5000;
  std::vector<Trigger> triggers;
  // IpAddress variable holding the unit's own address (default E.6.3.1.4.1.0): when a restart
  // changes it to another loopback address, the unit moves there.
  std::optional<Oid> addressOid;
  // Text variables of the GET community (default E.3.3.0) and of the write-only SET community
  // (default E.3.4.0): a change staged there is the unit's community after its next restart.
  std::optional<Oid> getCommunityOid;
  std::optional<Oid> setCommunityOid;
};

struct Faults {
  bool silent = false;                 // never answers
  std::uint32_t dropEvery = 0;         // every n-th request goes unanswered
  std::uint32_t shortEvery = 0;        // every n-th reply is cut to half its length
  std::uint32_t malformedEvery = 0;    // every n-th reply carries a wrong message tag
  std::uint32_t missingBindingEvery = 0;  // every n-th reply lacks its last binding
  std::uint32_t delayMs = 0;           // every reply is sent this late
};

// How the printer behind a port's raw printing port answers a PJL request (sim/pjl_printer.h).
enum class PjlMode : std::uint8_t {
  Printer,  // answers at once, as a printer does
  Silent,   // takes the connection and the request, never answers
  Slow,     // answers in pieces, then goes quiet without ending the reply
  Trickle,  // never stops sending small pieces
  Close,    // closes each connection at once
  None,     // nothing listens on the port
};

// Status behaviour (sim/status_objects.h).
struct StatusSettings {
  bool tcpConnections = true;  // MIB-II tcpConnTable rows, one per TCP state and one unknown
  bool walkLoops = false;      // GETNEXT inside tcpConnState answers the table's first row again
  bool countersMove = true;    // the statistics counters grow with every read
};

struct Port {
  std::string name;
  std::int32_t mediaPathStatus = 0;  // Printer-MIB prtMediaPathStatus (0: on-line)
  std::string display;               // Printer-MIB prtConsoleDisplayBufferText
  std::uint8_t inputState = 1;       // discovery status block: 2 means the printer is off-line
  std::uint8_t statusCode = 1;       // discovery status block: 1 nothing to report, 2 no printer...
  PjlMode pjl = PjlMode::Printer;    // how the printer on its raw printing port answers PJL
  std::optional<std::uint16_t> rawPort = std::nullopt;  // its raw printing port (default: the fleet's base + port index)
};

// How a unit answers the discovery request (UDP, multicast, IPX, serial identification) and,
// for a second-family unit, the 19541 probe.
struct DiscoverySettings {
  std::uint8_t format = 1;  // 1, 2, 3; any other value is sent as is (the program's "Bad Format")
  std::string productNumber = "TS100";
  std::string productType = "Trellan Sim Server";
  std::string datecode = "9703";
  std::string serialNumber;  // format 3 only; empty: the decimal of the last three hardware bytes
  std::optional<std::uint32_t> ip;  // address in the reply (default the unit's own)
  std::uint32_t subnetMask = 0xFF000000u;
  std::uint32_t gateway = 0x7F000001u;
  std::string generalStatus = "None";
  std::optional<std::uint8_t> portCount;  // default: the number of ports, at most 6
  bool answer = true;            // false: silent to discovery and probe
  bool ignoreSeenList = false;   // answers even when the request lists it
  bool multicast = true;         // member of 224.0.1.55
  bool ipx = true;               // answers over the IPX layer
  std::uint32_t ipxNetwork = 0;  // IPX network number of the unit
  std::optional<std::uint32_t> replyFrom;  // fault: answers from this loopback address instead
  std::uint32_t truncate = 0;    // fault: reply cut to this many bytes (0: whole)
  bool badMagic = false;         // fault: reply starts with other bytes than the protocol's
};

// A unit of the second family: answers the 19541 probe, with a 72- or 166-byte reply, and the
// text commands that read its ports and configuration image.
struct SecondFamilySettings {
  std::uint32_t size = 72;  // 72 or 166
  std::string model = "SX-2000WG";
  std::string firmware = "1.00";
  // The wireless part of its configuration image (the text commands read it).
  std::string ssid = "trellan-sim";
  std::uint32_t wirelessMode = 2;  // 0 ad hoc, 1 802.11 ad hoc, 2 infrastructure
  std::uint32_t security = 1;      // 0 WEP (key 1 in use), 1 none, 2 pass-phrase
  std::string key;                 // WEP key 1 or the pass-phrase
  // The text commands' behaviour and faults.
  std::uint32_t rebootMs = 1000;   // silent this long after "EXEC REBOOT SYSTEM:"
  bool commandSilence = false;     // fault: answers the probe but no command
  bool shortReplies = false;       // fault: every reply with data arrives cut to half its data
  std::uint8_t status = 0;         // fault: every command reply carries this status (0: none)
  std::uint8_t portStatus = 0;     // fault: every "GET STATUS:" reply carries this status (0: none)
};

// A wireless unit's own behaviour (sim/wireless_unit.h): the channel bit map each regulatory
// country brings at a restart, and the certificate upload by FTP.
struct WirelessSettings {
  std::vector<std::pair<std::string, std::string>> channelsByCountry;  // code, bit map bytes
  bool ftp = true;          // takes a certificate on the FTP port
  std::string ftpPassword;  // the password the upload must give; empty: any non-empty one
};

struct SystemInfo {
  std::string descr;
  Oid objectId;
  std::string contact;
  std::string name;
  std::string location;
};

struct DeviceModel {
  std::uint32_t address = 0;  // host order, inside 127.0.0.0/8
  std::string name;
  std::string family = kNativeFamily;
  Oid enterprise;
  std::int32_t mibLevel = 8;
  // Level of each area; unset areas take mibLevel. Level 0 has every feature.
  std::array<std::optional<std::int32_t>, kMibAreaCount> areaLevels{};
  // Installed protocols in list order: 1 TCP/IP, 2 NetWare, 3 VINES, 4 LAN Manager, 5 EtherTalk,
  // 7 wireless. The areas of protocols 2-7 exist only when listed.
  std::vector<std::int32_t> protocols{1, 2, 3, 4, 5, 7};
  bool tokenRing = false;  // a Token Ring unit has the E.5 area (an Ethernet unit answers noSuchName)
  int trapForm = 1;        // 1: first-form trap pages; 2: the unit describes its trap events (E.6.2.5.0 = 0)
  bool catalogue = false;  // carries the whole private MIB catalogue at its levels (fleet-file default: on)
  bool catalogueBuilt = false;
  std::string getCommunity = kDefaultCommunity;
  std::string setCommunity = kDefaultCommunity;
  std::string hardwareAddress;  // 6 bytes
  SystemInfo system;
  std::uint32_t ifSpeed = 100000000;
  std::vector<Port> ports;
  AgentSettings agent;
  Faults faults;
  DiscoverySettings discovery;
  std::optional<SecondFamilySettings> secondFamily;
  StatusSettings status;
  WirelessSettings wireless;
  MibStore store;

  // Level of an area: the value of its level variable when the store has one, else the area's
  // setting, else mibLevel.
  std::int32_t levelOf(MibArea area) const;
  // Whether the unit has an area at all (protocol areas follow the protocol list).
  bool hasArea(MibArea area) const;

  // Adds the catalogue's variables (catalogue_mib.h) the first time it is called. The agent
  // calls it when the unit gets its first SNMP request, so a large fleet that is only searched
  // for costs no memory for MIBs nobody reads.
  void ensureCatalogue();

  // Variables whose changes a restart takes into the model: the communities, subnet mask,
  // gateway, system name and port names.
  std::vector<Oid> syncOids() const;
  // After a restart: takes those of syncOids() that changed into the model, so that discovery
  // replies and the agent agree with what GET answers.
  void syncFromStore(const std::vector<Oid>& changed);

  // Adds what the unit always has unless the data file defined it already: the MIB-II system
  // objects, ifSpeed, the Printer-MIB entries of every port, the MIB level of every group, the
  // port count and names, and the server-control and restore variables that the triggers use.
  void populateDerived();

  // The default triggers: reset (E.2.2.0 = 2), restore all (E.2.4.0 = 2), the restores of output
  // ports and TCP/IP, and those of NetWare, VINES, EtherTalk and wireless when the store holds
  // variables of that area (call after the variables are loaded).
  std::vector<Trigger> defaultTriggers() const;
};

// Sub-identifiers of standard objects.
namespace std_oids {
inline const Oid kSysDescr{1, 3, 6, 1, 2, 1, 1, 1, 0};
inline const Oid kSysObjectId{1, 3, 6, 1, 2, 1, 1, 2, 0};
inline const Oid kSysUpTime{1, 3, 6, 1, 2, 1, 1, 3, 0};
inline const Oid kSysContact{1, 3, 6, 1, 2, 1, 1, 4, 0};
inline const Oid kSysName{1, 3, 6, 1, 2, 1, 1, 5, 0};
inline const Oid kSysLocation{1, 3, 6, 1, 2, 1, 1, 6, 0};
inline const Oid kIfSpeed1{1, 3, 6, 1, 2, 1, 2, 2, 1, 5, 1};
// Printer MIB columns; the entry index hrDeviceIndex.n follows (printer of port p = p.1).
inline const Oid kPrtMediaPathStatus{1, 3, 6, 1, 2, 1, 43, 13, 4, 1, 11};
inline const Oid kPrtConsoleDisplayText{1, 3, 6, 1, 2, 1, 43, 16, 5, 1, 2};
}  // namespace std_oids

}  // namespace sim
