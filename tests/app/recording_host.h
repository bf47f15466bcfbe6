#pragma once
// A command host that records every call in order and answers as configured.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/command_router.h"

namespace app {

class RecordingHost : public CommandHost {
 public:
  CommandState state;
  std::vector<std::string> log;
  std::vector<std::string> messages;
  std::deque<bool> startResults;  // results of startProgram, in order; empty: false
  bool openResult = true;
  bool titleFound = false;
  bool classFound = false;
  std::optional<std::string> chosenFile;
  std::string focusedAddress = "10.1.2.3";
  bool protocolOk = true;
  int waitCursorDepth = 0;
  std::vector<std::vector<std::string>> started;

  CommandState commandState() override { return state; }
  void cancelSearch() override { log.push_back("cancelSearch"); }
  void showMessage(const std::string& text) override {
    log.push_back("message");
    messages.push_back(text);
  }
  void reportError(std::uint32_t code, int cls) override {
    log.push_back("error " + std::to_string(code) + "/" + std::to_string(cls));
  }
  bool checkProtocol(int p) override {
    log.push_back("checkProtocol " + std::to_string(p));
    return protocolOk;
  }
  bool loadAccessList(int p, bool force) override {
    log.push_back("loadAccessList " + std::to_string(p) + (force ? " force" : ""));
    return true;
  }
  void refreshOpenView() override { log.push_back("refresh"); }
  void focusMainWindow() override { log.push_back("focus"); }
  bool openUrl(const std::string& url) override {
    log.push_back("openUrl " + url);
    return openResult;
  }
  bool openLocalFile(const std::string& path) override {
    log.push_back("openFile " + path);
    return openResult;
  }
  bool startProgram(const std::string& program, const std::vector<std::string>& args) override {
    std::vector<std::string> line{program};
    line.insert(line.end(), args.begin(), args.end());
    started.push_back(line);
    log.push_back("start " + program);
    bool ok = false;
    if (!startResults.empty()) {
      ok = startResults.front();
      startResults.pop_front();
    }
    return ok;
  }
  void setWaitCursor(bool on) override { waitCursorDepth += on ? 1 : -1; }
  bool activateWindowByTitle(const std::string& t) override {
    log.push_back("title " + t);
    return titleFound;
  }
  bool activateWindowByClass(const std::string& c) override {
    log.push_back("class " + c);
    return classFound;
  }
  std::optional<std::string> chooseProgramFile(const std::string& name, const std::string& filterName,
                                               const std::string& pattern) override {
    log.push_back("choose " + name + " " + filterName + " " + pattern);
    return chosenFile;
  }
  std::string focusedDeviceAddress() override { return focusedAddress; }
  void showNetworkInformation() override { log.push_back("netinfo"); }
  void showAbout() override { log.push_back("about"); }
  void closeMainWindow() override { log.push_back("close"); }
};

}  // namespace app
