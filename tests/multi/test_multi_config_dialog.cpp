// "Configure Multiple Devices" and its security dialog without a display: what a touched control
// sends, what an untouched one does not, the enabling rules, OK's checks; and the two commands'
// flows over a fake host (no items, one item, Cancel, the password prompt, the summaries).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "multi/multi_command.h"
#include "multi/multi_config_dialog.h"
#include "multi/multi_wireless_security.h"

using namespace multi;

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;
const std::string E = "1.3.6.1.4.1.1240.2.3.5";

TEST(MultiConfigDialog, UntouchedSendsNothing) {
  CMultiConfigDlg d;
  EXPECT_TRUE(d.values().empty());
  CMultiConfigSettings s;
  EXPECT_EQ(d.build(s), "");
  EXPECT_EQ(s.count(), 0);
  EXPECT_TRUE(d.check().ok());
}

TEST(MultiConfigDialog, TouchedControlsSendTheirValues) {
  struct Case {
    const char* what;
    void (*touch)(CMultiConfigDlg&);
    Pairs expected;
  };
  const Case cases[] = {
      {"a protocol ticked", [](CMultiConfigDlg& d) { d.setTri("vines", TriState::Checked); }, {{"vines", "on"}}},
      {"a protocol cleared", [](CMultiConfigDlg& d) { d.setTri("ethertalk", TriState::Cleared); }, {{"ethertalk", "off"}}},
      {"a list item", [](CMultiConfigDlg& d) { d.choose("language-switching", 3); }, {{"language-switching", "PostScript"}}},
      {"the channel as chosen", [](CMultiConfigDlg& d) { d.choose("rf-channel", 6); }, {{"rf-channel", "6"}}},
      {"a country by its code", [](CMultiConfigDlg& d) { d.choose("country", 2); }, {{"country", "USI"}}},
      {"an address, trimmed", [](CMultiConfigDlg& d) { d.setText("gateway", " 10.0.0.1 "); }, {{"gateway", "10.0.0.1"}}},
      {"a blank address", [](CMultiConfigDlg& d) { d.setText("gateway", "  "); }, {}},
      {"a text", [](CMultiConfigDlg& d) { d.setText("get-community", "pub"); }, {{"get-community", "pub"}}},
      {"boxed text not ticked", [](CMultiConfigDlg& d) { d.setText("system-contact", "ops"); }, {}},
      {"boxed text ticked, even empty", [](CMultiConfigDlg& d) { d.setBoxed("system-contact", true); },
       {{"system-contact", ""}}},
      {"queue scan ticked", [](CMultiConfigDlg& d) { d.setBoxed("queue-scan-time", true); d.setText("queue-scan-time", "20"); },
       {{"queue-scan-time", "20"}}},
      {"ARP cleared sends 0", [](CMultiConfigDlg& d) { d.setTri("unsolicited-arp", TriState::Cleared); },
       {{"unsolicited-arp", "0"}}},
      {"ARP ticked sends the minutes",
       [](CMultiConfigDlg& d) { d.setTri("unsolicited-arp", TriState::Checked); d.setText("unsolicited-arp-minutes", "7"); },
       {{"unsolicited-arp", "7"}}},
      {"forms checking cleared still sends the number",
       [](CMultiConfigDlg& d) { d.setTri("forms-checking", TriState::Cleared); d.setText("forms-number", "4"); },
       {{"forms-checking", "off"}, {"forms-number", "4"}}},
      {"methods: every box not cleared",
       [](CMultiConfigDlg& d) {
         d.setTri("address-by-protocol", TriState::Checked);
         d.setTri("method-rarp", TriState::Cleared);
         d.setTri("method-dhcp", TriState::Checked);
       },
       {{"address-by-protocol", "on"}, {"address-methods", "bootp,dhcp,gleaning,allowtimeout"}}},
      {"methods not sent when the protocol box is cleared",
       [](CMultiConfigDlg& d) { d.setTri("address-by-protocol", TriState::Cleared); }, {{"address-by-protocol", "off"}}},
      {"the telnet password", [](CMultiConfigDlg& d) { d.telnetPassword = "secret1"; }, {{"telnet-password", "secret1"}}},
  };
  for (const Case& c : cases) {
    CMultiConfigDlg d;
    c.touch(d);
    EXPECT_EQ(d.values(), c.expected) << c.what;
    EXPECT_TRUE(d.check().ok()) << c.what << ": " << d.check().message;
  }
}

