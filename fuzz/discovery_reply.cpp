// Feeds arbitrary datagrams to the native discovery reply and the second family's probe reply
// parsers. Each gets an exact-size heap copy, so any read past the received length is an
// overflow ASan reports.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "devices/discovery_reply.h"

namespace {

std::unique_ptr<std::uint8_t[]> exactCopy(const std::uint8_t* data, std::size_t size) {
  std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[size]);
  if (size) std::memcpy(copy.get(), data, size);
  return copy;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  {
    const auto copy = exactCopy(data, size);
    devices::DiscoveryReply reply;
    const devices::ReplyStatus status = devices::parseDiscoveryReply(copy.get(), size, reply);
    if (status == devices::ReplyStatus::Ok) {
      if (reply.format < 1 || reply.format > 3) std::abort();
      if (reply.portCount < 0 || reply.portCount > devices::kMaxPorts) std::abort();
      if (size > devices::kMaxReplySize) std::abort();
    }
    if (!devices::replyStatusName(status)) std::abort();
    std::uint32_t id = 0;
    if (devices::replyResponderId(copy.get(), size, id) && id > 0xFFFFFFu) std::abort();
  }
  {
    const auto copy = exactCopy(data, size);
    devices::SecondFamilyReply reply;
    if (devices::parseSecondFamilyReply(copy.get(), size, reply) == devices::ReplyStatus::Ok) {
      if (size != devices::kSecondFamilyShortReply && size != devices::kSecondFamilyLongReply) std::abort();
      if (reply.form != (size == devices::kSecondFamilyLongReply ? 1 : 0)) std::abort();
    }
  }
  return 0;
}
