#pragma once
// The NetWare client binding: libfennick.so loaded at run time, each operation reached by its
// export ordinal at every call, every result a 32-bit completion code. Without the adapter (or
// with an adapter whose ordinal is missing) an operation answers kFnkNotAvailable and leaves its
// out-arguments alone; client codes pass through untranslated.
#include <cstdint>
#include <string>
#include <type_traits>

#include "fennick/fennick_exports.h"
#include "platform/dynamic_library.h"

namespace netware {

// Completion codes callers test.
inline constexpr std::uint32_t kFnkNotAvailable = 0x8806;
inline constexpr std::uint32_t kFnkAlreadyAttached = 0x8800;
inline constexpr std::uint32_t kFnkNoPasswordToChange = 0x89D7;
inline constexpr std::uint32_t kFnkAlreadyInSet = 0x89E9;
inline constexpr std::uint32_t kFnkNotInSet = 0x89EA;
inline constexpr std::uint32_t kFnkObjectExists = 0x89EE;
inline constexpr std::uint32_t kFnkInvalidName = 0x89EF;
inline constexpr std::uint32_t kFnkNoSuchObject = 0x89FC;
inline constexpr std::uint32_t kFnkTablesLoaded = 0xFE17;
inline constexpr std::uint32_t kPsNoMoreValues = 0x7762;
inline constexpr std::uint32_t kPsNotStandard = 0x7763;

// Bindery object types travel in network byte order: the numbers passed are byte-swapped.
constexpr std::uint16_t swapType(std::uint16_t t) { return static_cast<std::uint16_t>((t >> 8) | (t << 8)); }
inline constexpr std::uint16_t kTypeUser = 0x0100;
inline constexpr std::uint16_t kTypeGroup = 0x0200;
inline constexpr std::uint16_t kTypeQueue = 0x0300;
inline constexpr std::uint16_t kTypeFileServer = 0x0400;
inline constexpr std::uint16_t kTypePrintServer = 0x0700;
inline constexpr std::uint16_t kTypeTree = 0x7802;
// The print servers' own objects: SAP service types 0x0363 and 0x0927, byte-swapped.
inline constexpr std::uint16_t kTypeDevice0363 = 0x6303;  // 25347
inline constexpr std::uint16_t kTypeDevice0927 = 0x2709;  // 9993

inline constexpr int kBinderyNameMax = 47;    // characters
inline constexpr int kBinderyNameField = 48;  // bytes with the terminator
inline constexpr int kPropertySegment = 128;  // bytes of one property segment
inline constexpr std::uint32_t kScanStart = 0xFFFFFFFFu;

class CFennick {
 public:
  CFennick() = default;

  // Loads `path` (default: $TRELLAN_FENNICK, else libfennick.so beside the program) and starts the client: 1 when the
  // client is ready, 0 when the adapter cannot be loaded (also when a client library is
  // missing), otherwise what ordinal 1 returned (kFnkNotAvailable when it is missing). The
  // module is kept even when the client does not start.
  std::uint32_t load(const std::string& path = {});
  bool loaded() const { return library_.isOpen(); }
  // True when the last load started the client (load() returned 1).
  bool ready() const { return ready_; }
  // The loader's text when load() returned 0.
  const std::string& loadError() const { return loadError_; }

  // Ordinal `n` with the given arguments, each widened to a slot.
  template <class... A>
  std::uint32_t call(int n, A... args) const {
    void* f = library_.isOpen() ? library_.ordinal("fnk", n) : nullptr;
    if (!f) return kFnkNotAvailable;
    using Fn = FnkResult(std::conditional_t<true, FnkSlot, A>...);
    return reinterpret_cast<Fn*>(f)(toSlot(args)...);
  }

  // --- Connections ---
  std::uint32_t ListConnections(std::uint32_t* handles, std::uint16_t capacity, std::uint16_t* count) const {
    return call(6, 0u, handles, capacity, count);
  }
  std::uint32_t GetConnectionStatus(std::uint32_t conn, std::uint32_t* status, std::uint32_t* extra) const {
    return call(7, conn, status, extra);
  }
  std::uint32_t GetPrimaryConnection(std::uint32_t* conn) const { return call(8, conn); }
  std::uint32_t GetServerName(std::uint32_t conn, char* name48) const { return call(9, conn, name48); }
  std::uint32_t GetDefaultConnection(std::uint32_t* conn) const { return call(11, conn); }
  std::uint32_t GetConnectionByName(const char* server, std::uint32_t* conn) const {
    return call(12, server, 0u, conn, 0u);
  }
  std::uint32_t GetConnectionUserId(std::uint32_t conn, std::uint32_t* id) const { return call(23, conn, id); }
  std::uint32_t AttachToServer(std::uint32_t conn, const char* server, std::uint32_t* out) const {
    return call(64, conn, server, 0u, out);
  }

