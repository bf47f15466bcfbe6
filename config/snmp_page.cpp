#include "config/snmp_page.h"

#include "platform/profile.h"

namespace config {

namespace {
enum SystemVar { kContact = 3, kName = 4, kLocation = 5 };
enum SnmpVar { kGetCommunity = 1, kTrapCommunity = 2 };
constexpr int kSetCommunityExtra = 0;

snmpaccess::GroupParams withPrefix(std::string prefix) {
  snmpaccess::GroupParams p;
  p.prefix = std::move(prefix);
  return p;
}

std::string textOf(snmpaccess::CMibGroup& g, int index) {
  std::string s;
  g.getBytes(index, s);
  return s;
}
}  // namespace

CSnmpPage::CSnmpPage(std::string prefix) : system_(withPrefix(prefix)), snmp_(withPrefix(prefix)) {}

int CSnmpPage::Read(snmpaccess::CSnmpSession& session) {
  if (const int rc = system_.read(session)) return rc;
  return snmp_.read(session);
}

void CSnmpPage::ShowValues() {
  contact = textOf(system_, kContact);
  location = textOf(system_, kLocation);
  sysName = textOf(system_, kName);
  // Showing a text counts as typing it: a non-empty community has its verify field enabled.
  editGetCommunity(textOf(snmp_, kGetCommunity));
  editSetCommunity(setInUse_);
  trapCommunity = textOf(snmp_, kTrapCommunity);
  getVerifyEnabled_ = !getCommunity.empty();
  setVerifyEnabled_ = !setCommunity.empty();
}

void CSnmpPage::editGetCommunity(std::string text) {
  getCommunity = std::move(text);
  getVerifyEnabled_ = true;
}

void CSnmpPage::editSetCommunity(std::string text) {
  setCommunity = std::move(text);
  setVerifyEnabled_ = true;
}

PageCheck CSnmpPage::check() {
  if (sysName.empty()) return PageCheck::fail(kTextInvalidSystemName, "sysName");
  if (getCommunity.empty()) return PageCheck::fail(kTextInvalidCommunity, "getCommunity");
  if (setCommunity.empty()) return PageCheck::fail(kTextInvalidCommunity, "setCommunity");
  if (trapCommunity.empty()) return PageCheck::fail(kTextInvalidCommunity, "trapCommunity");
  if (getVerifyEnabled_ && getVerify != getCommunity) return PageCheck::fail(kTextGetVerifyDiffers, "getCommunity");
  if (setVerifyEnabled_ && setVerify != setCommunity) return PageCheck::fail(kTextSetVerifyDiffers, "setCommunity");
  // The fields stop typing at their limits; text from elsewhere is held to them too.
  if (sysName.size() > kSystemTextLimit) return PageCheck::fail("The system name takes at most 127 characters.", "sysName");
  if (contact.size() > kSystemTextLimit) return PageCheck::fail("The system contact takes at most 127 characters.", "contact");
  if (location.size() > kSystemTextLimit)
    return PageCheck::fail("The system location takes at most 127 characters.", "location");
  for (const auto* c : {&getCommunity, &setCommunity, &trapCommunity})
    if (c->size() > kCommunityLimit) return PageCheck::fail(kTextInvalidCommunity, "getCommunity");
  return PageCheck::pass();
}

void CSnmpPage::storeFields() {
  system_.setTextIfChanged(kContact, contact);
  system_.setTextIfChanged(kLocation, location);
  system_.setTextIfChanged(kName, sysName);
  snmp_.setTextIfChanged(kGetCommunity, getCommunity);
  snmp_.setTextIfChanged(kTrapCommunity, trapCommunity);
  if (setCommunity != setInUse_) snmp_.setExtraText(kSetCommunityExtra, setCommunity);
}

int CSnmpPage::writeGroups(snmpaccess::CSnmpSession& session) {
  if (const int rc = system_.writeChanged(session)) return rc;
  return snmp_.writeChanged(session);
}

// A bad value in one group does not keep the other from the file.
int CSnmpPage::loadGroups(const std::string& path) { return loadGroupsFromFile(path); }

int CSnmpPage::SaveToFile(const std::string& path) { return saveGroupsToFile(path); }

}  // namespace config
