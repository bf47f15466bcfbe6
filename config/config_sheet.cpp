#include "config/config_sheet.h"

#include <algorithm>

#include "access/result_codes.h"
#include "config/config_texts.h"
#include "config/port_traps_page.h"
#include "config/snmp_traps_page.h"
#include "config/wireless_page.h"
#include "platform/report_error.h"
#include "platform/string_table.h"

namespace config {

namespace {

constexpr int kNoSettings = 3164;  // the print server has no such settings

snmpaccess::GroupParams withPrefix(const std::string& prefix) {
  snmpaccess::GroupParams p;
  p.prefix = prefix;
  return p;
}

bool isNoAnswer(int rc) {
  // The unit restarting before it answers shows as no reply at all (3094) or as a reply that
  // cannot be received (3089).
  return rc == snmpaccess::result::kNoReply || rc == snmpaccess::result::kReceiveFailed;
}

}  // namespace

int sheetErrorClass(std::uint16_t family) {
  switch (family) {
    case snmpaccess::kFamilySerial: return platform::kErrorSerial;
    case snmpaccess::kFamilyIpv4: return platform::kErrorProgram;
    case snmpaccess::kFamilyIpx: return platform::kErrorVines;
    default: return platform::kErrorSnmp;
  }
}

int identifyDevice(snmpaccess::SnmpTarget& target, int seconds, const devices::QuerySettings& settings) {
  std::unique_ptr<devices::CIpDevice> device;
  switch (target.family) {
    case snmpaccess::kFamilySerial: device = std::make_unique<devices::CSerialDevice>(target.address); break;
    case snmpaccess::kFamilyIpx: {
      auto ipx = std::make_unique<devices::CIpxDevice>();
      if (!ipx->setIpxAddress(target.address)) return -1;
      device = std::move(ipx);
      break;
    }
    default: device = std::make_unique<devices::CIpDevice>(target.address); break;
  }
  device->querySettings = settings;
  device->progress = target.progress;
  if (target.family == snmpaccess::kFamilyIpx) return device->waitForAnswer(seconds);
  return device->attachTarget(seconds, target);
}

CConfigPropSheet::CConfigPropSheet(SheetServices services)
    : services_(std::move(services)),
      list_(withPrefix(services_.prefix)),
      tcpip_(services_.prefix),
      snmp_(services_.prefix),
      protocols_(services_.prefix) {
  // The first traps form is always there; the read may replace it by the second.
  slot(PageSlot::Traps) = std::make_unique<CSnmpTrapsPage>(services_.prefix);
  secondTraps_ = [prefix = services_.prefix](snmpaccess::CProtocolListGroup& list) {
    auto page = std::make_unique<CPortTrapsPage>(prefix);
    page->setProtocolList(&list);
    return page;
  };
  slot(PageSlot::Wireless) = std::make_unique<CWirelessPage>(services_.prefix);
}

CConfigPropSheet::~CConfigPropSheet() = default;

std::string CConfigPropSheet::titleFor(const std::string& address) {
  const char* title = platform::loadString(texts::kSheetTitle);
  return std::string(title ? title : "Server Configuration") + " - " + address;
}

void CConfigPropSheet::setPage(PageSlot s, std::unique_ptr<CDevicePage> page) { slot(s) = std::move(page); }

void CConfigPropSheet::setSecondTrapsFactory(
    std::function<std::unique_ptr<CDevicePage>(snmpaccess::CProtocolListGroup&)> make) {
  secondTraps_ = std::move(make);
}

void CConfigPropSheet::report(std::uint32_t textId, int code, int codeKind, int errorClass) {
  if (!services_.report) return;
  if (errorClass < 0) errorClass = sheetErrorClass(target_ ? target_->family : snmpaccess::kFamilyIpv4);
  services_.report(textId, errorClass, code, code ? codeKind : 0);
}

void CConfigPropSheet::advance(int n) {
  position_ = std::min(100, position_ + n);
  if (progress_) progress_->setPercent(position_);
}

int CConfigPropSheet::Start(snmpaccess::SnmpTarget& target, int port, const std::string& file) {
  target_ = &target;
  progress_ = target.progress;
  file_ = file;
  portIndex_ = port;
  if (progress_) progress_->setText(texts::kReading);
  return readAll();
}

int CConfigPropSheet::readAll() {
  using snmpaccess::result::kNoSuchName;
  position_ = 0;
  added_.clear();
  unsupported_ = 0;
  std::fill(std::begin(marked_), std::end(marked_), false);
  tcpipMarked_ = false;
  int rc = 0;
  session_ = std::make_unique<snmpaccess::CSnmpSession>(target_, rc);
  if (rc != 0) {
    report(texts::kCannotInitSnmp, rc);
    session_.reset();
    return rc;
  }
  snmpaccess::CSnmpSession& s = *session_;
  auto fail = [&](std::uint32_t text, int code, int codeKind = 4, int errorClass = -1) {
    report(text, code, codeKind, errorClass);
    return code;
  };

  if ((rc = list_.read(s))) return fail(texts::kGetProtocols, rc);
  advance(10);
  protocols_.setProtocolList(&list_);
  if (auto* user = dynamic_cast<ProtocolListUser*>(slot(PageSlot::Traps).get())) user->setProtocolList(&list_);

  if (CDevicePage* page = slot(PageSlot::OutputPort).get()) {
    rc = page->Read(s, portIndex_);
    if (rc == 0)
      marked_[static_cast<int>(PageSlot::OutputPort)] = true;
    else if (rc != kNoSettings)
      return fail(texts::kGetOutputPort, rc);
  }
  advance(10);

  snmp_.setCommunityInUse(target_->setCommunity);
  if ((rc = snmp_.Read(s))) return fail(texts::kGetSnmp, rc);
  advance(10);

  if (CDevicePage* traps = slot(PageSlot::Traps).get()) {
    rc = traps->Read(s);
    const auto* form = dynamic_cast<const TrapsForm*>(traps);
    if (rc == 0 && form && !form->firstFormUsable()) {
      slot(PageSlot::Traps).reset();
      if (secondTraps_) {
        slot(PageSlot::Traps) = secondTraps_(list_);
        rc = slot(PageSlot::Traps) ? slot(PageSlot::Traps)->Read(s) : 0;
      }
    }
    if (rc) return fail(texts::kGetTraps, rc);
  }
  advance(10);

  if (CDevicePage* ring = slot(PageSlot::TokenRing).get()) {
    rc = ring->Read(s);
    if (rc == 0)
      marked_[static_cast<int>(PageSlot::TokenRing)] = true;
    else if (rc != kNoSuchName)
      return fail(texts::kGetTokenRing, rc);
  }
  advance(10);

  const auto protocols = list_.protocols();
  // A list that reports no protocols has no protocol pages (and no division by its count).
  const int step = protocols.empty() ? 0 : 40 / static_cast<int>(protocols.size());
  for (const auto& [number, name] : protocols) {
    auto readSlot = [&](PageSlot which, std::uint32_t text, int errorClass = -1, int codeKind = 4,
                        bool withPort = false, bool absentOnNoSuchName = false) {
      CDevicePage* page = slot(which).get();
      if (!page) return 0;
      const int r = withPort ? page->Read(s, portIndex_) : page->Read(s);
      if (r == 0) {
        marked_[static_cast<int>(which)] = true;
        return 0;
      }
      if (absentOnNoSuchName && r == kNoSuchName) return 0;
      return fail(text, r, codeKind, errorClass);
    };
    switch (number) {
      case 1:
        if ((rc = tcpip_.Read(s))) return fail(texts::kGetTcpIp, rc);
        tcpipMarked_ = true;
        break;
      case 2:
        if (!services_.netwareClient) break;
        if ((rc = readSlot(PageSlot::NetWare, texts::kGetNetWare, platform::kErrorNetWare))) return rc;
        if ((rc = readSlot(PageSlot::NetWareBindery, texts::kGetNetWareQueues, platform::kErrorNetWare))) return rc;
        if ((rc = readSlot(PageSlot::Nds, texts::kGetNds, platform::kErrorNetWare, 5))) return rc;
        break;
      case 3:
        if ((rc = readSlot(PageSlot::Vines, texts::kGetVines))) return rc;
        break;
      case 4: break;
      case 5:
        if ((rc = readSlot(PageSlot::EtherTalk, texts::kGetEtherTalk, -1, 4, true))) return rc;
        break;
      case 7:
        // The certificate goes to the address the sheet talks to.
        if (auto* wireless = dynamic_cast<CWirelessPage*>(slot(PageSlot::Wireless).get()))
          wireless->setAddress(target_->address);
        if ((rc = readSlot(PageSlot::Wireless, texts::kGetWireless, -1, 4, false, true))) return rc;
        break;
      default:
        // Newer firmware than this program knows: said once per reading; the sheet still opens.
        if (unsupported_++ == 0) report(texts::kNeedsUpdating, 0);
        break;
    }
    advance(step);
  }

  protocols_.setFamily(target_->family);
  if ((rc = protocols_.Read(s))) return fail(texts::kGetProtocols, rc);
  advance(10);

  if (tcpipMarked_) added_.push_back(&tcpip_);
  for (PageSlot p : {PageSlot::NetWare, PageSlot::Nds, PageSlot::NetWareBindery, PageSlot::Vines, PageSlot::EtherTalk,
                     PageSlot::OutputPort, PageSlot::Wireless})
    if (marked_[static_cast<int>(p)]) added_.push_back(slot(p).get());
  added_.push_back(&snmp_);
  added_.push_back(&protocols_);
  if (marked_[static_cast<int>(PageSlot::TokenRing)]) added_.push_back(slot(PageSlot::TokenRing).get());
  if (CDevicePage* traps = slot(PageSlot::Traps).get()) added_.push_back(traps);
  position_ = 0;
  advance(100);
  return 0;
}

OkOutcome CConfigPropSheet::ok(CDevicePage* current, const std::function<bool(const std::string&)>& confirm,
                               const std::function<void(CDevicePage&, const PageCheck&)>& refuse) {
  if (current) {
    const PageCheck c = current->check();
    if (!c.ok()) {
      if (refuse) refuse(*current, c);
      return OkOutcome::Refused;
    }
  }
  const char* question = platform::loadString(texts::kConfirmSave);
  if (!confirm || !confirm(question ? question : "")) return OkOutcome::NotConfirmed;
  if (progress_) {
    progress_->setText(texts::kSaving);
    progress_->begin();
  }
  const int rc = saveAll();
  if (progress_) progress_->end();
  return rc == 0 ? OkOutcome::Saved : OkOutcome::SaveFailed;
}

int CConfigPropSheet::saveAll() {
  if (!session_) return snmpaccess::result::kNoSession;
  snmpaccess::CSnmpSession& s = *session_;
  position_ = 0;
  if (progress_) progress_->setPercent(0);
  int rc = 0;
  auto step = [&](CDevicePage* page, int progress, std::uint32_t text, int errorClass = -1, int codeKind = 4) {
    if (!page || rc) return;
    rc = page->Save(s);
    if (rc) {
      report(text, rc, codeKind, errorClass);
      return;
    }
    advance(progress);
  };
  step(&tcpip_, 9, texts::kSaveTcpIp);
  if (rc) return rc;
  newAddress_ = target_->family == snmpaccess::kFamilyIpv4 && tcpipMarked_ ? tcpip_.savedAddress() : std::string();
  if (newAddress_.empty()) newAddress_ = target_->address;
  step(page(PageSlot::OutputPort), 9, texts::kSaveOutputPort);
  step(&snmp_, 9, texts::kSaveSnmp);
  step(page(PageSlot::Wireless), 9, texts::kSaveSnmp);
  step(page(PageSlot::NetWare), 3, texts::kSaveNetWare, platform::kErrorNetWare);
  step(page(PageSlot::NetWareBindery), 9, texts::kSaveNetWareQueues, platform::kErrorNetWare, 5);
  step(page(PageSlot::Nds), 3, texts::kSaveNds, platform::kErrorNetWare, 0);
  step(&protocols_, 9, texts::kSaveProtocols);
  step(page(PageSlot::Vines), 9, texts::kSaveVines);
  step(page(PageSlot::TokenRing), 9, texts::kSaveTokenRing);
  step(page(PageSlot::EtherTalk), 9, texts::kSaveEtherTalk);
  step(page(PageSlot::Traps), 9, texts::kSaveTraps);
  if (rc) return rc;
  if (!resetAfterSave_) return 0;
  return resetAfterSave(s);
}

int CConfigPropSheet::resetAfterSave(snmpaccess::CSnmpSession& s) {
  snmpaccess::CServerInfoGroup info(withPrefix(services_.prefix));
  if (const int rc = info.read(s)) {
    report(texts::kGetServerInfo, rc);
    return rc;
  }
  snmpaccess::CServerControlGroup control(withPrefix(services_.prefix));
  if (const int rc = control.read(s)) {
    report(texts::kGetCommand, rc);
    return rc;
  }
  // The reset is written even when the variable already reads 2.
  if (const int rc = control.reset(s)) {
    if (isNoAnswer(rc)) {
      // Already restarting: no message, a short pause, and the sheet stays open.
      if (services_.pause) services_.pause(3000);
      return rc;
    }
    report(texts::kSaveCommand, rc);
    return rc;
  }
  if (target_->family == snmpaccess::kFamilyIpv4) target_->setAddress(newAddress_);
  if (progress_) progress_->setText(texts::kResetting);
  const bool waited = services_.pause ? services_.pause(2000) : true;
  if (waited && services_.identify) services_.identify(*target_, services_.resetTimeoutSeconds);
  position_ = 0;
  advance(100);
  return 0;
}

int CConfigPropSheet::restoreFromFile(const std::string& file) {
  int first = 0;
  auto load = [&](CDevicePage* page) {
    if (!page) return;
    const int rc = page->LoadFromFile(file);
    if (rc && !first) first = rc;
  };
  for (CDevicePage* page : added_) load(page);
  return first;
}

int CConfigPropSheet::saveToFile(const std::string& file) {
  int first = 0;
  for (CDevicePage* page : added_) {
    const int rc = page->SaveToFile(file);
    if (rc && !first) first = rc;
  }
  return first;
}

}  // namespace config
