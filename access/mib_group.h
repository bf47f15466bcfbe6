#pragma once
// CMibGroup: an ordered set of print-server variables read together, edited in memory, written
// back (changed ones only) and saved to / restored from a configuration backup file. A group is
// built from its catalogue table (access/mib_catalogue.h); everything about batching, the tooBig
// split, change tracking, the MIB-version probe, rows and the backup form lives here.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "access/mib_catalogue.h"
#include "access/oid_text.h"
#include "access/snmp_session.h"
#include "access/var_bind.h"

namespace platform {
class Profile;
}

namespace snmpaccess {

// Codes of the group layer (the request codes are in result_codes.h).
namespace result {
inline constexpr int kBadTag = 7;              // unknown type tag in a backup file
inline constexpr int kNotWritable = 99;        // backup file not writable
inline constexpr int kIpTooLong = 3329;        // IPv4 text too long or a part above 255
inline constexpr int kRowRange = 3331;         // row index outside the created rows
inline constexpr int kIndexRange = 3332;       // variable index out of range, or no rows
inline constexpr int kIpDots = 3333;           // IPv4 text without exactly three dots
inline constexpr int kBadDigit = 3334;         // a character that is not a (hex) digit
}  // namespace result

inline constexpr int kMaxVariablesPerGet = 18;  // one GET carries at most this many
inline constexpr int kMaxSplitRounds = 9;
inline constexpr int kMaxBindingsPerRequest = 32;  // one binding list holds at most this many
inline constexpr std::uint8_t kVersionUnknown = mib::kLevelUnknown;
inline constexpr std::size_t kMaxBackupBytes = 255;  // value bytes after the tag
inline constexpr std::size_t kMaxBackupValue = 3 + 2 * kMaxBackupBytes;  // longest value restore reads

// The GetTimeout and SetTimeout settings (hundredths of a second) that reads and writes use.
// The application sets them from its settings; the default is the settings' default.
void setGroupTimeouts(std::uint32_t getTimeout, std::uint32_t setTimeout) noexcept;
std::uint32_t groupGetTimeout() noexcept;
std::uint32_t groupSetTimeout() noexcept;

// How a group is built besides its table.
struct GroupParams {
  std::string prefix{mib::kDefaultEnterprisePrefix};  // enterprise prefix current at construction
  long row = -1;             // row groups: 0-based row (port, destination); -1 for scalars
  int level = -1;            // a known level (skips the probe); -1: probe when reading
  int ports = 0;             // port-column rows and the trap-event group: output ports P
  int gpioGroups = 0;        // trap-event group: GPIO groups G
  int entries = 0;           // tables: number of entries
  // Protocols groups: the installed protocols (id, name) in list order.
  std::vector<std::pair<std::int32_t, std::string>> protocols;
};

class CMibGroup {
 public:
  explicit CMibGroup(const mib::GroupDef& def, GroupParams params = {});
  virtual ~CMibGroup();
  CMibGroup(const CMibGroup&) = delete;
  CMibGroup& operator=(const CMibGroup&) = delete;

  const mib::GroupDef& def() const { return def_; }
  const GroupParams& params() const { return params_; }

  // --- variables ---
  int count() const { return static_cast<int>(vars_.size()); }
  // Catalogue entry of a variable (nullptr out of range).
  const mib::VariableDef* variableDef(int index) const;
  // Row or entry number behind a variable's OID (-1 when none).
  long variableEntry(int index) const;
  const CVarBind* binding(int index) const;
  std::string oidText(int index) const;
  bool excluded(int index) const;
  bool changed(int index) const;
  int changedCount() const;
  // Protocols groups: the name of the protocol behind a variable (empty for fixed entries).
  std::string entryName(int index) const;
  // Entries appended after the first read (-1 when the second read failed, 0 before).
  int extensionEntries() const { return extensionEntries_; }
  // True once a read succeeded.
  bool wasRead() const { return read_; }

  // --- state of the last request ---
  int errorStatus() const { return errorStatus_; }
  int errorIndex() const { return errorIndex_; }
  // The OID the print server named in its error index in the last request (empty: none).
  const std::string& failedOid() const { return failedOid_; }
  // 255 unknown; otherwise the level read (or 1 when the group does not probe).
  int mibVersion() const { return version_; }
  std::string& text() { return text_; }

  // --- virtual slots ---
  virtual int save(std::string_view section, platform::Profile& file);
  virtual int saveById(std::uint32_t sectionStringId, platform::Profile& file);
  virtual int restore(std::string_view section, const platform::Profile& file);
  virtual int restoreById(std::uint32_t sectionStringId, const platform::Profile& file);
  virtual int probeVersion(CSnmpSession& session, int index);
  virtual int readAll(CSnmpSession& session);

  // Probe (index -1: this group's own probe variable, if any), then read all.
  int read(CSnmpSession& session);
  // SET the changed variables (and rows): nothing changed sends nothing.
  int writeChanged(CSnmpSession& session);

  // The group's backup section(s) from the catalogue: one per row where the rows name theirs.
  // Groups without a section give 0 and write nothing.
  int saveBackup(platform::Profile& file);
  int restoreBackup(const platform::Profile& file);
  // The same through a file name: the file is read, updated and written back (99 when it
  // cannot be written).
  int saveBackupFile(const std::string& fileName);
  int restoreBackupFile(const std::string& fileName);

