#include "platform/registry.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/atomic_file.h"
#include "platform/registry_format.h"
#include "platform/registry_key.h"
#include "platform/registry_lock.h"

namespace platform {
namespace {

using Path = std::vector<std::string_view>;

constexpr std::string_view kDefaultRoot = "Software\\Quorvel\\Trellan";

// Splits "a\b\c" into its names; "" is the empty path. Empty names (as in "a\\b") are kept so
// that validation refuses them.
void appendPath(Path& out, std::string_view key) {
  if (key.empty()) return;
  std::size_t pos = 0;
  for (;;) {
    std::size_t slash = key.find('\\', pos);
    if (slash == std::string_view::npos) {
      out.push_back(key.substr(pos));
      return;
    }
    out.push_back(key.substr(pos, slash - pos));
    pos = slash + 1;
  }
}

bool validPath(const Path& path) {
  if (path.size() > regformat::kMaxKeyDepth) return false;
  for (auto name : path) {
    if (!regformat::validKeyName(name)) return false;
  }
  return true;
}

RegKey* findKey(RegKey& hive, const Path& path) {
  RegKey* k = &hive;
  for (auto name : path) {
    k = k->findSubkey(name);
    if (!k) return nullptr;
  }
  return k;
}

RegKey* ensureKey(RegKey& hive, const Path& path) {
  if (!validPath(path)) return nullptr;
  RegKey* k = &hive;
  for (auto name : path) k = &k->subkey(name);
  return k;
}

std::string homeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  struct passwd pw {};
  struct passwd* found = nullptr;
  char buf[4096];
  if (::getpwuid_r(::getuid(), &pw, buf, sizeof buf, &found) == 0 && found && found->pw_dir) return found->pw_dir;
  return ".";
}

std::string timestamp() {
  std::time_t now = std::time(nullptr);
  std::tm tm {};
  ::localtime_r(&now, &tm);
  char buf[32];
  std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
  return buf;
}

bool exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

struct Registry::Impl {
  std::string path;
  std::string root{kDefaultRoot};
  Path rootPath;  // views into `root`
  ErrorSink sink;
  std::unique_ptr<RegKey> hive = std::make_unique<RegKey>(std::string(regformat::kHive));
  bool view = false;           // a transaction's view: changes stay in memory
  bool inTransaction = false;  // this object's transaction callback is running
  bool reader = false;         // opened by a reader: the file is never changed or moved
  bool readOnly = false;       // the file cannot be saved: changes stay in memory

  Impl() { appendPath(rootPath, root); }

  void setRoot(std::string r) {
    std::string_view v = r;
    std::string prefix = std::string(regformat::kHive) + "\\";
    if (v.size() >= prefix.size() && namesEqual(v.substr(0, prefix.size()), prefix)) v.remove_prefix(prefix.size());
    while (!v.empty() && v.front() == '\\') v.remove_prefix(1);
    while (!v.empty() && v.back() == '\\') v.remove_suffix(1);
    root = std::string(v);
    rootPath.clear();
    appendPath(rootPath, root);
  }

  Path fullPath(std::string_view key) const {
    Path p = rootPath;
    appendPath(p, key);
    return p;
  }

  const RegKey* find(std::string_view key) const {
    Path p = fullPath(key);
    return validPath(p) ? findKey(*hive, p) : nullptr;
  }

  void report(const std::string& message) const {
    if (sink) {
      sink(message);
    } else {
      std::fprintf(stderr, "trellan: %s\n", message.c_str());
    }
  }

  // Renames an unreadable file out of the way so that it is kept for the user, not overwritten.
  bool moveAside(const std::string& why) {
    std::string base = path + ".corrupt-" + timestamp();
    std::string target = base;
    for (int n = 2; exists(target) && n < 1000; ++n) target = base + "-" + std::to_string(n);
    if (exists(target) || ::rename(path.c_str(), target.c_str()) != 0) {
      report("Settings file \"" + path + "\" cannot be read (" + why +
             ") and could not be moved aside; settings will not be saved.");
      return false;
    }
    report("Settings file \"" + path + "\" cannot be read (" + why + "); it was moved to \"" + target +
           "\" and the settings start empty.");
    return true;
  }

