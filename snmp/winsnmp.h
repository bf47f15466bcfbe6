#pragma once
// The engine's public interface: the WinSNMP 1.1 manager API (names, handle kinds, structures,
// constants and error codes as published), SNMPv1 only. Every function returns
// SNMPAPI_FAILURE (0) on failure and posts a code that SnmpGetLastError reports.
// Memory behind descriptors the engine fills (smiOID, smiOCTETS, smiVALUE contents) is
// malloc'ed by the engine and released by the caller with SnmpFreeDescriptor.
#include <cstdint>

#include "platform/message_target.h"

// ---- basic types ----
typedef std::int32_t smiINT;
typedef std::int32_t smiINT32;
typedef std::uint32_t smiUINT32;
typedef std::uint8_t smiBYTE;
typedef smiINT* smiLPINT;
typedef smiINT32* smiLPINT32;
typedef smiUINT32* smiLPUINT32;
typedef smiBYTE* smiLPBYTE;
typedef smiUINT32 smiTIMETICKS;
typedef smiTIMETICKS* smiLPTIMETICKS;
typedef void* smiLPOPAQUE;

typedef struct {
  smiUINT32 len;
  smiLPBYTE ptr;
} smiOCTETS;
typedef smiOCTETS* smiLPOCTETS;
typedef const smiOCTETS* smiLPCOCTETS;

typedef struct {
  smiUINT32 len;
  smiLPUINT32 ptr;
} smiOID;
typedef smiOID* smiLPOID;
typedef const smiOID* smiLPCOID;

typedef struct {
  smiUINT32 hipart;
  smiUINT32 lopart;
} smiCNTR64;

typedef struct {
  smiUINT32 syntax;
  union {
    smiINT sNumber;
    smiUINT32 uNumber;
    smiCNTR64 hNumber;
    smiOCTETS string;
    smiOID oid;
    smiBYTE empty;
  } value;
} smiVALUE;
typedef smiVALUE* smiLPVALUE;
typedef const smiVALUE* smiLPCVALUE;

typedef smiUINT32 SNMPAPI_STATUS;

// Handles are slot numbers of the engine's handle table; 0 is never valid.
typedef smiUINT32 HSNMP_SESSION;
typedef smiUINT32 HSNMP_ENTITY;
typedef smiUINT32 HSNMP_CONTEXT;
typedef smiUINT32 HSNMP_PDU;
typedef smiUINT32 HSNMP_VBL;
typedef HSNMP_SESSION* LPHSNMP_SESSION;
typedef HSNMP_ENTITY* LPHSNMP_ENTITY;
typedef HSNMP_CONTEXT* LPHSNMP_CONTEXT;
typedef HSNMP_PDU* LPHSNMP_PDU;
typedef HSNMP_VBL* LPHSNMP_VBL;

// A window handle: the target that receives a session's notification message.
typedef platform::MessageTarget* HWND;

// ---- syntaxes ----
constexpr smiUINT32 SNMP_SYNTAX_INT = 0x02;
constexpr smiUINT32 SNMP_SYNTAX_INT32 = SNMP_SYNTAX_INT;
constexpr smiUINT32 SNMP_SYNTAX_BITS = 0x03;
constexpr smiUINT32 SNMP_SYNTAX_OCTETS = 0x04;
constexpr smiUINT32 SNMP_SYNTAX_NULL = 0x05;
constexpr smiUINT32 SNMP_SYNTAX_OID = 0x06;
constexpr smiUINT32 SNMP_SYNTAX_IPADDR = 0x40;
constexpr smiUINT32 SNMP_SYNTAX_CNTR32 = 0x41;
constexpr smiUINT32 SNMP_SYNTAX_GAUGE32 = 0x42;
constexpr smiUINT32 SNMP_SYNTAX_TIMETICKS = 0x43;
constexpr smiUINT32 SNMP_SYNTAX_OPAQUE = 0x44;
constexpr smiUINT32 SNMP_SYNTAX_NSAPADDR = 0x45;
constexpr smiUINT32 SNMP_SYNTAX_CNTR64 = 0x46;
constexpr smiUINT32 SNMP_SYNTAX_UINT32 = 0x47;
constexpr smiUINT32 SNMP_SYNTAX_NOSUCHOBJECT = 0x80;
constexpr smiUINT32 SNMP_SYNTAX_NOSUCHINSTANCE = 0x81;
constexpr smiUINT32 SNMP_SYNTAX_ENDOFMIBVIEW = 0x82;

