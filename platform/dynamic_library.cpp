#include "platform/dynamic_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <utility>

namespace platform {

namespace {

std::string takeDlError() {
  const char* e = ::dlerror();
  return e ? e : "unknown error";
}

}  // namespace

DynamicLibrary::~DynamicLibrary() { close(); }

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), keep_(other.keep_), error_(std::move(other.error_)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    close();
    handle_ = std::exchange(other.handle_, nullptr);
    keep_ = other.keep_;
    error_ = std::move(other.error_);
  }
  return *this;
}

bool DynamicLibrary::open(const std::string& path) {
  close();
  if (path.empty()) {
    // dlopen("") would hand back the program itself.
    error_ = "no library name";
    return false;
  }
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  error_ = handle_ ? std::string() : takeDlError();
  return handle_ != nullptr;
}

void DynamicLibrary::close() {
  if (handle_ && !keep_) ::dlclose(handle_);
  handle_ = nullptr;
}

void* DynamicLibrary::symbol(const char* name) const {
  if (!handle_) {
    error_ = "library not loaded";
    return nullptr;
  }
  if (!name || !*name) {
    error_ = "no symbol name";
    return nullptr;
  }
  ::dlerror();
  void* p = ::dlsym(handle_, name);
  error_ = p ? std::string() : takeDlError();
  return p;
}

void* DynamicLibrary::ordinal(std::string_view prefix, int n) const {
  return symbol(ordinalSymbolName(prefix, n).c_str());
}

std::string ordinalSymbolName(std::string_view prefix, int ordinal) {
  return std::string(prefix) + '_' + std::to_string(ordinal);
}

std::string programDirectory() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  std::string path(buffer, static_cast<std::size_t>(n));
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return path.substr(0, slash == 0 ? 1 : slash);
}

std::string besideProgram(std::string_view fileName) {
  std::string dir = programDirectory();
  if (dir.empty()) return std::string(fileName);
  if (dir.back() != '/') dir += '/';
  return dir + std::string(fileName);
}

}  // namespace platform
