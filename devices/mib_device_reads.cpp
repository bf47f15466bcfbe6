#include "devices/mib_device_reads.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "access/mib_enumerations.h"
#include "access/progress.h"
#include "access/result_codes.h"
#include "access/snmp_session.h"
#include "access/snmp_target.h"
#include "access/var_bind.h"
#include "devices/device.h"
#include "devices/printer_probe.h"
#include "devices/printer_probe_batch.h"
#include "devices/second_family_exchange.h"
#include "platform/net_config.h"
#include "snmp/winsnmp.h"

namespace devices {
namespace {

using snmpaccess::CSnmpSession;
using snmpaccess::CVarBind;
namespace result = snmpaccess::result;

constexpr const char* kSysLocation = "1.3.6.1.2.1.1.6.0";
constexpr std::int32_t kProtocolWireless = 7;
constexpr std::int32_t kEnabled = 2;
constexpr std::size_t kMaxProtocols = 32;  // a count above this is not believed

// The outcome of the last printer-MIB probe on this thread: the extra reads that follow it for
// the same device skip a print server that did not answer at all or whose read was stopped.
// (Each wait starts unstopped, so without this a Stop would only end the probe.)
struct LastProbe {
  const CIpDevice* device = nullptr;
  int result = 0;
};
thread_local LastProbe tLastProbe;

bool givesUp(int rc) { return probeGivesUp(rc); }

bool stopped(const CIpDevice& device) { return device.progress && device.progress->isStopped(); }

std::string communityOf(const CIpDevice& device, const MibReadSettings& settings) {
  std::string community(device.getCommunity.view());
  if (community.empty() && settings.fallbackCommunity) {
    snmpaccess::SnmpTarget t;
    t.setAddress(device.snmpAddress());
    community = settings.fallbackCommunity(static_cast<std::uint16_t>(device.snmpProtocol()), t.address);
  }
  // As a target holds it.
  char bounded[snmpaccess::kTargetTextSize];
  snmpaccess::copyBounded(bounded, sizeof bounded, community);
  return bounded;
}

// One session to the device over its own address, with its GET community and the GetTimeout.
class DeviceSession {
 public:
  DeviceSession(const CIpDevice& device, const MibReadSettings& settings) {
    target_.family = static_cast<std::uint16_t>(device.snmpProtocol());
    target_.setAddress(device.snmpAddress());
    const std::string community = communityOf(device, settings);
    target_.setGetCommunity(community);
    target_.progress = device.progress;
    if (community.empty() || target_.address[0] == '\0') {
      rc_ = result::kNoContext;
      return;
    }
    session_ = std::make_unique<CSnmpSession>(&target_, rc_);
    session_->setTimeout(settings.getTimeout);
  }
  int result() const { return rc_; }
  CSnmpSession& operator*() { return *session_; }

