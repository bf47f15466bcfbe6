#pragma once
// The SYS volumes of file servers as the workstation sees them in its file system: one folder
// per server under a root ($TRELLAN_NETWARE_VOLUMES, else ~/.local/state/trellan/netware),
// holding SYS/SYSTEM/<directory>/<file>. Files are replaced whole and atomically, so a failure
// never leaves a shortened configuration file behind.
#include <optional>
#include <string>
#include <vector>

namespace netware {

// The root folder of the mounted volumes.
std::string volumesRoot();

class NwVolumes {
 public:
  virtual ~NwVolumes() = default;
  // "<root>/<SERVER>/SYS/SYSTEM/<dir>" (server names upper case, as the bindery keeps them).
  virtual std::string directoryPath(const std::string& server, const std::string& dir) const;
  virtual bool directoryExists(const std::string& server, const std::string& dir) const;
  // Nothing when the file is missing; `failed` set when it exists but cannot be read.
  virtual std::optional<std::string> readFile(const std::string& server, const std::string& dir,
                                              const std::string& file, bool* failed = nullptr) const;
  virtual bool writeFile(const std::string& server, const std::string& dir, const std::string& file,
                         const std::string& bytes);

  explicit NwVolumes(std::string root = volumesRoot()) : root_(std::move(root)) {}
  const std::string& root() const { return root_; }

 private:
  std::string root_;
};

}  // namespace netware
