#pragma once
// "&Configuration" in the main window: the command entry of the configuration sheet
// (config::runConfigurationCommand) with the main window as its host.
class CMainFrame;
class MainFrameCommands;

// Runs the command on the focused device: the sheet is shown modally.
void runConfigurationFromMainWindow(CMainFrame& frame, MainFrameCommands& commands);

// "S&ave Configuration" / "R&estore Configuration": the file dialogs, then the sheet in its file mode.
void runSaveConfigurationFromMainWindow(CMainFrame& frame, MainFrameCommands& commands);
void runRestoreConfigurationFromMainWindow(CMainFrame& frame, MainFrameCommands& commands);
// "&Reset" on the focused device: the "Reset Server" dialog.
void runResetFromMainWindow(CMainFrame& frame, MainFrameCommands& commands);
// "Configuration Wi&zard" on the focused device: the wizard, then its save and the reset.
void runWizardFromMainWindow(CMainFrame& frame, MainFrameCommands& commands);
