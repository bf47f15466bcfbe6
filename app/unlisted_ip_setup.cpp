#include "app/unlisted_ip_setup.h"

#include "devices/ipv4_text.h"

namespace app {

std::string proposedDestination(const std::string& address) {
  const auto dot = address.rfind('.');
  return (dot == std::string::npos ? std::string() : address.substr(0, dot + 1)) + "255";
}

bool CUnlistedIpSetup::next(const InitSendServices& services) {
  if (!devices::parseIpv4(ipAddress)) {
    if (services.report) services.report(devices::kErrIpAddress);
    return false;
  }
  destination = proposedDestination(ipAddress);
  remembered_.clear();
  multicast = false;
  longForm = true;
  return true;
}

void CUnlistedIpSetup::setMulticast(bool on) {
  if (on == multicast) return;
  multicast = on;
  if (on) {
    remembered_ = destination;
    destination = kMulticastText;
  } else {
    destination = remembered_;
  }
}

bool CUnlistedIpSetup::accept(const InitSendServices& services) {
  if (!longForm) {
    next(services);
    return false;
  }
  const auto address = devices::parseIpv4(ipAddress);
  const auto to = multicast ? std::optional<std::uint32_t>(0) : devices::parseIpv4(destination);
  if (!address || !to) {
    if (services.report) services.report(devices::kErrIpAddress);
    return false;
  }
  // The serial number's low 24 bits; a text that is no number gives 0, as the edit's value would.
  const std::uint32_t id = devices::parseSerialNumber(serialNumber).value_or(0);
  devices::InitDestination dest;
  dest.multicast = multicast;
  dest.address = *to;
  const devices::InitSend sent =
      services.send ? services.send(id, *address, dest)
                    : devices::sendInitializationRequest(id, *address, dest, services.discoveryPort, nullptr);
  return sent == devices::InitSend::Sent;
}

UnlistedOutcome runUnlistedIpSetup(CUnlistedIpSetup& model, const UnlistedIpServices& services) {
  for (int round = 0; services.maxRounds <= 0 || round < services.maxRounds; ++round) {
    if (!services.showDialog || !services.showDialog(model)) return UnlistedOutcome::Cancelled;
    const std::string address = model.ipAddress;
    if (services.waitForUnit && services.waitForUnit(address) && services.addToView && services.addToView(address))
      return UnlistedOutcome::Added;
    // The dialog opens again with what it held.
    if (services.send.report) services.send.report(devices::kErrCannotCommunicate);
  }
  return UnlistedOutcome::Cancelled;
}

}  // namespace app
