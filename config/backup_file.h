#pragma once
// The configuration backup file as it is written: every page writes its sections into a private
// temporary file beside the chosen one, and only a complete write replaces the chosen file, with
// one rename. So a cancelled or failed save (the unit stopped answering, the disk filled up) never
// touches a backup that already existed, and a reader never sees half a file. The temporary file
// is created readable by its owner only; the finished file stays so when it holds write-only
// values (community, passwords), which the file keeps in clear text.
#include <string>
#include <sys/types.h>

namespace config {

class BackupWriter {
 public:
  explicit BackupWriter(std::string target);
  ~BackupWriter();  // removes the temporary file unless committed
  BackupWriter(const BackupWriter&) = delete;
  BackupWriter& operator=(const BackupWriter&) = delete;

  // Creates the empty temporary file (mode 0600) in the target's folder. False with `error` set
  // when the folder cannot take it.
  bool begin(std::string* error = nullptr);
  // The file the pages write into (empty before begin()).
  const std::string& path() const { return temp_; }
  const std::string& target() const { return target_; }
  // Whether the target existed when begin() ran.
  bool targetExisted() const { return existed_; }

  // Replaces the target with the temporary file. Mode: 0600 when `holdsWriteOnly`; otherwise the
  // mode the old target had, or 0666 less the umask for a new one.
  bool commit(bool holdsWriteOnly, std::string* error = nullptr);
  // Drops the temporary file; the target stays as it was.
  void abort();

 private:
  std::string target_;
  std::string temp_;
  bool existed_ = false;
  mode_t oldMode_ = 0;
};

// The mode a new file gets from the process umask (0666 less the umask).
mode_t defaultFileMode();

}  // namespace config
