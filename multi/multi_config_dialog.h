#pragma once
// "Configure Multiple Devices" without a display: its controls as a table (name, label, group,
// kind), what each holds, the enabling rules, OK's range checks, and the settings it sends. Every
// control starts as "leave unchanged"; only what the user touched is sent, through the same field
// table as `trellanctl multi-config` (multi_config_fields).
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "multi/multi_config_settings.h"
#include "multi/multi_tri_state.h"
#include "multi/multi_wireless_security.h"

namespace multi {

inline constexpr const char* kDialogTitle = "Configure Multiple Devices";
inline constexpr const char* kLegendTitle = "Note on 3-state check boxes:";
inline constexpr const char* kLegendLines[] = {"Disabled check box settings will remain unchanged.",
                                               "Select check box once to enable setting.",
                                               "Select check box twice to disable setting. "};

enum class ControlKind {
  Tri,          // three-state check box
  List,         // list box starting at "<no change>"
  Text,         // sent when not empty
  Address,      // sent when not blank
  BoxedText,    // a check box enabling its text; sent (even empty) while ticked
  BoxedNumber,  // a check box enabling its number; sent while ticked
  TriNumber,    // three-state check box with a number beside it
  Button,       // opens a dialog of its own
};

struct MultiControl {
  const char* name;   // the settings field it feeds, or a name of its own
  const char* label;  // with its mnemonic
  const char* group;  // "Protocols", "Output Ports (All)", "TCP/IP", "NetWare", "SNMP", "Community Names", "Wireless"
  ControlKind kind;
  int minimum = 0;  // numbers: range; texts: longest length in `maximum`
  int maximum = 0;
  const char* numberName = nullptr;  // TriNumber: the number's own name
  const char* numberLabel = nullptr;
};

std::span<const MultiControl> multiControls() noexcept;
const MultiControl* findMultiControl(const std::string& name) noexcept;
// The groups in the order the dialog shows them.
std::span<const char* const> multiControlGroups() noexcept;

// The view types whose transport box is disabled: 6 TCP/IP ("TCP/IP"), 7 and 9 IPX ("NetWare").
inline constexpr int kViewTcpIp = 6, kViewNetWare = 7, kViewIpx = 9;

class CMultiConfigDlg {
 public:
  explicit CMultiConfigDlg(int viewProtocol = kViewTcpIp);

  // Items of a list control: "<no change>" (data 0) first.
  const std::vector<DialogChoice>& items(const std::string& name) const;

  TriState tri(const std::string& name) const;
  void setTri(const std::string& name, TriState state);
  std::int32_t choice(const std::string& name) const;
  // "Wireless Mode" applies its rule: Infrastructure empties and disables "RF Channel" and enables
  // "802.11 D"; any other choice does the opposite.
  void choose(const std::string& name, std::int32_t data);
  // Texts, addresses and the numbers (by the control's name, a TriNumber's by its number name).
  std::string text(const std::string& name) const;
  void setText(const std::string& name, const std::string& text);
  bool boxed(const std::string& name) const;
  void setBoxed(const std::string& name, bool on);

  // The control itself, and the text or number a check box gates.
  bool enabled(const std::string& name) const;
  bool editEnabled(const std::string& name) const;

  // "Telnet/Http Password": empty until one was entered in "Change Password".
  std::string telnetPassword;
  static constexpr int kPasswordMinimum = 5, kPasswordMaximum = 24;

  // "Configure Wireless Security" works on these; its "Certificate File" is uploaded, not set.
  MultiSecurityValues security;
  const std::string& certificateFile() const { return security.certificateFile; }

  // OK: the number ranges, then everything the settings table refuses.
  DialogCheck check() const;
  // The NAME=VALUE pairs of every control that is to be sent.
  std::vector<std::pair<std::string, std::string>> values() const;
  // The settings; empty result text or why they cannot be built.
  std::string build(CMultiConfigSettings& settings) const;

 private:
  bool infrastructure() const;
  int view_;
  std::map<std::string, TriState> tri_;
  std::map<std::string, std::int32_t> choice_;
  std::map<std::string, std::string> text_;
  std::map<std::string, bool> boxed_;
  std::map<std::string, std::vector<DialogChoice>> items_;
};

}  // namespace multi
