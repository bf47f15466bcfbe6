#include "app/ip_assignment.h"

#include "devices/device.h"
#include "devices/ipv4_text.h"
#include "devices/second_family_setup.h"

namespace app {

AssignmentOutcome runIpAssignment(devices::CIpDevice& device, const IpAssignmentServices& s) {
  if (s.viewProtocol != kViewProtocolTcpIp) {
    if (s.messageBox) s.messageBox(kTextNoTcpIpView);
    return AssignmentOutcome::NotTcpIp;
  }
  const auto identifier = devices::identifierOfHardwareText(device.hardwareAddress.view());
  if (!identifier) {
    if (s.send.report) s.send.report(devices::kErrHardwareAddress);
    return AssignmentOutcome::NoHardwareAddress;
  }
  bool secondFamily = false;
  std::string address;
  auto onOk = [&](const std::string& text) {
    const auto parsed = devices::parseIpv4(text);
    if (!parsed) {
      if (s.send.report) s.send.report(devices::kErrIpAddress);
      return false;
    }
    if (s.assignSecondFamily && s.assignSecondFamily(device, text) == 0) {
      secondFamily = true;
      if (s.information) s.information(devices::kTextAddressSet, devices::kTitleSetAddress);
      return true;
    }
    devices::InitDestination everyone;  // 255.255.255.255
    const devices::InitSend sent =
        s.send.send ? s.send.send(*identifier, *parsed, everyone)
                    : devices::sendInitializationRequest(*identifier, *parsed, everyone, s.send.discoveryPort, nullptr);
    return sent == devices::InitSend::Sent;
  };
  if (!s.askAddress || !s.askAddress(address, onOk)) return AssignmentOutcome::Cancelled;
  if (secondFamily) return AssignmentOutcome::SecondFamily;

  const std::string previous(device.ipAddress.view());
  const int result = s.waitForDevice ? s.waitForDevice(device, s.resetTimeoutSeconds, address) : -1;
  AssignmentOutcome outcome = AssignmentOutcome::Answered;
  if (result != 0) {
    device.ipAddress.assign(previous);
    if (s.send.report) s.send.report(devices::kErrCannotCommunicate);
    outcome = AssignmentOutcome::NotAnswered;
  }
  if (s.refreshList) s.refreshList();
  return outcome;
}

}  // namespace app
