#pragma once
// The private MIB catalogue as data: every MIB group the program reads from a print server, its
// variables in index order, the levels at which variables appear, what stays out of the backup
// file, and how rows and run-time additions get their OIDs. CMibGroup walks these tables; nothing
// here talks to a print server.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "access/mib_enumerations.h"

namespace mib {

// Value types as the catalogue names them. Text and Bytes are both octet strings on the wire;
// they differ in how the program shows and edits them.
enum class Syntax : std::uint8_t {
  Integer,    // 0x02
  Text,       // 0x04, shown and written as text
  Bytes,      // 0x04, raw bytes shown as hexadecimal
  IpAddress,  // 0x40
  Unsigned,   // counter, gauge or time ticks (0x41, 0x42, 0x43, 0x47)
  ObjectId,   // 0x06
};

enum class Access : std::uint8_t { ReadOnly, ReadWrite };

// What a variable's OID text is followed by.
enum class Suffix : std::uint8_t {
  None,       // the text is the whole OID (after the prefix for relative texts)
  Row,        // ".n": row groups use n = row + 1, tables and run-time additions the entry number
  DeviceRow,  // ".n.1": a Printer-MIB entry of printer n (the row's port)
  First,      // ".1": a scalar group reading the first entry of a table column
};

// MIB levels: 255 is "not read yet"; 0 is an unversioned print server that has every feature.
constexpr std::uint8_t kLevelUnknown = 255;
constexpr std::uint8_t kLevelAlways = 1;

// The one level test: level 0 counts as the highest level.
constexpr bool levelAtLeast(int level, int n) noexcept { return level == 0 || level >= n; }

// Accessor index test shared by every group: a valid index is 0..count-1.
constexpr bool variableIndexValid(long index, std::size_t count) noexcept {
  return index >= 0 && static_cast<std::size_t>(index) < count;
}

struct VariableDef {
  std::uint8_t index = 0;       // position in the group's variable list
  std::uint16_t stringId = 0;   // 4000-4465: where the OID text lives in the string table
  std::string_view oid;         // ".6.3.1.4.1.0" relative to the enterprise prefix, or absolute
  Syntax syntax = Syntax::Integer;
  Access access = Access::ReadOnly;
  std::uint8_t minLevel = kLevelAlways;  // present when levelAtLeast(level, minLevel)
  bool excluded = false;        // never saved to or restored from a backup file
  Suffix suffix = Suffix::None;
  const Enumeration* enumeration = nullptr;
  std::uint16_t maxLength = 0;  // characters (text) or bytes; 0 = no limit known
  std::string_view meaning;

