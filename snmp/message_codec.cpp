#include "snmp/message_codec.h"

#include <cstring>
#include <memory>

#include "snmp/binding_copy.h"
#include "snmp/codec.h"
#include "snmp/handle_table.h"
#include "snmp/object_lifetime.h"
#include "snmp/post_error.h"

namespace snmp {

smiUINT32 encodeRecords(const PduRecord& pdu, const ContextRecord& context, smiOCTETS* out) noexcept {
  const auto* vbl = handles::find<VblRecord>(pdu.vbl);
  if (!vbl) return SNMPAPI_ALLOC_ERROR;
  codec::BindingRef refs[kMaxBindings];
  const smiUINT32 count = vbl->count <= kMaxBindings ? vbl->count : kMaxBindings;
  for (smiUINT32 i = 0; i < count; ++i) refs[i] = codec::BindingRef{vbl->bindings[i].name, vbl->bindings[i].value};
  codec::EncodeInput in;
  in.pduType = pdu.type;
  in.requestId = pdu.requestId;
  in.errorStatus = pdu.errorStatus;
  in.errorIndex = pdu.errorIndex;
  in.community = context.community;
  in.communityLength = context.length <= kMaxCommunity ? context.length : kMaxCommunity;
  in.bindings = refs;
  in.count = count;
  const smiUINT32 rc = codec::encodeMessage(in, out);
  return rc == 0 ? kOk : rc;
}

smiUINT32 decodeToHandles(HSNMP_SESSION session, const smiBYTE* data, std::size_t length, HSNMP_CONTEXT* context,
                          HSNMP_PDU* pdu, std::size_t* consumed) noexcept {
  *context = 0;
  *pdu = 0;
  if (consumed) *consumed = 0;
  if (!data || length == 0) return SNMPAPI_OUTPUT_TRUNCATED;
  // About 7 KB: off the stack, the engine may run deep inside a GUI's event handling.
  // Not value-initialised: decodeMessage sets every field it hands back.
  std::unique_ptr<codec::DecodeOutput> out(new (std::nothrow) codec::DecodeOutput);
  if (!out) return SNMPAPI_ALLOC_ERROR;
  std::size_t used = 0;
  const smiUINT32 rc = codec::decodeMessage(data, length, *out, &used);
  if (rc != 0) return rc;

  const HSNMP_SESSION owner = session & 0xFFFFu;
  HSNMP_CONTEXT hc = 0;
  HSNMP_PDU hp = 0;
  HSNMP_VBL hv = 0;
  auto* c = handles::create<ContextRecord>(owner, session, &hc);
  auto* p = c ? handles::create<PduRecord>(owner, session, &hp) : nullptr;
  auto* v = p ? handles::create<VblRecord>(owner, session, &hv) : nullptr;
  smiUINT32 result = v ? kOk : SNMPAPI_ALLOC_ERROR;
  if (v) {
    c->length = out->communityLength <= kMaxCommunity ? out->communityLength : kMaxCommunity;
    std::memcpy(c->community, out->community, c->length);
    p->type = out->pduType;
    p->requestId = out->requestId;
    p->errorStatus = out->errorStatus;
    p->errorIndex = out->errorIndex;
    p->vbl = hv;
    const smiUINT32 count = out->count <= kMaxBindings ? out->count : kMaxBindings;
    // One allocation for the whole list rather than four per binding.
    result = copyDecoded(*out, v->bindings);
    if (result == kOk) v->count = count;
  }
  codec::freeDecoded(*out);
  if (result != kOk) {
    if (hv) destroyObject(hv);
    if (hp) destroyObject(hp);
    if (hc) destroyObject(hc);
    return result;
  }
  *context = hc;
  *pdu = hp;
  if (consumed) *consumed = used;
  return kOk;
}

}  // namespace snmp
