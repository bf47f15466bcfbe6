#include "wizard/wizard_flow.h"

#include <algorithm>

#include "access/group_classes.h"
#include "access/progress.h"
#include "access/result_codes.h"
#include "config/config_texts.h"
#include "platform/string_table.h"

namespace wizard {

namespace {

bool isNoAnswer(int rc) {
  // A unit already restarting answers nothing (3094) or nothing that can be received (3089).
  return rc == snmpaccess::result::kNoReply || rc == snmpaccess::result::kReceiveFailed;
}

}  // namespace

int pageForProtocol(std::int32_t type) {
  switch (type) {
    case 1: return kTcpIpId;
    case 2: return kNetWareId;
    case 3: return kVinesId;
    case 5: return kEtherTalkId;
    case 7: return kWirelessId;
    default: return 0;
  }
}

WizardFlow::WizardFlow(WizardServices services)
    : services_(std::move(services)),
      protocols_(services_.prefix),
      tcpip_(services_.prefix),
      ethertalk_(services_.prefix),
      serial_(services_.prefix),
      wireless_(services_.prefix),
      vines_(services_.prefix, services_.vinesLibrary) {}

WizardFlow::~WizardFlow() = default;

std::string WizardFlow::titleFor(const std::string& address) {
  const char* title = platform::loadString(config::texts::kSheetTitle);
  return std::string(title ? title : "Server Configuration") + " - " + address;
}

void WizardFlow::setNetWarePage(std::unique_ptr<CWzPage> page) { netware_ = std::move(page); }

void WizardFlow::say(const std::string& text) const {
  if (services_.message) services_.message(text);
}

void WizardFlow::progress(int percent) {
  position_ = std::clamp(percent, 0, 100);
  if (target_ && target_->progress) target_->progress->setPercent(position_);
}

CWzPage* WizardFlow::page(int id) const {
  for (CWzPage* p : added_)
    if (p->id() == id) return p;
  return nullptr;
}

int WizardFlow::run(snmpaccess::SnmpTarget& target, bool netwareClient) {
  target_ = &target;
  netwareClient_ = netwareClient;
  finished_ = identified_ = false;
  unsupported_ = 0;
  added_.clear();
  saveList_.clear();
  serialOffered_ = false;
  snmpaccess::ProgressWindow* window = target.progress;
  if (window) window->setText(config::texts::kReading);
  position_ = 0;

  int rc = 0;
  session_ = std::make_unique<snmpaccess::CSnmpSession>(target_, rc);
  if (rc != 0) {
    say(kTextCannotInitSnmp);
    session_.reset();
    return rc;
  }
  snmpaccess::CSnmpSession& s = *session_;
  sequence_ = {kWelcomeId, kProtocolsId, kFinishId};
  added_ = {&welcome_, &protocols_};

  protocols_.setConnection(target.family, netwareClient);
  if ((rc = protocols_.read(s))) return rc;
  saveList_.push_back(&protocols_);
  progress(position_ + 9);

  bool netwareWithoutClient = false;
  auto add = [&](CWzPage& p) {
    added_.push_back(&p);
    saveList_.push_back(&p);
    progress(position_ + 9);
  };
  for (const auto& [type, name] : protocols_.installed()) {
    // A protocol listed twice brings its page once.
    const int id = pageForProtocol(type);
    if (id && page(id)) continue;
    switch (type) {
      case 1:
        if ((rc = tcpip_.read(s))) return rc;
        add(tcpip_);
        break;
      case 2:
        if (!netwareClient || !netware_) {
          netwareWithoutClient = !netwareClient;
          break;
        }
        if ((rc = netware_->read(s))) return rc;
        add(*netware_);
        break;
      case 3:
        if ((rc = vines_.read(s))) return rc;
        add(vines_);
        break;
      case 4: break;
      case 5:
        if ((rc = ethertalk_.read(s))) return rc;
        add(ethertalk_);
        break;
      case 7:
        wireless_.setAddress(target.address);
        rc = wireless_.read(s);
        if (rc == snmpaccess::result::kNoSuchName) break;  // no wireless objects: no page, no message
        if (rc) return rc;
        add(wireless_);
        break;
      default:
        ++unsupported_;
        say(kTextNeedsUpdating);
        break;
    }
  }
  if (serial_.read(s) == 0) {
    serialOffered_ = true;
    add(serial_);
  }
  added_.push_back(&finishPage_);
  progress(position_ + 9);
  progress(100);
  protocols_.setNetWareWithoutClient(netwareWithoutClient);
  currentId_ = kWelcomeId;
  welcome_.open();
  return 0;
}

bool WizardFlow::setProtocolChecked(int item, bool on) {
  if (!protocols_.setChecked(item, on)) return false;
  sequence_ = {kWelcomeId, kProtocolsId, kFinishId};
  return true;
}

void WizardFlow::rebuildSequence() {
  sequence_ = {kWelcomeId, kProtocolsId};
  const auto& entries = protocols_.entries();
  const auto& checks = protocols_.checks();
  for (std::size_t i = 0; i < entries.size() && i < checks.size(); ++i) {
    if (!checks[i]) continue;
    const int id = pageForProtocol(entries[i].type);
    if (id == kNetWareId && !netwareClient_) continue;
    // Only pages the wizard has: a ticked protocol whose page was not read brings none.
    if (!id || !page(id) || std::find(sequence_.begin(), sequence_.end(), id) != sequence_.end()) continue;
    sequence_.push_back(id);
  }
  if (serialOffered_) sequence_.push_back(kSerialId);
  sequence_.push_back(kFinishId);
}

void WizardFlow::show(int id) {
  currentId_ = id;
  if (CWzPage* p = page(id)) p->open();
}

PageCheck WizardFlow::next() {
  CWzPage* p = current();
  if (!p || onLast()) return PageCheck::pass();
  const PageCheck c = p->leave(true);
  if (!c.ok()) return c;
  if (currentId_ == kProtocolsId) rebuildSequence();
  const auto it = std::find(sequence_.begin(), sequence_.end(), currentId_);
  if (it != sequence_.end() && it + 1 != sequence_.end()) show(*(it + 1));
  return PageCheck::pass();
}

PageCheck WizardFlow::back() {
  CWzPage* p = current();
  if (!p || onFirst()) return PageCheck::pass();
  const PageCheck c = p->leave(false);
  if (!c.ok()) return c;
  const auto it = std::find(sequence_.begin(), sequence_.end(), currentId_);
  if (it != sequence_.end() && it != sequence_.begin()) show(*(it - 1));
  return PageCheck::pass();
}

int WizardFlow::finish() {
  if (!session_ || !target_) return snmpaccess::result::kNoSession;
  snmpaccess::CSnmpSession& s = *session_;
  snmpaccess::ProgressWindow* window = target_->progress;
  if (window) {
    window->setText(config::texts::kSaving);
    window->begin();
  }
  progress(9);
  for (CWzPage* p : saveList_) {
    if (p->SaveChanges(s) != 0) say(kTextErrorSending);
    progress(position_ + 9);
  }
  finished_ = true;
  resetAndWait(s);
  progress(100);
  if (window) window->end();
  return 0;
}

int WizardFlow::resetAndWait(snmpaccess::CSnmpSession& s) {
  snmpaccess::GroupParams params;
  params.prefix = services_.prefix;
  snmpaccess::CServerInfoGroup info(params);
  if (info.read(s) != 0) {
    say(kTextNoServerInfo);
    return 0;
  }
  snmpaccess::CServerControlGroup control(params);
  if (control.read(s) != 0) {
    say(kTextNoCommandInfo);
    return 0;
  }
  // The reset goes out even when the variable already reads 2.
  if (const int rc = control.reset(s)) {
    if (isNoAnswer(rc)) {
      if (services_.pause) services_.pause(3000);
    } else {
      say(kTextCannotSaveCommand);
    }
    return 0;
  }
  // Only a new permanent address moves the unit; a network-assigned one is found where it was.
  const std::string moved = target_->family == snmpaccess::kFamilyIpv4 ? tcpip_.newDeviceAddress() : std::string();
  if (!moved.empty()) target_->setAddress(moved);
  if (target_->progress) target_->progress->setText(config::texts::kResetting);
  const bool waited = services_.pause ? services_.pause(2000) : true;
  if (waited && services_.identify) identified_ = services_.identify(*target_, services_.resetTimeoutSeconds) == 0;
  return 0;
}

std::string WizardFlow::newDeviceAddress() const {
  if (!finished_ || !target_ || target_->family != snmpaccess::kFamilyIpv4) return {};
  return tcpip_.newDeviceAddress();
}

}  // namespace wizard
