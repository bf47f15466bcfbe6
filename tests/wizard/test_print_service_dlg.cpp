// The "Print Service" dialog of the wizard's VINES page without a display: its port list and
// preselection, the StreetTalk characters its name refuses and the name OK accepts.
#include <gtest/gtest.h>

#include <string>

#include "vines/vines_page.h"
#include "wizard/wz_print_service_dlg.h"

using wizard::CPrintServiceDlg;

namespace {

TEST(PrintServiceDlg, PortsAndPreselection) {
  struct Case {
    const char* name;
    int portCount, port;
    int index;
  };
  const Case cases[] = {
      {"Add preselects the first port", 3, 0, 0},
      {"Edit preselects the service's port", 3, 3, 2},
      {"a port the unit does not have falls back to the first", 2, 5, 0},
      {"a unit reporting no ports still offers port 1", 0, 0, 0},
  };
  for (const Case& c : cases) {
    CPrintServiceDlg d(c.portCount, "", c.port);
    EXPECT_EQ(d.portIndex(), c.index) << c.name;
    ASSERT_FALSE(d.portItems().empty()) << c.name;
    EXPECT_EQ(d.portItems().front().text, "1") << c.name;
    EXPECT_EQ(d.port(), c.index + 1) << c.name;
  }
  CPrintServiceDlg d(3);
  d.selectPort(7);  // no such item: the choice stays
  EXPECT_EQ(d.port(), 1);
}

TEST(PrintServiceDlg, NameCharactersLengthAndSyntax) {
  struct Case {
    const char* name;
    std::string text;
    bool taken;        // setName keeps it
    std::string okMessage;  // of OK after it, "" accepted
  };
  const std::string invalid = vines::kTextInvalidName;
  const Case cases[] = {
      {"item, group and organization", "Laser Queue@Lab@Org", true, ""},
      {"one @ only", "Queue@Lab", true, invalid},
      {"empty item", "@Lab@Org", true, invalid},
      {"empty organization", "Queue@Lab@", true, invalid},
      {"a refused character", "Queue*@Lab@Org", false, ""},
      {"another refused character", "Queue@Lab@Org?", false, ""},
      {"as long as a slot holds", std::string(59, 'q') + "@L@O", true, ""},
      {"longer than a slot holds", std::string(60, 'q') + "@L@O", false, ""},
  };
  for (const Case& c : cases) {
    CPrintServiceDlg d(2, "Old@Lab@Org", 1);
    EXPECT_EQ(d.setName(c.text), c.taken) << c.name;
    EXPECT_EQ(d.name(), c.taken ? c.text : "Old@Lab@Org") << c.name;
    EXPECT_EQ(d.accept().message, c.okMessage) << c.name;
  }
  CPrintServiceDlg empty(2);
  EXPECT_FALSE(empty.canAccept());
  EXPECT_EQ(empty.accept().message, invalid);
}

}  // namespace
