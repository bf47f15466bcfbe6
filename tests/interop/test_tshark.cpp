// Wireshark's SNMP dissector as a third reader: our encoded messages go into a capture file
// (text2pcap, UDP to port 161, nothing is sent anywhere) and tshark reports what it sees.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "interop/message_model.h"

namespace interop {
namespace {

namespace fs = std::filesystem;

std::string findTool(const char* name) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/usr/local/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const fs::path candidate = fs::path(dir.empty() ? "." : dir) / name;
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec)) return candidate.string();
  }
  return {};
}

std::string run(const std::string& command, int& status) {
  std::string out;
  FILE* p = popen(command.c_str(), "r");
  if (!p) {
    status = -1;
    return out;
  }
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  status = pclose(p);
  return out;
}

std::vector<std::string> split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  std::string part;
  std::stringstream in(s);
  while (std::getline(in, part, sep)) parts.push_back(part);
  if (!s.empty() && s.back() == sep) parts.emplace_back();
  return parts;
}

Var var(Oid name, std::uint8_t syntax, std::uint64_t number = 0) {
  Var v;
  v.name = std::move(name);
  v.syntax = syntax;
  v.number = number;
  return v;
}

struct Case {
  const char* name;
  Message message;
  // The fields tshark must report, in the order of kFields below ('' = absent).
  std::vector<std::string> expected;
};

const char* const kFields[] = {
    "snmp.version",     "snmp.community",   "snmp.data",          "snmp.request_id",  "snmp.error_status",
    "snmp.error_index", "snmp.name",        "snmp.value.int",     "snmp.value.octets", "snmp.value.oid",
    "snmp.value.ipv4",  "snmp.value.counter", "snmp.value.g32",   "snmp.value.timeticks", "snmp.enterprise",
    "snmp.agent_addr",  "snmp.generic_trap", "snmp.specific_trap", "snmp.time_stamp",  "_ws.malformed",
};

std::vector<Case> cases() {
  std::vector<Case> list;
  {
    Message m;
    m.type = 0xA0;
    m.requestId = 2;
    m.vars.push_back(var({1, 3, 6, 1, 2, 1, 1, 5, 0}, 0x05));
    list.push_back({"GET sysName.0", m,
                    {"0", "public", "0", "2", "0", "0", "1.3.6.1.2.1.1.5.0", "", "", "", "", "", "", "", "", "", "", "",
                     "", ""}});
  }
  {
    Message m;
    m.type = 0xA2;
    m.community = "private";
    m.requestId = -5;
    m.errorStatus = 2;
    m.errorIndex = 3;
    Var text = var({1, 3, 6, 1, 2, 1, 1, 1, 0}, 0x04);
    text.bytes = {'H', 'P', '!'};
    Var ip = var({1, 3, 6, 1, 2, 1, 4, 20, 1, 1, 10, 0, 0, 7}, 0x40);
    ip.bytes = {10, 0, 0, 7};
    Var oidValue = var({1, 3, 6, 1, 2, 1, 1, 2, 0}, 0x06);
    oidValue.oid = {1, 3, 6, 1, 4, 1, 1240, 4294967295u};
    m.vars = {var({1, 3, 6, 1, 2, 1, 2, 1, 0}, 0x02, static_cast<std::uint32_t>(-300)),
              text,
              ip,
              oidValue,
              var({1, 3, 6, 1, 2, 1, 2, 2, 1, 10, 1}, 0x41, 4294967295u),
              var({1, 3, 6, 1, 2, 1, 2, 2, 1, 5, 1}, 0x42, 100000000),
              var({1, 3, 6, 1, 2, 1, 1, 3, 0}, 0x43, 2147483648u)};
    list.push_back({"response with every common syntax", m,
                    {"0", "private", "2", "-5", "2", "3",
                     "1.3.6.1.2.1.2.1.0,1.3.6.1.2.1.1.1.0,1.3.6.1.2.1.4.20.1.1.10.0.0.7,1.3.6.1.2.1.1.2.0,"
                     "1.3.6.1.2.1.2.2.1.10.1,1.3.6.1.2.1.2.2.1.5.1,1.3.6.1.2.1.1.3.0",
                     "-300", "485021", "1.3.6.1.4.1.1240.4294967295", "10.0.0.7", "4294967295", "100000000",
                     "2147483648", "", "", "", "", "", ""}});
  }
  {
    Message m;
    m.type = 0xA3;
    m.requestId = 0x7FFFFFFF;
    Var text = var({1, 3, 6, 1, 4, 1, 1240, 2, 1, 0}, 0x04);
    text.bytes.assign(200, 'x');
    m.vars = {text};
    list.push_back({"SET with a 200-byte string", m,
                    {"0", "public", "3", "2147483647", "0", "0", "1.3.6.1.4.1.1240.2.1.0", "", toHex(text.bytes), "",
                     "", "", "", "", "", "", "", "", "", ""}});
    // tshark prints bytes as plain lower-case hex
    std::string& hex = list.back().expected[8];
    std::string plain;
    for (char c : hex)
      if (c != ' ') plain += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    hex = plain;
  }
  {
    Message m;
    m.type = 0xA4;
    m.enterprise = {1, 3, 6, 1, 4, 1, 1240, 2, 3, 5};
    m.agentAddress = {127, 0, 0, 9};
    m.generic = 6;
    m.specific = 17;
    m.timeStamp = 12345;
    m.vars = {var({1, 3, 6, 1, 2, 1, 2, 2, 1, 1, 3}, 0x02, 3)};
    list.push_back({"v1 trap", m,
                    {"0", "public", "4", "", "", "", "1.3.6.1.2.1.2.2.1.1.3", "3", "", "", "", "", "", "",
                     "1.3.6.1.4.1.1240.2.3.5", "127.0.0.9", "6", "17", "12345", ""}});
  }
  {
    Message m;
    m.type = 0xA1;
    m.requestId = 1000;
    m.vars = {var({1, 3, 6, 1, 2, 1, 1}, 0x05), var({1, 3, 6, 1, 2, 1, 2}, 0x05)};
    list.push_back({"GETNEXT", m,
                    {"0", "public", "1", "1000", "0", "0", "1.3.6.1.2.1.1,1.3.6.1.2.1.2", "", "", "", "", "", "", "",
                     "", "", "", "", "", ""}});
  }
  return list;
}

