#pragma once
// What a wizard page widget asks of its window: a message, a Yes/No question and opening a web
// address. The sheet owns one set; tests replace its members.
#include <QUrl>
#include <functional>
#include <string>

namespace wizardgui {

struct PageHooks {
  std::function<void(const std::string& text)> inform;
  // Yes: true.
  std::function<bool(const std::string& text)> ask;
  // True when the desktop took the address (QDesktopServices::openUrl by default).
  std::function<bool(const QUrl& url)> openUrl;
};

}  // namespace wizardgui
