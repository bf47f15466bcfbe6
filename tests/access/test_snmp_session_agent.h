#pragma once
// A scripted SNMPv1 agent on 127.0.0.1 for the session tests: a thread that decodes each request
// with the engine's codec, records it, and answers what the test's script says.
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/net_config.h"
#include "platform/udp_socket.h"
#include "snmp/codec.h"
#include "snmp/value_text.h"

namespace fakeagent {

struct Request {
  smiINT type = 0;
  smiINT32 requestId = 0;
  std::string community;
  std::vector<std::vector<smiUINT32>> names;
  std::vector<snmp::text::OwnedValue> values;
};

struct Binding {
  std::vector<smiUINT32> name;
  snmp::text::OwnedValue value;
};

struct Reply {
  bool silent = false;
  std::vector<smiBYTE> raw;     // sent as it is when not empty
  std::uint32_t fromAddress = 0;  // another local address to answer from (0: the agent's own)
  smiINT type = SNMP_PDU_RESPONSE;
  bool ownRequestId = false;
  smiINT32 requestId = 0;       // used when ownRequestId
  smiINT errorStatus = 0;
  smiINT errorIndex = 0;
  std::vector<Binding> bindings;
};

inline snmp::text::OwnedValue valueOf(const char* spec) {
  snmp::text::OwnedValue v;
  std::string error;
  snmp::text::parseValueSpec(spec, v, error);
  return v;
}

// The request's names with the given values ("SYNTAX:VALUE" each; fewer values than names:
// the last is repeated).
inline Reply answer(const Request& r, std::vector<const char*> specs) {
  Reply reply;
  for (std::size_t i = 0; i < r.names.size(); ++i)
    reply.bindings.push_back({r.names[i], valueOf(specs.empty() ? "null" : specs[std::min(i, specs.size() - 1)])});
  return reply;
}

inline std::vector<smiBYTE> encode(const Reply& reply, smiINT32 requestId, const std::string& community) {
  std::vector<smiOID> names(reply.bindings.size());
  std::vector<snmp::codec::BindingRef> refs(reply.bindings.size());
  for (std::size_t i = 0; i < reply.bindings.size(); ++i) {
    names[i] = smiOID{static_cast<smiUINT32>(reply.bindings[i].name.size()),
                      const_cast<smiUINT32*>(reply.bindings[i].name.data())};
    refs[i] = {&names[i], &reply.bindings[i].value.value()};
  }
  snmp::codec::EncodeInput in;
  in.pduType = reply.type;
  in.requestId = reply.ownRequestId ? reply.requestId : requestId;
  in.errorStatus = reply.errorStatus;
  in.errorIndex = reply.errorIndex;
  in.community = reinterpret_cast<const smiBYTE*>(community.data());
  in.communityLength = static_cast<smiUINT32>(community.size());
  in.bindings = refs.data();
  in.count = static_cast<smiUINT32>(refs.size());
  smiOCTETS out{};
  if (snmp::codec::encodeMessage(in, &out) != 0) return {};
  std::vector<smiBYTE> bytes(out.ptr, out.ptr + out.len);
  SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &out);
  return bytes;
}

class Agent {
 public:
  using Script = std::function<std::vector<Reply>(const Request&, int index)>;

  explicit Agent(Script script) : script_(std::move(script)) {
    socket_.open();
    socket_.bind({platform::kLoopbackAddress, 0});
    platform::NetConfig c = platform::netConfig();
    saved_ = c;
    c.snmpPort = socket_.localAddress().port;
    platform::setNetConfig(c);
    thread_ = std::thread([this] { run(); });
  }
  ~Agent() {
    stop_ = true;
    thread_.join();
    platform::setNetConfig(saved_);
  }

  std::vector<Request> requests() {
    std::lock_guard lock(mutex_);
    return requests_;
  }
  std::size_t requestCount() {
    std::lock_guard lock(mutex_);
    return requests_.size();
  }

 private:
  void run() {
    std::vector<smiBYTE> buffer(70000);
    while (!stop_) {
      platform::SocketAddress from;
      const platform::IoResult r = socket_.recvFrom(buffer.data(), buffer.size(), &from, std::chrono::milliseconds(20));
      if (!r.ok()) continue;
      snmp::codec::DecodeOutput out;
      if (snmp::codec::decodeMessage(buffer.data(), r.bytes, out) != 0) continue;
      Request req;
      req.type = out.pduType;
      req.requestId = out.requestId;
      req.community.assign(reinterpret_cast<const char*>(out.community), out.communityLength);
      for (smiUINT32 i = 0; i < out.count; ++i) {
        const smiOID& n = out.bindings[i].name;
        req.names.emplace_back(n.ptr, n.ptr + n.len);
        snmp::text::OwnedValue v;
        v.raw().syntax = out.bindings[i].value.syntax;
        req.values.push_back(v);
      }
      snmp::codec::freeDecoded(out);
      int index;
      {
        std::lock_guard lock(mutex_);
        index = static_cast<int>(requests_.size());
        requests_.push_back(req);
      }
      for (const Reply& reply : script_(req, index)) {
        if (reply.silent) continue;
        const std::vector<smiBYTE> bytes = reply.raw.empty() ? encode(reply, req.requestId, req.community) : reply.raw;
        if (reply.fromAddress) {
          platform::UdpSocket other;
          other.open();
          other.bind({reply.fromAddress, 0});
          other.sendTo(bytes.data(), bytes.size(), from);
        } else {
          socket_.sendTo(bytes.data(), bytes.size(), from);
        }
      }
    }
  }

  Script script_;
  platform::UdpSocket socket_;
  platform::NetConfig saved_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<Request> requests_;
  std::thread thread_;
};

}  // namespace fakeagent
