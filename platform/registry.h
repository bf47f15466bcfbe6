#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A typed registry value: a 32-bit dword or a text.
struct RegValue {
  enum class Type { Dword, String };
  Type type = Type::String;
  std::uint32_t dword = 0;
  std::string text;

  static RegValue ofDword(std::uint32_t v) { return {Type::Dword, v, {}}; }
  static RegValue ofString(std::string s) { return {Type::String, 0, std::move(s)}; }
  bool operator==(const RegValue&) const = default;
};

// The per-user settings store, with the semantics the program expects of the Windows registry:
//  - key paths are separated by "\"; "/" is an ordinary character in a key or value name;
//  - key and value names keep their case but compare without it (ASCII letters);
//  - "missing" is distinct from an empty string; dword and string are different types;
//  - keys and values enumerate in a stable order (the order they were created in);
//  - a key tree can be copied and deleted.
// Storage is one file in Windows registry-export format (mode 0600, it holds community names;
// the format is described in platform/registry_format.h). Every mutating call is one
// transaction: under an exclusive lock on "<file>.lock" the file is reloaded, the change applied,
// and the file rewritten atomically (temporary file, fsync, rename) when anything changed, so two
// instances - objects or processes - never undo each other's writes. Reads use the copy loaded
// last (reload() refreshes it; every write refreshes it too).
//
// Names and sizes are bounded as on Windows: a key name is 1..255 bytes without "\" or control
// characters, a value name at most 16383 bytes without control characters ("" is the unnamed
// value), a string at most 1 MiB of any bytes (line breaks and non-UTF-8 bytes included), at most
// 512 key names in a path, at most 16 MiB for the whole file. A write outside these bounds
// returns false and changes nothing.
//
// All paths given to this class are relative to the root key (by default
// "Software\Quorvel\Trellan" under HKEY_CURRENT_USER). An empty key path is the root itself.
// One object is not meant to be shared between threads without a lock of the caller's; separate
// objects on one file may be used from separate threads and processes.
class Registry {
 public:
  // Receives one line per problem (unparsable file moved aside, file that cannot be read or
  // written). Without a sink the line goes to stderr: such a problem is never silent.
  using ErrorSink = std::function<void(const std::string& message)>;

  // Opens the store at `filePath`; an empty path means defaultPath(). A missing file is an
  // empty store. A file that cannot be parsed is renamed to "<file>.corrupt-YYYYMMDD-HHMMSS",
  // reported through the sink, and the store starts empty.
  explicit Registry(std::string filePath = {}, ErrorSink sink = {});
  // A reader's store: a corrupt file is reported and left where it is (the store reads as
  // empty), and every write is refused. Moving a corrupt file aside is for the programs that write.
  enum class Access { ReadWrite, ReadOnly };
  Registry(std::string filePath, ErrorSink sink, Access access);
  ~Registry();
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;

  // $TRELLAN_REGISTRY when set, else $XDG_CONFIG_HOME/Quorvel/Trellan.reg
  // (XDG_CONFIG_HOME defaulting to ~/.config).
  static std::string defaultPath();

  const std::string& filePath() const;
  // Root key below HKEY_CURRENT_USER, e.g. "Software\Quorvel\Trellan".
  void setRoot(std::string rootKey);
  const std::string& root() const;
  void setErrorSink(ErrorSink sink);

  // Re-reads the file (a corrupt file is handled as in the constructor). Read-only: does nothing.
  void reload();

  // Whether a write could reach the file now: its folder exists or can be made and is writable,
  // the lock can be taken, and the file (if any) is not read-only for its owner (a file made
  // read-only is a store the user protected). False with the reason in `why`.
  bool canSave(std::string* why = nullptr) const;
  // Read-only: every write changes this object's copy only; nothing reaches the file.
  void setReadOnly(bool on);
  bool readOnly() const;

  // --- reads ---
  std::optional<RegValue> value(std::string_view key, std::string_view name) const;
  // Missing, or of the other type: nullopt.
  std::optional<std::uint32_t> getDword(std::string_view key, std::string_view name) const;
  std::optional<std::string> getString(std::string_view key, std::string_view name) const;
  std::uint32_t getDword(std::string_view key, std::string_view name, std::uint32_t fallback) const;
  std::string getString(std::string_view key, std::string_view name, std::string_view fallback) const;
  bool keyExists(std::string_view key) const;
  // Names of the direct subkeys / values of a key, in stable order; empty when the key is missing.
  std::vector<std::string> subKeys(std::string_view key) const;
  std::vector<std::pair<std::string, RegValue>> values(std::string_view key) const;

  // --- writes (each one transaction; false when the file could not be written or a name or size
  // is out of bounds; memory then keeps the file's state) ---
  bool setDword(std::string_view key, std::string_view name, std::uint32_t v);
  bool setString(std::string_view key, std::string_view name, std::string_view v);
  bool setValue(std::string_view key, std::string_view name, const RegValue& v);
  bool createKey(std::string_view key);
  // Deleting a missing value succeeds.
  bool deleteValue(std::string_view key, std::string_view name);
  // Deletes the key with every subkey and value. Deleting a missing key succeeds.
  bool deleteTree(std::string_view key);
  // Copies the tree at `from` (values and subkeys) into `to`, merging over what is there.
  // False when `from` is missing or `to` lies inside `from`; nothing changes then.
  bool copyTree(std::string_view from, std::string_view to);

  // Several changes as one transaction. The callback edits a view of the freshly reloaded
  // store through the same calls as above (on `tx`); nothing is written if it returns false.
  // Calls on `tx` change memory only and return false only for invalid names or sizes (or a
  // copyTree refused as above); tx.reload() does nothing. Changes made through this object itself, or through another
  // object on the same file, from inside the callback are refused (they would wait for the lock
  // the transaction holds). Returns false when the callback did, or the file could not be written.
  bool transaction(const std::function<bool(Registry& tx)>& edit);

 private:
  struct Impl;
  explicit Registry(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
