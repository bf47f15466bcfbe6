#pragma once
// "&Configuration" in the main window: the command entry of the configuration sheet
// (config::runConfigurationCommand) with the main window as its host.
class CMainFrame;
class MainFrameCommands;

// Runs the command on the focused device: the sheet is shown modally.
void runConfigurationFromMainWindow(CMainFrame& frame, MainFrameCommands& commands);
