#include "config/port_pages.h"

#include "config/ethertalk_page.h"
#include "config/output_port_page.h"
#include "config/token_ring_page.h"

namespace config {

void installPortPages(CConfigPropSheet& sheet, const std::string& prefix) {
  sheet.setPage(PageSlot::OutputPort, std::make_unique<COutputPortPage>(prefix));
  sheet.setPage(PageSlot::TokenRing, std::make_unique<CTokenRingPage>(prefix));
  sheet.setPage(PageSlot::EtherTalk, std::make_unique<CEtherTalkPage>(prefix));
}

}  // namespace config
