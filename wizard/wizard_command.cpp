#include "wizard/wizard_command.h"

#include "access/community_check.h"
#include "access/progress.h"
#include "config/config_texts.h"
#include "devices/device.h"
#include "platform/report_error.h"
#include "platform/string_table.h"

namespace wizard {

namespace {

int errorClassOf(int transport) {
  switch (transport) {
    case config::kViewSerial: return platform::kErrorSerial;
    case config::kViewIpx: return platform::kErrorNetWare;
    default: return platform::kErrorProgram;
  }
}

}  // namespace

WizardOutcome runWizardCommand(config::ConfigCommandHost& host, WizardUi& ui, bool netwareClient) {
  devices::CDevice* device = host.selectedDevice();
  if (!device) return WizardOutcome::NoDevice;
  const int transport = host.viewTransport();
  auto* ip = dynamic_cast<devices::CIpDevice*>(device);

  if (!device->answered) {
    host.refreshRow(*device);
    if (!device->answered) {
      host.report(config::texts::kCannotCommunicate, errorClassOf(transport));
      return WizardOutcome::CannotCommunicate;
    }
  }
  const std::string prefix = host.selectFamily(*device);
  if (transport == config::kViewTcpIp && ip && (!device->configured || ip->ipAddress.empty())) {
    // An unconfigured unit gets its address first; a second-family unit ends there.
    const bool assigned = host.assignAddress(*device);
    if (device->kind == devices::kKindSecondFamily) return WizardOutcome::Redirected;
    if (!assigned) return WizardOutcome::AssignmentFailed;
  }
  if (device->kind == devices::kKindSecondFamily) {
    if (ip) ui.openWebPage("http://" + std::string(ip->ipAddress.c_str()));
    return WizardOutcome::Redirected;
  }
  switch (transport) {
    case config::kViewTcpIp:
      if (!ip) return WizardOutcome::NotSupported;
      if (device->replyFormat == 2) {
        host.postTelnet();
        return WizardOutcome::Redirected;
      }
      break;
    case config::kViewIpx:
    case config::kViewSerial: break;
    default: {
      const char* t = platform::loadString(config::texts::kProtocolNotSupported);
      host.message(t ? t : "Protocol not supported");
      return WizardOutcome::NotSupported;
    }
  }

  snmpaccess::SnmpTarget target;
  if (!host.prepareTarget(*device, target)) return WizardOutcome::NotSupported;
  const int access = snmpaccess::verifyCommunities(target, device->getCommunity.view(), device->setCommunity.view(),
                                                   host.communityAsk());
  if (access == snmpaccess::kCommunityCancelled || access == snmpaccess::kCommunityReadOnly)
    return WizardOutcome::Cancelled;

  const config::SheetServices sheet = host.sheetServices();
  WizardServices services;
  services.prefix = prefix;
  services.message = [&host](const std::string& text) { host.message(text); };
  services.pause = sheet.pause;
  services.identify = sheet.identify;
  services.resetTimeoutSeconds = sheet.resetTimeoutSeconds;
  WizardFlow flow(std::move(services));
  host.showProgress(true);
  const int rc = flow.run(target, netwareClient);
  host.showProgress(false);
  WizardOutcome outcome = WizardOutcome::Closed;
  if (rc != 0) {
    outcome = WizardOutcome::ReadFailed;
  } else if (ui.show(flow, WizardFlow::titleFor(target.address))) {
    host.showProgress(true);
    flow.finish();
    host.showProgress(false);
    outcome = WizardOutcome::Finished;
    const std::string moved = flow.newDeviceAddress();
    if (ip && !moved.empty() && device->deviceClass() == devices::DeviceClass::Ip) ip->ipAddress.assign(moved);
  }
  host.refreshRow(*device);
  return outcome;
}

}  // namespace wizard
