#include "config/config_command.h"

#include "access/result_codes.h"
#include "config/config_texts.h"
#include "platform/report_error.h"
#include "platform/string_table.h"

namespace config {

namespace {

int transportErrorClass(int transport) {
  switch (transport) {
    case kViewSerial: return platform::kErrorSerial;
    case kViewIpx: return platform::kErrorVines;
    default: return platform::kErrorProgram;
  }
}

bool unconfiguredAddress(const std::string& address) {
  if (address.empty()) return true;
  return devices::isFactoryAddress(address);
}

}  // namespace

CommandOutcome runConfigurationCommand(ConfigCommandHost& host, SheetMode mode, const std::string& file) {
  devices::CDevice* device = host.selectedDevice();
  if (!device) return CommandOutcome::NoDevice;
  const int transport = host.viewTransport();
  auto* ip = dynamic_cast<devices::CIpDevice*>(device);

  if (device->kind == devices::kKindSecondFamily) {
    if (transport == kViewTcpIp && ip && ip->ipAddress.empty()) {
      host.assignAddress(*device);
      return CommandOutcome::Redirected;
    }
    host.runPrintConfigurationSheet();
    return CommandOutcome::Redirected;
  }

  if (!device->answered) {
    host.refreshRow(*device);
    if (!device->answered) {
      host.report(texts::kCannotCommunicate, transportErrorClass(transport));
      return CommandOutcome::CannotCommunicate;
    }
  }
  const std::string prefix = host.selectFamily(*device);

  switch (transport) {
    case kViewTcpIp:
      if (!ip) return CommandOutcome::NotSupported;
      if (!device->configured || ip->ipAddress.empty()) {
        bool fromFile = false;
        if (mode == SheetMode::RestoreFromFile) {
          const std::string stored = host.backupFileAddress(file);
          fromFile = !unconfiguredAddress(stored);
        }
        // Once the unit answers at its new address the sheet opens there.
        if (!fromFile && !host.assignAddress(*device)) return CommandOutcome::AssignmentFailed;
      }
      if (device->replyFormat == 2) {
        host.postTelnet();
        return CommandOutcome::Redirected;
      }
      break;
    case kViewIpx:
      if (device->replyFormat <= 0) {
        host.report(texts::kProductNotSupported, platform::kErrorVines);
        return CommandOutcome::NotSupported;
      }
      break;
    case kViewSerial: break;
    default: {
      const char* t = platform::loadString(texts::kProtocolNotSupported);
      host.message(t ? t : "Protocol not supported");
      return CommandOutcome::NotSupported;
    }
  }

  snmpaccess::SnmpTarget target;
  if (!host.prepareTarget(*device, target)) return CommandOutcome::NotSupported;
  const int access = snmpaccess::verifyCommunities(target, device->getCommunity.view(), device->setCommunity.view(),
                                                   host.communityAsk());
  if (access == snmpaccess::kCommunityCancelled) return CommandOutcome::Cancelled;

  SheetServices services = host.sheetServices();
  services.prefix = prefix;
  auto sheet = std::make_unique<CConfigPropSheet>(std::move(services));
  host.installPages(*sheet);
  const std::string title = CConfigPropSheet::titleFor(target.address);
  host.showProgress(true);
  const int port = device->currentPort() < 0 ? 0 : device->currentPort();
  const int started = sheet->Start(target, port, file);
  CommandOutcome outcome = CommandOutcome::Closed;
  if (started != 0) {
    host.showProgress(false);
    outcome = CommandOutcome::ReadFailed;
  } else {
    bool saved = false;
    switch (mode) {
      case SheetMode::Show:
        host.showProgress(false);
        saved = host.showSheet(*sheet, title);
        break;
      case SheetMode::SaveToFile: {
        WriteOnlyInfoModel writeOnly = WriteOnlyInfoModel::forSheet(*sheet);
        host.askWriteOnly(writeOnly);
        if (target.progress) target.progress->setText(texts::kWritingFile);
        const BackupSaveResult r = saveConfiguration(*sheet, file, writeOnly.values());
        host.showProgress(false);
        if (r.rc) host.report(saveSummaryText(r.rc), transportErrorClass(transport));
        outcome = r.rc ? CommandOutcome::FileIncomplete : CommandOutcome::Closed;
        break;
      }
      case SheetMode::RestoreFromFile: {
        if (target.progress) target.progress->setText(texts::kReadingFile);
        const int rc = restoreConfiguration(*sheet, file);
        host.showProgress(false);
        if (rc == snmpaccess::result::kDoesNotFit) {
          host.report(texts::kCannotOpenFile, transportErrorClass(transport));
          outcome = CommandOutcome::FileIncomplete;
          break;
        }
        if (rc) host.report(restoreSummaryText(rc), transportErrorClass(transport));
        saved = host.showSheet(*sheet, title);
        break;
      }
    }
    if (saved) {
      outcome = CommandOutcome::Saved;
      // The unit now answers at the address the sheet wrote.
      if (ip && target.family == snmpaccess::kFamilyIpv4 && !sheet->newAddress().empty() &&
          device->deviceClass() == devices::DeviceClass::Ip)
        ip->ipAddress.assign(sheet->newAddress());
    }
  }
  host.refreshRow(*device);
  return outcome;
}

}  // namespace config
