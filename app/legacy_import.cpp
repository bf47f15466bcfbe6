#include "app/legacy_import.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "app/settings.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/string_ids.h"
#include "platform/string_table.h"

namespace app {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kViewIcons = 1048592;
// A search list longer than this in an old file is cut there.
constexpr int kMaxSearchEntries = 10000;
// Registry key names are at most 255 characters.
constexpr std::size_t kMaxViewName = 255;
constexpr int kMaxTreeDepth = 32;

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

struct ProtocolInfo {
  const char* folder;      // Views\<folder>
  std::uint32_t viewType;  // 7 NetWare, 6 TCP/IP
  std::uint32_t folderIcons;
  const char* nameColumn;  // replaces the old column title "Name"
  const char* accessKey;
};

ProtocolInfo info(LegacyProtocol p) {
  if (p == LegacyProtocol::NetWare) return {"NetWare", 7, 12, "NW Name", kAccessNwKey};
  return {"TCP/IP", 6, 14, "System Name", kAccessIpKey};
}

// Every node name of the view tree (lower case) with its key, so that an imported view neither
// takes a name that is already used elsewhere nor lands twice under two folders.
void collectNames(const platform::Registry& reg, const std::string& key, int depth,
                  std::map<std::string, std::string>& names) {
  if (depth > kMaxTreeDepth) return;
  for (const auto& sub : reg.subKeys(key)) {
    const std::string path = key + "\\" + sub;
    names.emplace(lower(sub), lower(path));
    collectNames(reg, path, depth + 1, names);
  }
}

std::string replaceNameColumn(const std::string& columns, const std::string& replacement) {
  std::string out;
  std::size_t pos = 0;
  while (pos <= columns.size()) {
    std::size_t comma = columns.find(',', pos);
    if (comma == std::string::npos) comma = columns.size();
    std::string title = columns.substr(pos, comma - pos);
    if (title == "Name") title = replacement;
    if (pos != 0) out += ',';
    out += title;
    pos = comma + 1;
  }
  return out;
}

void importTimeouts(platform::Registry& tx, const platform::Profile& ini) {
  for (const char* name : {"GetTimeout", "SetTimeout", "ResetTimeout", "SnmpRetry", "MaxBroadcast"}) {
    const int v = ini.getInt("Timeouts", name, 0);
    if (v <= 0) continue;  // zero is "not set"; a negative time means nothing
    tx.setDword(kTimeoutsKey, name, clampSetting(*findSetting(kTimeoutsKey, name), static_cast<std::uint32_t>(v)));
  }
}

void importView(platform::Registry& tx, const platform::Profile& ini, const ProtocolInfo& p, const std::string& key,
                const std::string& name) {
  const std::string section = "View:" + name;
  if (!tx.getDword(key, "Type")) {
    tx.setDword(key, "Type", p.viewType);
    tx.setDword(key, "Icons", kViewIcons);
  }
  for (const char* value : {"Filter", "FilterValue"}) {
    const std::string v = ini.getString(section, value, "");
    if (!v.empty()) tx.setString(key, value, v);
  }
  const std::string sort = ini.getString(section, "Sort", "");
  if (!sort.empty()) tx.setString(key, "Sort", ">" + sort);
  const std::string columns = ini.getString(section, "Columns", "");
  if (!columns.empty()) tx.setString(key, "Columns", replaceNameColumn(columns, p.nameColumn));
  for (const char* value : {"Refresh", "NetSearchBuild", "ListBuild"}) {
    const int v = ini.getInt(section, value, 0);
    if (v > 0) tx.setDword(key, value, static_cast<std::uint32_t>(v));
  }
  for (int i = 0; i < kMaxSearchEntries; ++i) {
    const std::string dev = "Dev" + std::to_string(i);
    const std::string v = ini.getString(section, dev, "");
    if (v.empty()) break;
    tx.setString(key, dev, v);
  }
}

}  // namespace

std::string LegacyImport::defaultDirectory() {
  if (const char* dir = std::getenv("TRELLAN_LEGACY_DIR"); dir && *dir) return dir;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
    return (fs::path(config) / "Quorvel").string();
  const char* home = std::getenv("HOME");
  return (fs::path(home && *home ? home : ".") / ".config" / "Quorvel").string();
}

