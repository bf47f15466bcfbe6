// The settings file codec: what it writes, what it accepts, and that nothing is lost between them.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/registry_format.h"

using platform::RegKey;
using platform::RegValue;
namespace regformat = platform::regformat;

namespace {

std::unique_ptr<RegKey> parseOk(std::string_view text) {
  auto hive = std::make_unique<RegKey>("HKEY_CURRENT_USER");
  regformat::ParseError error;
  EXPECT_TRUE(regformat::parse(text, *hive, error)) << "line " << error.line << ": " << error.message;
  return hive;
}

RegKey& trellan(RegKey& hive) { return hive.subkey("Software").subkey("Quorvel").subkey("Trellan"); }

}  // namespace

TEST(RegistryFormat, WritesRegeditExportText) {
  RegKey hive("HKEY_CURRENT_USER");
  RegKey& app = trellan(hive);
  RegKey& general = app.subkey("General");
  general.setValue("RunIndex", RegValue::ofDword(0x1f));
  general.setValue("Location", RegValue::ofString("C:\\Program Files\\Trellan\\"));
  general.setValue("Quote", RegValue::ofString("say \"hi\""));
  general.setValue("", RegValue::ofString("default"));
  app.subkey("Views").subkey("TCP/IP");

  EXPECT_EQ(regformat::serialize(hive),
            "Windows Registry Editor Version 5.00\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software]\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Quorvel]\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Quorvel\\Trellan]\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Quorvel\\Trellan\\General]\n"
            "\"RunIndex\"=dword:0000001f\n"
            "\"Location\"=\"C:\\\\Program Files\\\\Trellan\\\\\"\n"
            "\"Quote\"=\"say \\\"hi\\\"\"\n"
            "@=\"default\"\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Quorvel\\Trellan\\Views]\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Quorvel\\Trellan\\Views\\TCP/IP]\n"
            "\n");
}

TEST(RegistryFormat, EveryStringAndNameRoundTrips) {
  std::string longText;
  for (int i = 0; i < 20000; ++i) longText += "line " + std::to_string(i) + (i % 7 == 0 ? "\r\n" : " \\ \"q\" ");
  const std::vector<std::pair<const char*, std::string>> texts = {
      {"empty", ""},
      {"plain", "public"},
      {"quotes", "say \"hi\" \"\""},
      {"backslashes", "\\\\server\\share\\"},
      {"trailing backslash", "C:\\"},
      {"LF", "one\ntwo\n"},
      {"CR LF", "one\r\ntwo"},
      {"lone CR", "one\rtwo"},
      {"tab", "\tindented\t"},
      {"control", std::string("\x01\x1f\x7f", 3)},
      {"NUL inside", std::string("a\0b", 3)},
      {"NUL at end", std::string("ab\0", 3)},
      {"UTF-8", "Gr\xc3\xbc\xc3\x9f\x65 \xe2\x82\xac \xf0\x9f\x98\x80"},
      {"Latin-1 byte", "caf\xe9"},
      {"stray bytes", "\xff\xfe\x80\xc0"},
      {"encoded surrogate", "\xed\xa0\x80\xed\xb2\x80"},
      {"truncated sequence", "ab\xe2\x82"},
      {"long mixed", longText},
      {"long plain", std::string(300000, 'x')},
  };
  for (const auto& [label, text] : texts) {
    RegKey hive("HKEY_CURRENT_USER");
    RegKey& key = trellan(hive).subkey("Keys/with/slashes");
    key.setValue("value", RegValue::ofString(text));
    key.setValue("name \"quoted\" \\ / ; [x]", RegValue::ofDword(0xFFFFFFFFu));
    key.setValue("@", RegValue::ofString(text));  // a value named "@" is not the unnamed value
    std::string file = regformat::serialize(hive);
    auto back = parseOk(file);
    EXPECT_TRUE(*back == hive) << label;
    // Hex-form strings are wrapped like regedit's: no line beyond 80 columns.
    std::size_t start = 0;
    while (start < file.size()) {
      std::size_t nl = file.find('\n', start);
      std::string_view line(file.data() + start, nl - start);
      if ((line.find("=hex(1):") != std::string_view::npos || line.substr(0, 2) == "  ") && line.size() > 80) {
        ADD_FAILURE() << label << ": hex line of " << line.size() << " columns";
        break;
      }
      start = nl + 1;
    }
  }
}