  enum class Load { Ok, Corrupt, Failed };

  // Reads and parses the file into `out`; `why` describes a corrupt or unreadable file.
  Load read(std::unique_ptr<RegKey>& out, std::string& why) const {
    out = std::make_unique<RegKey>(std::string(regformat::kHive));
    FileRead r = readFileBounded(path, regformat::kMaxFileBytes);
    switch (r.status) {
      case ReadStatus::Missing:
        return Load::Ok;
      case ReadStatus::Failed:
        why = r.error;
        return Load::Failed;
      case ReadStatus::TooLarge:
        why = "larger than " + std::to_string(regformat::kMaxFileBytes >> 20) + " MiB";
        return Load::Corrupt;
      case ReadStatus::Ok:
        break;
    }
    regformat::ParseError error;
    if (!regformat::parse(r.data, *out, error)) {
      why = error.line ? "line " + std::to_string(error.line) + ": " + error.message : error.message;
      out = std::make_unique<RegKey>(std::string(regformat::kHive));
      return Load::Corrupt;
    }
    return Load::Ok;
  }

  // With the lock held: the current file, a corrupt one moved aside. False when it cannot be
  // read, or a corrupt file cannot be moved: writing then would destroy what is there.
  bool readLocked(std::unique_ptr<RegKey>& out) {
    std::string why;
    switch (read(out, why)) {
      case Load::Ok:
        return true;
      case Load::Failed:
        report("Settings file \"" + path + "\" cannot be read: " + why);
        return false;
      case Load::Corrupt:
        return moveAside(why);
    }
    return false;
  }

  void load() {
    std::unique_ptr<RegKey> fresh;
    std::string why;
    switch (read(fresh, why)) {
      case Load::Ok:
        break;
      case Load::Failed:
        report("Settings file \"" + path + "\" cannot be read: " + why);
        break;
      case Load::Corrupt: {
        if (reader) {
          report("Settings file \"" + path + "\" is corrupt (" + why +
                 "); it is left as it is, and the settings read as empty.");
          break;
        }
        // Another process may be replacing the file right now: decide under the lock.
        RegistryLock lock(path + ".lock");
        if (!lock.locked()) {
          report("Settings file \"" + path + "\" cannot be read (" + why + "), and " + lock.error());
        } else {
          readLocked(fresh);
        }
        break;
      }
    }
    hive = std::move(fresh);
  }

  bool fileProtected(std::string& why) const {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || (st.st_mode & S_IWUSR) != 0) return false;
    why = "the settings file \"" + path + "\" is read-only.";
    return true;
  }

  // Reload, edit, write: the one path by which the file changes.
  bool commit(const std::function<bool(std::unique_ptr<RegKey>&)>& edit) {
    if (view) return edit(hive);
    if (reader) {
      report("Settings change refused: the settings file was opened for reading only.");
      return false;
    }
    if (readOnly) return edit(hive);
    if (inTransaction) {
      report("Settings change refused: it was made outside the running transaction's view.");
      return false;
    }
    std::string error;
    if (!makeDirectories(parentDirectory(path), 0700, &error)) {
      report("Settings cannot be saved: " + error);
      return false;
    }
    RegistryLock lock(path + ".lock");
    if (!lock.locked()) {
      report("Settings cannot be saved: " + lock.error());
      return false;
    }
    // A file its owner made read-only is protected: it is never replaced behind their back.
    if (std::string why; fileProtected(why)) {
      report("Settings cannot be saved: " + why);
      return false;
    }
    std::unique_ptr<RegKey> fresh;
    if (!readLocked(fresh)) return false;
    std::unique_ptr<RegKey> work = fresh->clone();
    if (!edit(work)) {
      hive = std::move(fresh);
      return false;
    }
    if (*work == *fresh) {
      hive = std::move(work);
      return true;
    }
    std::string text = regformat::serialize(*work);
    if (text.size() > regformat::kMaxFileBytes) {
      // The next read would refuse a larger file and move it aside with everything in it.
      report("Settings change refused: the settings file would grow beyond " +
             std::to_string(regformat::kMaxFileBytes >> 20) + " MiB.");
      hive = std::move(fresh);
      return false;
    }
    AtomicWriteOptions options;
    options.mode = 0600;
    if (!writeFileAtomically(path, text, options, &error)) {
      report("Settings cannot be saved: " + error);
      hive = std::move(fresh);
      return false;
    }
    hive = std::move(work);
    return true;
  }

