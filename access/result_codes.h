#pragma once
// The result codes of the access layer: 0 success, request failures, value errors, the reply's
// SNMP error statuses and "stopped by the user". They travel unchanged up to the dialog or
// command that reports them (ReportError, error class SNMP) or prints them (trellanctl).
#include <cstdint>

namespace snmpaccess {

namespace result {
inline constexpr int kSuccess = 0;
inline constexpr int kNoSession = 3075;        // no progress window, engine session or translate mode
inline constexpr int kVblFailed = 3076;        // the binding list could not be built
inline constexpr int kBadAddress = 3079;       // the address does not name an entity
inline constexpr int kNoContext = 3080;        // empty or invalid community
inline constexpr int kPduFailed = 3081;        // the PDU could not be created
inline constexpr int kSendFailed = 3088;
inline constexpr int kReceiveFailed = 3089;    // reply not received or not decodable
inline constexpr int kReplyUnreadable = 3090;  // reply PDU could not be read
inline constexpr int kNotResponse = 3091;      // reply is not a Response PDU
inline constexpr int kCountMismatch = 3093;    // reply carries another number of bindings
inline constexpr int kNoReply = 3094;          // no reply after all transmissions
inline constexpr int kWrongType = 3152;        // value read as the wrong type
inline constexpr int kDoesNotFit = 3153;       // value too large for the buffer, or missing
inline constexpr int kBindingUnreadable = 3154;
inline constexpr int kEmptyRequest = 3155;     // no bindings, or no target address
inline constexpr int kTooBig = 3156;           // error-status 1
inline constexpr int kNoSuchName = 3157;       // error-status 2
inline constexpr int kBadValue = 3158;         // error-status 3
inline constexpr int kReadOnly = 3159;         // error-status 4
inline constexpr int kGenErr = 3160;           // error-status 5
inline constexpr int kStopped = 3161;          // the user pressed Stop
}  // namespace result

// The result code of a reply's non-zero error status: 1-5 map to 3156-3160, any other status is
// returned as its own number.
constexpr int resultOfErrorStatus(int status) noexcept {
  return status >= 1 && status <= 5 ? result::kTooBig + status - 1 : status;
}

struct ResultCodeRow {
  int code;
  const char* meaning;
};

inline constexpr ResultCodeRow kResultCodes[] = {
    {result::kSuccess, "success"},
    {result::kNoSession, "no progress window, or the SNMP session could not be opened"},
    {result::kVblFailed, "the variable-binding list could not be built"},
    {result::kBadAddress, "the target address is not valid"},
    {result::kNoContext, "no community (empty or invalid community name)"},
    {result::kPduFailed, "the request PDU could not be created"},
    {result::kSendFailed, "the request could not be sent"},
    {result::kReceiveFailed, "the reply could not be received or decoded"},
    {result::kReplyUnreadable, "the reply PDU could not be read"},
    {result::kNotResponse, "the reply is not a Response PDU"},
    {result::kCountMismatch, "the reply carries a different number of bindings than the request"},
    {result::kNoReply, "no reply (time-out after all transmissions)"},
    {result::kWrongType, "a value was read as the wrong type"},
    {result::kDoesNotFit, "a value does not fit the buffer, or is missing"},
    {result::kBindingUnreadable, "a reply binding could not be read"},
    {result::kEmptyRequest, "empty request or empty target address"},
    {result::kTooBig, "tooBig: the reply would be too big"},
    {result::kNoSuchName, "noSuchName: no such object"},
    {result::kBadValue, "badValue: the value was refused"},
    {result::kReadOnly, "readOnly: the object cannot be written"},
    {result::kGenErr, "genErr: the agent failed"},
    {result::kStopped, "stopped by the user"},
};

// The meaning of a code of the table above; for other codes (a reply's own error status)
// "error status N of the reply" is left to the caller: this returns nullptr.
constexpr const char* resultCodeMeaning(int code) noexcept {
  for (const auto& row : kResultCodes)
    if (row.code == code) return row.meaning;
  return nullptr;
}

}  // namespace snmpaccess
