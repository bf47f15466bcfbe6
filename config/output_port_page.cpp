#include "config/output_port_page.h"

#include <algorithm>

#include "access/mib_catalogue.h"
#include "config/byte_text.h"

namespace config {

namespace {

using mib::levelAtLeast;

enum RowVar {
  kName = 1, kPrinterType = 6, kMode = 7, kConfigLanguage = 8, kSequence1 = 9, kSequence2 = 10,
  kOutputType = 12, kPjl = 13, kFeatures = 16, kFlow = 17, kDataBits = 18, kStopBits = 19, kParity = 20,
  kSpeed = 21, kSerialMode = 22, kModbus = 23, kDeviceType = 24, kSlaveId = 25, kInitialDelay = 26,
  kCharTimeout = 27, kMessageTimeout = 28, kTcpException = 29,
};
constexpr int kCapabilityVar = 2;
constexpr int kNoSettings = 3164;

constexpr std::uint32_t kBitName = 2, kBitPrinterType = 32, kBitMode = 64, kBitConfigLanguage = 128,
                        kBitSequences = 256, kBitOutputType = 1024, kBitPjl = 4096, kBitSerial = 0x8000;
constexpr std::uint32_t kFeatureBidi = 0x2000000;

std::int32_t intOf(const snmpaccess::CMibGroup* g, int index, std::int32_t fallback = 0) {
  std::int32_t v = fallback;
  if (g && g->getInteger(index, v) != 0) v = fallback;
  return v;
}

std::string bytesOf(const snmpaccess::CMibGroup* g, int index) {
  std::string s;
  if (g) g->getBytes(index, s);
  return s;
}

const char* modeText(int m) {
  static constexpr const char* kTexts[] = {"Off", "PCL", "PostScript", "Automatic", "Pre/Post String"};
  return kTexts[m - 1];
}

}  // namespace

COutputPortPage::COutputPortPage(std::string prefix)
    : prefix_(std::move(prefix)), group_([this] {
        snmpaccess::GroupParams p;
        p.prefix = prefix_;
        return p;
      }()) {}

snmpaccess::CMibGroup* COutputPortPage::row(int index) {
  snmpaccess::CMibGroup* r = nullptr;
  return group_.row(index, r) == 0 ? r : nullptr;
}

int COutputPortPage::portCount() const { return std::max(0, group_.rowCount()); }

int COutputPortPage::Read(snmpaccess::CSnmpSession& session) {
  if (const int rc = group_.read(session)) return rc;
  if (portCount() == 0) return kNoSettings;  // a unit without output ports has nothing to show here
  if (levelAtLeast(level(), 5)) capability_ = static_cast<std::uint32_t>(intOf(&group_, kCapabilityVar));
  selected_ = port() >= 0 && port() < portCount() ? port() : 0;
  return 0;
}

void COutputPortPage::AdjustControls() {
  const int l = level();
  if (l == 1) capability_ = 0x18FFF;
  else if (l >= 2 && l <= 4) capability_ = 0x1FFFF;
  modes.clear();
  for (int m = 1; m <= (levelAtLeast(l, 4) ? 5 : 4); ++m) modes.push_back({m, modeText(m)});
  printerTypes.clear();
  static constexpr const char* kPrinters[] = {"HP III with PostScript Plus", "HP LaserJet (except HP III)", "Lexmark"};
  for (int t = 1; t <= 3; ++t)
    if (!(capability_ & (0x40000u << (t - 1)))) printerTypes.push_back({t, kPrinters[t - 1]});
  printerTypes.push_back({kNoSpecificPrinter, "No Specific Printer"});
}

void COutputPortPage::ShowValues() { showPort(); }

void COutputPortPage::showPort() {
  const int l = level();
  const snmpaccess::CMibGroup* r = row(selected_);
  name = bytesOf(r, kName);
  heldSequence1_ = bytesOf(r, kSequence1);
  heldSequence2_ = bytesOf(r, kSequence2);
  sequence1 = bytesToEditText(heldSequence1_);
  sequence2 = bytesToEditText(heldSequence2_);
  mode = intOf(r, kMode);
  printerType = intOf(r, kPrinterType);
  typeNotListed_ = false;
  if (!offers(printerTypes, printerType) && printerType >= 1 && printerType <= 3) {
    printerType = kNoSpecificPrinter;
    typeNotListed_ = true;
  }
  features_ = levelAtLeast(l, 3) ? static_cast<std::uint32_t>(intOf(r, kFeatures)) : 0;
  configLanguages = {{1, "Text"}, {2, "PCL"}, {3, "PostScript"}};
  if (levelAtLeast(l, 4)) configLanguages.push_back({4, "Off"});
  if (features_ & 0x40000u) configLanguages.push_back({5, "ZPL/EPL"});
  configLanguage = intOf(r, kConfigLanguage);

  readType_ = intOf(r, kOutputType);
  fillOutputTypes(readType_);
  bidirectional = readType_ == kTypeSerialOutputBidi;
  outputType = bidirectional ? kTypeSerialOutput : readType_;

  // PJL support belongs to the port: a port without it hides the box for itself only.
  pjlApplicable_ = (l == 2 && (readType_ == kTypeEcp || readType_ == kTypeMio)) || (features_ & kFeatureBidi);
  pjl = pjlApplicable_ && intOf(r, kPjl) == 2;

  serial = SerialValues{};
  if (levelAtLeast(l, 6)) {
    serial.flow = intOf(r, kFlow, serial.flow);
    serial.dataBits = intOf(r, kDataBits, serial.dataBits);
    serial.stopBits = intOf(r, kStopBits, serial.stopBits);
    serial.parity = intOf(r, kParity, serial.parity);
    serial.speed = intOf(r, kSpeed, serial.speed);
  }
  if (levelAtLeast(l, 8)) {
    serial.mode = intOf(r, kSerialMode);
    serial.modbus = intOf(r, kModbus);
    serial.deviceType = intOf(r, kDeviceType);
    serial.slaveId = intOf(r, kSlaveId);
    serial.initialDelay = intOf(r, kInitialDelay, serial.initialDelay);
    serial.charTimeout = intOf(r, kCharTimeout, serial.charTimeout);
    serial.messageTimeout = intOf(r, kMessageTimeout, serial.messageTimeout);
    serial.tcpException = intOf(r, kTcpException);
  }
  // Shown as "No Specific Printer" for "Pre/Post String", but what the unit holds is not changed
  // by showing it.
  if ((capability_ & kBitMode) && mode == kModePrePost && printerType != kNoSpecificPrinter) {
    printerType = kNoSpecificPrinter;
    typeNotListed_ = true;
  }
}

void COutputPortPage::fillOutputTypes(std::int32_t a) {
  const std::uint32_t f = features_;
  const bool upper = levelAtLeast(level(), 6);
  outputTypes.clear();
  auto add = [&](std::int32_t v, const char* text) { outputTypes.push_back({v, text}); };
  if (a == kTypeEcp || (f & 0x40000000u)) add(kTypeEcp, "1284 (ECP or Fast Nibble Mode)");
  if (a == kTypeMio || (f & 0x20000000u)) add(kTypeMio, "MIO");
  if (a == kTypeStdNibble || (f & 0x800000u)) add(kTypeStdNibble, "1284 (Std Nibble Mode)");
  if (a == kTypeCompatibility || (f & 0x400000u)) add(kTypeCompatibility, "Compatibility (No Bidi)");
  if (a == kTypeZLink || (f & 0x1000000u)) add(kTypeZLink, "Z-Link");
  if (upper) {
    if (f & 0x80000u) add(kTypeInfraredInput, "Infrared Input");
    if (f & 0x100000u) add(kTypeSerialInput, "Serial Input");
    if (f & 0x8000000u) add(kTypeSerialOutput, "Serial Output");
    if (f & 0x10000000u) add(kTypeRavelport, "Ravelport");
    return;
  }
  if ((f == 0 && outputTypes.empty()) || (f & 0x8000000u)) {
    static constexpr const char* kSpeeds[] = {"9600 Baud", "19200 Baud", "38400 Baud", "57600 Baud"};
    for (int i = 0; i < 4; ++i)
      if (f == 0 || (f & (1u << i))) add(i + 1, kSpeeds[i]);
    if (f & 0x10u) add(5, "115200 Baud");
    if (f == 0 || (f & 0x10000000u)) add(kTypeRavelport, "Ravelport");
  }
}

void COutputPortPage::setMode(std::int32_t value) {
  mode = value;
  // "Pre/Post String" sends no switch sequence: the printer type means nothing then.
  if (mode == kModePrePost && (capability_ & kBitMode)) printerType = kNoSpecificPrinter;
}

void COutputPortPage::setPrinterType(std::int32_t value) {
  printerType = value;
  typeNotListed_ = false;
}

void COutputPortPage::setOutputType(std::int32_t value) {
  const bool wasSerialOutput = outputType == kTypeSerialOutput;
  outputType = value;
  if (value == kTypeSerialOutput && !wasSerialOutput) bringSpeedIntoRange();
}

void COutputPortPage::bringSpeedIntoRange() {
  // A port that cannot send data back has no bidirectional speeds.
  if (!(features_ & kFeatureBidi)) bidirectional = false;
  if (!levelAtLeast(level(), 6) || serial.speed < 1 || serial.speed > 10) return;
  if (bidirectional) {
    if (serial.speed <= 5) serial.speed += 5;
    if (serial.speed == 10 || !(features_ & (32u << (serial.speed - 6)))) {
      // The fastest speed has no bidirectional form: the first one the port offers.
      for (int i = 0; i < 4; ++i)
        if (features_ & (32u << i)) {
          serial.speed = 6 + i;
          return;
        }
      serial.speed = 6;
    }
  } else if (serial.speed >= 6) {
    serial.speed -= 5;
  }
}

OutputPortControls COutputPortPage::controls() const {
  const std::uint32_t c = capability_;
  OutputPortControls k;
  k.portChoice = portCount() >= 2;
  k.name = c & kBitName;
  k.printerType = c & kBitPrinterType;
  k.mode = c & kBitMode;
  k.configLanguage = c & kBitConfigLanguage;
  k.sequences = c & kBitSequences;
  k.languageBox = c & (kBitPrinterType | kBitMode | kBitSequences);
  k.outputType = c & kBitOutputType;
  k.pjl = pjlApplicable_ && ((c & kBitPjl) || level() == 2);
  if (c & kBitMode) {
    if (mode == kModeOff) {
      k.printerTypeEnabled = false;
      k.sequence1Enabled = k.sequence2Enabled = false;
    } else if (mode == kModePrePost) {
      k.printerTypeEnabled = false;
      k.prePostLabels = (c & kBitSequences) != 0;
      k.sequence1Enabled = k.sequence2Enabled = true;
    } else {
      // Only a printer the port knows nothing about takes switch sequences.
      const bool free = printerType == kNoSpecificPrinter && (c & kBitSequences);
      k.sequence1Enabled = free && (mode == 2 || mode == 4);
      k.sequence2Enabled = free && (mode == 3 || mode == 4);
    }
  }
  // "&Serial Settings" edits row values that exist from level 6 on.
  const bool serialLevel = levelAtLeast(level(), 6);
  const bool serialType = outputType == kTypeSerialOutput || outputType == kTypeSerialInput;
  k.serialSettings = serialLevel && ((c & kBitSerial) ? serialType
                                                      : outputType != kTypeInfraredInput && outputType != kTypeRavelport);
  switch (outputType) {
    case kTypeInfraredInput:
    case kTypeRavelport:
    case kTypeSerialInput:
    case kTypeCompatibility: k.pjlEnabled = false; break;
    case kTypeSerialOutput: k.pjlEnabled = bidirectional; break;
    default: break;
  }
  return k;
}

bool COutputPortPage::serialSettingsIsModbus() const {
  return readType_ == kTypeSerialOutputBidi && level() == 8;
}

CSerialPortSettingsDlg COutputPortPage::serialPortDialog() const {
  return CSerialPortSettingsDlg(features_, outputType == kTypeSerialInput, bidirectional, serial);
}

void COutputPortPage::takeSerialPortDialog(const CSerialPortSettingsDlg& dialog) {
  dialog.apply(serial, bidirectional);
  if (!bidirectional) pjl = false;
}

void COutputPortPage::takeSerialSettingsDialog(const CSerialSettingsDlg& dialog) { dialog.apply(serial); }

PageCheck COutputPortPage::check() {
  if (name.size() > kPortNameLimit) return PageCheck::fail("The port name takes at most 15 characters.", "name");
  const std::string* texts[] = {&sequence1, &sequence2};
  const char* fields[] = {"sequence1", "sequence2"};
  for (int i = 0; i < 2; ++i) {
    const auto bytes = editTextToBytes(*texts[i]);
    if (!bytes)
      return PageCheck::fail("Write a byte that is not a printable character as \\xHH (two hexadecimal digits), "
                             "and a backslash as \\\\.",
                             fields[i]);
    if (bytes->size() > kSequenceLimit) return PageCheck::fail("A switch sequence takes at most 127 bytes.", fields[i]);
  }
  return PageCheck::pass();
}

PageCheck COutputPortPage::selectPort(int index) {
  if (initialised()) {
    if (PageCheck c = check(); !c.ok()) return c;
    storePort();
  }
  selected_ = index >= 0 && index < portCount() ? index : 0;
  showPort();
  return PageCheck::pass();
}

void COutputPortPage::storePort() {
  snmpaccess::CMibGroup* r = row(selected_);
  if (!r) return;
  const int l = level();
  r->setTextIfChanged(kName, name.substr(0, kPortNameLimit));
  const auto s1 = editTextToBytes(sequence1), s2 = editTextToBytes(sequence2);
  const std::string& b1 = s1 && s1->size() <= kSequenceLimit ? *s1 : heldSequence1_;
  const std::string& b2 = s2 && s2->size() <= kSequenceLimit ? *s2 : heldSequence2_;
  r->setBytesIfChanged(kSequence1, b1.data(), b1.size());
  r->setBytesIfChanged(kSequence2, b2.data(), b2.size());
  r->setIntegerIfChanged(kMode, mode);
  if (!(typeNotListed_ && printerType == kNoSpecificPrinter)) r->setIntegerIfChanged(kPrinterType, printerType);
  r->setIntegerIfChanged(kConfigLanguage, configLanguage);
  r->setIntegerIfChanged(kOutputType,
                         outputType == kTypeSerialOutput && bidirectional ? kTypeSerialOutputBidi : outputType);
  if (pjlApplicable_) r->setIntegerIfChanged(kPjl, pjl ? 2 : 1);
  if (levelAtLeast(l, 6)) {
    r->setIntegerIfChanged(kDataBits, serial.dataBits);
    r->setIntegerIfChanged(kStopBits, serial.stopBits);
    r->setIntegerIfChanged(kParity, serial.parity);
    r->setIntegerIfChanged(kFlow, serial.flow);
    r->setIntegerIfChanged(kSpeed, serial.speed);
  }
  if (levelAtLeast(l, 8)) {
    r->setIntegerIfChanged(kSerialMode, serial.mode);
    r->setIntegerIfChanged(kModbus, serial.modbus);
    r->setIntegerIfChanged(kDeviceType, serial.deviceType);
    r->setIntegerIfChanged(kSlaveId, serial.slaveId);
    r->setIntegerIfChanged(kInitialDelay, serial.initialDelay);
    r->setIntegerIfChanged(kCharTimeout, serial.charTimeout);
    r->setIntegerIfChanged(kMessageTimeout, serial.messageTimeout);
    r->setIntegerIfChanged(kTcpException, serial.tcpException);
  }
}

void COutputPortPage::storeFields() { storePort(); }

int COutputPortPage::writeGroups(snmpaccess::CSnmpSession& session) { return group_.writeChanged(session); }

int COutputPortPage::loadGroups(const std::string& path) { return group_.restoreBackupFile(path); }

int COutputPortPage::SaveToFile(const std::string& path) { return group_.saveBackupFile(path); }

}  // namespace config
