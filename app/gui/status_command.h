#pragma once
// "&Status" in the main window: the command entry of the status sheet (status::runStatusCommand)
// with the main window as its host.
class CMainFrame;
class MainFrameCommands;

// Runs the command on the focused device: the status sheet is shown modally.
void runStatusFromMainWindow(CMainFrame& frame, MainFrameCommands& commands);
