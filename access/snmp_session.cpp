#include "access/snmp_session.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "access/progress.h"
#include "access/result_codes.h"

namespace snmpaccess {
namespace {

using Clock = std::chrono::steady_clock;

// Not a result code: the datagram read was not the answer (stale, foreign, or nothing there).
constexpr int kIgnored = -1;
// One wait is capped at a day: a settings value of any size cannot overflow the millisecond count.
constexpr std::int64_t kMaxWaitMs = 24LL * 3600 * 1000;

void freeValue(smiVALUE& v) {
  switch (v.syntax) {
    case SNMP_SYNTAX_OID:
      SnmpFreeDescriptor(SNMP_SYNTAX_OID, &v.value.oid);
      break;
    case SNMP_SYNTAX_BITS:
    case SNMP_SYNTAX_OCTETS:
    case SNMP_SYNTAX_IPADDR:
    case SNMP_SYNTAX_OPAQUE:
    case SNMP_SYNTAX_NSAPADDR:
      SnmpFreeDescriptor(v.syntax, &v.value.string);
      break;
    default:
      break;
  }
}

std::string entityText(HSNMP_ENTITY entity) {
  char text[64] = {};
  // An all-zero address is written but reported as a failure: the text is still what counts.
  SnmpEntityToStr(entity, sizeof text, text);
  text[sizeof text - 1] = '\0';
  return text;
}

}  // namespace

struct CSnmpSession::Request {
  smiINT type = 0;
  CVarBind* const* bindings = nullptr;
  int count = 0;
  int* errorStatus = nullptr;
  int* errorIndex = nullptr;
  HSNMP_ENTITY entity = 0;
  HSNMP_VBL vbl = 0;
  HSNMP_PDU pdu = 0;
  smiINT32 requestId = 0;
  std::string source;  // the entity's address text, to tell the agent's datagrams from others
};

CSnmpSession::CSnmpSession(SnmpTarget* target, int& result) : target_(target) {
  result = result::kSuccess;
  if (!target_ || !target_->progress) {
    result = result::kNoSession;
    return;
  }
  session_ = SnmpOpen(target_->progress->target(), kSnmpNotifyMessage);
  if (session_ == 0) {
    noteError();
    result = result::kNoSession;
  }
  if (SnmpSetTranslateMode(SNMPAPI_UNTRANSLATED_V1) == SNMPAPI_FAILURE) {
    noteError();
    result = result::kNoSession;
  }
  setCommunity(target_->getCommunity);
}

CSnmpSession::~CSnmpSession() {
  if (context_) SnmpFreeContext(context_);
  if (session_) SnmpClose(session_);
}

void CSnmpSession::noteError() { lastError_ = SnmpGetLastError(session_); }

void CSnmpSession::setCommunity(const char* text) {
  if (context_) SnmpFreeContext(context_);
  context_ = 0;
  if (!session_ || !text) return;
  const std::size_t length = strnlen(text, kTargetTextSize - 1);
  if (length == 0) return;
  smiOCTETS community{static_cast<smiUINT32>(length), reinterpret_cast<smiLPBYTE>(const_cast<char*>(text))};
  context_ = SnmpStrToContext(session_, &community);
  if (!context_) noteError();
}

int CSnmpSession::get(CVarBind* const* bindings, int count, int* errorStatus, int* errorIndex) {
  return request(SNMP_PDU_GET, bindings, count, errorStatus, errorIndex);
}

int CSnmpSession::getNext(CVarBind* const* bindings, int count, int* errorStatus, int* errorIndex) {
  if (target_) setCommunity(target_->getCommunity);
  return request(SNMP_PDU_GETNEXT, bindings, count, errorStatus, errorIndex);
}

int CSnmpSession::set(CVarBind* const* bindings, int count, int* errorStatus, int* errorIndex) {
  if (target_) setCommunity(target_->setCommunity);
  return request(SNMP_PDU_SET, bindings, count, errorStatus, errorIndex);
}

int CSnmpSession::request(smiINT pduType, CVarBind* const* bindings, int count, int* errorStatus, int* errorIndex) {
  transmissions_ = 0;
  if (!target_ || !target_->progress || !session_) return result::kNoSession;
  if (count <= 0 || !bindings || target_->address[0] == '\0') return result::kEmptyRequest;
  for (int i = 0; i < count; ++i)
    if (!bindings[i]) return result::kEmptyRequest;
  if (!context_) return result::kNoContext;

  Request r;
  r.type = pduType;
  r.bindings = bindings;
  r.count = count;
  r.errorStatus = errorStatus;
  r.errorIndex = errorIndex;

  char address[kTargetTextSize];
  copyBounded(address, sizeof address, target_->address);
  int rc = result::kSuccess;
  r.entity = SnmpStrToEntity(session_, address);
  if (!r.entity || SnmpSetTimeout(r.entity, timeout_) == SNMPAPI_FAILURE) {
    noteError();
    rc = result::kBadAddress;
  }
  if (rc == result::kSuccess) {
    r.source = entityText(r.entity);
    const smiVALUE first = bindings[0]->value();
    r.vbl = SnmpCreateVbl(session_, &bindings[0]->name().oid(), &first);
    for (int i = 1; r.vbl && i < count; ++i) {
      const smiVALUE v = bindings[i]->value();
      if (SnmpSetVb(r.vbl, 0, &bindings[i]->name().oid(), &v) == SNMPAPI_FAILURE) {
        noteError();
        rc = result::kVblFailed;
        break;
      }
    }
    if (!r.vbl) {
      noteError();
      rc = result::kVblFailed;
    }
  }
  if (rc == result::kSuccess) {
    r.pdu = SnmpCreatePdu(session_, pduType, 0, 0, 0, r.vbl);
    if (!r.pdu) {
      noteError();
      rc = result::kPduFailed;
    } else {
      SnmpGetPduData(r.pdu, nullptr, &r.requestId, nullptr, nullptr, nullptr);
    }
  }
  if (rc == result::kSuccess) rc = transmit(r);

  if (r.pdu) SnmpFreePdu(r.pdu);
  if (r.vbl) SnmpFreeVbl(r.vbl);
  if (r.entity) SnmpFreeEntity(r.entity);
  return rc;
}

int CSnmpSession::transmit(Request& r) {
  ProgressWindow* progress = target_->progress;
  const std::int64_t waitMs = std::min<std::int64_t>(static_cast<std::int64_t>(timeout_) * 10, kMaxWaitMs);
  for (int attempt = 0; attempt <= resends_; ++attempt) {
    if (SnmpSendMsg(session_, 0, r.entity, context_, r.pdu) == SNMPAPI_FAILURE) {
      noteError();
      return result::kSendFailed;
    }
    ++transmissions_;
    progress->setText(r.type == SNMP_PDU_SET ? kTextUpdating : kTextReading);

    // Datagrams that are not the answer (a stale reply, another sender) do not end the wait;
    // what is left of this transmission's time is waited out.
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      const WaitResult w = progress->waitFor(kSnmpNotifyMessage, static_cast<int>(left > 0 ? left : 0));
      if (w.status == WaitStatus::Stopped) return result::kStopped;
      if (w.status == WaitStatus::TimedOut) break;
      const int rc = receive(r);
      if (rc != kIgnored) return rc;
    }
  }
  return result::kNoReply;
}