 private:
  snmpaccess::SnmpTarget target_;
  int rc_ = 0;
  std::unique_ptr<CSnmpSession> session_;
};

// A value as column text: byte strings with unprintable bytes as spaces, numbers in decimal.
template <std::size_t N>
void takeText(CVarBind& b, FixedText<N>& field) {
  field.clear();
  switch (b.syntax()) {
    case SNMP_SYNTAX_OCTETS: {
      char text[snmpaccess::kDisplayTextSize];
      if (b.getPlainText(text, sizeof text) == 0) field.assign(text);
      break;
    }
    case SNMP_SYNTAX_INT: {
      smiINT v = 0;
      if (b.getInteger(v) == 0) field.assign(std::to_string(v));
      break;
    }
    default: {
      smiUINT32 u = 0;
      if (b.getUnsigned(u) == 0) field.assign(std::to_string(u));
      break;
    }
  }
}

bool takeInt(const CVarBind& b, smiINT& out) { return b.getInteger(out) == 0; }

int get(CSnmpSession& s, CVarBind* bindings, int count) {
  CVarBind* ptrs[kMaxPorts * 2 + 8];
  count = std::min<int>(count, static_cast<int>(std::size(ptrs)));
  for (int i = 0; i < count; ++i) ptrs[i] = &bindings[i];
  return s.get(ptrs, count);
}

// Does the print server list the wireless protocol? Also true when the list cannot be read, so
// the wireless values are asked for rather than silently missing.
bool hasWireless(CSnmpSession& s, const std::string& prefix, int& rc) {
  CVarBind count((prefix + ".1.15.1.0").c_str());
  rc = get(s, &count, 1);
  smiINT n = 0;
  if (rc != 0 || !takeInt(count, n)) return true;
  const int listed = static_cast<int>(std::clamp<smiINT>(n, 0, static_cast<smiINT>(kMaxProtocols)));
  for (int k = 1; k <= listed; ++k) {
    // The protocol id column (.2); the name column (.3) never reads 7.
    CVarBind id((prefix + ".1.15.2.1.2." + std::to_string(k)).c_str());
    rc = get(s, &id, 1);
    if (rc != 0) return true;
    smiINT v = 0;
    if (takeInt(id, v) && v == kProtocolWireless) return true;
  }
  return false;
}

// The request for port `port` (1-based) of a probe, on the probe's session. Asked here rather
// than through the group so that the reads' own GetTimeout holds.
int askPrinter(CSnmpSession& s, int port, CVarBind (&b)[2]) {
  b[0].setName(printerStatusOid(port).c_str());
  b[1].setName(printerConsoleOid(port).c_str());
  return get(s, b, 2);
}

const char* dataRateText(smiINT v) {
  switch (v) {
    case 0: return "1";
    case 1: return "2";
    case 2: return "5.5";
    case 3: return "11";
    default: return "";
  }
}

const char* wirelessModeText(smiINT v) {
  switch (v) {
    case 0: return "Auto";
    case 1: return "Ad Hoc(802.11)";
    case 2: return "Pseudo Ad Hoc";
    case 3: return "Infrastructure";
    default: return "";
  }
}

std::mutex gInstallMutex;
std::unique_ptr<MibDeviceReads> gInstalled;
// Earlier installations stay alive until uninstall: a search may still be inside one.
std::vector<std::unique_ptr<MibDeviceReads>> gRetired;

}  // namespace

MibDeviceReads::MibDeviceReads(MibReadSettings settings) : settings_(std::move(settings)) {}

MibDeviceReads::~MibDeviceReads() {
  if (startedEngine_) SnmpCleanup();
}

bool MibDeviceReads::engineReady() {
  smiUINT32 mode = 0;
  if (SnmpGetTranslateMode(&mode) == SNMPAPI_SUCCESS) return true;
  if (!settings_.startEngine) return false;
  std::lock_guard<std::mutex> lock(engineMutex_);
  if (SnmpGetTranslateMode(&mode) == SNMPAPI_SUCCESS) return true;
  if (SnmpStartup(nullptr, nullptr, nullptr, nullptr, nullptr) != SNMPAPI_SUCCESS) return false;
  startedEngine_ = true;
  return true;
}

std::string MibDeviceReads::enterprisePrefix(std::string_view family) const {
  if (family != "KDV")
    for (const auto& [code, prefix] : settings_.families)
      if (!code.empty() && code == family && !prefix.empty()) return prefix;
  return kNativePrefix;
}

bool MibDeviceReads::probePrinterMib(CIpDevice& device) {
  tLastProbe = {&device, 0};
  PrinterProbe probe(device);
  const int rc = probeStart(device);
  if (rc != 0) {
    tLastProbe.result = rc;
    return false;
  }
  DeviceSession session(device, settings_);
  if (session.result() != 0) {
    tLastProbe.result = session.result();
    return false;
  }
  CVarBind b[2];
  for (int port = probe.nextPort(); port != 0; port = probe.nextPort()) probe.take(askPrinter(*session, port, b), b);
  tLastProbe.result = probe.result();
  return probe.answered();
}

int MibDeviceReads::probeStart(const CIpDevice& device) {
  // A print server of reply format 2 has no SNMP agent: asking it would only wait out the retries.
  if (device.replyFormat == 2 || !engineReady()) return result::kNoSession;
  return 0;
}

std::string MibDeviceReads::communityFor(const CIpDevice& device) const { return communityOf(device, settings_); }

std::unique_ptr<PrinterProbeBatch> MibDeviceReads::newProbeBatch() {
  ProbeBatchSettings s;
  s.getTimeout = settings_.getTimeout;
  s.transmissions = 1 + snmpaccess::CSnmpSession::kResendCount;
  s.maxOutstanding = settings_.probesOutstanding;
  s.agentPort = platform::netConfig().snmpPort;
  s.community = [this](const CIpDevice& d) { return communityFor(d); };
  s.precheck = [this](const CIpDevice& d) { return probeStart(d); };
  // The extra reads that follow on this thread look at the outcome, as after a probe asked alone.
  s.probed = [](const CIpDevice& d, const PrinterProbe& p) { tLastProbe = {&d, p.result()}; };
  auto batch = std::make_unique<PrinterProbeBatch>(std::move(s));
  if (!batch->open()) return nullptr;
  return batch;
}

int MibDeviceReads::readExtraColumns(CIpDevice& device) {
  if (tLastProbe.device == &device && givesUp(tLastProbe.result)) return tLastProbe.result;
  if (stopped(device)) return result::kStopped;
  if (device.replyFormat == 2 || !engineReady()) return result::kNoSession;
  DeviceSession session(device, settings_);
  if (session.result() != 0) return session.result();
  const std::string prefix = enterprisePrefix(device.familyCode.view());
  const int ports = device.portCount();

  int rc = 0;
  const bool wireless = hasWireless(*session, prefix, rc);
  if (rc == result::kStopped || rc == result::kNoReply) return rc;
  if (!wireless) device.wirelessMode.assign("Wired Only");

  CVarBind firmware((prefix + ".1.9.0").c_str());
  if ((rc = get(*session, &firmware, 1)) != 0) return rc;
  takeText(firmware, device.firmwareVersion);

  // Per port the .16 and .15 columns, then the location, in one request.
  CVarBind perPort[kMaxPorts * 2 + 1];
  int n = 0;
  for (int p = 1; p <= ports; ++p) {
    perPort[n++].setName((prefix + ".6.2.3.2.1.16." + std::to_string(p)).c_str());
    perPort[n++].setName((prefix + ".6.2.3.2.1.15." + std::to_string(p)).c_str());
  }
  perPort[n++].setName(kSysLocation);
  if ((rc = get(*session, perPort, n)) != 0) return rc;
  for (int p = 0; p < ports; ++p) {
    takeText(perPort[2 * p + 1], device.printerIds[p]);
    if (!device.printerMibAnswered) device.printerDisplays[p].assign("  ");
  }
  takeText(perPort[n - 1], device.location);

  // Without wireless the wireless area does not exist: nothing more to ask.
  if (!wireless) return 0;
  static constexpr const char* kWireless[] = {".8.3.18.0", ".8.3.16.0", ".8.3.4.0", ".8.3.10.0",
                                              ".8.3.3.0",  ".8.3.1.0",  ".8.3.12.0", ".8.3.17.0"};
  CVarBind w[std::size(kWireless)];
  for (std::size_t i = 0; i < std::size(kWireless); ++i) w[i].setName((prefix + kWireless[i]).c_str());
  if ((rc = get(*session, w, static_cast<int>(std::size(kWireless)))) != 0) return rc;
  smiINT enabled = 0;
  if (!takeInt(w[0], enabled) || enabled != kEnabled) return 0;
  takeText(w[1], device.signalDescription);
  smiINT rate = -1;
  if (takeInt(w[4], rate)) device.dataRate.assign(dataRateText(rate));
  smiINT percent = 0;
  const bool havePercent = takeInt(w[6], percent);
  if (havePercent) device.signalPercentage.assign(std::to_string(percent));
  takeText(w[2], device.ssid);
  smiINT mode = -1;
  if (havePercent && percent == 0) {
    device.wirelessMode.assign("Wired");
  } else if (takeInt(w[5], mode)) {
    device.wirelessMode.assign(wirelessModeText(mode));
  }
  takeText(w[3], device.currentSsid);
  takeText(w[7], device.security);
  return 0;
}

int MibDeviceReads::readSecondFamily(CIpDevice& device) {
  SecondFamilyExchange exchange(device.ipAddress.view(), device.querySettings.secondFamilyPort,
                                settings_.secondFamilyReplyMs);
  // The ports are only asked of the 72-byte form; their failure leaves them as they are and the
  // result is the image's.
  if (device.secondFamilyReplyForm == 0) exchange.readPortsAndStatus(device);
  std::vector<std::uint8_t> image;
  if (exchange.readConfigurationImage(image) != 0) return -1;
  applyConfigurationImage(device, image);
  return 0;
}

void installMibDeviceReads(const MibReadSettings& settings) {
  std::lock_guard<std::mutex> lock(gInstallMutex);
  auto reads = std::make_unique<MibDeviceReads>(settings);
  setDeviceSnmpReads(reads.get());
  if (gInstalled) gRetired.push_back(std::move(gInstalled));
  gInstalled = std::move(reads);
}

void uninstallMibDeviceReads() noexcept {
  std::lock_guard<std::mutex> lock(gInstallMutex);
  setDeviceSnmpReads(nullptr);
  gRetired.clear();
  gInstalled.reset();
}

}  // namespace devices
