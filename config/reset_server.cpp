#include "config/reset_server.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "config/backup_texts.h"
#include "config/config_texts.h"
#include "platform/report_error.h"

namespace config {

namespace {

snmpaccess::GroupParams withPrefix(const std::string& prefix) {
  snmpaccess::GroupParams p;
  p.prefix = prefix;
  return p;
}

bool sameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

}  // namespace

CResetServer::CResetServer(ResetServices services)
    : services_(std::move(services)), control_(withPrefix(services_.prefix)), list_(withPrefix(services_.prefix)) {}

void CResetServer::report(std::uint32_t text, int code) {
  if (services_.report) services_.report(text, platform::kErrorProgram, code, 4);
}

int CResetServer::prepare(snmpaccess::SnmpTarget& target) {
  target_ = &target;
  if (services_.progressText) services_.progressText(texts::kReadingInformation);
  int rc = 0;
  session_ = std::make_unique<snmpaccess::CSnmpSession>(&target, rc);
  if (rc) return rc;
  if ((rc = control_.read(*session_))) return rc;
  if ((rc = list_.read(*session_))) return rc;
  defaults_ = std::make_unique<snmpaccess::CRestoreDefaultsGroup>(list_, services_.prefix);
  if ((rc = defaults_->read(*session_))) return rc;
  entries_.clear();
  for (int i = 0; i < defaults_->entryCount(); ++i) {
    std::string name;
    defaults_->entryName(i, name);
    entries_.push_back(name);
  }
  return 0;
}

int CResetServer::findEntry(const std::string& name) const {
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (sameText(entries_[i], name)) return static_cast<int>(i);
  return -1;
}

int CResetServer::afterTrigger(int rc) {
  identified_ = false;
  if (rc) return rc;
  // The unit restarts and answers nothing for a while; ask again only after that.
  if (services_.pause && !services_.pause(services_.silenceMs)) return 0;
  if (services_.identify && target_) identified_ = services_.identify(*target_, services_.resetTimeoutSeconds) == 0;
  return 0;
}

int CResetServer::resetNow() {
  if (!session_) return snmpaccess::result::kIndexRange;
  return afterTrigger(control_.reset(*session_));
}

int CResetServer::restoreAllNow() {
  if (!session_) return snmpaccess::result::kIndexRange;
  return afterTrigger(control_.restoreAll(*session_));
}

int CResetServer::restoreNow(const std::vector<int>& selected) {
  if (!session_ || !defaults_) return snmpaccess::result::kIndexRange;
  const std::set<int> distinct(selected.begin(), selected.end());
  if (distinct.empty()) return snmpaccess::result::kIndexRange;
  for (int i : distinct)
    if (i < 0 || i >= defaults_->entryCount()) return snmpaccess::result::kIndexRange;
  if (static_cast<int>(distinct.size()) == defaults_->entryCount()) return restoreAllNow();
  for (int i : distinct) defaults_->setEntry(i);
  const int rc = defaults_->writeChanged(*session_);
  // One restore per write: the next one must not send these triggers again.
  for (int i : distinct) defaults_->clearChanged(i);
  return afterTrigger(rc);
}

ResetOutcome CResetServer::reset(const std::function<bool(std::uint32_t)>& confirm) {
  if (confirm && !confirm(texts::kAskReset)) return ResetOutcome::NotConfirmed;
  if (services_.progressText) services_.progressText(texts::kResetting);
  if (const int rc = resetNow()) {
    report(texts::kResetFailed, rc);
    return ResetOutcome::Failed;
  }
  return ResetOutcome::Done;
}

ResetOutcome CResetServer::restore(const std::vector<int>& selected, const std::function<bool(std::uint32_t)>& confirm) {
  if (selected.empty()) {
    if (services_.report) services_.report(texts::kSelectToRestore, platform::kErrorProgram, 0, 0);
    return ResetOutcome::NothingSelected;
  }
  if (confirm && !confirm(texts::kAskRestoreDefaults)) return ResetOutcome::NotConfirmed;
  if (services_.progressText) services_.progressText(texts::kRestoringServer);
  if (const int rc = restoreNow(selected)) {
    report(texts::kRestoreFailed, rc);
    return ResetOutcome::Failed;
  }
  return ResetOutcome::Done;
}

}  // namespace config