  // Builders, so a group table reads like the table it came from.
  constexpr VariableDef rw() const { VariableDef v = *this; v.access = Access::ReadWrite; return v; }
  constexpr VariableDef excl() const { VariableDef v = *this; v.excluded = true; return v; }
  constexpr VariableDef level(std::uint8_t n) const { VariableDef v = *this; v.minLevel = n; return v; }
  constexpr VariableDef row() const { VariableDef v = *this; v.suffix = Suffix::Row; return v; }
  constexpr VariableDef deviceRow() const { VariableDef v = *this; v.suffix = Suffix::DeviceRow; return v; }
  constexpr VariableDef first() const { VariableDef v = *this; v.suffix = Suffix::First; return v; }
  constexpr VariableDef en(const Enumeration& e) const { VariableDef v = *this; v.enumeration = &e; return v; }
  constexpr VariableDef len(std::uint16_t n) const { VariableDef v = *this; v.maxLength = n; return v; }
};

constexpr VariableDef var(std::uint8_t index, std::uint16_t stringId, std::string_view oid, Syntax syntax,
                          std::string_view meaning = {}) {
  VariableDef v;
  v.index = index;
  v.stringId = stringId;
  v.oid = oid;
  v.syntax = syntax;
  v.meaning = meaning;
  return v;
}

// Upper bound for any count a print server reports (rows, entries, ports): a group never
// creates more instances than this, whatever the reply says.
constexpr std::uint16_t kMaxInstances = 64;
constexpr std::size_t clampCount(long value, std::size_t max = kMaxInstances) noexcept {
  if (value <= 0) return 0;
  return static_cast<std::size_t>(value) > max ? max : static_cast<std::size_t>(value);
}

// Run-time additions: variables a group appends after a first read (or from construction
// parameters), always excluded from rows' fixed lists.
enum class ExtensionKind : std::uint8_t {
  PerCount,       // k = 1..value of countIndex: oid + ".k"
  PerHighestBit,  // k = 1..position of the highest set bit of countIndex's value (bit 0 = 1)
  PortColumns,    // p = firstPort..P: oid + ".c.e", c from portColumn(firstColumn, p), e = the row
                  // number (rows) or fixedEntry
  EventNames,     // trap event names for G GPIO groups and P ports: 2G of oid + ".k", then per port
                  // p sixteen of second.oid + ".c.p" with c = 13..28
};

struct Extension {
  ExtensionKind kind = ExtensionKind::PerCount;
  std::int8_t countIndex = -1;  // variable whose value gives the count; -1 = a construction parameter
  std::uint8_t minLevel = kLevelAlways;  // applies only when levelAtLeast(level, minLevel)
  std::int8_t levelGate = -1;   // and only when this variable exists at the level (-1: no gate)
  VariableDef variable;         // template: OID text without the entry, syntax, exclusion
  std::uint8_t firstColumn = 0; // PortColumns
  std::uint8_t firstPort = 1;   // PortColumns: ports below are held by fixed variables
  std::uint8_t fixedEntry = 0;  // PortColumns: entry number when the group has no row
  VariableDef second{};         // EventNames: the per-port event names
  std::string_view meaning;
  std::uint16_t maxCount = kMaxInstances;  // counts from the print server are clamped to this
};

// Column of output port p (1-based) in a destination's per-port columns: port 1 uses the first
// column, the column after it belongs to the older port mask and is skipped, then one column
// per port (4, 6, 7, 8, ... for a first column of 4).
constexpr int portColumn(int firstColumn, int port) noexcept {
  return port <= 1 ? firstColumn : firstColumn + port;
}

// A print server's protocol id and the string of the OID a group uses for it.
struct ProtocolOid {
  std::int32_t protocolId;
  std::uint16_t stringId;
  std::string_view oid;
};

enum class GroupKind : std::uint8_t {
  Scalar,     // fixed variables (plus level additions and run-time additions)
  Container,  // own variables plus child groups (rows, tables) created after the read; the own
              // variables are saved only when the group names a section, rows under theirs
  Row,        // one instance per row r; Suffix::Row variables end in .(r + 1)
  Table,      // c entries of the listed columns; variable (k-1) * columns + column
  Protocols,  // one variable per installed protocol, from the protocol list
};

enum class GroupId : std::uint8_t {
  ServerInfo,
  TechSupport,
  System,
  ServerControl,
  RestoreDefaults,
  SnmpConfig,
  Statistics,
  TokenRing,
  ProtocolList,
  ProtocolListTable,
  ProtocolEnable,
  OutputPort,
  OutputPortRow,
  PrinterStatus,
  TcpIp,
  GenericProtocol,
  IpTrap,
  IpTrapRow,
  IpTrap2,
  IpTrapRow2,
  EmailTrap,
  EmailTrapRow,
  EmailTrap2,
  EmailTrapRow2,
  IpxTrap,
  IpxTrap2,
  TrapEvent,
  NetWare,
  FileServerStatusTable,
  NetWarePort,
  NetWarePortRow,
  Nds,
  Vines,
  VinesNameTable,
  VinesPortRow,
  EtherTalk,
  EtherTalkPortRow,
  Wireless,
  WirelessList,
  WepKeyRow,
  WirelessCountry,
  Count
};
constexpr std::size_t kGroupCount = static_cast<std::size_t>(GroupId::Count);

// Where a child group's number of instances comes from.
enum class CountFrom : std::uint8_t {
  Variable,  // the owner's variable countIndex
  Extra,     // the owner's extra binding countIndex
  One,       // exactly one, created with the owner (the output port row's printer status)
};

struct ChildDef {
  GroupId group;
  CountFrom from;
  std::int8_t countIndex;
  std::string_view meaning;
  std::uint16_t maxCount = kMaxInstances;
};

// Backup-file section. A per-row section name holds "%c", replaced by the row number ("1", ...).
struct BackupSection {
  std::string_view name{};        // empty: the group is not saved
  std::uint16_t stringId = 0;     // the section (or its "%s" part) comes from this string
  bool perRow = false;
};

struct GroupDef {
  GroupId id;
  std::string_view name{};             // the class name
  GroupKind kind = GroupKind::Scalar;
  std::int8_t probeIndex = -1;         // variable carrying the group's level; -1: no probe, level 1
  std::span<const VariableDef> variables{};  // base and level additions, in index order
  std::span<const VariableDef> extras{};     // bindings held outside the variable list
  std::span<const Extension> extensions{};
  std::span<const ChildDef> children{};
  std::span<const ProtocolOid> protocols{};  // Protocols kind: per-protocol OIDs
  std::string_view protocolFallback{};       // Protocols kind: "%d" replaced by an unlisted id
  BackupSection backup{};
  std::string_view users{};
  std::string_view notes{};
};

// Every group, in catalogue order (GroupId order).
std::span<const GroupDef* const> allGroups() noexcept;
const GroupDef& group(GroupId id) noexcept;
// By class name ("CTcpIpGroup"); nullptr when unknown.
const GroupDef* findGroup(std::string_view name) noexcept;

// Whether variable v exists in a group whose level is `level`. An unknown level gives the base
// set only: the additions are asked for once the level is known.
constexpr bool variablePresent(const VariableDef& v, int level) noexcept {
  if (level == kLevelUnknown) return v.minLevel <= kLevelAlways;
  return levelAtLeast(level, v.minLevel);
}
// Number of fixed variables at a level (the additions of a level are always a tail of the list).
std::size_t variableCountAt(const GroupDef& g, int level) noexcept;
bool extensionApplies(const GroupDef& g, const Extension& e, int level) noexcept;

// Per-protocol OID of a Protocols group; false when the group has no entry for the id and no
// fallback. The OID text is written into out (bounded).
bool protocolOid(const GroupDef& g, std::int32_t protocolId, std::span<char> out) noexcept;

// The backup tag of a syntax ("<2>", "<4>", "<0>"), empty for syntaxes that are never saved.
constexpr std::string_view backupTag(Syntax s) noexcept {
  switch (s) {
    case Syntax::Integer: return "<2>";
    case Syntax::Text:
    case Syntax::Bytes: return "<4>";
    case Syntax::IpAddress: return "<0>";
    case Syntax::Unsigned:
    case Syntax::ObjectId: return {};
  }
  return {};
}
std::string_view syntaxName(Syntax s) noexcept;
std::string_view accessName(Access a) noexcept;
std::string_view kindName(GroupKind k) noexcept;

// Number of set bits among the low 16 bits of a GPIO mask (E4.9.1.0).
constexpr int gpioGroupCount(std::uint32_t mask) noexcept {
  int n = 0;
  for (std::uint32_t m = mask & 0xFFFFu; m != 0; m &= m - 1) ++n;
  return n;
}
// Position of the highest set bit, bit 0 counting as 1; 0 when no bit is set.
constexpr int highestBitPosition(std::uint32_t mask) noexcept {
  int n = 0;
  for (; mask != 0; mask >>= 1) ++n;
  return n;
}

}  // namespace mib
