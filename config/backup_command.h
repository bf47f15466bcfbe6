#pragma once
// "S&ave Configuration" and "R&estore Configuration": the file choice and the overwrite
// question, then the configuration command entry in its file mode. GUI-free: the file dialogs
// and the question come through BackupFileHost.
#include <string>

#include "config/config_command.h"

namespace config {

class BackupFileHost {
 public:
  virtual ~BackupFileHost() = default;
  // "Save Configuration to File" with a proposed name; empty when cancelled.
  virtual std::string askSaveFile(const std::string& proposedName) = 0;
  // "Restore Configuration from File" (the file must exist); empty when cancelled.
  virtual std::string askOpenFile() = 0;
  // "The file "%s" already exists.  Overwrite file?" (Yes / No): true for Yes.
  virtual bool askOverwrite(const std::string& question) = 0;
  virtual bool fileExists(const std::string& path);
};

// The proposed file name: the unit's name + ".cfg" (its address when it has no name), with
// characters a file name cannot hold replaced by "_", at most 260 characters.
std::string proposedBackupName(const devices::CDevice& device);
// The overwrite question for a file.
std::string overwriteQuestion(const std::string& path);

CommandOutcome runSaveConfigurationCommand(ConfigCommandHost& host, BackupFileHost& files);
CommandOutcome runRestoreConfigurationCommand(ConfigCommandHost& host, BackupFileHost& files);

}  // namespace config
