#pragma once
// The "Output Port" page: per output port its name, printer-language switching (mode, printer
// type, the PCL / PostScript switch sequences or the pre / post-job strings), the configuration
// page language, the port hardware (output type), PJL status support and the serial parameters
// that the two serial dialogs edit. Which controls exist follows the port group's level L, the
// capability word C and the selected port's feature word F.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "access/group_classes.h"
#include "config/device_page.h"
#include "config/serial_dialogs.h"
#include "config/serial_values.h"

namespace config {

// Output types (row variable 12).
enum OutputType : std::int32_t {
  kTypeInfraredInput = 32758,
  kTypeSerialOutputBidi = 32759,
  kTypeSerialOutput = 32760,
  kTypeSerialInput = 32761,
  kTypeCompatibility = 32762,
  kTypeStdNibble = 32763,
  kTypeZLink = 32764,
  kTypeMio = 32765,
  kTypeEcp = 32766,
  kTypeRavelport = 32767,
};
inline constexpr std::int32_t kModeOff = 1, kModePrePost = 5;
inline constexpr std::int32_t kNoSpecificPrinter = 4;
inline constexpr std::size_t kPortNameLimit = 15;
inline constexpr std::size_t kSequenceLimit = 127;

// What the page shows and lets the user change for the selected port.
struct OutputPortControls {
  bool portChoice = false;        // "Port &Number:" (two ports or more)
  bool name = true;               // "Port N&ame:"
  bool languageBox = true;        // "Language Switching"
  bool printerType = true;
  bool printerTypeEnabled = true;
  bool mode = true;
  bool configLanguage = true;
  bool sequences = true;          // the "Switch Sequence" box
  bool prePostLabels = false;     // "&Pre-job:"/"P&ost-job:" in place of "&PCL:"/"P&ostScript:"
  bool sequence1Enabled = true;   // PCL or pre-job
  bool sequence2Enabled = true;   // PostScript or post-job
  bool outputType = true;
  bool pjl = true;                // "P&JL Printer Status Support"
  bool pjlEnabled = true;
  bool serialSettings = true;     // "&Serial Settings"
};

class COutputPortPage : public CDevicePage {
 public:
  explicit COutputPortPage(std::string prefix = std::string(mib::kDefaultEnterprisePrefix));

  const char* title() const override { return "Output Port"; }
  using CDevicePage::Read;
  int Read(snmpaccess::CSnmpSession& session) override;
  void AdjustControls() override;
  void ShowValues() override;
  int SaveToFile(const std::string& path) override;
  PageCheck check() override;
  std::vector<snmpaccess::CMibGroup*> groups() override { return {&group_}; }

  int level() const { return group_.mibVersion(); }
  std::uint32_t capability() const { return capability_; }
  std::uint32_t features() const { return features_; }
  int portCount() const;
  int selectedPort() const { return selected_; }
  // Port changed: the shown port's values are checked and kept, the new one shown (out of range:
  // the first). A refusal keeps the shown port.
  PageCheck selectPort(int index);
  OutputPortControls controls() const;

  // Lists as filled for the selected port.
  std::vector<Choice> modes, printerTypes, configLanguages, outputTypes;

  // Fields of the selected port. The sequences are edit texts (config/byte_text.h).
  std::string name, sequence1, sequence2;
  std::int32_t mode = 0, printerType = 0, configLanguage = 0, outputType = 0;
  bool pjl = false;
  bool bidirectional = false;  // a serial output port that also sends data back (type 32759)
  SerialValues serial;

  // Handlers the Qt page calls after the user picked a value (they also update the lists).
  void setMode(std::int32_t value);
  void setPrinterType(std::int32_t value);
  void setOutputType(std::int32_t value);

  // "&Serial Settings": which dialog it opens for the selected port.
  bool serialSettingsIsModbus() const;
  CSerialPortSettingsDlg serialPortDialog() const;
  void takeSerialPortDialog(const CSerialPortSettingsDlg& dialog);
  CSerialSettingsDlg serialSettingsDialog() const { return CSerialSettingsDlg(serial); }
  void takeSerialSettingsDialog(const CSerialSettingsDlg& dialog);

  snmpaccess::COutputPortGroup& group() { return group_; }

 protected:
  void storeFields() override;
  int writeGroups(snmpaccess::CSnmpSession& session) override;
  int loadGroups(const std::string& path) override;

 private:
  snmpaccess::CMibGroup* row(int index);
  void showPort();
  void storePort();
  void fillOutputTypes(std::int32_t current);
  void outputTypeChanged();
  void bringSpeedIntoRange();

  std::string prefix_;
  snmpaccess::COutputPortGroup group_;
  std::uint32_t capability_ = 0;
  std::uint32_t features_ = 0;
  int selected_ = 0;
  bool typeNotListed_ = false;  // "No Specific Printer" shown for a type the list lacks (or for mode 5)
  bool pjlApplicable_ = false;
  std::int32_t readType_ = 0;   // the output type as read from the print server
  std::string heldSequence1_, heldSequence2_;  // bytes shown, to keep text that cannot be parsed back
};

}  // namespace config