TEST(RegistryFormat, LineBreaksAndForeignBytesUseTheHexForm) {
  RegKey hive("HKEY_CURRENT_USER");
  hive.subkey("K").setValue("v", RegValue::ofString("a\nb"));
  hive.subkey("K").setValue("w", RegValue::ofString("\xe9"));
  EXPECT_EQ(regformat::serialize(hive),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\K]\n"
            "\"v\"=hex(1):61,00,0a,00,62,00,00,00\n"
            "\"w\"=hex(1):e9,dc,00,00\n\n");
}

TEST(RegistryFormat, AcceptsWhatRegeditWrites) {
  // CR LF, a comment, regedit's upper-case digits and continuation lines, keys repeated with other
  // case (merged, first spelling kept), a value repeated (the last one counts, in the first place).
  auto hive = parseOk(
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "; exported\r\n"
      "[HKEY_CURRENT_USER\\Software\\Quorvel\\Trellan\\General]\r\n"
      "\"RunIndex\"=dword:0000001F\r\n"
      "\"Flags\"=dword:7\r\n"
      "\"Text\"=hex(1):48,00,\\\r\n"
      "  69,00,00,00\r\n"
      "\"Path\"=\"C:\\\\x\"\r\n"
      "\r\n"
      "[hkey_current_user\\software\\QUORVEL\\trellan\\general]\r\n"
      "\"runindex\"=dword:00000002\r\n");
  RegKey& general = *trellan(*hive).findSubkey("General");
  EXPECT_EQ(general.name, "General");
  ASSERT_EQ(general.values.size(), 4u);
  EXPECT_EQ(general.values[0].first, "RunIndex");
  EXPECT_EQ(general.values[0].second, RegValue::ofDword(2));
  EXPECT_EQ(*general.findValue("Flags"), RegValue::ofDword(7));
  EXPECT_EQ(*general.findValue("Text"), RegValue::ofString("Hi"));
  EXPECT_EQ(*general.findValue("Path"), RegValue::ofString("C:\\x"));
}

TEST(RegistryFormat, AcceptsByteOrderMarksAndOldHeader) {
  std::string utf8 = "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"\xc3\xa9\"\n";
  EXPECT_EQ(*parseOk(utf8)->findSubkey("A")->findValue("v"), RegValue::ofString("\xc3\xa9"));

  std::string ascii = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n\"v\"=\"\xc3\xa9\"\r\n";
  std::string utf16 = "\xFF\xFE";
  for (std::size_t i = 0; i < ascii.size(); ++i) {
    auto c = static_cast<unsigned char>(ascii[i]);
    if (c == 0xc3) {  // U+00E9 as one UTF-16 unit
      utf16 += std::string("\xe9\x00", 2);
      ++i;
      continue;
    }
    utf16 += static_cast<char>(c);
    utf16 += '\0';
  }
  EXPECT_EQ(*parseOk(utf16)->findSubkey("A")->findValue("v"), RegValue::ofString("\xc3\xa9"));

  EXPECT_NE(parseOk("REGEDIT4\n\n[HKEY_CURRENT_USER\\B]\n")->findSubkey("B"), nullptr);
  EXPECT_TRUE(parseOk("")->subkeys.empty());
  EXPECT_TRUE(parseOk("\n  \r\n")->subkeys.empty());
}

