#pragma once
// First-run import of the settings and views of the 16-bit utility: "AMBRANW.INI" (NetWare)
// and then "AMBRAIP.INI" (TCP/IP). On this platform there is no Windows directory; the files
// are looked for in $TRELLAN_LEGACY_DIR, else in $XDG_CONFIG_HOME/Quorvel (default
// ~/.config/Quorvel, beside the settings file), where a user copies them. The names match
// without case, as they did on Windows.
#include <functional>
#include <string>
#include <vector>

namespace platform {
class Profile;
class Registry;
}  // namespace platform

namespace app {

inline constexpr const char* kLegacyNetWareFile = "AMBRANW.INI";
inline constexpr const char* kLegacyTcpIpFile = "AMBRAIP.INI";

enum class LegacyProtocol { NetWare, TcpIp };

struct LegacyImportReport {
  std::vector<std::string> filesFound;
  std::vector<std::string> filesImported;
  std::vector<std::string> viewsImported;
  // Views not written, each as "name: reason" (a "\" in the name, a name already used).
  std::vector<std::string> viewsSkipped;
};

class LegacyImport {
 public:
  // Receives the question for one file; false means the user answered No.
  using AskFn = std::function<bool(const std::string& question)>;

  // $TRELLAN_LEGACY_DIR, else $XDG_CONFIG_HOME/Quorvel, else ~/.config/Quorvel.
  static std::string defaultDirectory();
  // The path of `fileName` in `directory` (exact name first, then any case), or empty.
  static std::string findFile(const std::string& directory, const std::string& fileName);

  // Asks for and imports each file that exists, NetWare first.
  LegacyImportReport run(platform::Registry& reg, const std::string& directory, const AskFn& ask);
  // Imports one parsed file (one transaction). False when the store could not be written.
  bool importProfile(platform::Registry& reg, const platform::Profile& ini, LegacyProtocol protocol,
                     LegacyImportReport& report);
};

}  // namespace app
