#pragma once
// The address-assignment commands in the main window: "Setup Unlisted IP Server" and the IP
// address assignment of a listed unit (the Configuration command's branch for an unconfigured
// unit), over the flows of app/unlisted_ip_setup and app/ip_assignment.
class CMainFrame;
class MainFrameCommands;

namespace devices {
class CDevice;
}

void runUnlistedIpSetupFromMainWindow(CMainFrame& frame);
// True when the unit answered at its new address (the caller may go on with it).
bool runIpAssignmentFromMainWindow(CMainFrame& frame, MainFrameCommands& commands, devices::CDevice& device);
