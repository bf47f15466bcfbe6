#include "status/status_command.h"

#include <memory>

namespace status {

StatusOutcome runStatusCommand(StatusCommandHost& host) {
  devices::CDevice* device = host.selectedDevice();
  if (!device) return StatusOutcome::NoDevice;
  if (!device->answered) {
    host.refreshRow(*device);
    if (!device->answered) {
      host.report(texts::kCannotCommunicate, 1);
      return StatusOutcome::CannotCommunicate;
    }
  }
  auto* ip = dynamic_cast<devices::CIpDevice*>(device);
  const int transport = host.viewTransport();
  if (transport == kViewTcpIp && ip && (ip->ipAddress.empty() || !device->configured)) {
    host.postConfiguration();
    return StatusOutcome::Redirected;
  }
  if (device->kind == devices::kKindSecondFamily) {
    host.runHttpSession();
    return StatusOutcome::Redirected;
  }
  const std::string prefix = host.selectFamily(*device);
  if (transport == kViewTcpIp && device->replyFormat == 2) {
    host.postTelnet();
    return StatusOutcome::Redirected;
  }
  snmpaccess::SnmpTarget target;
  if (!host.prepareTarget(*device, target)) return StatusOutcome::NotSupported;
  target.setSetCommunity("");  // the status needs read access only
  if (snmpaccess::verifyCommunities(target, device->getCommunity.view(), device->setCommunity.view(),
                                    host.communityAsk()) == snmpaccess::kCommunityCancelled)
    return StatusOutcome::Cancelled;

  StatusServices services = host.services();
  services.prefix = prefix;
  auto sheet = std::make_unique<CDiagnosticsPropSheet>(std::move(services));
  host.showProgress(true);
  const int port = device->currentPort() < 0 ? 0 : device->currentPort();
  const int rc = sheet->Start(target, port, std::string(device->systemName.view()),
                              std::string(device->serialNumber.view()), host.netwareClient());
  host.showProgress(false);
  StatusOutcome outcome = StatusOutcome::ReadFailed;
  if (rc == 0) {
    host.showSheet(*sheet, CDiagnosticsPropSheet::titleFor(target.address));
    outcome = StatusOutcome::Shown;
  }
  host.refreshRow(*device);
  return outcome;
}

}  // namespace status