// ---- PDU types ----
constexpr smiINT SNMP_PDU_GET = 0xA0;
constexpr smiINT SNMP_PDU_GETNEXT = 0xA1;
constexpr smiINT SNMP_PDU_RESPONSE = 0xA2;
constexpr smiINT SNMP_PDU_SET = 0xA3;
constexpr smiINT SNMP_PDU_V1TRAP = 0xA4;
constexpr smiINT SNMP_PDU_GETBULK = 0xA5;
constexpr smiINT SNMP_PDU_INFORM = 0xA6;
constexpr smiINT SNMP_PDU_TRAP = 0xA7;

// ---- SNMP error statuses (in a response PDU) ----
constexpr smiINT SNMP_ERROR_NOERROR = 0;
constexpr smiINT SNMP_ERROR_TOOBIG = 1;
constexpr smiINT SNMP_ERROR_NOSUCHNAME = 2;
constexpr smiINT SNMP_ERROR_BADVALUE = 3;
constexpr smiINT SNMP_ERROR_READONLY = 4;
constexpr smiINT SNMP_ERROR_GENERR = 5;

// ---- levels and modes ----
constexpr smiUINT32 SNMPAPI_NO_SUPPORT = 0;
constexpr smiUINT32 SNMPAPI_V1_SUPPORT = 1;
constexpr smiUINT32 SNMPAPI_V2_SUPPORT = 2;
constexpr smiUINT32 SNMPAPI_M2M_SUPPORT = 3;
constexpr smiUINT32 SNMPAPI_TRANSLATED = 0;
constexpr smiUINT32 SNMPAPI_UNTRANSLATED_V1 = 1;
constexpr smiUINT32 SNMPAPI_UNTRANSLATED_V2 = 2;
constexpr smiUINT32 SNMPAPI_OFF = 0;
constexpr smiUINT32 SNMPAPI_ON = 1;

// ---- engine error codes ----
constexpr smiUINT32 SNMPAPI_FAILURE = 0;
constexpr smiUINT32 SNMPAPI_SUCCESS = 1;
constexpr smiUINT32 SNMPAPI_ALLOC_ERROR = 2;
constexpr smiUINT32 SNMPAPI_CONTEXT_INVALID = 3;
constexpr smiUINT32 SNMPAPI_CONTEXT_UNKNOWN = 4;
constexpr smiUINT32 SNMPAPI_ENTITY_INVALID = 5;
constexpr smiUINT32 SNMPAPI_ENTITY_UNKNOWN = 6;
constexpr smiUINT32 SNMPAPI_INDEX_INVALID = 7;
constexpr smiUINT32 SNMPAPI_NOOP = 8;
constexpr smiUINT32 SNMPAPI_OID_INVALID = 9;
constexpr smiUINT32 SNMPAPI_OPERATION_INVALID = 10;
constexpr smiUINT32 SNMPAPI_OUTPUT_TRUNCATED = 11;
constexpr smiUINT32 SNMPAPI_PDU_INVALID = 12;
constexpr smiUINT32 SNMPAPI_SESSION_INVALID = 13;
constexpr smiUINT32 SNMPAPI_SYNTAX_INVALID = 14;
constexpr smiUINT32 SNMPAPI_VBL_INVALID = 15;
constexpr smiUINT32 SNMPAPI_MODE_INVALID = 16;
constexpr smiUINT32 SNMPAPI_SIZE_INVALID = 17;
constexpr smiUINT32 SNMPAPI_NOT_INITIALIZED = 18;
constexpr smiUINT32 SNMPAPI_MESSAGE_INVALID = 19;
constexpr smiUINT32 SNMPAPI_HWND_INVALID = 20;
constexpr smiUINT32 SNMPAPI_OTHER_ERROR = 99;
constexpr smiUINT32 SNMPAPI_TL_NOT_INITIALIZED = 100;
constexpr smiUINT32 SNMPAPI_TL_NOT_SUPPORTED = 101;
constexpr smiUINT32 SNMPAPI_TL_NOT_AVAILABLE = 102;
constexpr smiUINT32 SNMPAPI_TL_RESOURCE_ERROR = 103;
constexpr smiUINT32 SNMPAPI_TL_UNDELIVERABLE = 104;
constexpr smiUINT32 SNMPAPI_TL_SRC_INVALID = 105;
constexpr smiUINT32 SNMPAPI_TL_INVALID_PARAM = 106;
constexpr smiUINT32 SNMPAPI_TL_IN_USE = 107;
constexpr smiUINT32 SNMPAPI_TL_TIMEOUT = 108;
constexpr smiUINT32 SNMPAPI_TL_PDU_TOO_BIG = 109;
constexpr smiUINT32 SNMPAPI_TL_OTHER = 199;

