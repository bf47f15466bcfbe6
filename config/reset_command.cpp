#include "config/reset_command.h"

#include "config/backup_texts.h"
#include "config/config_texts.h"
#include "platform/report_error.h"
#include "platform/string_table.h"

namespace config {

ResetServices resetServicesFrom(const SheetServices& sheet) {
  ResetServices r;
  r.report = sheet.report;
  r.pause = sheet.pause;
  r.identify = sheet.identify;
  r.prefix = sheet.prefix;
  r.resetTimeoutSeconds = sheet.resetTimeoutSeconds;
  return r;
}

ResetCommandOutcome runResetCommand(ConfigCommandHost& host, ResetUi& ui) {
  devices::CDevice* device = host.selectedDevice();
  if (!device) return ResetCommandOutcome::NoDevice;
  if (!device->answered) {
    host.refreshRow(*device);
    if (!device->answered) {
      host.report(texts::kCannotCommunicate, platform::kErrorProgram);
      return ResetCommandOutcome::CannotCommunicate;
    }
  }
  if (!device->configured) {
    host.report(texts::kConfigureFirst, platform::kErrorProgram);
    return ResetCommandOutcome::NotConfigured;
  }
  if (device->replyFormat == 2) {
    host.postTelnet();
    return ResetCommandOutcome::Redirected;
  }
  if (device->kind == devices::kKindSecondFamily) {
    ui.showSecondFamilyResult(ui.resetSecondFamily(*device));
    host.refreshRow(*device);
    return ResetCommandOutcome::Redirected;
  }
  switch (host.viewTransport()) {
    case kViewTcpIp:
    case kViewIpx:
    case kViewSerial: break;
    default: {
      const char* t = platform::loadString(texts::kProtocolNotYetSupported);
      host.message(t ? t : "Protocol not yet supported");
      return ResetCommandOutcome::NotSupported;
    }
  }
  const std::string prefix = host.selectFamily(*device);
  snmpaccess::SnmpTarget target;
  if (!host.prepareTarget(*device, target)) return ResetCommandOutcome::NotSupported;
  const int access = snmpaccess::verifyCommunities(target, device->getCommunity.view(), device->setCommunity.view(),
                                                   host.communityAsk());
  if (access == snmpaccess::kCommunityCancelled) return ResetCommandOutcome::Cancelled;

  ResetServices services = resetServicesFrom(host.sheetServices());
  services.prefix = prefix;
  if (target.progress) {
    snmpaccess::ProgressWindow* progress = target.progress;
    services.progressText = [progress](std::uint32_t text) { progress->setText(text); };
  }
  CResetServer reset(std::move(services));
  host.showProgress(true);
  const int prepared = reset.prepare(target);
  host.showProgress(false);
  ResetCommandOutcome outcome = ResetCommandOutcome::PrepareFailed;
  if (prepared == 0) {
    ui.showDialog(reset);
    outcome = ResetCommandOutcome::Shown;
  }
  host.refreshRow(*device);
  return outcome;
}

}  // namespace config
