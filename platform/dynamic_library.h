#pragma once
// A run-time library (dlopen/dlsym). ELF has no ordinals: a library that stands for one with
// numbered exports names each function "<prefix>_<ordinal>" (fennick: fnk_1 ... fnk_67 in
// libfennick.so beside the program), and callers look them up by that name at every call.
#include <string>
#include <string_view>

namespace platform {

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary();
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Loads the library (a path, or a bare name searched the dynamic loader's way). False with
  // error() set when it cannot be loaded; a library held before is released first.
  bool open(const std::string& path);
  bool isOpen() const { return handle_ != nullptr; }
  void close();
  // The library stays loaded for the life of the process, also after this object is gone.
  void keepLoaded() { keep_ = true; }

  // The address of an exported symbol, or null (error() tells why).
  void* symbol(const char* name) const;
  // The function "<prefix>_<ordinal>", e.g. ordinal("fnk", 12) looks up "fnk_12".
  void* ordinal(std::string_view prefix, int ordinal) const;

  template <class Function>
  Function* function(const char* name) const {
    return reinterpret_cast<Function*>(symbol(name));
  }
  template <class Function>
  Function* ordinalFunction(std::string_view prefix, int n) const {
    return reinterpret_cast<Function*>(ordinal(prefix, n));
  }

  // The loader's text for the last failure of this object ("" after success).
  const std::string& error() const { return error_; }

 private:
  void* handle_ = nullptr;
  bool keep_ = false;
  mutable std::string error_;
};

// "<prefix>_<ordinal>".
std::string ordinalSymbolName(std::string_view prefix, int ordinal);
// The directory of the running program (from /proc/self/exe), without a trailing "/";
// "" when it cannot be told.
std::string programDirectory();
// `fileName` in the program's directory, e.g. besideProgram("libfennick.so").
std::string besideProgram(std::string_view fileName);

}  // namespace platform
