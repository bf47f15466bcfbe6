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
//  - key and value names keep their case but compare without it;
//  - "missing" is distinct from an empty string; dword and string are different types;
//  - keys and values enumerate in a stable order (the order they were created in);
//  - a key tree can be copied and deleted.
// Storage is one file in Windows registry-export format (mode 0600, it holds community names).
// Every mutating call is one transaction: under a lock file the file is reloaded, the change
// applied, and the file rewritten atomically (temporary file, fsync, rename), so two instances
// never undo each other's writes. Reads use the copy loaded last (reload() refreshes it).
//
// All paths given to this class are relative to the root key (by default
// "Software\Quorvel\Trellan" under HKEY_CURRENT_USER). An empty key path is the root itself.
class Registry {
 public:
  // Receives one line per problem (unparsable file moved aside, file that cannot be written).
  using ErrorSink = std::function<void(const std::string& message)>;

  // Opens the store at `filePath`; an empty path means defaultPath(). A missing file is an
  // empty store. A file that cannot be parsed is renamed to "<file>.corrupt-YYYYMMDD-HHMMSS",
  // reported through the sink, and the store starts empty.
  explicit Registry(std::string filePath = {}, ErrorSink sink = {});
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

  // Re-reads the file (a corrupt file is handled as in the constructor).
  void reload();

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

  // --- writes (each one transaction; false when the file could not be written) ---
  bool setDword(std::string_view key, std::string_view name, std::uint32_t v);
  bool setString(std::string_view key, std::string_view name, std::string_view v);
  bool setValue(std::string_view key, std::string_view name, const RegValue& v);
  bool createKey(std::string_view key);
  bool deleteValue(std::string_view key, std::string_view name);
  // Deletes the key with every subkey and value. Deleting a missing key succeeds.
  bool deleteTree(std::string_view key);
  // Copies the tree at `from` (values and subkeys) into `to`, merging over what is there.
  // False when `from` is missing or `to` lies inside `from`; nothing changes then.
  bool copyTree(std::string_view from, std::string_view to);

  // Several changes as one transaction. The callback edits a view of the freshly reloaded
  // store through the same calls as above (on `tx`); nothing is written if it returns false.
  bool transaction(const std::function<bool(Registry& tx)>& edit);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
