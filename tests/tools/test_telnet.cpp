#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tools/telnet.h"

namespace {

TEST(TelnetCommand, AcceptsDottedQuadsOnly) {
  struct Case {
    std::string address;
    const char* passed;  // the address telnet receives, nullptr: refused
  };
  const Case cases[] = {
      {"10.1.2.3", "10.1.2.3"},
      {"0.0.0.0", "0.0.0.0"},
      {"255.255.255.255", "255.255.255.255"},
      // Leading zeros are decimal here; telnet would read them as octal, so they are dropped.
      {"010.001.002.003", "10.1.2.3"},
      {"1.2.3.4; rm -rf /", nullptr},
      {"1.2.3.4 -l root", nullptr},
      {"$(reboot)", nullptr},
      {"", nullptr},
      {"1.2.3", nullptr},
      {"1.2.3.4.5", nullptr},
      {"1..2.3", nullptr},
      {"256.1.1.1", nullptr},
      {" 1.2.3.4", nullptr},
      {"1.2.3.4 ", nullptr},
      {"1.2.3.4\n", nullptr},
      {std::string("1.2.3.4\0x", 9), nullptr},
      {"-1.2.3.4", nullptr},
      {"0x7f.0.0.1", nullptr},
      {"printserver.example", nullptr},
      {"1.2.3.4000", nullptr},
  };
  for (const auto& c : cases) {
    const auto command = telnetCommand(c.address, nullptr);
    if (!c.passed) {
      EXPECT_FALSE(command) << "address '" << c.address << "' was accepted";
      continue;
    }
    ASSERT_TRUE(command) << "address '" << c.address << "' was refused";
    EXPECT_EQ(command->program, "x-terminal-emulator") << c.address;
    EXPECT_EQ(command->arguments, (std::vector<std::string>{"-e", "telnet", c.passed})) << c.address;
  }
}

TEST(TelnetCommand, TerminalFromEnvironment) {
  struct Case {
    const char* name;
    const char* value;  // nullptr: unset
    const char* program;
  };
  const Case cases[] = {
      {"unset", nullptr, "x-terminal-emulator"},
      {"empty", "", "x-terminal-emulator"},
      {"named", "xterm", "xterm"},
      // One program, never split into words: a name with blanks stays one (unlikely) path.
      {"with blanks", "/opt/my term/bin/term", "/opt/my term/bin/term"},
  };
  for (const auto& c : cases) {
    if (c.value)
      ::setenv("TRELLAN_TERMINAL", c.value, 1);
    else
      ::unsetenv("TRELLAN_TERMINAL");
    const auto command = telnetCommand("192.0.2.1");
    ASSERT_TRUE(command) << c.name;
    EXPECT_EQ(command->program, c.program) << c.name;
    EXPECT_EQ(command->arguments, (std::vector<std::string>{"-e", "telnet", "192.0.2.1"})) << c.name;
  }
  ::unsetenv("TRELLAN_TERMINAL");
}

}  // namespace