std::string LegacyImport::findFile(const std::string& directory, const std::string& fileName) {
  std::error_code ec;
  const fs::path exact = fs::path(directory) / fileName;
  if (fs::is_regular_file(exact, ec)) return exact.string();
  const std::string wanted = lower(fileName);
  for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
    if (lower(it->path().filename().string()) == wanted && it->is_regular_file(ec)) return it->path().string();
  }
  return {};
}

bool LegacyImport::importProfile(platform::Registry& reg, const platform::Profile& ini, LegacyProtocol protocol,
                                 LegacyImportReport& report) {
  const ProtocolInfo p = info(protocol);
  std::vector<std::string> imported;
  std::vector<std::string> skipped;
  const bool ok = reg.transaction([&](platform::Registry& tx) {
    imported.clear();
    skipped.clear();
    importTimeouts(tx, ini);

    const std::string currentView = ini.getString("General", "CurrentView", "");
    if (!currentView.empty()) tx.setString(kGeneralKey, "CurrentView", currentView);

    for (const auto& key : ini.keys("OEM"))
      if (key.size() == 3) tx.setString(kOemKey, key, ini.getString("OEM", key, ""));

    const std::string folder = std::string(kViewsKey) + "\\" + p.folder;
    if (!tx.getDword(folder, "Type")) {
      tx.setDword(folder, "Type", 2);
      tx.setDword(folder, "Icons", p.folderIcons);
    }

    std::map<std::string, std::string> names;
    collectNames(tx, kViewsKey, 0, names);
    for (const auto& name : ini.keys("AllViews")) {
      const std::string key = folder + "\\" + name;
      if (name.empty() || name.size() > kMaxViewName) {
        skipped.push_back(name + ": the name is empty or too long");
        continue;
      }
      if (name.find('\\') != std::string::npos) {
        skipped.push_back(name + ": a view name may not contain \"\\\"");
        continue;
      }
      auto it = names.find(lower(name));
      if (it != names.end() && it->second != lower(key)) {
        skipped.push_back(name + ": a view or group with that name already exists");
        continue;
      }
      if (std::find(imported.begin(), imported.end(), name) != imported.end()) continue;
      importView(tx, ini, p, key, name);
      names.emplace(lower(name), lower(key));
      imported.push_back(name);
    }

    for (const auto& key : ini.keys("Access")) {
      if (lower(key) == "discoveryport") {
        const int port = ini.getInt("Access", key, static_cast<int>(kDefaultDiscoveryPort));
        const bool valid = port >= 1 && port <= 65535;
        tx.setDword(p.accessKey, "DiscoveryPort", valid ? static_cast<std::uint32_t>(port) : kDefaultDiscoveryPort);
      } else {
        tx.setString(p.accessKey, key, ini.getString("Access", key, ""));
      }
    }
    return true;
  });
  if (ok) {
    report.viewsImported.insert(report.viewsImported.end(), imported.begin(), imported.end());
    report.viewsSkipped.insert(report.viewsSkipped.end(), skipped.begin(), skipped.end());
  }
  return ok;
}

LegacyImportReport LegacyImport::run(platform::Registry& reg, const std::string& directory, const AskFn& ask) {
  LegacyImportReport report;
  const std::pair<const char*, LegacyProtocol> files[] = {
      {kLegacyNetWareFile, LegacyProtocol::NetWare},
      {kLegacyTcpIpFile, LegacyProtocol::TcpIp},
  };
  for (const auto& [fileName, protocol] : files) {
    const std::string path = findFile(directory, fileName);
    if (path.empty()) continue;
    report.filesFound.push_back(path);
    std::string question = platform::loadString(platform::ids::kAskLegacyImport);
    if (auto at = question.find("%s"); at != std::string::npos) question.replace(at, 2, path);
    if (ask && !ask(question)) continue;
    platform::Profile ini;
    if (!ini.load(path)) continue;
    if (importProfile(reg, ini, protocol, report)) report.filesImported.push_back(path);
  }
  return report;
}

}  // namespace app