// The WinSNMP name of an error code ("SNMPAPI_MESSAGE_INVALID"), or "SNMPAPI_UNKNOWN_ERROR".
const char* SnmpErrorName(smiUINT32 code) noexcept;

// ---- start-up, modes, errors ----
SNMPAPI_STATUS SnmpStartup(smiLPUINT32 nMajorVersion, smiLPUINT32 nMinorVersion, smiLPUINT32 nLevel,
                           smiLPUINT32 nTranslateMode, smiLPUINT32 nRetransmitMode);
SNMPAPI_STATUS SnmpCleanup();
SNMPAPI_STATUS SnmpGetTranslateMode(smiLPUINT32 nTranslateMode);
SNMPAPI_STATUS SnmpSetTranslateMode(smiUINT32 nTranslateMode);
SNMPAPI_STATUS SnmpGetRetransmitMode(smiLPUINT32 nRetransmitMode);
SNMPAPI_STATUS SnmpSetRetransmitMode(smiUINT32 nRetransmitMode);
SNMPAPI_STATUS SnmpGetLastError(HSNMP_SESSION session);

// ---- sessions and messages ----
HSNMP_SESSION SnmpOpen(HWND hWnd, smiUINT32 wMsg);
SNMPAPI_STATUS SnmpClose(HSNMP_SESSION session);
SNMPAPI_STATUS SnmpSendMsg(HSNMP_SESSION session, HSNMP_ENTITY srcEntity, HSNMP_ENTITY dstEntity,
                           HSNMP_CONTEXT context, HSNMP_PDU pdu);
SNMPAPI_STATUS SnmpRecvMsg(HSNMP_SESSION session, LPHSNMP_ENTITY srcEntity, LPHSNMP_ENTITY dstEntity,
                           LPHSNMP_CONTEXT context, LPHSNMP_PDU pdu);
SNMPAPI_STATUS SnmpRegister(HSNMP_SESSION session, HSNMP_ENTITY srcEntity, HSNMP_ENTITY dstEntity,
                            HSNMP_CONTEXT context, smiLPCOID notification, smiUINT32 state);

// ---- entities and contexts ----
HSNMP_ENTITY SnmpStrToEntity(HSNMP_SESSION session, const char* string);
SNMPAPI_STATUS SnmpEntityToStr(HSNMP_ENTITY entity, smiUINT32 size, char* string);
SNMPAPI_STATUS SnmpFreeEntity(HSNMP_ENTITY entity);
HSNMP_CONTEXT SnmpStrToContext(HSNMP_SESSION session, smiLPCOCTETS string);
SNMPAPI_STATUS SnmpContextToStr(HSNMP_CONTEXT context, smiLPOCTETS string);
SNMPAPI_STATUS SnmpFreeContext(HSNMP_CONTEXT context);
SNMPAPI_STATUS SnmpGetTimeout(HSNMP_ENTITY entity, smiLPTIMETICKS policyTimeout, smiLPTIMETICKS actualTimeout);
SNMPAPI_STATUS SnmpSetTimeout(HSNMP_ENTITY entity, smiTIMETICKS policyTimeout);
SNMPAPI_STATUS SnmpGetRetry(HSNMP_ENTITY entity, smiLPUINT32 policyRetry, smiLPUINT32 actualRetry);
SNMPAPI_STATUS SnmpSetRetry(HSNMP_ENTITY entity, smiUINT32 policyRetry);

