// Serial transport: framed SNMP over a COM port to a print server on the cable. Every send
// first connects (wake-up breaks, answering break), and reads are synchronous, so the send
// itself announces the reply by posting the session's message.
#include <array>
#include <cstring>
#include <memory>
#include <thread>

#include "snmp/address_text.h"
#include "snmp/handle_table.h"
#include "snmp/post_error.h"
#include "snmp/serial_frame.h"
#include "snmp/serial_line.h"
#include "snmp/transport.h"

namespace snmp::transport {
namespace {

using serial::LineEvent;
using serial::OpenMode;
using serial::SerialLine;

// Process-local: one line per session slot.
std::array<std::unique_ptr<SerialLine>, handles::kSlots>& lines() {
  static std::array<std::unique_ptr<SerialLine>, handles::kSlots> all;
  return all;
}

std::size_t slotOf(const SessionRecord& session) { return (session.header.session & 0xFFFFu) % handles::kSlots; }

std::unique_ptr<SerialLine>& lineOf(const SessionRecord& session) { return lines()[slotOf(session)]; }

// Closes the port without the disconnect frame and forgets it. False when closing failed.
bool dropLine(SessionRecord& session) {
  std::unique_ptr<SerialLine>& line = lineOf(session);
  bool ok = true;
  if (line) ok = line->close();
  line.reset();
  session.serialConnected = false;
  session.serialPort[0] = '\0';
  session.serialHandle = kNoSocket;
  return ok;
}

bool sameName(const char* connected, const char* wanted) {
  return std::strncmp(connected, wanted, kSerialNameSize) == 0;
}

// Wakes the print server with breaks and waits for its answering break.
bool handshake(SerialLine& line, const serial::Timings& t) {
  for (int i = 0; i < t.wakeBreaks; ++i) {
    if (!line.setBreak(true)) return false;
    std::this_thread::sleep_for(t.breakHold);
    if (!line.setBreak(false)) return false;
    std::this_thread::sleep_for(t.breakGap);
  }
  for (int poll = 0; poll < t.answerPolls; ++poll) {
    switch (line.waitEvent(t.answerPollInterval)) {
      case LineEvent::Break:
        return true;
      case LineEvent::None:
        continue;
      default:
        return false;  // a line error or a failed wait is no answer
    }
  }
  return false;
}

bool connect(SessionRecord& session, const EntityRecord& entity) {
  if (session.serialConnected && lineOf(session) && sameName(session.serialPort, entity.serialPort)) return true;
  dropLine(session);
  char name[kSerialNameSize] = {};
  std::memcpy(name, entity.serialPort, kSerialNameSize - 1);  // bounded: the record may hold anything
  std::unique_ptr<SerialLine> line = serial::makeLine(name);
  if (!line) return false;
  const serial::Timings t = serial::timings();
  const serial::Settings settings = serial::portSettings();
  bool ok = line->open(OpenMode::Events) && line->configure(settings) && handshake(*line, t);
  if (ok) {
    std::this_thread::sleep_for(t.settle);
    line->purgeReceive();
    line->close();
    ok = line->open(OpenMode::Plain) && line->configure(settings);
  }
  if (!ok) {
    line->close();
    return false;
  }
  lineOf(session) = std::move(line);
  std::memcpy(session.serialPort, name, kSerialNameSize);
  session.serialHandle = static_cast<int>(slotOf(session));
  session.serialConnected = true;
  return true;
}

// Reads a frame header: kOk with the header, SNMPAPI_TL_TIMEOUT when fewer bytes came,
// SNMPAPI_TL_OTHER when the read failed.
smiUINT32 readHeader(SerialLine& line, serial::FrameHeader& header) {
  std::uint8_t raw[serial::kFrameHeaderSize];
  const serial::LineIo io = line.read(raw, sizeof raw);
  if (!io.ok) return SNMPAPI_TL_OTHER;
  if (io.bytes < sizeof raw) return SNMPAPI_TL_TIMEOUT;
  header = serial::parseFrameHeader(raw);
  return kOk;
}

// Reads a payload of `length` into a buffer of `capacity`: kOk, SNMPAPI_TL_PDU_TOO_BIG (the
// receive queue purged), SNMPAPI_TL_TIMEOUT (short), SNMPAPI_TL_OTHER (failed).
smiUINT32 readPayload(SerialLine& line, std::size_t length, smiBYTE* buffer, std::size_t capacity) {
  if (length > capacity) {
    line.purgeReceive();
    return SNMPAPI_TL_PDU_TOO_BIG;
  }
  if (length == 0) return kOk;
  const serial::LineIo io = line.read(buffer, length);
  if (!io.ok) return SNMPAPI_TL_OTHER;
  return io.bytes < length ? SNMPAPI_TL_TIMEOUT : kOk;
}

bool writeAll(SerialLine& line, const std::uint8_t* data, std::size_t size) {
  const serial::LineIo io = line.write(data, size);
  return io.ok && io.bytes == size;
}

bool writeHeader(SerialLine& line, std::uint8_t type, std::uint16_t length) {
  std::uint8_t raw[serial::kFrameHeaderSize];
  serial::encodeFrameHeader(type, length, raw);
  return writeAll(line, raw, sizeof raw);
}

smiUINT32 start() { return kOk; }
void stop() {}

smiUINT32 open(SessionRecord& session) {
  session.serialPort[0] = '\0';
  session.serialHandle = kNoSocket;
  return kOk;
}

smiUINT32 close(SessionRecord& session) {
  SerialLine* line = lineOf(session).get();
  if (session.serialConnected && line && !writeHeader(*line, serial::kFrameDisconnect, 0)) {
    dropLine(session);
    return SNMPAPI_TL_NOT_AVAILABLE;
  }
  return dropLine(session) ? kOk : SNMPAPI_TL_NOT_AVAILABLE;
}

smiUINT32 send(SessionRecord& session, const EntityRecord& destination, const smiBYTE* data, std::size_t length) {
  // The frame counts its payload in 16 bits: a longer message cannot be framed.
  if (length > serial::kMaxFramePayload) return SNMPAPI_TL_PDU_TOO_BIG;
  if (!connect(session, destination)) return SNMPAPI_TL_UNDELIVERABLE;
  SerialLine& line = *lineOf(session);
  if (!writeHeader(line, serial::kFrameSnmp, static_cast<std::uint16_t>(length)) || !writeAll(line, data, length)) {
    return SNMPAPI_TL_OTHER;
  }
  if (session.window) session.window->post(session.message, 0, 0);
  return kOk;
}

smiUINT32 receive(SessionRecord& session, smiBYTE* buffer, std::size_t* length, EntityRecord& source,
                  EntityRecord& destination) {
  const std::size_t capacity = *length;
  *length = 0;
  SerialLine* line = lineOf(session).get();
  if (!session.serialConnected || !line) return SNMPAPI_NOOP;
  serial::FrameHeader header;
  if (const smiUINT32 rc = readHeader(*line, header); rc != kOk) return rc;
  if (!header.signatureOk || header.type != serial::kFrameSnmp) {
    // Whatever follows a header we cannot read belongs to no frame we know: drop it, so the
    // next reply does not start in the middle of this one.
    line->purgeReceive();
    return header.signatureOk && header.type == serial::kFrameError ? SNMPAPI_TL_OTHER : SNMPAPI_FAILURE;
  }
  if (const smiUINT32 rc = readPayload(*line, header.length, buffer, capacity); rc != kOk) return rc;
  *length = header.length;
  source.transport = kTransportSerial;
  std::memcpy(source.serialPort, session.serialPort, kSerialNameSize - 1);
  source.serialPort[kSerialNameSize - 1] = '\0';
  destination.transport = kTransportSerial;
  return kOk;
}

smiUINT32 registerTraps(SessionRecord&, bool) { return SNMPAPI_TL_NOT_SUPPORTED; }

smiUINT32 textToAddress(const char* text, EntityRecord& entity) {
  char port[kSerialNameSize];
  if (!address::parseSerial(text, port)) return SNMPAPI_ENTITY_UNKNOWN;
  entity.transport = kTransportSerial;
  std::memcpy(entity.serialPort, port, sizeof port);
  return SNMPAPI_SUCCESS;
}

smiUINT32 addressToText(const EntityRecord& entity, smiUINT32 size, char* text) {
  return address::formatSerial(entity.serialPort, size, text);
}

smiUINT32 exchange(SessionRecord& session, const EntityRecord& entity, smiUINT32 capacity, smiBYTE* reply,
                   std::size_t* replyLength) {
  *replyLength = 0;
  if (!connect(session, entity)) return SNMPAPI_TL_UNDELIVERABLE;
  SerialLine& line = *lineOf(session);
  if (!writeHeader(line, serial::kFrameIdentification, 0)) return SNMPAPI_TL_UNDELIVERABLE;
  serial::FrameHeader header;
  if (const smiUINT32 rc = readHeader(line, header); rc != kOk) return rc;
  if (!header.signatureOk || header.type != serial::kFrameIdentification) {
    line.purgeReceive();
    return SNMPAPI_FAILURE;
  }
  if (const smiUINT32 rc = readPayload(line, header.length, reply, reply ? capacity : 0); rc != kOk) return rc;
  *replyLength = header.length;
  return kOk;
}

constexpr Operations kSerial = {start, stop, open, close, send, receive, registerTraps, textToAddress, addressToText,
                                exchange};

}  // namespace

const Operations& serialOperations() noexcept { return kSerial; }

}  // namespace snmp::transport