  // --- Bindery objects and properties ---
  // `id` in/out (start kScanStart), null for a single lookup; `name48` may be null.
  std::uint32_t ScanObject(std::uint32_t conn, const char* pattern, std::uint16_t type, std::uint32_t* id,
                           char* name48) const {
    return call(10, conn, pattern, type, id, name48, nullptr, nullptr, nullptr, nullptr);
  }
  std::uint32_t GetObjectId(std::uint32_t conn, const char* name, std::uint16_t type, std::uint32_t* id) const {
    return call(13, conn, name, type, id);
  }
  std::uint32_t GetObjectName(std::uint32_t conn, std::uint32_t id, char* name48) const {
    return call(24, conn, id, name48, nullptr, nullptr, nullptr);
  }
  std::uint32_t CreateObject(std::uint32_t conn, const char* name, std::uint16_t type, std::uint8_t flags,
                             std::uint8_t security) const {
    return call(32, conn, name, type, flags, security);
  }
  std::uint32_t DeleteObject(std::uint32_t conn, const char* name, std::uint16_t type) const {
    return call(26, conn, name, type);
  }
  std::uint32_t ChangeObjectPassword(std::uint32_t conn, const char* name, std::uint16_t type, const char* oldPw,
                                     const char* newPw) const {
    return call(29, conn, name, type, oldPw, newPw);
  }
  std::uint32_t CreateProperty(std::uint32_t conn, const char* name, std::uint16_t type, const char* property,
                               std::uint8_t flags, std::uint8_t security) const {
    return call(31, conn, name, type, property, flags, security);
  }
  std::uint32_t ChangePropertySecurity(std::uint32_t conn, const char* name, std::uint16_t type,
                                       const char* property, std::uint8_t security) const {
    return call(21, conn, name, type, property, security);
  }
  // One 128-byte segment (from 1); `more` 0xFF when further segments follow; flags bit 1 = set.
  std::uint32_t ReadPropertyValue(std::uint32_t conn, const char* name, std::uint16_t type, const char* property,
                                  std::uint8_t segment, std::uint8_t* value128, std::uint8_t* more,
                                  std::uint8_t* flags) const {
    return call(19, conn, name, type, property, segment, value128, more, flags);
  }
  std::uint32_t WritePropertyValue(std::uint32_t conn, const char* name, std::uint16_t type, const char* property,
                                   const std::uint8_t* value128) const {
    return call(30, conn, name, type, property, std::uint8_t{1}, value128, std::uint8_t{0});
  }
  std::uint32_t AddToSet(std::uint32_t conn, const char* name, std::uint16_t type, const char* property,
                         const char* member, std::uint16_t memberType) const {
    return call(20, conn, name, type, property, member, memberType);
  }
  std::uint32_t DeleteFromSet(std::uint32_t conn, const char* name, std::uint16_t type, const char* property,
                              const char* member, std::uint16_t memberType) const {
    return call(18, conn, name, type, property, member, memberType);
  }
  std::uint32_t IsInSet(std::uint32_t conn, const char* name, std::uint16_t type, const char* property,
                        const char* member, std::uint16_t memberType) const {
    return call(33, conn, name, type, property, member, memberType);
  }

  // --- Queues and the file system ---
  std::uint32_t CreateQueue(std::uint32_t conn, const char* name, const char* path, std::uint32_t* id) const {
    return call(22, conn, name, kTypeQueue, std::uint8_t{0}, path, id);
  }
  std::uint32_t RemoveQueue(std::uint32_t conn, std::uint32_t id) const { return call(14, conn, id); }
  std::uint32_t CreateDirectory(std::uint32_t conn, const char* path, std::uint8_t rightsMask) const {
    return call(28, conn, std::uint8_t{0}, path, rightsMask);
  }
  std::uint32_t DeleteDirectory(std::uint32_t conn, const char* path) const {
    return call(25, conn, std::uint8_t{0}, path);
  }
  std::uint32_t AddTrustee(std::uint32_t conn, const char* path, std::uint32_t trustee, std::uint8_t rights) const {
    return call(27, conn, std::uint8_t{0}, path, trustee, rights);
  }

 private:
  template <class T>
  static FnkSlot toSlot(T v) {
    if constexpr (std::is_pointer_v<T>)
      return reinterpret_cast<FnkSlot>(v);
    else if constexpr (std::is_same_v<T, std::nullptr_t>)
      return 0;
    else
      return static_cast<FnkSlot>(v);
  }

  platform::DynamicLibrary library_;
  std::string loadError_;
  bool ready_ = false;
};

// The process's binding: loaded once by the network probe, never unloaded.
CFennick& fennick();
// The process binding's load; 1 = NetWare client available.
std::uint32_t FnkLoad();

}  // namespace netware