int CSnmpSession::receive(Request& r) {
  HSNMP_ENTITY src = 0;
  HSNMP_ENTITY dst = 0;
  HSNMP_CONTEXT ctx = 0;
  HSNMP_PDU pdu = 0;
  SnmpRecvMsg(session_, &src, &dst, &ctx, &pdu);
  const smiUINT32 recvError = pdu ? 0 : SnmpGetLastError(session_);
  const std::string from = src ? entityText(src) : std::string();
  if (src) SnmpFreeEntity(src);
  if (dst) SnmpFreeEntity(dst);
  if (ctx) SnmpFreeContext(ctx);
  if (!pdu) {
    // A notification with nothing behind it (the datagram went with the discard before a resend).
    if (recvError == SNMPAPI_NOOP) return kIgnored;
    lastError_ = recvError;
    return result::kReceiveFailed;
  }

  smiINT type = 0;
  smiINT32 requestId = 0;
  smiINT errorStatus = 0;
  smiINT errorIndex = 0;
  HSNMP_VBL vbl = 0;
  const bool read = SnmpGetPduData(pdu, &type, &requestId, &errorStatus, &errorIndex, &vbl) != SNMPAPI_FAILURE;
  if (!read) noteError();
  SnmpFreePdu(pdu);
  if (!read) {
    if (vbl) SnmpFreeVbl(vbl);
    return result::kReplyUnreadable;
  }
  // Only the agent's answer to this request counts: an address of the target (not checked on
  // the serial line, which has one peer) and this request's id.
  const bool datagram = target_->family != kFamilySerial;
  if ((datagram && from != r.source) || requestId != r.requestId) {
    if (vbl) SnmpFreeVbl(vbl);
    return kIgnored;
  }
  if (type != SNMP_PDU_RESPONSE) {
    if (vbl) SnmpFreeVbl(vbl);
    return result::kNotResponse;
  }
  if (errorStatus != 0) {
    if (r.errorStatus) *r.errorStatus = errorStatus;
    if (r.errorIndex) *r.errorIndex = errorIndex;
    if (vbl) SnmpFreeVbl(vbl);
    return resultOfErrorStatus(errorStatus);
  }

  const SNMPAPI_STATUS n = vbl ? SnmpCountVbl(vbl) : 0;
  if (n != static_cast<SNMPAPI_STATUS>(r.count)) {
    if (vbl) SnmpFreeVbl(vbl);
    return result::kCountMismatch;
  }
  // Read every binding first, so that a reply failing half-way leaves the caller's bindings as
  // they were.
  std::vector<CVarBind> reply(static_cast<std::size_t>(r.count));
  int rc = result::kSuccess;
  for (int i = 0; i < r.count; ++i) {
    smiOID name{0, nullptr};
    smiVALUE value{};
    if (SnmpGetVb(vbl, static_cast<smiUINT32>(i + 1), &name, &value) == SNMPAPI_FAILURE) {
      noteError();
      rc = result::kBindingUnreadable;
      break;
    }
    reply[i].setName(COid(name));
    reply[i].assignValue(value);
    SnmpFreeDescriptor(SNMP_SYNTAX_OID, &name);
    freeValue(value);
  }
  SnmpFreeVbl(vbl);
  if (rc != result::kSuccess) return rc;
  for (int i = 0; i < r.count; ++i) *r.bindings[i] = std::move(reply[i]);
  if (r.errorStatus) *r.errorStatus = 0;
  if (r.errorIndex) *r.errorIndex = 0;
  return result::kSuccess;
}

}  // namespace snmpaccess
