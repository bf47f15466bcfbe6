#pragma once
// Posting an error: the calling task's last error becomes the code and, when the function was
// given a session handle that resolves, so does that session's.
#include "snmp/winsnmp.h"

namespace snmp {

void postError(smiUINT32 code, HSNMP_SESSION session = 0) noexcept;

// Engine results inside the engine: SNMPAPI_SUCCESS, or the code to post (which may be 0).
constexpr smiUINT32 kOk = SNMPAPI_SUCCESS;

}  // namespace snmp