  // A commit whose edit works on the store below the root.
  bool change(const std::function<bool(RegKey& hive)>& edit) {
    return commit([&](std::unique_ptr<RegKey>& h) { return edit(*h); });
  }
};

Registry::Registry(std::string filePath, ErrorSink sink) : impl_(std::make_unique<Impl>()) {
  impl_->path = filePath.empty() ? defaultPath() : std::move(filePath);
  impl_->sink = std::move(sink);
  impl_->load();
}

Registry::Registry(std::string filePath, ErrorSink sink, Access access) : impl_(std::make_unique<Impl>()) {
  impl_->path = filePath.empty() ? defaultPath() : std::move(filePath);
  impl_->sink = std::move(sink);
  impl_->reader = access == Access::ReadOnly;
  impl_->load();
}

Registry::Registry(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Registry::~Registry() = default;

std::string Registry::defaultPath() {
  if (const char* env = std::getenv("TRELLAN_REGISTRY"); env && *env) return env;
  std::string config;
  // XDG asks that a relative XDG_CONFIG_HOME be ignored.
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
    config = xdg;
  } else {
    config = homeDirectory() + "/.config";
  }
  return config + "/Quorvel/Trellan.reg";
}

const std::string& Registry::filePath() const { return impl_->path; }

void Registry::setRoot(std::string rootKey) { impl_->setRoot(std::move(rootKey)); }

const std::string& Registry::root() const { return impl_->root; }

void Registry::setErrorSink(ErrorSink sink) { impl_->sink = std::move(sink); }

void Registry::reload() {
  // Read-only, this object's copy holds the session's changes: they are kept.
  if (!impl_->view && !impl_->readOnly) impl_->load();
}

bool Registry::canSave(std::string* why) const {
  std::string reason;
  const std::string dir = parentDirectory(impl_->path);
  const bool ok = [&] {
    if (impl_->fileProtected(reason)) return false;
    if (!makeDirectories(dir, 0700, &reason)) return false;
    if (::access(dir.c_str(), W_OK) != 0) {
      reason = "the folder \"" + dir + "\" is not writable.";
      return false;
    }
    RegistryLock lock(impl_->path + ".lock");
    if (!lock.locked()) reason = lock.error();
    return lock.locked();
  }();
  if (!ok && why) *why = reason;
  return ok;
}

void Registry::setReadOnly(bool on) { impl_->readOnly = on; }

bool Registry::readOnly() const { return impl_->readOnly; }

std::optional<RegValue> Registry::value(std::string_view key, std::string_view name) const {
  const RegKey* k = impl_->find(key);
  if (!k) return std::nullopt;
  const RegValue* v = k->findValue(name);
  if (!v) return std::nullopt;
  return *v;
}

std::optional<std::uint32_t> Registry::getDword(std::string_view key, std::string_view name) const {
  const RegKey* k = impl_->find(key);
  const RegValue* v = k ? k->findValue(name) : nullptr;
  if (!v || v->type != RegValue::Type::Dword) return std::nullopt;
  return v->dword;
}

std::optional<std::string> Registry::getString(std::string_view key, std::string_view name) const {
  const RegKey* k = impl_->find(key);
  const RegValue* v = k ? k->findValue(name) : nullptr;
  if (!v || v->type != RegValue::Type::String) return std::nullopt;
  return v->text;
}

std::uint32_t Registry::getDword(std::string_view key, std::string_view name, std::uint32_t fallback) const {
  return getDword(key, name).value_or(fallback);
}

std::string Registry::getString(std::string_view key, std::string_view name, std::string_view fallback) const {
  auto v = getString(key, name);
  return v ? std::move(*v) : std::string(fallback);
}