// ---- PDUs ----
HSNMP_PDU SnmpCreatePdu(HSNMP_SESSION session, smiINT pduType, smiINT32 requestId, smiINT errorStatus,
                        smiINT errorIndex, HSNMP_VBL vbl);
SNMPAPI_STATUS SnmpGetPduData(HSNMP_PDU pdu, smiLPINT pduType, smiLPINT32 requestId, smiLPINT errorStatus,
                              smiLPINT errorIndex, LPHSNMP_VBL vbl);
SNMPAPI_STATUS SnmpSetPduData(HSNMP_PDU pdu, const smiINT* pduType, const smiINT32* requestId,
                              const smiINT* nonRepeaters, const smiINT* maxRepetitions, const HSNMP_VBL* vbl);
HSNMP_PDU SnmpDuplicatePdu(HSNMP_SESSION session, HSNMP_PDU pdu);
SNMPAPI_STATUS SnmpFreePdu(HSNMP_PDU pdu);

// ---- variable-binding lists ----
HSNMP_VBL SnmpCreateVbl(HSNMP_SESSION session, smiLPCOID name, smiLPCVALUE value);
HSNMP_VBL SnmpDuplicateVbl(HSNMP_SESSION session, HSNMP_VBL vbl);
SNMPAPI_STATUS SnmpFreeVbl(HSNMP_VBL vbl);
SNMPAPI_STATUS SnmpCountVbl(HSNMP_VBL vbl);
SNMPAPI_STATUS SnmpGetVb(HSNMP_VBL vbl, smiUINT32 index, smiLPOID name, smiLPVALUE value);
SNMPAPI_STATUS SnmpSetVb(HSNMP_VBL vbl, smiUINT32 index, smiLPCOID name, smiLPCVALUE value);
SNMPAPI_STATUS SnmpDeleteVb(HSNMP_VBL vbl, smiUINT32 index);

// ---- OID utilities (need no SnmpStartup) ----
SNMPAPI_STATUS SnmpStrToOid(const char* string, smiLPOID dstOID);
SNMPAPI_STATUS SnmpOidToStr(smiLPCOID srcOID, smiUINT32 size, char* string);
SNMPAPI_STATUS SnmpOidCopy(smiLPCOID srcOID, smiLPOID dstOID);
SNMPAPI_STATUS SnmpOidCompare(smiLPCOID xOID, smiLPCOID yOID, smiUINT32 maxlen, smiLPINT result);

// ---- codec ----
SNMPAPI_STATUS SnmpEncodeMsg(HSNMP_SESSION session, HSNMP_ENTITY srcEntity, HSNMP_ENTITY dstEntity,
                             HSNMP_CONTEXT context, HSNMP_PDU pdu, smiLPOCTETS msgBufDesc);
SNMPAPI_STATUS SnmpDecodeMsg(HSNMP_SESSION session, LPHSNMP_ENTITY srcEntity, LPHSNMP_ENTITY dstEntity,
                             LPHSNMP_CONTEXT context, LPHSNMP_PDU pdu, smiLPCOCTETS msgBufDesc);

SNMPAPI_STATUS SnmpFreeDescriptor(smiUINT32 syntax, smiLPOPAQUE descriptor);

// ---- extension: the identification exchange of the serial transport ----
SNMPAPI_STATUS SnmpSerialExchange(HSNMP_SESSION session, HSNMP_ENTITY entity, smiUINT32 capacity, smiLPBYTE reply);
