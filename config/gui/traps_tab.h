#pragma once
// The "SNMP Traps" tab (first form) and the "Trap Destination" dialog over their models.
#include <QWidget>
#include <functional>
#include <string>

#include "config/snmp_traps_page.h"
#include "config/trap_destination.h"

class QFormLayout;

namespace configgui {

// Asks for one destination until it passes the entry check or the user cancels.
bool runTrapDestination(QWidget* parent, int kind, config::DestinationEntry& entry,
                        const std::function<void(const std::string&)>& inform);

void buildTrapsTab(QWidget* holder, QFormLayout* form, config::CSnmpTrapsPage& page,
                   std::function<void(const std::string&)> inform);

}  // namespace configgui