  // --- typed getters (codes of CVarBind; 3332 for an index out of range) ---
  int getInteger(int index, std::int32_t& out) const;
  int getUnsigned(int index, std::uint32_t& out) const;
  int getCounter64(int index, std::uint32_t& high, std::uint32_t& low) const;
  int getOidText(int index, std::string& out) const;
  int getBytes(int index, void* buffer, std::size_t capacity, std::size_t& length) const;
  int getBytes(int index, std::string& out) const;
  int getIpAddress(int index, std::uint8_t out[4]) const;
  int getDisplayText(int index, char* buffer, std::size_t capacity) const;
  int getDisplayText(int index, std::string& out) const;
  int getPlainText(int index, std::string& out);

  // --- set if changed: the flag is set only when the value differs from the one held ---
  int setIntegerIfChanged(int index, std::int32_t value);
  int setBytesIfChanged(int index, const void* bytes, std::size_t length);
  int setIpAddressIfChanged(int index, const std::uint8_t address[4]);
  int setTextIfChanged(int index, std::string_view text);
  // Marks a variable for the next write whatever its value (action triggers).
  int forceInteger(int index, std::int32_t value);
  // Takes a variable out of the next write (a trigger already sent).
  void clearChanged(int index) {
    if (index >= 0 && index < count()) changed_[static_cast<std::size_t>(index)] = 0;
  }

  // --- bindings held outside the variable list (write-only values, counts) ---
  int extraCount() const { return static_cast<int>(extras_.size()); }
  const CVarBind* extra(int index) const;
  // A write-only text: sent by the next write and saved with the group while non-empty.
  int setExtraText(int index, std::string_view text);
  bool extraPending(int index) const;

  // --- rows and tables owned by a container ---
  int childCount() const { return static_cast<int>(children_.size()); }
  // The child groups created by the last read (rows in order, then tables).
  CMibGroup* child(int index);
  const CMibGroup* child(int index) const;
  // Rows of the first row-kind child (ports, destinations): 3331 outside 0..rows-1, 3332 without rows.
  int rowCount() const;
  int row(int index, CMibGroup*& out);

 protected:
  struct Slot {
    mib::VariableDef def;
    long entry = -1;        // row / entry index passed to the OID composition
    std::uint32_t column = 0;  // port columns and event names: the column before the entry
    bool extension = false;
    std::string oid;        // full dotted OID
  };
  // Rebuilds the level additions once the level is known.
  void applyLevel(int level);
  void addVariable(const mib::VariableDef& def, long entry, std::uint32_t column = 0, bool extension = false);
  // Appends the run-time additions whose count comes from a variable read; true when any came.
  bool addExtensions();
  int getBatch(CSnmpSession& session, std::vector<CVarBind*>& batch, bool preSplit);
  int request(CSnmpSession& session, bool set, CVarBind* const* list, int n);
  // Sends the whole batch, split on tooBig; `tooBigIndex` >= 0 starts as if a reply had said
  // tooBig with that index.
  int sendBatch(CSnmpSession& session, bool set, std::vector<CVarBind*>& batch, int tooBigIndex, int limit);
  int readChildren(CSnmpSession& session);
  int readExtras(CSnmpSession& session);
  int restoreOne(int index, std::string_view value);
  std::string sectionName(std::string_view pattern) const;
  // The section a string id names for this group (empty when the id has no text).
  std::string sectionForId(std::uint32_t sectionStringId) const;

  const mib::GroupDef& def_;
  GroupParams params_;
  std::vector<std::unique_ptr<CVarBind>> vars_;
  std::vector<Slot> slots_;
  std::vector<int> exclusions_;          // ascending
  std::vector<std::uint8_t> changed_;
  std::string text_;
  int errorStatus_ = 0;
  int errorIndex_ = 0;
  std::string failedOid_;
  int version_ = kVersionUnknown;
  int levelApplied_ = -2;                // level whose additions are in the list
  bool extensionsAdded_ = false;
  std::vector<std::unique_ptr<CVarBind>> extras_;
  std::vector<std::uint8_t> extraChanged_;
  std::vector<std::unique_ptr<CMibGroup>> children_;
  bool childrenCreated_ = false;
  int rowsOfFirstChild_ = 0;
  int rowStart_ = 0;                      // index of the first row among the children
  std::vector<int> optionalChildren_;     // children whose failed read is tolerated
  std::vector<std::string> entryNames_;   // Protocols groups: names of the protocol entries
  int extensionEntries_ = 0;
  bool read_ = false;
};

// Text helpers shared by every group.
std::string bytesToHex(const void* bytes, std::size_t length);        // "%02X" each, at most 128 bytes
std::string bytesToColonHex(const void* bytes, std::size_t length);   // "AA:BB", at most 85 bytes
std::string ipv4ToText(const std::uint8_t address[4]);               // "%lu.%lu.%lu.%lu"
int hexTextToBytes(std::string_view text, std::string& out);          // 3334 on a non-hex character
int ipv4TextToBytes(std::string_view text, std::uint8_t out[4]);      // 3329, 3333, 3334
int decimalTextToNumber(std::string_view text, long& out);            // 3334 empty or non-digit

// Backup-file value of a variable: "<2>" integer, "<4>" printable text, "<0>" IPv4 text, and
// "<h>" hexadecimal for byte strings that a line-based file would not keep (control bytes,
// NUL, CR, LF, bytes above 126, blanks at either end). Empty when the syntax has no tag; code 3153 when over 255 bytes.
int backupValue(const CVarBind& b, std::string& out);

}  // namespace snmpaccess