bool Registry::keyExists(std::string_view key) const { return impl_->find(key) != nullptr; }

std::vector<std::string> Registry::subKeys(std::string_view key) const {
  std::vector<std::string> names;
  if (const RegKey* k = impl_->find(key)) {
    names.reserve(k->subkeys.size());
    for (const auto& sub : k->subkeys) names.push_back(sub->name);
  }
  return names;
}

std::vector<std::pair<std::string, RegValue>> Registry::values(std::string_view key) const {
  const RegKey* k = impl_->find(key);
  return k ? k->values : std::vector<std::pair<std::string, RegValue>>{};
}

bool Registry::setDword(std::string_view key, std::string_view name, std::uint32_t v) {
  return setValue(key, name, RegValue::ofDword(v));
}

bool Registry::setString(std::string_view key, std::string_view name, std::string_view v) {
  return setValue(key, name, RegValue::ofString(std::string(v)));
}

bool Registry::setValue(std::string_view key, std::string_view name, const RegValue& v) {
  Path p = impl_->fullPath(key);
  if (!validPath(p) || !regformat::validValueName(name) || !regformat::validValue(v)) return false;
  return impl_->change([&](RegKey& hive) {
    ensureKey(hive, p)->setValue(name, v);
    return true;
  });
}

bool Registry::createKey(std::string_view key) {
  Path p = impl_->fullPath(key);
  if (!validPath(p)) return false;
  return impl_->change([&](RegKey& hive) { return ensureKey(hive, p) != nullptr; });
}

bool Registry::deleteValue(std::string_view key, std::string_view name) {
  Path p = impl_->fullPath(key);
  if (!validPath(p)) return true;  // no such key, so no such value
  return impl_->change([&](RegKey& hive) {
    if (RegKey* k = findKey(hive, p)) k->removeValue(name);
    return true;
  });
}

bool Registry::deleteTree(std::string_view key) {
  Path p = impl_->fullPath(key);
  if (!validPath(p)) return true;
  return impl_->change([&](RegKey& hive) {
    if (p.empty()) {
      hive.values.clear();
      hive.subkeys.clear();
      return true;
    }
    Path parentPath(p.begin(), p.end() - 1);
    if (RegKey* parent = findKey(hive, parentPath)) parent->removeSubkey(p.back());
    return true;
  });
}

bool Registry::copyTree(std::string_view from, std::string_view to) {
  Path src = impl_->fullPath(from);
  Path dst = impl_->fullPath(to);
  if (!validPath(src) || !validPath(dst)) return false;
  bool inside = dst.size() >= src.size();
  for (std::size_t i = 0; inside && i < src.size(); ++i) inside = namesEqual(src[i], dst[i]);
  if (inside) return false;
  return impl_->change([&](RegKey& hive) {
    const RegKey* source = findKey(hive, src);
    if (!source) return false;
    // Copy first: the target may hold the source (copying "A\B" into "A").
    std::unique_ptr<RegKey> copy = source->clone();
    ensureKey(hive, dst)->mergeFrom(*copy);
    return true;
  });
}

bool Registry::transaction(const std::function<bool(Registry& tx)>& edit) {
  if (impl_->view) {
    std::unique_ptr<RegKey> backup = impl_->hive->clone();
    if (edit(*this)) return true;
    impl_->hive = std::move(backup);
    return false;
  }
  return impl_->commit([&](std::unique_ptr<RegKey>& work) {
    auto viewImpl = std::make_unique<Impl>();
    viewImpl->path = impl_->path;
    viewImpl->setRoot(impl_->root);
    viewImpl->sink = impl_->sink;
    viewImpl->view = true;
    viewImpl->hive = std::move(work);
    Registry tx(std::move(viewImpl));
    struct Flag {
      bool& f;
      explicit Flag(bool& b) : f(b) { f = true; }
      ~Flag() { f = false; }
    } running(impl_->inTransaction);
    bool ok = edit(tx);
    work = std::move(tx.impl_->hive);
    return ok;
  });
}

}  // namespace platform