TEST(MultiConfigDialog, SettingsCarryTheVariables) {
  CMultiConfigDlg d;
  d.setTri("wins-by-dhcp", TriState::Checked);  // checked sends 1 here
  d.choose("printer-type", 4);
  d.choose("country", 1);
  CMultiConfigSettings s;
  ASSERT_EQ(d.build(s), "");
  ASSERT_EQ(s.deviceWide().size(), 2u);
  EXPECT_EQ(CMultiConfigSettings::resolve(s.deviceWide()[0].oid, E), E + ".6.3.1.4.13.0");
  EXPECT_EQ(s.deviceWide()[0].integer, 1);
  EXPECT_EQ(s.deviceWide()[1].bytes, "US ");
  ASSERT_EQ(s.perPort().size(), 1u);
  EXPECT_EQ(s.perPort()[0].integer, 4);
}

TEST(MultiConfigDialog, EnablingRules) {
  CMultiConfigDlg tcp(kViewTcpIp), ipx(kViewIpx);
  EXPECT_FALSE(tcp.enabled("tcpip"));
  EXPECT_TRUE(tcp.enabled("netware"));
  EXPECT_TRUE(ipx.enabled("tcpip"));
  EXPECT_FALSE(ipx.enabled("netware"));
  tcp.setTri("tcpip", TriState::Cleared);  // a disabled box keeps its grey
  EXPECT_EQ(tcp.tri("tcpip"), TriState::Unchanged);

  CMultiConfigDlg d;
  EXPECT_FALSE(d.enabled("method-bootp"));
  d.setTri("address-by-protocol", TriState::Checked);
  EXPECT_TRUE(d.enabled("method-bootp"));
  EXPECT_FALSE(d.editEnabled("forms-checking"));
  d.setTri("forms-checking", TriState::Checked);
  EXPECT_TRUE(d.editEnabled("forms-checking"));
  d.setTri("forms-checking", TriState::Cleared);
  EXPECT_FALSE(d.editEnabled("forms-checking")) << "the number is enabled only while ticked";
  EXPECT_FALSE(d.editEnabled("pcl-switch-sequence"));
  d.setBoxed("pcl-switch-sequence", true);
  EXPECT_TRUE(d.editEnabled("pcl-switch-sequence"));
}

TEST(MultiConfigDialog, WirelessModeRule) {
  CMultiConfigDlg d;
  EXPECT_TRUE(d.enabled("rf-channel"));
  EXPECT_FALSE(d.enabled("802.11d"));
  d.choose("rf-channel", 11);
  d.choose("wireless-mode", 2);  // Infrastructure
  EXPECT_FALSE(d.enabled("rf-channel"));
  EXPECT_EQ(d.choice("rf-channel"), 0) << "Infrastructure puts the channel back to no change";
  EXPECT_TRUE(d.enabled("802.11d"));
  d.choose("802.11d", 2);
  d.choose("wireless-mode", 1);  // Ad Hoc
  EXPECT_EQ(d.choice("802.11d"), 0);
  EXPECT_EQ(d.values(), (Pairs{{"wireless-mode", "Ad Hoc (802.11)"}}));
}

TEST(MultiConfigDialog, OkChecksRangesAndValues) {
  struct Case {
    const char* what;
    void (*touch)(CMultiConfigDlg&);
    const char* message;
    const char* field;
  };
  const Case cases[] = {
      {"queue scan 0", [](CMultiConfigDlg& d) { d.setBoxed("queue-scan-time", true); d.setText("queue-scan-time", "0"); },
       "Please enter an integer between 1 and 255.", "queue-scan-time"},
      {"queue scan empty", [](CMultiConfigDlg& d) { d.setBoxed("queue-scan-time", true); },
       "Please enter an integer between 1 and 255.", "queue-scan-time"},
      {"forms number 256", [](CMultiConfigDlg& d) { d.setTri("forms-checking", TriState::Checked); d.setText("forms-number", "256"); },
       "Please enter an integer between 0 and 255.", "forms-number"},
      {"minutes 31", [](CMultiConfigDlg& d) { d.setTri("unsolicited-arp", TriState::Checked); d.setText("unsolicited-arp-minutes", "31"); },
       "Please enter an integer between 1 and 30.", "unsolicited-arp-minutes"},
      {"a bad address", [](CMultiConfigDlg& d) { d.setText("subnet-mask", "255.0.0"); },
       "Subnet Mask: '255.0.0' is not an IPv4 address", "subnet-mask"},
  };
  for (const Case& c : cases) {
    CMultiConfigDlg d;
    c.touch(d);
    const DialogCheck r = d.check();
    EXPECT_EQ(r.message, c.message) << c.what;
    EXPECT_EQ(r.field, c.field) << c.what;
  }
}

