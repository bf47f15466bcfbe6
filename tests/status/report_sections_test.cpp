// The VINES routing line and the EtherTalk name lines of the status report, case by case.
#include <gtest/gtest.h>

#include "status/report_ethertalk_section.h"
#include "status/report_vines_section.h"

using namespace status;

TEST(ReportSections, VinesRoutingLine) {
  struct Case {
    const char* name;
    std::int32_t mode, state;
    const char* expected;
  } cases[] = {
      {"automatic, sequenced", 1, 1, "\r\nRouting Protocol:\tAutomatic Routing (Using Sequenced RTP)\r\n"},
      {"automatic, disabled", 1, 32767, "\r\nRouting Protocol:\tAutomatic Routing (Protocol Disabled)\r\n"},
      {"fixed, non-sequenced", 2, 2, "\r\nRouting Protocol:\tUsing Non-Sequenced RTP\r\n"},
      {"fixed, unknown routing", 0, 32766, "\r\nRouting Protocol:\tRouting Unknown\r\n"},
      {"a state the unit should not report", 2, 3, "\r\nRouting Protocol:\tUNKNOWN\r\n"},
      {"a negative state", 1, -1, "\r\nRouting Protocol:\tAutomatic Routing (UNKNOWN)\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(vinesRoutingLine(c.mode, c.state), c.expected) << c.name;
}

TEST(ReportSections, EtherTalkNameLineShowsTheConfiguredNameOnlyWhenItDiffers) {
  struct Case {
    const char* name;
    const char* label;
    const char* current;
    const char* configured;
    const char* expected;
  } cases[] = {
      {"same name", "Printer Name", "Lab", "Lab", "   Printer Name:\tLab\r\n"},
      {"name taken on the network", "Printer Name", "Lab2", "Lab", "   Printer Name:\tLab2 (Lab)\r\n"},
      {"default zone in use", "Zone Name", "Lab Zone", "*", "   Zone Name:\tLab Zone (*)\r\n"},
      {"names differing only in case", "Zone Name", "lab", "Lab", "   Zone Name:\tlab (Lab)\r\n"},
      {"both empty", "Zone Name", "", "", "   Zone Name:\t\r\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(etherTalkNameLine(c.label, c.current, c.configured), c.expected) << c.name;
}
