#include "vines/vines_fields.h"

#include "vines/vines_page.h"

namespace vines {

namespace {

// A name field: the page's own check decides, and a refused value is not kept.
std::function<std::string(const std::string&)> nameSetter(CVinesPage& p, std::string& field) {
  return [&p, &field](const std::string& v) -> std::string {
    if (!p.controlsEnabled()) return p.notice().empty() ? "the VINES settings cannot be changed" : p.notice();
    const std::string old = field;
    field = v;
    if (const config::PageCheck c = p.check(); !c.ok()) {
      field = old;
      return c.message;
    }
    return {};
  };
}

}  // namespace

void vinesFields(config::CDevicePage& page, std::vector<config::ConfigField>& out) {
  auto* p = dynamic_cast<CVinesPage*>(&page);
  if (!p) return;
  const std::string title = p->title();
  out.push_back({title, "vines_user", "StreetTalk user name (item@group@organization)", [p] { return p->userName; },
                 nameSetter(*p, p->userName)});
  out.push_back({title, "vines_password", "VINES password, at most 15 characters (write-only)",
                 [] { return std::string(); },
                 [p](const std::string& v) -> std::string {
                   const config::PageCheck c = p->setPassword(v, v);
                   return c.ok() ? std::string() : c.message;
                 },
                 true});
  for (int k = 0; k < p->slotCount(); ++k) {
    const std::string n = std::to_string(k + 1);
    auto& slot = p->services[static_cast<std::size_t>(k)];
    out.push_back({title, "vines_service" + n, "print service " + n + " (StreetTalk name, empty: none)",
                   [&slot] { return slot.name; }, nameSetter(*p, slot.name)});
    if (p->portChoice())
      out.push_back({title, "vines_service" + n + "_port", "output port of print service " + n,
                     [&slot] { return std::to_string(slot.port); },
                     [p, &slot](const std::string& v) -> std::string {
                       if (v.empty() || v.size() > 2 || v.find_first_not_of("0123456789") != std::string::npos ||
                           std::stoi(v) < 1 || std::stoi(v) > p->portCount())
                         return "takes a port from 1 to " + std::to_string(p->portCount());
                       slot.port = std::stoi(v);
                       return {};
                     }});
  }
}

std::vector<std::pair<std::string, std::string>> vinesFieldHelp() {
  return {
      {"vines_user, vines_password", "VINES: StreetTalk user name (item@group@organization); password (write-only)"},
      {"vines_serviceN, vines_serviceN_port", "VINES: print service N (1 to 6) and its output port"},
  };
}

}  // namespace vines
