#pragma once
// One simulated print server: identity, communities, standard objects, ports, the private MIB
// values, the agent's firmware quirks and the faults to inject.
#include <cstdint>
#include <optional>
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
};

struct Faults {
  bool silent = false;                 // never answers
  std::uint32_t dropEvery = 0;         // every n-th request goes unanswered
  std::uint32_t shortEvery = 0;        // every n-th reply is cut to half its length
  std::uint32_t malformedEvery = 0;    // every n-th reply carries a wrong message tag
  std::uint32_t missingBindingEvery = 0;  // every n-th reply lacks its last binding
  std::uint32_t delayMs = 0;           // every reply is sent this late
};

struct Port {
  std::string name;
  std::int32_t mediaPathStatus = 0;  // Printer-MIB prtMediaPathStatus (0: on-line)
  std::string display;               // Printer-MIB prtConsoleDisplayBufferText
  std::uint8_t inputState = 1;       // discovery status block: 2 means the printer is off-line
  std::uint8_t statusCode = 1;       // discovery status block: 1 nothing to report, 2 no printer...
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
  MibStore store;

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
