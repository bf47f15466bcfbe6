#pragma once
// The multi-select commands in the main window: "&Multiple Configuration" ("Configure Selected
// Devices") and "&Reset" over the ticked rows ("Reset Selected Devices"), with the main window as
// the host of multi/multi_command.h.
#include <string>
#include <vector>

#include "multi/multi_config_run.h"

class CMainFrame;
class MainFrameCommands;

void runMultiConfigFromMainWindow(CMainFrame& frame, MainFrameCommands& commands);
void runMultiResetFromMainWindow(CMainFrame& frame, MainFrameCommands& commands);

// The ticked rows as units in row order: address and communities of the access list, what the
// unit reported, its family's prefix, and its port in view-by-printer mode.
std::vector<multi::MultiUnit> checkedUnitsOf(CMainFrame& frame);
