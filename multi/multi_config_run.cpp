#include "multi/multi_config_run.h"

#include <algorithm>
#include <memory>

#include "access/group_classes.h"
#include "access/mib_group.h"
#include "access/result_codes.h"
#include "devices/certificate_upload.h"

namespace multi {

namespace {

using snmpaccess::CVarBind;

void setValue(CVarBind& b, const MultiBinding& m) {
  switch (m.type) {
    case MultiBinding::Type::Integer:
      b.setInteger(m.integer);
      break;
    case MultiBinding::Type::Text:
    case MultiBinding::Type::Bytes:
      b.setBytes(m.bytes.data(), m.bytes.size());
      break;
    case MultiBinding::Type::IpAddress:
      b.setIpAddress(m.ip.data());
      break;
  }
}

// A wrong community gets no answer from a unit: compare with what it reported first.
bool communitiesMatch(const MultiUnit& u) {
  if (!u.reportedGet.empty() && u.reportedGet != u.getCommunity) return false;
  if (!u.reportedSet.empty() && u.reportedSet != u.setCommunity) return false;
  return true;
}

snmpaccess::SnmpTarget targetOf(const MultiUnit& u, snmpaccess::ProgressWindow& progress) {
  snmpaccess::SnmpTarget t;
  t.family = u.family;
  t.setAddress(u.address);
  t.setGetCommunity(u.getCommunity);
  t.setSetCommunity(u.setCommunity);
  t.progress = &progress;
  return t;
}

snmpaccess::GroupParams params(const std::string& prefix) {
  snmpaccess::GroupParams p;
  p.prefix = prefix;
  return p;
}

// A unit that let a request go unanswered three times is silent: its other bindings would each
// cost the same time-outs and end in the same result.
bool gaveUp(int rc) { return rc == snmpaccess::result::kStopped || rc == snmpaccess::result::kNoReply; }

}  // namespace

int applyMultiSettings(const CMultiConfigSettings& settings, snmpaccess::CSnmpSession& session, int port,
                       const std::string& prefix) {
  int last = 0;
  auto remember = [&](int rc) {
    if (rc && rc != snmpaccess::result::kNoSuchName) last = rc;
  };
  for (const MultiBinding& m : settings.deviceWide()) {
    CVarBind b(CMultiConfigSettings::resolve(m.oid, prefix).c_str());
    setValue(b, m);
    CVarBind* list[] = {&b};
    remember(session.set(list, 1));
    if (gaveUp(last)) return last;
  }
  if (settings.perPort().empty()) return last;
  int count = 1;
  if (port == 0) {
    CVarBind n((std::string(prefix) + ".6.2.3.1.0").c_str());
    CVarBind* list[] = {&n};
    if (const int rc = session.get(list, 1)) return rc;
    std::int32_t value = 0;
    if (const int rc = n.getInteger(value)) return rc;
    // The unit's own count bounds one request's bindings.
    count = std::clamp<std::int32_t>(value, 0, snmpaccess::kMaxBindingsPerRequest);
  }
  if (count == 0) return last;
  for (const MultiBinding& m : settings.perPort()) {
    std::vector<std::unique_ptr<CVarBind>> bindings;
    std::vector<CVarBind*> list;
    for (int p = 1; p <= count; ++p) {
      const int number = port == 0 ? p : port;
      bindings.push_back(std::make_unique<CVarBind>(
          (CMultiConfigSettings::resolve(m.oid, prefix) + "." + std::to_string(number)).c_str()));
      setValue(*bindings.back(), m);
      list.push_back(bindings.back().get());
    }
    remember(session.set(list.data(), static_cast<int>(list.size())));
    if (gaveUp(last)) return last;
  }
  return last;
}

MultiRunReport runMultiConfig(const std::vector<MultiUnit>& units, const CMultiConfigSettings& settings,
                              const MultiRunOptions& options) {
  MultiRunReport report;
  report.units.resize(units.size());
  if (multiRunIsEmpty(settings, options)) return report;
  auto say = [&](std::size_t i) {
    if (options.progress) options.progress(i, "Setting " + units[i].name);
  };
  const bool certificate = !options.certificateFile.empty() && !options.password.empty();

  bool done = forEachUnit(units.size(), options.inFlight, options.stop,
                          [&](std::size_t i, snmpaccess::ProgressWindow& progress) {
    const MultiUnit& u = units[i];
    MultiUnitOutcome& out = report.units[i];
    if (!u.present) return;
    out.ran = true;
    say(i);
    if (certificate) {
      out.certificateSent = true;
      out.certificate = devices::uploadCertificate(u.address, options.password, options.certificateFile, options.ftpPort);
    }
    if (u.noSnmp) {
      out.code = kNoSnmpSupport;
      return;
    }
    if (!communitiesMatch(u)) {
      out.code = kBadCommunity;
      return;
    }
    if (settings.count() == 0) return;
    snmpaccess::SnmpTarget target = targetOf(u, progress);
    int rc = 0;
    snmpaccess::CSnmpSession session(&target, rc);
    if (rc) {
      out.code = rc;
      return;
    }
    session.setTimeout(options.setTimeout);
    out.code = applyMultiSettings(settings, session, u.port, u.prefix);
  });

  if (done && options.resetPass) {
    done = forEachUnit(units.size(), options.inFlight, options.stop,
                       [&](std::size_t i, snmpaccess::ProgressWindow& progress) {
      const MultiUnit& u = units[i];
      if (!u.present || u.noSnmp || !communitiesMatch(u)) return;
      // Silent a moment ago: the reset pass would only wait out its time-outs again.
      if (report.units[i].code == snmpaccess::result::kNoReply) return;
      say(i);
      snmpaccess::SnmpTarget target = targetOf(u, progress);
      int rc = 0;
      snmpaccess::CSnmpSession session(&target, rc);
      if (rc) return;
      session.setTimeout(options.getTimeout);
      snmpaccess::CServerInfoGroup info(params(u.prefix));
      if (info.read(session)) return;
      report.units[i].reset = true;
      snmpaccess::CServerControlGroup control(params(u.prefix));
      if (control.read(session)) return;
      // A unit that restarts before it answers is normal: the result is not looked at.
      (void)control.reset(session);
    });
  }
  report.stopped = !done;
  for (const MultiUnitOutcome& o : report.units) {
    if (o.certificateSent && o.certificate) ++report.errors;
    if (o.ran && o.code) ++report.errors;
    if (o.reset) ++report.resets;
  }
  return report;
}

CMultiConfigLog multiConfigLog(const std::vector<MultiUnit>& units, const MultiRunReport& report, bool tcpipView,
                               const std::tm& local) {
  CMultiConfigLog log(tcpipView, local);
  for (std::size_t i = 0; i < units.size() && i < report.units.size(); ++i) {
    const MultiUnitOutcome& o = report.units[i];
    if (!o.ran) continue;
    if (o.certificateSent) log.certificate(units[i].address, o.certificate);
    log.device(units[i].address, units[i].port, o.code);
  }
  log.close(static_cast<int>(units.size()), report.errors);
  return log;
}

std::string multiConfigSummary(int resets) {
  std::string s;
  if (resets > 0)
    s = std::to_string(resets) +
        " configured units are resetting.\nThey are unreachable until reinitialization is complete.\n\n";
  return s + "View the results of the multi-unit configuration?";
}

}  // namespace multi
