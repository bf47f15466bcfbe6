#pragma once
// The request context of one print server: GET, GETNEXT and SET of an array of bindings over the
// SNMP engine, each request sent up to three times with the same request id, waited for in the
// target's progress window, and reduced to one result code (access/result_codes.h).
//
// The engine must be started (SnmpStartup) before a session is made. A session serves one
// request at a time; the target and its progress window outlive it.
#include <cstdint>
#include <span>

#include "access/snmp_target.h"
#include "access/var_bind.h"
#include "snmp/winsnmp.h"

namespace snmpaccess {

// Text ids the progress window shows while a request waits.
inline constexpr std::uint32_t kTextReading = 6107;   // "Reading server information..."
inline constexpr std::uint32_t kTextUpdating = 6108;  // "Updating server information..."

class CSnmpSession {
 public:
  static constexpr std::uint32_t kDefaultTimeout = 200;  // 10 ms units
  static constexpr int kResendCount = 2;

  // `result` receives 0, or 3075 when the target has no progress window or the engine session
  // cannot be opened (the session is then unusable: every request returns 3075).
  CSnmpSession(SnmpTarget* target, int& result);
  ~CSnmpSession();
  CSnmpSession(const CSnmpSession&) = delete;
  CSnmpSession& operator=(const CSnmpSession&) = delete;

  // Wait per transmission, in units of 10 ms.
  void setTimeout(std::uint32_t tenMs) { timeout_ = tenMs; }
  std::uint32_t timeout() const { return timeout_; }

  // Replaces the current community; an empty text leaves none (requests then give 3080).
  void setCommunity(const char* text);

  // Each returns a result code; on success the bindings hold the agent's names, values and
  // syntaxes. A reply error status also goes to `errorStatus` / `errorIndex` (when given).
  // get uses the current community (the GET community, or the SET community after a set).
  int get(CVarBind* const* bindings, int count, int* errorStatus = nullptr, int* errorIndex = nullptr);
  int getNext(CVarBind* const* bindings, int count, int* errorStatus = nullptr, int* errorIndex = nullptr);
  int set(CVarBind* const* bindings, int count, int* errorStatus = nullptr, int* errorIndex = nullptr);

  int get(std::span<CVarBind* const> b, int* es = nullptr, int* ei = nullptr) {
    return get(b.data(), static_cast<int>(b.size()), es, ei);
  }
  int getNext(std::span<CVarBind* const> b, int* es = nullptr, int* ei = nullptr) {
    return getNext(b.data(), static_cast<int>(b.size()), es, ei);
  }
  int set(std::span<CVarBind* const> b, int* es = nullptr, int* ei = nullptr) {
    return set(b.data(), static_cast<int>(b.size()), es, ei);
  }

  // The engine's code of the last failed engine call (SnmpGetLastError), for diagnostics.
  smiUINT32 lastEngineError() const { return lastError_; }
  // Transmissions of the last request (1 to 3), for diagnostics and tests.
  int lastTransmissions() const { return transmissions_; }

 private:
  struct Request;
  int request(smiINT pduType, CVarBind* const* bindings, int count, int* errorStatus, int* errorIndex);
  int transmit(Request& r);
  // 0 success or a result code; kIgnored when the datagram was not the answer to this request.
  int receive(Request& r);
  void noteError();

  SnmpTarget* target_;
  HSNMP_SESSION session_ = 0;
  std::uint32_t timeout_ = kDefaultTimeout;
  smiUINT32 lastError_ = 0;
  HSNMP_CONTEXT context_ = 0;
  int resends_ = kResendCount;
  int transmissions_ = 0;
};

}  // namespace snmpaccess
