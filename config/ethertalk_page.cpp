#include "config/ethertalk_page.h"

#include <algorithm>
#include <cstdio>

namespace config {

namespace {

enum RowVar { kEnabled = 1, kName = 2, kType1 = 4, kType2 = 5, kZone = 6 };

snmpaccess::GroupParams withPrefix(std::string prefix) {
  snmpaccess::GroupParams p;
  p.prefix = std::move(prefix);
  return p;
}

bool isSpecial(char c) { return c == '@' || c == '=' || c == ':' || c == '*'; }
bool hasSpecial(const std::string& s) { return std::any_of(s.begin(), s.end(), isSpecial); }

std::string enterText(const char* field) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, kTextEnterOneCharacter, field);
  return buffer;
}

}  // namespace

CEtherTalkPage::CEtherTalkPage(std::string prefix) : group_(withPrefix(std::move(prefix))) {}

snmpaccess::CMibGroup* CEtherTalkPage::row(int index) {
  snmpaccess::CMibGroup* r = nullptr;
  return group_.row(index, r) == 0 ? r : nullptr;
}

int CEtherTalkPage::portCount() const { return std::max(0, group_.rowCount()); }

int CEtherTalkPage::Read(snmpaccess::CSnmpSession& session) {
  if (const int rc = group_.read(session)) return rc;
  selected_ = port() >= 0 && port() < portCount() ? port() : 0;
  return 0;
}

void CEtherTalkPage::ShowValues() { showPort(); }

void CEtherTalkPage::showPort() {
  snmpaccess::CMibGroup* r = row(selected_);
  std::int32_t e = 1;
  name.clear();
  type1.clear();
  type2.clear();
  zone.clear();
  if (!r) {
    enabled = false;
    return;
  }
  r->getInteger(kEnabled, e);
  enabled = e == 2;
  r->getBytes(kName, name);
  r->getBytes(kType1, type1);
  r->getBytes(kType2, type2);
  r->getBytes(kZone, zone);
}

EtherTalkControls CEtherTalkPage::controls() const {
  EtherTalkControls c;
  c.portChoice = portCount() >= 2;
  c.fields = enabled;
  return c;
}

bool CEtherTalkPage::typingAccepted(const std::string& current, char typed, bool replacesAll, bool zone) {
  if (isSpecial(typed)) return typed == '*' && zone && replacesAll;
  return !hasSpecial(current) || replacesAll;
}

PageCheck CEtherTalkPage::check() {
  if (name.empty()) return PageCheck::fail(enterText("Name"), "name");
  if (hasSpecial(name)) return PageCheck::fail(kTextInvalidNameCharacters, "name");
  if (type1.empty()) return PageCheck::fail(enterText("Type 1"), "type1");
  if (hasSpecial(type1)) return PageCheck::fail(kTextInvalidNameCharacters, "type1");
  if (zone.empty()) return PageCheck::fail(enterText("Zone"), "zone");
  if (zone != "*" && hasSpecial(zone)) return PageCheck::fail(kTextInvalidNameCharacters, "zone");
  for (const auto& [text, field] : {std::pair{&name, "name"}, {&type1, "type1"}, {&type2, "type2"}, {&zone, "zone"}})
    if (text->size() > kEtherTalkTextLimit)
      return PageCheck::fail("An AppleTalk name takes at most 32 characters.", field);
  return PageCheck::pass();
}

PageCheck CEtherTalkPage::selectPort(int index) {
  if (initialised()) {
    if (PageCheck c = check(); !c.ok()) return c;
    storePort();
  }
  selected_ = index >= 0 && index < portCount() ? index : 0;
  showPort();
  return PageCheck::pass();
}

void CEtherTalkPage::storePort() {
  snmpaccess::CMibGroup* r = row(selected_);
  if (!r) return;
  r->setIntegerIfChanged(kEnabled, enabled ? 2 : 1);
  r->setTextIfChanged(kName, name);
  r->setTextIfChanged(kType1, type1);
  r->setTextIfChanged(kType2, type2);
  r->setTextIfChanged(kZone, zone);
}

}  // namespace config
