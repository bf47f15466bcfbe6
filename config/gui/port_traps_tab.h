#pragma once
// The "SNMP Traps" tab in its second form (input-line and per-port event masks) over its model.
#include <QWidget>
#include <functional>
#include <string>

#include "config/port_traps_page.h"

class QFormLayout;

namespace configgui {

void buildPortTrapsTab(QWidget* holder, QFormLayout* form, config::CPortTrapsPage& page,
                       std::function<void(const std::string&)> inform);

}  // namespace configgui
