#pragma once
// The File, View and Tools commands that open the shell's own dialogs: "Save List to File...",
// "Save IP Addresses...", the view editor (create, modify, the tree's Modify and View), "Select/
// Delete Views" and "Options". Registered on the main window's command router.
#include <functional>
#include <optional>
#include <string>

class CMainFrame;
class QDialog;

namespace app {
class CommandRouter;
class CViewNode;
}

struct ShellDialogHooks {
  // Runs a modal dialog; tests replace it to drive the dialog (default: exec()).
  std::function<int(QDialog&)> run;
  // The Save dialog; nullopt when cancelled.
  std::function<std::optional<std::string>(const std::string& title, const std::string& defaultName)> saveFile;
};

// The hooks every command of this file uses (tests replace them).
ShellDialogHooks& shellDialogHooks();

void registerShellDialogCommands(CMainFrame& frame, app::CommandRouter& router);

// The view editor on the main window's view tree in `mode`, for `node` (edit modes) or with new
// views under `folder` (wizards). Afterwards the list is searched again or redisplayed as the
// save asks. Returns the node the editor created or edited, null when nothing was made.
app::CViewNode* runViewEditor(CMainFrame& frame, int mode, app::CViewNode* node);
