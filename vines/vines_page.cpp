#include "vines/vines_page.h"

#include <algorithm>
#include <cstdio>

#include "access/var_bind.h"
#include "config/change_password.h"
#include "vines/streettalk_name.h"

namespace vines {

namespace {

constexpr int kUserName = 2;
constexpr int kPortCount = 7;

snmpaccess::GroupParams withPrefix(const std::string& prefix) {
  snmpaccess::GroupParams p;
  p.prefix = prefix;
  return p;
}

std::string format(const char* pattern, const std::string& name, unsigned code) {
  char buffer[256];
  if (name.empty()) std::snprintf(buffer, sizeof buffer, pattern, code);
  else std::snprintf(buffer, sizeof buffer, pattern, name.substr(0, 63).c_str(), code);
  return buffer;
}

}  // namespace

CVinesPage::CVinesPage(std::string prefix, std::string library)
    : prefix_(std::move(prefix)), library_(std::move(library)), group_(withPrefix(prefix_)) {}

int CVinesPage::Read(snmpaccess::CSnmpSession& session) { return group_.read(session); }

snmpaccess::CMibGroup* CVinesPage::nameTable() {
  for (int i = 0; i < group_.childCount(); ++i)
    if (group_.child(i)->def().id == mib::GroupId::VinesNameTable) return group_.child(i);
  return nullptr;
}

void CVinesPage::AdjustControls() {
  const snmpaccess::CMibGroup* table = nameTable();
  // The unit's count of print services is clamped to the six slots the page has.
  slotCount_ = table ? std::clamp(table->count() / 2, 0, kMaxSlots) : 0;
  std::int32_t ports = 1;
  group_.getInteger(kPortCount, ports);
  portCount_ = std::clamp<std::int32_t>(ports, 1, 16);
  client_.load(library_);
}

void CVinesPage::ShowValues() {
  userName.clear();
  group_.getBytes(kUserName, userName);
  userName = userName.substr(0, kStreetTalkNameLimit);
  enabled_ = true;
  notice_.clear();
  if (client_.available()) {
    if (!client_.loggedIn()) {
      notice_ = format(kTextLoginFirst, "", client_.lastError());
      enabled_ = false;
    } else if (!client_.mayManage(userName)) {
      notice_ = format(kTextNotAuthorized, userName, client_.lastError());
      enabled_ = false;
    }
  }
  services.assign(static_cast<std::size_t>(slotCount_), VinesSlot{});
  snmpaccess::CMibGroup* table = nameTable();
  for (int k = 0; table && k < slotCount_; ++k) {
    VinesSlot& s = services[static_cast<std::size_t>(k)];
    table->getBytes(2 * k, s.name);
    s.name = s.name.substr(0, kStreetTalkNameLimit);
    std::int32_t port = 1;
    table->getInteger(2 * k + 1, port);
    s.port = std::clamp<std::int32_t>(port, 1, portCount_);
  }
  shownUser_ = userName;
  shownServices_.clear();
  for (const VinesSlot& s : services) shownServices_.push_back(s.name);
}

config::PageCheck CVinesPage::setPassword(const std::string& password, const std::string& verify) {
  const config::PageCheck c = config::checkNewPassword({kVinesPasswordLimit, 0, false}, password, verify);
  if (!c.ok()) return c;
  password_ = password;
  passwordSet_ = true;
  return c;
}

config::PageCheck CVinesPage::check() {
  using config::PageCheck;
  if (!enabled_) return PageCheck::pass();
  // The name syntax holds with or without the client (a unit cannot log in under a malformed
  // name); names as the unit reported them are left to it.
  auto bad = [](const std::string& name) { return name.size() > kStreetTalkNameLimit || !isValidStreetTalkName(name); };
  if (userName != shownUser_ && bad(userName)) return PageCheck::fail(kTextInvalidName, "userName");
  for (std::size_t i = 0; i < services.size(); ++i)
    if ((i >= shownServices_.size() || services[i].name != shownServices_[i]) && bad(services[i].name))
      return PageCheck::fail(kTextInvalidName, "service" + std::to_string(i + 1));
  if (!client_.available()) return PageCheck::pass();
  std::string name = userName;
  if (passwordSet_ && !client_.verifyPassword(name, password_))
    return PageCheck::fail(format(kTextWrongPassword, userName, client_.lastError()), "userName");
  if (!client_.formatName(name)) return PageCheck::fail(format(kTextNoSuchName, userName, client_.lastError()), "userName");
  if (!client_.mayManage(userName))
    return PageCheck::fail(format(kTextNotAuthorized, userName, client_.lastError()), "userName");
  for (std::size_t i = 0; i < services.size(); ++i) {
    std::string service = services[i].name;
    if (!client_.formatName(service))
      return PageCheck::fail(format(kTextNoSuchName, services[i].name, client_.lastError()),
                             "service" + std::to_string(i + 1));
  }
  return PageCheck::pass();
}

void CVinesPage::storeFields() {
  if (!enabled_) return;
  group_.setTextIfChanged(kUserName, userName.substr(0, kStreetTalkNameLimit));
  snmpaccess::CMibGroup* table = nameTable();
  for (int k = 0; table && k < slotCount_ && k < static_cast<int>(services.size()); ++k) {
    const VinesSlot& s = services[static_cast<std::size_t>(k)];
    table->setTextIfChanged(2 * k, s.name.substr(0, kStreetTalkNameLimit));
    table->setIntegerIfChanged(2 * k + 1, std::clamp<std::int32_t>(s.port, 1, portCount_));
  }
}

int CVinesPage::writeGroups(snmpaccess::CSnmpSession& session) {
  if (const int rc = group_.writeChanged(session)) return rc;
  if (!passwordSet_ || !enabled_) return 0;
  snmpaccess::CVarBind password((prefix_ + kPasswordOid).c_str());
  password.setText(password_.c_str());
  snmpaccess::CVarBind* list[] = {&password};
  if (const int rc = session.set(list, 1)) return rc;
  passwordSet_ = false;  // sent once
  return 0;
}

}  // namespace vines