TEST(MultiWirelessSecurity, ValuesAndKeyChecks) {
  MultiSecurityValues v;
  v.encryption = 2;  // 64-bit WEP
  v.keys = {"0123456789", "", "abcdefABCD", ""};
  v.keySelection = 3;
  v.authType = 7;  // PSK
  v.wpaPsk = "phrase";
  v.exponent = "00";
  v.wpaGroupKey = TriState::Cleared;
  CMultiWirelessSecurityDlg d(v);
  EXPECT_TRUE(d.check().ok());
  Pairs out;
  appendSecurityValues(d.values, out);
  EXPECT_EQ(out, (Pairs{{"encryption", "1"},
                        {"wep-key-1", "0123456789"},
                        {"wep-key-3", "abcdefABCD"},
                        {"wep-key-select", "3"},
                        {"wpa-psk", "phrase"},
                        {"authentication-type", "6"},
                        {"wpa-group-key", "off"}}));
  CMultiConfigDlg dialog;
  dialog.security = v;
  CMultiConfigSettings s;
  ASSERT_EQ(dialog.build(s), "");
  bool sawSelection = false;
  for (const MultiBinding& b : s.deviceWide()) {
    if (b.oid == "0.8.3.6.0") {
      sawSelection = true;
      EXPECT_EQ(b.integer, 2) << "key 3 goes out as 2";
    }
    if (b.oid == "0.8.3.7.1.2.3") {
      EXPECT_EQ(b.bytes, std::string("\xab\xcd\xef\xab\xcd", 5));
    }
  }
  EXPECT_TRUE(sawSelection);

  struct Case {
    std::int32_t encryption;
    const char* key;
    const char* message;
  };
  const Case cases[] = {
      {2, "01234567zz", "The WEP Key only accepts HEX (i.e. 0-9, a-f, A-F)."},
      {2, "0123456789ab", "The WEP Key must be 10 characters."},
      {3, "0123456789", "The WEP Key must be 26 characters."},
      {4, "not checked: WPA has no keys", ""},
      {0, "nor without a mode", ""},
  };
  for (const Case& c : cases) {
    MultiSecurityValues w;
    w.encryption = c.encryption;
    w.keys[1] = c.key;
    const DialogCheck r = CMultiWirelessSecurityDlg(w).check();
    EXPECT_EQ(r.message, c.message) << c.key;
    if (!r.ok()) {
      EXPECT_EQ(r.field, "wep-key-2");
    }
    Pairs sent;
    appendSecurityValues(w, sent);
    if (r.ok()) {
      for (const auto& [name, value] : sent) EXPECT_NE(name, "wep-key-2") << "keys go out only in a WEP mode";
    }
  }
}

// --- the commands over a fake host --------------------------------------------------------------

struct FakeHost : MultiCommandHost {
  std::vector<MultiUnit> units;
  std::vector<std::string> messages, questions;
  bool standard = false;
  bool answerYes = true;
  bool openOk = true;
  std::vector<std::string> opened;
  std::function<bool(CMultiConfigDlg&)> dialog = [](CMultiConfigDlg&) { return true; };
  std::vector<std::optional<std::string>> passwords;
  int passwordAsks = 0;
  int runs = 0;
  MultiRunOptions ranWith;
  std::string path;

  std::vector<MultiUnit> checkedUnits() override { return units; }
  void useStandardCommand() override { standard = true; }
  int viewProtocol() override { return kViewTcpIp; }
  void message(const std::string& t) override { messages.push_back(t); }
  bool askYesNo(const std::string& t) override {
    questions.push_back(t);
    return answerYes;
  }
  bool showDialog(CMultiConfigDlg& d) override { return dialog(d); }
  std::optional<std::string> askPassword() override {
    if (passwordAsks >= static_cast<int>(passwords.size())) return std::nullopt;
    return passwords[static_cast<std::size_t>(passwordAsks++)];
  }
  MultiRunReport run(const std::vector<MultiUnit>& u, const CMultiConfigSettings&, MultiRunOptions o) override {
    ++runs;
    ranWith = o;
    MultiRunReport r;
    r.units.resize(u.size());
    for (auto& x : r.units) {
      x.ran = true;
      x.reset = true;
    }
    r.units.back().code = 3094;
    r.errors = 1;
    r.resets = static_cast<int>(u.size());
    return r;
  }
  MultiResetCounts runReset(const std::vector<MultiUnit>& u, MultiRunOptions) override {
    ++runs;
    MultiResetCounts c;
    c.selected = static_cast<int>(u.size());
    c.sent = c.selected;
    c.errors = 1;
    return c;
  }
  MultiRunOptions runOptions() override { return {}; }
  std::string resultsPath() override { return path; }
  bool openFile(const std::string& p) override {
    opened.push_back(p);
    return openOk;
  }
};

std::vector<MultiUnit> unitsOf(int n) {
  std::vector<MultiUnit> out(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) out[static_cast<std::size_t>(i)].address = "127.0.1." + std::to_string(i + 1);
  return out;
}

class MultiCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("multi_command_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    host.path = (dir_ / "tlmltcfg.txt").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
  FakeHost host;
};

TEST_F(MultiCommand, NoneAndOneTickedRow) {
  EXPECT_EQ(runMultiConfigCommand(host), MultiOutcome::NoItems);
  EXPECT_EQ(host.messages, std::vector<std::string>{kTextNoItems});
  host.messages.clear();
  host.units = unitsOf(1);
  EXPECT_EQ(runMultiResetCommand(host), MultiOutcome::Standard);
  EXPECT_EQ(host.messages, std::vector<std::string>{kTextOneItem});
  EXPECT_TRUE(host.standard);
  EXPECT_EQ(host.runs, 0);
}

TEST_F(MultiCommand, UntouchedDialogSendsNothingAndWritesNoFile) {
  host.units = unitsOf(3);
  EXPECT_EQ(runMultiConfigCommand(host), MultiOutcome::NothingToSend);
  host.dialog = [](CMultiConfigDlg& d) {
    d.setTri("vines", TriState::Checked);
    return false;  // Cancel
  };
  EXPECT_EQ(runMultiConfigCommand(host), MultiOutcome::Cancelled);
  EXPECT_EQ(host.runs, 0);
  EXPECT_FALSE(std::filesystem::exists(host.path));
  EXPECT_TRUE(host.questions.empty());
}

TEST_F(MultiCommand, RunWritesTheFileAndOffersIt) {
  host.units = unitsOf(2);
  host.dialog = [](CMultiConfigDlg& d) {
    d.setTri("vines", TriState::Checked);
    return true;
  };
  EXPECT_EQ(runMultiConfigCommand(host), MultiOutcome::Ran);
  ASSERT_EQ(host.questions.size(), 1u);
  EXPECT_EQ(host.questions[0],
            "2 configured units are resetting.\nThey are unreachable until reinitialization is complete.\n\n"
            "View the results of the multi-unit configuration?");
  EXPECT_EQ(host.opened, std::vector<std::string>{host.path});
  std::ifstream in(host.path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(text.find("  127.0.1.1          Success (0)\r\n  127.0.1.2          Operation Timed Out (3094)\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("Total:  2 unit configured,  1 error(s) reported."), std::string::npos) << text;

  host.openOk = false;
  runMultiConfigCommand(host);
  EXPECT_EQ(host.messages.back(), kTextCannotOpen);
}

TEST_F(MultiCommand, DevicePasswordPrompt) {
  host.units = unitsOf(2);
  host.dialog = [](CMultiConfigDlg& d) {
    d.security.certificateFile = "/tmp/cert.pem";
    return true;
  };
  // Empty asks again; a password goes to the run with the file.
  host.passwords = {std::string(), std::string("devpass")};
  EXPECT_EQ(runMultiConfigCommand(host), MultiOutcome::Ran);
  EXPECT_EQ(host.passwordAsks, 2);
  EXPECT_EQ(host.ranWith.password, "devpass");
  EXPECT_EQ(host.ranWith.certificateFile, "/tmp/cert.pem");

  // Cancel with nothing else chosen: told, and nothing is sent or reset.
  host.passwords = {};
  host.passwordAsks = 0;
  host.runs = 0;
  EXPECT_EQ(runMultiConfigCommand(host), MultiOutcome::NothingToSend);
  EXPECT_EQ(host.messages.back(), kTextCertificateCancelled);
  EXPECT_EQ(host.runs, 0);

  // Cancel with settings: they still go out, without the certificate.
  host.dialog = [](CMultiConfigDlg& d) {
    d.security.certificateFile = "/tmp/cert.pem";
    d.setTri("jetadmin", TriState::Cleared);
    return true;
  };
  EXPECT_EQ(runMultiConfigCommand(host), MultiOutcome::Ran);
  EXPECT_EQ(host.runs, 1);
  EXPECT_EQ(host.ranWith.certificateFile, "");
}

TEST_F(MultiCommand, ResetAsksThenSummarises) {
  host.units = unitsOf(3);
  host.answerYes = false;
  EXPECT_EQ(runMultiResetCommand(host), MultiOutcome::Cancelled);
  EXPECT_EQ(host.questions, std::vector<std::string>{"Reset the 3 selected devices now?"});
  EXPECT_EQ(host.runs, 0);
  host.answerYes = true;
  EXPECT_EQ(runMultiResetCommand(host), MultiOutcome::Ran);
  EXPECT_EQ(host.messages.back(),
            "Reset Summary:\n\n\t3 list items selected.\n\t3 devices received reset commands.\n\t1 errors detected.\n\n"
            "Resetting devices will be unreachable until reinitialization is complete.");
}

}  // namespace
