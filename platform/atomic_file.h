#pragma once
// Whole-file reads and writes for settings and profile files. A write never leaves a half-written
// file behind: the data goes to a temporary file in the same folder, is flushed to disk, and
// replaces the old file with one rename; the folder is flushed after the rename.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace platform {

enum class ReadStatus {
  Ok,
  Missing,   // no such file (or a file where a folder of the path should be)
  TooLarge,  // larger than the given bound; nothing was returned
  Failed,    // not a regular file, or an I/O error
};

struct FileRead {
  ReadStatus status = ReadStatus::Failed;
  std::string data;
  std::string error;  // for Failed: what went wrong, e.g. "Permission denied"
};

// Reads a regular file of at most `maxBytes` bytes. Never blocks on a FIFO or device.
FileRead readFileBounded(const std::string& path, std::size_t maxBytes);

struct AtomicWriteOptions {
  // Mode of the written file. When unset, an existing file keeps its mode and a new one gets
  // 0666 less the umask.
  std::optional<mode_t> mode;
};

// Replaces `path` with `data`: temporary file in the same folder, fsync, rename, fsync of the
// folder. A symbolic link at `path` is followed and its target replaced. On failure the old file
// is untouched, the temporary file removed, and `error` (when given) says what failed.
bool writeFileAtomically(const std::string& path, std::string_view data, const AtomicWriteOptions& options = {},
                         std::string* error = nullptr);

// Creates `dir` and its missing parents with `mode` (existing folders are left as they are).
bool makeDirectories(const std::string& dir, mode_t mode, std::string* error = nullptr);

// The folder part of a path ("." for a bare file name).
std::string parentDirectory(const std::string& path);

}  // namespace platform