TEST(Tshark, ReportsTheFieldsWeEncoded) {
  const std::string tshark = findTool("tshark");
  const std::string text2pcap = findTool("text2pcap");
  ASSERT_FALSE(tshark.empty() || text2pcap.empty()) << "tshark or text2pcap is not installed (Debian packages tshark, wireshark-common)";

  const fs::path dir = fs::temp_directory_path() / ("trellan-tshark-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const auto all = cases();
  {
    std::ofstream dump(dir / "messages.txt");
    for (const auto& c : all) {
      std::uint32_t code = 1;
      const Bytes wire = oursEncode(c.message, &code);
      ASSERT_EQ(code, 0u) << c.name;
      for (std::size_t off = 0; off < wire.size(); off += 16) {
        char line[32];
        std::snprintf(line, sizeof line, "%06zx", off);
        dump << line;
        for (std::size_t i = off; i < wire.size() && i < off + 16; ++i) {
          std::snprintf(line, sizeof line, " %02x", wire[i]);
          dump << line;
        }
        dump << "\n";
      }
    }
  }
  int status = 0;
  const std::string pcap = (dir / "messages.pcap").string();
  run("'" + text2pcap + "' -q -4 127.0.0.1,127.0.0.1 -u 40000,161 '" + (dir / "messages.txt").string() + "' '" +
          pcap + "' 2>&1",
      status);
  ASSERT_EQ(status, 0) << "text2pcap failed";

  std::string command = "'" + tshark + "' -n -r '" + pcap + "' -T fields -E separator='|' -E occurrence=a";
  for (const char* f : kFields) command += std::string(" -e ") + f;
  const std::string out = run(command + " 2>/dev/null", status);
  ASSERT_EQ(status, 0) << "tshark failed";

  const auto lines = split(out, '\n');
  ASSERT_GE(lines.size(), all.size()) << out;
  for (std::size_t i = 0; i < all.size(); ++i) {
    const auto fields = split(lines[i], '|');
    ASSERT_EQ(fields.size(), std::size(kFields)) << all[i].name << ": " << lines[i];
    for (std::size_t f = 0; f < fields.size(); ++f) {
      EXPECT_EQ(fields[f], all[i].expected[f]) << all[i].name << ", field " << kFields[f];
    }
  }

  // The verbose tree must not flag anything as malformed or as an expert warning.
  const std::string tree = run("'" + tshark + "' -n -r '" + pcap + "' -V 2>/dev/null", status);
  EXPECT_EQ(tree.find("Malformed"), std::string::npos) << tree;
  EXPECT_NE(tree.find("Simple Network Management Protocol"), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace interop