TEST(RegistryFormat, RejectsWhatItCannotKeepAndNamesTheLine) {
  const std::string head = "Windows Registry Editor Version 5.00\n\n";
  const std::string key = "[HKEY_CURRENT_USER\\K]\n";
  const struct {
    const char* label;
    std::string text;
    std::size_t line;
  } cases[] = {
      {"no header", "[HKEY_CURRENT_USER\\K]\n", 1},
      {"garbage header", "hello\n", 1},
      {"value before any key", head + "\"v\"=dword:1\n", 3},
      {"other hive", head + "[HKEY_LOCAL_MACHINE\\Software]\n", 3},
      {"unclosed key", head + "[HKEY_CURRENT_USER\\K\n", 3},
      {"empty key name", head + "[HKEY_CURRENT_USER\\a\\\\b]\n", 3},
      {"key deletion", head + "[-HKEY_CURRENT_USER\\K]\n", 3},
      {"value deletion", head + key + "\"v\"=-\n", 4},
      {"dword without digits", head + key + "\"v\"=dword:\n", 4},
      {"dword too long", head + key + "\"v\"=dword:123456789\n", 4},
      {"dword not hex", head + key + "\"v\"=dword:12g4\n", 4},
      {"binary type", head + key + "\"v\"=hex:01,02\n", 4},
      {"expand type", head + key + "\"v\"=hex(2):41,00,00,00\n", 4},
      {"unterminated string", head + key + "\"v\"=\"abc\n", 4},
      {"unterminated name", head + key + "\"v=\"abc\"\n", 4},
      {"text after string", head + key + "\"v\"=\"abc\"x\n", 4},
      {"no equals", head + key + "\"v\" \"abc\"\n", 4},
      {"bare word", head + key + "v=1\n", 4},
      {"odd hex(1)", head + key + "\"v\"=hex(1):41\n", 4},
      {"bad hex byte", head + key + "\"v\"=hex(1):4,00\n", 4},
      {"trailing comma", head + key + "\"v\"=hex(1):41,00,\n", 4},
      {"unpaired surrogate", head + key + "\"v\"=hex(1):00,d8,41,00\n", 4},
      {"continuation at end", head + key + "\"v\"=hex(1):41,00,\\\n", 4},
      {"control in name", head + key + "\"a\x01\"=dword:1\n", 4},
      {"long key name", head + "[HKEY_CURRENT_USER\\" + std::string(256, 'k') + "]\n", 3},
      {"long value name", head + key + "\"" + std::string(16384, 'n') + "\"=dword:1\n", 4},
      {"long string", head + key + "\"v\"=\"" + std::string((1u << 20) + 1, 's') + "\"\n", 4},
  };
  for (const auto& c : cases) {
    RegKey hive("HKEY_CURRENT_USER");
    regformat::ParseError error;
    EXPECT_FALSE(regformat::parse(c.text, hive, error)) << c.label;
    EXPECT_EQ(error.line, c.line) << c.label << ": " << error.message;
    EXPECT_FALSE(error.message.empty()) << c.label;
  }

  std::string deep = head + "[HKEY_CURRENT_USER";
  for (int i = 0; i < 513; ++i) deep += "\\k";
  RegKey hive("HKEY_CURRENT_USER");
  regformat::ParseError error;
  EXPECT_FALSE(regformat::parse(deep + "]\n", hive, error));
  EXPECT_EQ(error.message, "keys nested too deeply");
}

// Damaged copies of a valid file: never a crash, and whatever parses writes back to itself.
TEST(RegistryFormat, DamagedFilesNeverBreakTheParser) {
  RegKey hive("HKEY_CURRENT_USER");
  RegKey& app = trellan(hive);
  app.subkey("General").setValue("RunIndex", RegValue::ofDword(3));
  app.subkey("General").setValue("Multi", RegValue::ofString("a\nb\xff \"c\" \\"));
  app.subkey("Access").subkey("IP").setValue("All", RegValue::ofString("10.0.0.*,192.168.1.1"));
  const std::string good = regformat::serialize(hive);
  const char noise[] = {'\\', '"', '[', ']', '\n', '\r', ',', '=', ':', '0', 'f', '\xff', '\0', '\\'};

  int parsedRounds = 0;
  std::uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 8); };
  for (int round = 0; round < 3000; ++round) {
    std::string text = good;
    int edits = 1 + static_cast<int>(next() % 4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      std::size_t at = next() % text.size();
      switch (next() % 3) {
        case 0: text[at] = noise[next() % sizeof noise]; break;
        case 1: text.erase(at, 1 + next() % 8); break;
        default: text.insert(at, 1, noise[next() % sizeof noise]); break;
      }
    }
    RegKey parsed("HKEY_CURRENT_USER");
    regformat::ParseError error;
    if (!regformat::parse(text, parsed, error)) {
      EXPECT_GT(error.line + error.message.size(), 0u);
      continue;
    }
    ++parsedRounds;
    RegKey again("HKEY_CURRENT_USER");
    ASSERT_TRUE(regformat::parse(regformat::serialize(parsed), again, error)) << "round " << round << ": " << error.message;
    ASSERT_TRUE(again == parsed) << "round " << round;
  }
  EXPECT_GT(parsedRounds, 100);  // the damage must leave enough files readable to test the second half
}

TEST(RegistryFormat, NameRules) {
  EXPECT_TRUE(regformat::validKeyName("TCP/IP"));
  EXPECT_TRUE(regformat::validKeyName(std::string(255, 'k')));
  EXPECT_FALSE(regformat::validKeyName(std::string(256, 'k')));
  EXPECT_FALSE(regformat::validKeyName(""));
  EXPECT_FALSE(regformat::validKeyName("a\\b"));
  EXPECT_FALSE(regformat::validKeyName("a\nb"));
  EXPECT_FALSE(regformat::validKeyName("\xff"));
  EXPECT_TRUE(regformat::validValueName(""));
  EXPECT_TRUE(regformat::validValueName("a\\b/c"));
  EXPECT_FALSE(regformat::validValueName("a\rb"));
  EXPECT_FALSE(regformat::validValueName(std::string(16384, 'n')));
}
