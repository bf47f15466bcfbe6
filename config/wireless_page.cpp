#include "config/wireless_page.h"

#include "access/mib_catalogue.h"

namespace config {

using mib::levelAtLeast;

namespace {

enum Var {
  kMode = 1, kChannel = 2, kRate = 3, kSsid = 4, kEncryption = 5, kKeySelection = 6, kChannelMask = 7,
  kRadio = 18, kDensity = 19, kRadioMask = 20, kRateMask = 21, kDot11d = 22, kCommonName1 = 23, kCommonName2 = 24,
  kRootKey = 25, kWpaPsk = 26, kUserId = 27, kPassword = 28, kAuthType = 29, kExponent = 30, kAuthProtocol = 31,
  kAutoAssociate = 32, kGroupKey = 33, kEncryptionMask = 34, kAuthMask = 35, kCountry = 36, kAutoAvailable = 37,
  kDfs = 38, kChannelBitmap = 39,
};

std::int32_t intOf(const snmpaccess::CMibGroup& g, int index, std::int32_t fallback = 0) {
  std::int32_t v = fallback;
  if (g.getInteger(index, v) != 0) return fallback;
  return v;
}

std::string textOf(const snmpaccess::CMibGroup& g, int index) {
  std::string s;
  g.getBytes(index, s);
  return s;
}

snmpaccess::GroupParams withPrefix(const std::string& prefix) {
  snmpaccess::GroupParams p;
  p.prefix = prefix;
  return p;
}

}  // namespace

CWirelessPage::CWirelessPage(std::string prefix) : prefix_(std::move(prefix)), group_(withPrefix(prefix_)) {
  for (int k = 0; k < kWepKeys; ++k)
    keyRows_[static_cast<std::size_t>(k)] = std::make_unique<snmpaccess::CWepKeyRow>(snmpaccess::rowParams(prefix_, k));
}

CWirelessPage::~CWirelessPage() = default;

int CWirelessPage::level() const {
  const int v = group_.mibVersion();
  return v == mib::kLevelUnknown ? 1 : v;
}

bool CWirelessPage::fromLevelThree() const { return levelAtLeast(level(), 3); }

int CWirelessPage::Read(snmpaccess::CSnmpSession& session) {
  if (const int rc = group_.read(session)) return rc;
  lists_.reset();
  countries_.reset();
  countryCodes_.clear();
  if (fromLevelThree()) {
    // The lists only refine what the page offers: a print server without them still has a page.
    lists_ = std::make_unique<snmpaccess::CWirelessListGroup>(withPrefix(prefix_));
    if (lists_->read(session) != 0) lists_.reset();
    countries_ = std::make_unique<snmpaccess::CWirelessCountryGroup>(withPrefix(prefix_));
    if (countries_->read(session) == 0) {
      for (int i = 1; i < countries_->count(); ++i) countryCodes_.push_back(textOf(*countries_, i));
    } else {
      countries_.reset();
    }
  }
  // A key that cannot be read shows empty; the unit keeps it unless a new one is entered.
  for (auto& row : keyRows_) row->read(session);
  return 0;
}

void CWirelessPage::AdjustControls() {
  const bool three = fromLevelThree();
  modes = wirelessModes();
  if (three)
    channels = channelsFromBitmap(textOf(group_, kChannelBitmap));
  else
    channels = channelsFromMask(static_cast<std::uint32_t>(intOf(group_, kChannelMask)));
  rates = dataRates(three, static_cast<std::uint32_t>(intOf(group_, kRateMask)));
  shown_ = WirelessShown{};
  radioItems.clear();
  densityItems.clear();
  dot11dItems.clear();
  countryList.clear();
  dfsItems.clear();
  if (!three) return;  // dynamic frequency selection stays, with an empty list
  radioItems = radios(static_cast<std::uint32_t>(intOf(group_, kRadioMask)));
  densityItems = densities();
  shown_.radio = shown_.density = shown_.dot11d = true;
  dot11dItems = strictness();
  if (intOf(group_, kDfs) != 0)
    dfsItems = strictness();
  else
    shown_.dfs = false;
  if (!countryCodes_.empty()) {
    countryList = countryItems(countryCodes_);
    shown_.country = true;
  }
}

void CWirelessPage::ShowValues() {
  ssid = textOf(group_, kSsid);
  mode = intOf(group_, kMode);
  channel = intOf(group_, kChannel);
  rate = intOf(group_, kRate);
  security.encryption = intOf(group_, kEncryption);
  security.keySelection = intOf(group_, kKeySelection);
  for (int k = 0; k < kWepKeys; ++k) {
    std::string key;
    keyRows_[static_cast<std::size_t>(k)]->getDisplayText(0, key);
    security.keys[static_cast<std::size_t>(k)] = key;
  }
  if (!fromLevelThree()) {
    security.commonName1.clear();
    security.commonName2.clear();
    security.rootKey.clear();
    security.wpaPsk.clear();
    security.userId.clear();
    security.password.clear();
    security.authType = security.authProtocol = security.wpaAutoAssociate = security.wpaGroupKey = -1;
    security.exponent = 0;
    shownSecurity_ = security;
    return;
  }
  const std::string code = textOf(group_, kCountry);
  country = -1;
  for (std::size_t i = 0; i < countryCodes_.size(); ++i)
    if (countryCodes_[i] == code) country = static_cast<std::int32_t>(i);
  radio = intOf(group_, kRadio);
  dot11d = intOf(group_, kDot11d);
  if (dot11d == 0) shown_.dot11d = false;  // the print server has no 802.11d setting
  density = intOf(group_, kDensity);
  if (!dfsItems.empty()) dfs = intOf(group_, kDfs);
  security.commonName1 = textOf(group_, kCommonName1);
  security.commonName2 = textOf(group_, kCommonName2);
  security.rootKey = textOf(group_, kRootKey);
  security.wpaPsk = textOf(group_, kWpaPsk);
  security.userId = textOf(group_, kUserId);
  security.password = textOf(group_, kPassword);
  security.authType = intOf(group_, kAuthType, -1);
  security.exponent = intOf(group_, kExponent);
  security.authProtocol = intOf(group_, kAuthProtocol, -1);
  security.wpaAutoAssociate = intOf(group_, kAutoAssociate, -1);
  security.wpaGroupKey = intOf(group_, kGroupKey, -1);
  shownSecurity_ = security;
}

bool CWirelessPage::channelEnabled() const { return mode != 3; }

bool CWirelessPage::dot11dEnabled() const { return shown_.dot11d && mode != 1 && mode != 2; }

SecurityOffer CWirelessPage::offer() const {
  SecurityOffer o;
  o.fromLevelThree = fromLevelThree();
  if (!o.fromLevelThree) return o;
  o.encryptionMask = static_cast<std::uint32_t>(intOf(group_, kEncryptionMask));
  o.authenticationMask = static_cast<std::uint32_t>(intOf(group_, kAuthMask));
  o.autoAssociateAvailable = intOf(group_, kAutoAvailable) == 2;
  if (lists_ && lists_->entryCount() > 0)
    for (int k = 1; k <= lists_->entryCount() && k < lists_->count(); ++k)
      o.allowedModes.push_back(static_cast<std::uint32_t>(intOf(*lists_, k)));
  return o;
}

CWirelessSecurityDlg CWirelessPage::securityDialog() const { return CWirelessSecurityDlg(security, offer()); }

void CWirelessPage::takeSecurity(const CWirelessSecurityDlg& dialog) { security = dialog.result(security); }

PageCheck CWirelessPage::check() {
  if (ssid.size() > kSsidLimit) return PageCheck::fail("The SSID takes at most 32 characters.", "ssid");
  // Security values set other than through the dialog (the command line) get its checks here.
  if (security != shownSecurity_) return securityDialog().check();
  return PageCheck::pass();
}

void CWirelessPage::storeFields() {
  group_.setIntegerIfChanged(kMode, mode);
  group_.setIntegerIfChanged(kChannel, channel);
  group_.setIntegerIfChanged(kRate, rate);
  if (fromLevelThree()) {
    group_.setIntegerIfChanged(kRadio, radio);
    if (shown_.dot11d) group_.setIntegerIfChanged(kDot11d, dot11d);
    if (shown_.country && country >= 0 && static_cast<std::size_t>(country) < countryCodes_.size())
      group_.setTextIfChanged(kCountry, countryCodes_[static_cast<std::size_t>(country)]);
    group_.setIntegerIfChanged(kDensity, density);
    if (!dfsItems.empty()) group_.setIntegerIfChanged(kDfs, dfs);
    group_.setTextIfChanged(kCommonName1, security.commonName1);
    group_.setTextIfChanged(kCommonName2, security.commonName2);
    group_.setTextIfChanged(kRootKey, security.rootKey);
    group_.setTextIfChanged(kWpaPsk, security.wpaPsk);
    group_.setTextIfChanged(kUserId, security.userId);
    group_.setTextIfChanged(kPassword, security.password);
    group_.setIntegerIfChanged(kAuthType, security.authType);
    group_.setIntegerIfChanged(kExponent, security.exponent);
    group_.setIntegerIfChanged(kAuthProtocol, security.authProtocol);
    group_.setIntegerIfChanged(kAutoAssociate, security.wpaAutoAssociate);
    group_.setIntegerIfChanged(kGroupKey, security.wpaGroupKey);
  }
  group_.setIntegerIfChanged(kEncryption, security.encryption);
  group_.setIntegerIfChanged(kKeySelection, security.keySelection);
  group_.setTextIfChanged(kSsid, ssid);
  // Keys go as bytes, two hexadecimal digits each; a key shown as asterisks stays as it is.
  for (int k = 0; k < kWepKeys; ++k) {
    const std::string& key = security.keys[static_cast<std::size_t>(k)];
    std::string bytes;
    if (keyToWrite(key) && snmpaccess::hexTextToBytes(key, bytes) == 0)
      keyRows_[static_cast<std::size_t>(k)]->setBytesIfChanged(0, bytes.data(), bytes.size());
  }
}

std::vector<snmpaccess::CMibGroup*> CWirelessPage::groups() {
  std::vector<snmpaccess::CMibGroup*> out{&group_};
  for (auto& row : keyRows_) out.push_back(row.get());
  return out;
}

int CWirelessPage::writeGroups(snmpaccess::CSnmpSession& session) {
  if (const int rc = group_.writeChanged(session)) return rc;
  for (auto& row : keyRows_)
    if (const int rc = row->writeChanged(session)) return rc;
  return 0;
}

int CWirelessPage::loadGroups(const std::string& path) { return group_.restoreBackupFile(path); }

int CWirelessPage::SaveToFile(const std::string& path) { return group_.saveBackupFile(path); }

}  // namespace config
