#include "access/mib_group.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <limits>

#include "access/group_classes.h"
#include "access/mib_strings.h"
#include "access/result_codes.h"
#include "platform/profile.h"
#include "platform/string_table.h"

namespace snmpaccess {
namespace {

std::atomic<std::uint32_t> gGetTimeout{500};
std::atomic<std::uint32_t> gSetTimeout{500};

constexpr std::uint16_t kPortCountString = 4053;  // E.6.2.3.1.0: output port count
constexpr std::size_t kSetBytesCapacity = 512;
constexpr std::size_t kSetIpCapacity = 256;

std::string composeText(std::string_view prefix, std::string_view text, std::span<const std::uint32_t> suffix) {
  std::array<char, mib::kOidTextCapacity> buffer{};
  const std::size_t n = mib::composeOid(buffer, prefix, text, suffix);
  return std::string(buffer.data(), n);
}

// Optional sign and the digits that follow; anything else ends it, no digits gives 0. Clamped.
std::int32_t lenientNumber(std::string_view s) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  long long v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    v = v * 10 + (s[i] - '0');
    if (v > 0x80000000LL) v = 0x80000000LL;
  }
  if (negative) v = -v;
  return static_cast<std::int32_t>(std::clamp<long long>(v, std::numeric_limits<std::int32_t>::min(),
                                                         std::numeric_limits<std::int32_t>::max()));
}

// Bytes a line of a profile file keeps as they are: printable, and no blank at either end (the
// reader trims those, and a country code such as "US " would come back as "US").
bool lineSafe(const std::string& bytes) {
  if (!bytes.empty() && (bytes.front() == ' ' || bytes.back() == ' ')) return false;
  return std::all_of(bytes.begin(), bytes.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x20 && b <= 0x7E;
  });
}

}  // namespace

void setGroupTimeouts(std::uint32_t getTimeout, std::uint32_t setTimeout) noexcept {
  gGetTimeout.store(getTimeout ? getTimeout : 1);
  gSetTimeout.store(setTimeout ? setTimeout : 1);
}
std::uint32_t groupGetTimeout() noexcept { return gGetTimeout.load(); }
std::uint32_t groupSetTimeout() noexcept { return gSetTimeout.load(); }

// ---------------------------------------------------------------------------------------------
// Construction

CMibGroup::CMibGroup(const mib::GroupDef& def, GroupParams params) : def_(def), params_(std::move(params)) {
  params_.ports = static_cast<int>(mib::clampCount(params_.ports));
  params_.gpioGroups = static_cast<int>(mib::clampCount(params_.gpioGroups, 16));
  params_.entries = static_cast<int>(mib::clampCount(params_.entries));
  if (params_.protocols.size() > mib::kMaxInstances) params_.protocols.resize(mib::kMaxInstances);

  const int level = params_.level >= 0 && params_.level < kVersionUnknown ? params_.level : kVersionUnknown;
  if (def_.kind == mib::GroupKind::Table) {
    for (long k = 0; k < params_.entries; ++k)
      for (const mib::VariableDef& v : def_.variables) addVariable(v, k);
  } else if (def_.kind == mib::GroupKind::Protocols) {
    for (const mib::VariableDef& v : def_.variables) addVariable(v, -1);
    for (const auto& [id, name] : params_.protocols) {
      std::array<char, 64> rel{};
      if (!mib::protocolOid(def_, id, rel)) continue;  // protocols without an entry get none
      mib::VariableDef v =
          mib::var(static_cast<std::uint8_t>(vars_.size()), 0, {}, mib::Syntax::Integer).rw();
      if (def_.id == mib::GroupId::ProtocolEnable) v = v.en(mib::kEnabledTwo);
      for (const mib::ProtocolOid& p : def_.protocols)
        if (p.protocolId == id) v.stringId = p.stringId;
      Slot s;
      s.def = v;
      s.oid = composeText(params_.prefix, rel.data(), {});
      slots_.push_back(s);
      vars_.push_back(std::make_unique<CVarBind>(s.oid.c_str()));
      changed_.push_back(0);
      entryNames_.push_back(name);
    }
  } else {
    for (const mib::VariableDef& v : def_.variables)
      if (mib::variablePresent(v, level)) addVariable(v, params_.row);
  }
  levelApplied_ = level;

  // Additions whose count is a construction parameter.
  for (const mib::Extension& e : def_.extensions) {
    if (e.countIndex >= 0) continue;
    if (e.kind == mib::ExtensionKind::PortColumns) {
      const std::uint32_t entry = params_.row >= 0 ? static_cast<std::uint32_t>(params_.row + 1) : e.fixedEntry;
      for (int p = e.firstPort; p <= params_.ports; ++p)
        addVariable(e.variable, entry, static_cast<std::uint32_t>(mib::portColumn(e.firstColumn, p)), true);
    } else if (e.kind == mib::ExtensionKind::EventNames) {
      for (long k = 0; k < 2L * params_.gpioGroups; ++k) addVariable(e.variable, k, 0, true);
      for (int p = 1; p <= params_.ports; ++p)
        for (std::uint32_t c = 13; c <= 28; ++c) addVariable(e.second, p, c, true);
    }
  }
  for (const mib::VariableDef& x : def_.extras) {
    extras_.push_back(std::make_unique<CVarBind>(composeText(params_.prefix, x.oid, {}).c_str()));
    extraChanged_.push_back(0);
  }
  if (level != kVersionUnknown) version_ = level;
}

CMibGroup::~CMibGroup() = default;

void CMibGroup::addVariable(const mib::VariableDef& def, long entry, std::uint32_t column, bool extension) {
  Slot s;
  s.def = def;
  s.entry = entry;
  s.column = column;
  s.extension = extension;
  if (column != 0) {
    // Port columns ".c.e" and event names ".c.p": both numbers are given.
    const std::uint32_t suffix[] = {column, static_cast<std::uint32_t>(entry)};
    s.oid = composeText(params_.prefix, def.oid, suffix);
  } else {
    std::array<char, mib::kOidTextCapacity> buffer{};
    const std::size_t n = mib::variableOid(buffer, params_.prefix, def, entry);
    s.oid.assign(buffer.data(), n);
  }
  const auto at = static_cast<std::size_t>(
      extension ? slots_.size()
                : std::find_if(slots_.begin(), slots_.end(), [](const Slot& x) { return x.extension; }) - slots_.begin());
  slots_.insert(slots_.begin() + static_cast<std::ptrdiff_t>(at), s);
  vars_.insert(vars_.begin() + static_cast<std::ptrdiff_t>(at), std::make_unique<CVarBind>(s.oid.c_str()));
  changed_.insert(changed_.begin() + static_cast<std::ptrdiff_t>(at), 0);
  exclusions_.clear();
  for (std::size_t i = 0; i < slots_.size(); ++i)
    if (slots_[i].def.excluded) exclusions_.push_back(static_cast<int>(i));
}

void CMibGroup::applyLevel(int level) {
  if (level == levelApplied_ || def_.kind == mib::GroupKind::Table || def_.kind == mib::GroupKind::Protocols) return;
  for (const mib::VariableDef& v : def_.variables) {
    if (!mib::variablePresent(v, level)) continue;
    const bool have = std::any_of(slots_.begin(), slots_.end(), [&](const Slot& s) {
      return !s.extension && s.def.index == v.index && s.def.stringId == v.stringId;
    });
    if (!have) addVariable(v, params_.row);
  }
  levelApplied_ = level;
}

bool CMibGroup::addExtensions() {
  if (extensionsAdded_) return false;
  extensionsAdded_ = true;
  const int level = version_;
  bool any = false;
  for (const mib::Extension& e : def_.extensions) {
    if (e.countIndex < 0 || !mib::extensionApplies(def_, e, level)) continue;
    std::int32_t value = 0;
    if (getInteger(e.countIndex, value) != 0) continue;
    std::size_t n = 0;
    if (e.kind == mib::ExtensionKind::PerHighestBit)
      n = static_cast<std::size_t>(mib::highestBitPosition(static_cast<std::uint32_t>(value)));
    else
      n = mib::clampCount(value, e.maxCount);
    n = std::min<std::size_t>(n, e.maxCount);
    if (e.kind == mib::ExtensionKind::PortColumns) {
      for (int p = e.firstPort; p <= static_cast<int>(n); ++p)
        addVariable(e.variable, e.fixedEntry, static_cast<std::uint32_t>(mib::portColumn(e.firstColumn, p)), true);
      any = any || static_cast<int>(n) >= e.firstPort;
    } else {
      for (std::size_t k = 0; k < n; ++k) addVariable(e.variable, static_cast<long>(k), 0, true);
      any = any || n > 0;
    }
    extensionEntries_ = static_cast<int>(n);
  }
  return any;
}

// ---------------------------------------------------------------------------------------------
// Accessors

const mib::VariableDef* CMibGroup::variableDef(int index) const {
  return mib::variableIndexValid(index, slots_.size()) ? &slots_[static_cast<std::size_t>(index)].def : nullptr;
}
long CMibGroup::variableEntry(int index) const {
  return mib::variableIndexValid(index, slots_.size()) ? slots_[static_cast<std::size_t>(index)].entry : -1;
}
const CVarBind* CMibGroup::binding(int index) const {
  return mib::variableIndexValid(index, vars_.size()) ? vars_[static_cast<std::size_t>(index)].get() : nullptr;
}
std::string CMibGroup::oidText(int index) const {
  return mib::variableIndexValid(index, slots_.size()) ? slots_[static_cast<std::size_t>(index)].oid : std::string();
}
bool CMibGroup::excluded(int index) const {
  return std::binary_search(exclusions_.begin(), exclusions_.end(), index);
}
bool CMibGroup::changed(int index) const {
  return mib::variableIndexValid(index, changed_.size()) && changed_[static_cast<std::size_t>(index)] != 0;
}
int CMibGroup::changedCount() const {
  return static_cast<int>(std::count(changed_.begin(), changed_.end(), 1)) +
         static_cast<int>(std::count(extraChanged_.begin(), extraChanged_.end(), 1));
}
std::string CMibGroup::entryName(int index) const {
  const int first = count() - static_cast<int>(entryNames_.size());
  if (index < first || index >= count()) return {};
  return entryNames_[static_cast<std::size_t>(index - first)];
}

#define CHECK_INDEX(i)                                                   \
  if (!mib::variableIndexValid((i), vars_.size())) return result::kIndexRange; \
  const CVarBind& b = *vars_[static_cast<std::size_t>(i)]

int CMibGroup::getInteger(int index, std::int32_t& out) const {
  CHECK_INDEX(index);
  smiINT v = 0;
  const int rc = b.getInteger(v);
  if (rc == 0) out = v;
  return rc;
}
int CMibGroup::getUnsigned(int index, std::uint32_t& out) const {
  CHECK_INDEX(index);
  smiUINT32 v = 0;
  const int rc = b.getUnsigned(v);
  if (rc == 0) out = v;
  return rc;
}
int CMibGroup::getCounter64(int index, std::uint32_t& high, std::uint32_t& low) const {
  CHECK_INDEX(index);
  smiUINT32 h = 0, l = 0;
  const int rc = b.getCounter64(h, l);
  if (rc == 0) high = h, low = l;
  return rc;
}
int CMibGroup::getOidText(int index, std::string& out) const {
  CHECK_INDEX(index);
  COid o;
  const int rc = b.getOid(o);
  if (rc == 0) out = o.text();
  return rc;
}
int CMibGroup::getBytes(int index, void* buffer, std::size_t capacity, std::size_t& length) const {
  CHECK_INDEX(index);
  return b.getBytes(buffer, capacity, length);
}
int CMibGroup::getBytes(int index, std::string& out) const {
  CHECK_INDEX(index);
  if (b.syntax() != SNMP_SYNTAX_OCTETS) return result::kWrongType;
  out.assign(b.byteLength(), '\0');
  std::size_t length = 0;
  const int rc = b.getBytes(out.data(), out.size(), length);
  out.resize(rc == 0 ? length : 0);
  return rc;
}
int CMibGroup::getIpAddress(int index, std::uint8_t out[4]) const {
  CHECK_INDEX(index);
  smiBYTE a[4] = {};
  const int rc = b.getIpAddress(a);
  if (rc == 0) std::memcpy(out, a, 4);
  return rc;
}
int CMibGroup::getDisplayText(int index, char* buffer, std::size_t capacity) const {
  CHECK_INDEX(index);
  return b.getDisplayText(buffer, capacity);
}
int CMibGroup::getDisplayText(int index, std::string& out) const {
  char buffer[kDisplayTextSize];
  const int rc = getDisplayText(index, buffer, sizeof buffer);
  if (rc == 0) out = buffer;
  return rc;
}
int CMibGroup::getPlainText(int index, std::string& out) {
  if (!mib::variableIndexValid(index, vars_.size())) return result::kIndexRange;
  char buffer[kDisplayTextSize];
  const int rc = vars_[static_cast<std::size_t>(index)]->getPlainText(buffer, sizeof buffer);
  if (rc == 0) out = buffer;
  return rc;
}

#undef CHECK_INDEX

int CMibGroup::setIntegerIfChanged(int index, std::int32_t value) {
  std::int32_t current = 0;
  if (const int rc = getInteger(index, current)) return rc;
  if (current != value) {
    vars_[static_cast<std::size_t>(index)]->setInteger(value);
    changed_[static_cast<std::size_t>(index)] = 1;
  }
  return 0;
}

int CMibGroup::setBytesIfChanged(int index, const void* bytes, std::size_t length) {
  std::array<std::uint8_t, kSetBytesCapacity> current{};
  std::size_t currentLength = 0;
  if (const int rc = getBytes(index, current.data(), current.size(), currentLength)) return rc;
  if (length > kSetBytesCapacity || (length && !bytes)) return result::kDoesNotFit;
  if (length != currentLength || (length && std::memcmp(bytes, current.data(), length) != 0)) {
    vars_[static_cast<std::size_t>(index)]->setBytes(bytes, length);
    changed_[static_cast<std::size_t>(index)] = 1;
  }
  return 0;
}

int CMibGroup::setIpAddressIfChanged(int index, const std::uint8_t address[4]) {
  if (!mib::variableIndexValid(index, vars_.size())) return result::kIndexRange;
  if (vars_[static_cast<std::size_t>(index)]->byteLength() > kSetIpCapacity) return result::kDoesNotFit;
  std::uint8_t current[4] = {};
  if (const int rc = getIpAddress(index, current)) return rc;
  if (std::memcmp(current, address, 4) != 0) {
    vars_[static_cast<std::size_t>(index)]->setIpAddress(address);
    changed_[static_cast<std::size_t>(index)] = 1;
  }
  return 0;
}

int CMibGroup::setTextIfChanged(int index, std::string_view text) {
  std::string current;
  if (const int rc = getDisplayText(index, current)) return rc;
  if (text.size() > kSetBytesCapacity) return result::kDoesNotFit;
  if (current != text) {
    vars_[static_cast<std::size_t>(index)]->setBytes(text.data(), text.size());
    changed_[static_cast<std::size_t>(index)] = 1;
  }
  return 0;
}

int CMibGroup::forceInteger(int index, std::int32_t value) {
  if (!mib::variableIndexValid(index, vars_.size())) return result::kIndexRange;
  vars_[static_cast<std::size_t>(index)]->setInteger(value);
  changed_[static_cast<std::size_t>(index)] = 1;
  return 0;
}

const CVarBind* CMibGroup::extra(int index) const {
  return mib::variableIndexValid(index, extras_.size()) ? extras_[static_cast<std::size_t>(index)].get() : nullptr;
}
int CMibGroup::setExtraText(int index, std::string_view text) {
  if (!mib::variableIndexValid(index, extras_.size())) return result::kIndexRange;
  if (text.size() > kMaxBackupBytes) return result::kDoesNotFit;
  const auto i = static_cast<std::size_t>(index);
  if (text.empty()) {
    extras_[i]->setNull();
    extraChanged_[i] = 0;
  } else {
    extras_[i]->setBytes(text.data(), text.size());
    extraChanged_[i] = 1;
  }
  return 0;
}
bool CMibGroup::extraPending(int index) const {
  return mib::variableIndexValid(index, extraChanged_.size()) && extraChanged_[static_cast<std::size_t>(index)];
}

CMibGroup* CMibGroup::child(int index) {
  return mib::variableIndexValid(index, children_.size()) ? children_[static_cast<std::size_t>(index)].get() : nullptr;
}
const CMibGroup* CMibGroup::child(int index) const {
  return mib::variableIndexValid(index, children_.size()) ? children_[static_cast<std::size_t>(index)].get() : nullptr;
}
int CMibGroup::rowCount() const { return rowsOfFirstChild_; }
int CMibGroup::row(int index, CMibGroup*& out) {
  out = nullptr;
  if (rowsOfFirstChild_ <= 0) return result::kIndexRange;
  if (index < 0 || index >= rowsOfFirstChild_) return result::kRowRange;
  out = children_[static_cast<std::size_t>(rowStart_ + index)].get();
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Requests

int CMibGroup::request(CSnmpSession& session, bool set, CVarBind* const* list, int n) {
  errorStatus_ = 0;
  errorIndex_ = 0;
  failedOid_.clear();
  const int rc =
      set ? session.set(list, n, &errorStatus_, &errorIndex_) : session.get(list, n, &errorStatus_, &errorIndex_);
  if (rc != 0 && errorIndex_ >= 1 && errorIndex_ <= n) failedOid_ = list[errorIndex_ - 1]->name().text();
  return rc;
}

// Sends the batch in requests of at most `limit` bindings (18 for a GET, one binding list of 32
// for a SET): every request stays within it, not only the first, so the rest of a large group
// never goes out as one oversized request. After a tooBig reply with error index b, sends the
// b - 1 variables the print server could answer, then goes on, and repeats while a reply is
// tooBig, the partial request included: a print server that said too much gets asked again with
// its new index. At most kMaxSplitRounds tooBig replies are followed, a partial request never
// reaches past the batch, and a failure other than tooBig ends the split with its own code.
int CMibGroup::sendBatch(CSnmpSession& session, bool set, std::vector<CVarBind*>& batch, int tooBigIndex,
                         int limit) {
  const int n = static_cast<int>(batch.size());
  int k = 0;
  int b = tooBigIndex;
  int rounds = 0;
  while (k < n) {
    int size = std::min(n - k, std::clamp(limit, 1, kMaxBindingsPerRequest));
    if (b >= 0) {
      if (++rounds > kMaxSplitRounds || b < 2 || b - 1 > n - k) return result::kTooBig;
      size = b - 1;
    }
    const int rc = request(session, set, batch.data() + k, size);
    if (rc == result::kTooBig) {
      b = errorIndex_;
      continue;
    }
    if (rc != 0) return rc;
    k += size;
    b = -1;
  }
  return 0;
}

int CMibGroup::getBatch(CSnmpSession& session, std::vector<CVarBind*>& batch, bool preSplit) {
  if (batch.empty()) return 0;
  for (CVarBind* v : batch) v->setNull();
  // Above 18 variables the first request is cut as if the print server had said tooBig at 19.
  const bool tooMany = preSplit && static_cast<int>(batch.size()) > kMaxVariablesPerGet;
  return sendBatch(session, false, batch, tooMany ? kMaxVariablesPerGet + 1 : -1,
                   preSplit ? kMaxVariablesPerGet : kMaxBindingsPerRequest);
}

int CMibGroup::probeVersion(CSnmpSession& session, int index) {
  if (def_.probeIndex >= 0) index = def_.probeIndex;  // the group carries its level itself
  if (version_ != kVersionUnknown) return 0;
  if (index == -1) {
    version_ = 1;
    applyLevel(1);
    return 0;
  }
  if (index < -1 || index >= count()) return result::kIndexRange;
  CVarBind* v = vars_[static_cast<std::size_t>(index)].get();
  v->setNull();
  CVarBind* list[] = {v};
  session.setTimeout(groupGetTimeout());
  if (const int rc = request(session, false, list, 1)) return rc;
  std::int32_t level = 0;
  if (const int rc = getInteger(index, level)) return rc;
  // A level is a small number; anything else would read as "unknown" or overflow the tests.
  version_ = std::clamp<std::int32_t>(level, 0, kVersionUnknown - 1);
  applyLevel(version_);
  return 0;
}

int CMibGroup::readAll(CSnmpSession& session) {
  session.setTimeout(groupGetTimeout());
  std::vector<CVarBind*> all;
  for (auto& v : vars_) all.push_back(v.get());
  int rc = getBatch(session, all, true);
  if (rc == 0 && !def_.extensions.empty() && addExtensions()) {
    all.clear();
    for (auto& v : vars_) all.push_back(v.get());
    rc = getBatch(session, all, true);
    if (rc != 0) extensionEntries_ = -1;
  }
  if (rc == 0 && !def_.children.empty()) {
    rc = readExtras(session);
    if (rc == 0) rc = readChildren(session);
  }
  if (rc != 0) version_ = kVersionUnknown;
  else read_ = true;
  return rc;
}

int CMibGroup::read(CSnmpSession& session) {
  const int rc = probeVersion(session, -1);
  if (rc != 0) return rc;
  return readAll(session);
}

int CMibGroup::readExtras(CSnmpSession& session) {
  std::vector<CVarBind*> list;
  for (const mib::ChildDef& c : def_.children)
    if (c.from == mib::CountFrom::Extra && mib::variableIndexValid(c.countIndex, extras_.size()))
      list.push_back(extras_[static_cast<std::size_t>(c.countIndex)].get());
  if (list.empty()) return 0;
  return getBatch(session, list, true);
}

int CMibGroup::readChildren(CSnmpSession& session) {
  if (!childrenCreated_) {
    childrenCreated_ = true;
    int ports = 0;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
      std::int32_t v = 0;
      if (slots_[i].def.stringId == kPortCountString && getInteger(static_cast<int>(i), v) == 0)
        ports = static_cast<int>(mib::clampCount(v));
    }
    bool first = true;
    for (const mib::ChildDef& c : def_.children) {
      std::int32_t value = 0;
      std::size_t n = 0;
      if (c.from == mib::CountFrom::One) {
        n = 1;
      } else if (c.from == mib::CountFrom::Variable) {
        if (getInteger(c.countIndex, value) == 0) n = mib::clampCount(value, c.maxCount);
      } else if (mib::variableIndexValid(c.countIndex, extras_.size())) {
        smiINT v = 0;
        if (extras_[static_cast<std::size_t>(c.countIndex)]->getInteger(v) == 0) n = mib::clampCount(v, c.maxCount);
      }
      const mib::GroupDef& cd = mib::group(c.group);
      GroupParams p;
      p.prefix = params_.prefix;
      p.ports = ports;
      p.level = cd.probeIndex >= 0 && version_ != kVersionUnknown ? version_ : -1;
      if (cd.kind == mib::GroupKind::Table) {
        p.entries = static_cast<int>(n);
        children_.push_back(makeGroup(cd.id, p));
      } else if (c.from == mib::CountFrom::One) {
        p.row = params_.row;
        p.level = -1;
        children_.push_back(makeGroup(cd.id, p));
        optionalChildren_.push_back(static_cast<int>(children_.size()) - 1);
      } else {
        if (first) {
          rowStart_ = static_cast<int>(children_.size());
          rowsOfFirstChild_ = static_cast<int>(n);
          first = false;
        }
        for (std::size_t r = 0; r < n; ++r) {
          p.row = static_cast<long>(r);
          children_.push_back(makeGroup(cd.id, p));
        }
      }
    }
  }
  for (std::size_t i = 0; i < children_.size(); ++i) {
    const int rc = children_[i]->read(session);
    // A printer without the Printer MIB leaves its status unread; the port row is still good.
    const bool optional =
        std::find(optionalChildren_.begin(), optionalChildren_.end(), static_cast<int>(i)) != optionalChildren_.end();
    if (rc != 0 && !optional) return rc;
  }
  return 0;
}

int CMibGroup::writeChanged(CSnmpSession& session) {
  std::vector<CVarBind*> list;
  for (std::size_t i = 0; i < vars_.size(); ++i)
    if (changed_[i]) list.push_back(vars_[i].get());
  for (std::size_t i = 0; i < extras_.size(); ++i)
    if (extraChanged_[i]) list.push_back(extras_[i].get());
  int rc = 0;
  if (!list.empty()) {
    session.setTimeout(groupSetTimeout());
    rc = sendBatch(session, true, list, -1, kMaxBindingsPerRequest);
  }
  for (std::size_t i = 0; rc == 0 && i < children_.size(); ++i) rc = children_[i]->writeChanged(session);
  return rc;
}

// ---------------------------------------------------------------------------------------------
// Backup file

int backupValue(const CVarBind& b, std::string& out) {
  out.clear();
  switch (b.syntax()) {
    case SNMP_SYNTAX_INT: {
      smiINT v = 0;
      b.getInteger(v);
      out = "<2>" + std::to_string(v);
      return 0;
    }
    case SNMP_SYNTAX_IPADDR: {
      smiBYTE a[4] = {};
      if (const int rc = b.getIpAddress(a)) return rc;
      out = "<0>" + ipv4ToText(a);
      return 0;
    }
    case SNMP_SYNTAX_OCTETS: {
      std::string bytes(b.byteLength(), '\0');
      std::size_t length = 0;
      if (const int rc = b.getBytes(bytes.data(), bytes.size(), length)) return rc;
      if (length > kMaxBackupBytes) return result::kDoesNotFit;
      bytes.resize(length);
      if (lineSafe(bytes)) {
        out = "<4>" + bytes;
      } else {
        out = "<h>";
        static constexpr char kDigits[] = "0123456789ABCDEF";
        for (unsigned char c : bytes) {
          out += kDigits[c >> 4];
          out += kDigits[c & 15];
        }
      }
      return 0;
    }
    case SNMP_SYNTAX_NULL:
      return result::kWrongType;  // never read
    default:
      return 0;  // counters, OIDs: no tag; such variables are excluded anyway
  }
}

std::string CMibGroup::sectionName(std::string_view pattern) const {
  std::string s(pattern);
  const std::size_t at = s.find("%c");
  // Rows past 9 keep counting in decimal instead of running into ':' and ']'.
  if (at != std::string::npos) s.replace(at, 2, std::to_string(params_.row >= 0 ? params_.row + 1 : 1));
  return s;
}

int CMibGroup::save(std::string_view section, platform::Profile& file) {
  int rc = 0;
  for (int i = 0; i < count(); ++i) {
    if (excluded(i)) continue;
    std::string value;
    if (const int r = backupValue(*vars_[static_cast<std::size_t>(i)], value)) {
      rc = r;
      continue;
    }
    if (value.empty()) continue;
    const std::string& key = slots_[static_cast<std::size_t>(i)].oid;
    if (key.empty() || !platform::Profile::canStore(section, key, value)) {
      rc = result::kNotWritable;
      continue;
    }
    file.set(section, key, value);
  }
  for (std::size_t i = 0; i < extras_.size(); ++i) {
    if (!extraChanged_[i]) continue;
    std::string value;
    if (const int r = backupValue(*extras_[i], value)) {
      rc = r;
      continue;
    }
    const std::string key = extras_[i]->name().text();
    if (!platform::Profile::canStore(section, key, value)) {
      rc = result::kNotWritable;
      continue;
    }
    file.set(section, key, value);
  }
  if (def_.id == mib::GroupId::Nds && count() > 0) {
    // The object name is held in 16-bit characters; the file gets its 8-bit text.
    std::string wide, narrow;
    if (getBytes(0, wide) == 0) {
      for (std::size_t i = 0; i + 1 < wide.size(); i += 2) {
        if (wide[i] == 0 && wide[i + 1] == 0) break;
        narrow += wide[i + 1] == 0 ? wide[i] : '?';
      }
      const std::string value = "<4>" + narrow.substr(0, kMaxBackupBytes);
      if (platform::Profile::canStore(section, slots_[0].oid, value))
        file.set(section, slots_[0].oid, value);
      else
        rc = result::kNotWritable;
    }
  }
  return rc;
}

int CMibGroup::restoreOne(int index, std::string_view value) {
  const char tag = value[1];
  const std::string_view rest = value.size() > 3 ? value.substr(3) : std::string_view{};
  switch (tag) {
    case '0': {
      std::uint8_t a[4] = {};
      if (const int rc = ipv4TextToBytes(rest, a)) return rc;
      return setIpAddressIfChanged(index, a);
    }
    case '2':
      return setIntegerIfChanged(index, lenientNumber(rest));
    case '4':
      if (rest.size() > kMaxBackupBytes) return result::kDoesNotFit;
      return setBytesIfChanged(index, rest.data(), rest.size());
    case 'h': {
      std::string bytes;
      if (const int rc = hexTextToBytes(rest, bytes)) return rc;
      if (bytes.size() > kMaxBackupBytes) return result::kDoesNotFit;
      return setBytesIfChanged(index, bytes.data(), bytes.size());
    }
    default:
      return result::kBadTag;
  }
}

int CMibGroup::restore(std::string_view section, const platform::Profile& file) {
  int rc = 0;
  for (int i = 0; i < count(); ++i) {
    if (excluded(i)) continue;
    const std::optional<std::string> value = file.get(section, slots_[static_cast<std::size_t>(i)].oid);
    if (!value) continue;  // "<*>": absent
    if (value->size() > kMaxBackupValue) {
      rc = result::kDoesNotFit;
      continue;
    }
    if (value->size() < 2) return result::kBadTag;
    if ((*value)[1] == '*') continue;
    const int r = restoreOne(i, *value);
    if (r == result::kBadTag) return r;  // an unknown tag ends this group's loading
    if (r != 0) rc = r;
  }
  for (std::size_t i = 0; i < extras_.size(); ++i) {
    // Write-only values: a non-empty text in the file becomes pending, otherwise there is none.
    if (def_.extras[i].access != mib::Access::ReadWrite) continue;
    const std::optional<std::string> value = file.get(section, extras_[i]->name().text());
    if (!value || value->size() <= 3 || (*value)[1] != '4' || value->size() > kMaxBackupValue) continue;
    setExtraText(static_cast<int>(i), std::string_view(*value).substr(3));
  }
  if (def_.id == mib::GroupId::Nds && count() > 0) {
    const std::optional<std::string> value = file.get(section, slots_[0].oid);
    if (value && value->size() >= 3 && value->size() <= kMaxBackupValue && (*value)[1] == '4') {
      std::string current, wide;
      getBytes(0, current);
      for (char c : std::string_view(*value).substr(3)) {
        wide += c;
        wide += '\0';
      }
      if (current.size() >= 2 && current[current.size() - 1] == 0 && current[current.size() - 2] == 0) wide += std::string(2, '\0');
      if (const int r = setBytesIfChanged(0, wide.data(), wide.size())) rc = r;
    } else if (value && value->size() >= 2 && (*value)[1] != '*' && (*value)[1] != '4') {
      return result::kBadTag;
    }
  }
  return rc;
}

std::string CMibGroup::sectionForId(std::uint32_t sectionStringId) const {
  // A row group whose section is built around this string ("TCP/IP" in "TCP/IPTrapDest%c") keeps
  // its own pattern, so the id of the protocol name gives the per-row section.
  if (sectionStringId != 0 && sectionStringId == def_.backup.stringId && !def_.backup.name.empty())
    return sectionName(def_.backup.name);
  // The catalogue's strings (4000-4465) first, then the program's table.
  std::string text(mib::catalogueString(sectionStringId));
  if (text.empty())
    if (const char* t = platform::loadString(sectionStringId)) text = t;
  if (text.empty()) return {};
  if (const std::size_t at = text.find("%s"); at != std::string::npos) {
    // "%sTrapDest%c": the protocol part comes from the group's own section.
    const std::string_view part = mib::catalogueString(def_.backup.stringId);
    if (part.empty()) return def_.backup.name.empty() ? std::string() : sectionName(def_.backup.name);
    text.replace(at, 2, part);
  }
  return sectionName(text);
}

int CMibGroup::saveById(std::uint32_t sectionStringId, platform::Profile& file) {
  // Rows carry the sections; a container's own variables and its helper groups (a port's
  // printer status) have none.
  int rc = 0;
  if (children_.empty() || !def_.backup.name.empty()) {
    const std::string section = sectionForId(sectionStringId);
    if (section.empty()) return result::kIndexRange;
    rc = save(section, file);
  }
  for (auto& c : children_)
    if (!c->def().backup.name.empty())
      if (const int r = c->saveById(sectionStringId, file)) rc = r;
  return rc;
}

int CMibGroup::restoreById(std::uint32_t sectionStringId, const platform::Profile& file) {
  // Rows carry the sections; a container's own variables and its helper groups (a port's
  // printer status) have none.
  int rc = 0;
  if (children_.empty() || !def_.backup.name.empty()) {
    const std::string section = sectionForId(sectionStringId);
    if (section.empty()) return result::kIndexRange;
    rc = restore(section, file);
  }
  for (auto& c : children_)
    if (!c->def().backup.name.empty())
      if (const int r = c->restoreById(sectionStringId, file)) rc = r;
  return rc;
}

int CMibGroup::saveBackup(platform::Profile& file) {
  int rc = 0;
  if (!def_.backup.name.empty())
    if (const int r = save(sectionName(def_.backup.name), file)) rc = r;
  for (auto& c : children_)
    if (const int r = c->saveBackup(file)) rc = r;
  return rc;
}

int CMibGroup::restoreBackup(const platform::Profile& file) {
  int rc = 0;
  if (!def_.backup.name.empty())
    if (const int r = restore(sectionName(def_.backup.name), file)) rc = r;
  for (auto& c : children_)
    if (const int r = c->restoreBackup(file)) rc = r;
  return rc;
}

int CMibGroup::saveBackupFile(const std::string& fileName) {
  platform::Profile file;
  if (!file.load(fileName)) return result::kNotWritable;
  const int rc = saveBackup(file);
  if (!file.save(fileName)) return result::kNotWritable;
  return rc;
}

int CMibGroup::restoreBackupFile(const std::string& fileName) {
  platform::Profile file;
  if (!file.load(fileName)) return result::kDoesNotFit;
  return restoreBackup(file);
}

// ---------------------------------------------------------------------------------------------
// Text helpers

std::string bytesToHex(const void* bytes, std::size_t length) {
  std::string out;
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  char two[3];
  for (std::size_t i = 0; p && i < length && i < 128; ++i) {
    std::snprintf(two, sizeof two, "%02X", p[i]);
    out += two;
  }
  return out;
}

std::string bytesToColonHex(const void* bytes, std::size_t length) {
  std::string out;
  const auto* p = static_cast<const std::uint8_t*>(bytes);
  char three[4];
  for (std::size_t i = 0; p && i < length && i < 85; ++i) {
    std::snprintf(three, sizeof three, i == 0 ? "%02X" : ":%02X", p[i]);
    out += three;
  }
  return out;
}

std::string ipv4ToText(const std::uint8_t a[4]) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%u.%u.%u.%u", a[0], a[1], a[2], a[3]);
  return buffer;
}

int hexTextToBytes(std::string_view text, std::string& out) {
  out.clear();
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int hi = digit(text[i]);
    const int lo = i + 1 < text.size() ? digit(text[i + 1]) : -1;
    if (hi < 0 || lo < 0) return result::kBadDigit;
    out += static_cast<char>(hi * 16 + lo);
  }
  return 0;
}

int ipv4TextToBytes(std::string_view text, std::uint8_t out[4]) {
  if (text.size() > 15) return result::kIpTooLong;
  if (std::count(text.begin(), text.end(), '.') != 3) return result::kIpDots;
  std::uint8_t bytes[4] = {};
  std::size_t start = 0;
  for (int part = 0; part < 4; ++part) {
    const std::size_t end = part < 3 ? text.find('.', start) : text.size();
    const std::string_view s = text.substr(start, end - start);
    if (s.empty()) return result::kBadDigit;
    int v = 0;
    for (char c : s) {
      if (c < '0' || c > '9') return result::kBadDigit;
      v = v * 10 + (c - '0');
      if (v > 999) v = 999;
    }
    if (v > 255) return result::kIpTooLong;
    bytes[part] = static_cast<std::uint8_t>(v);
    start = end + 1;
  }
  std::memcpy(out, bytes, 4);
  return 0;
}

int decimalTextToNumber(std::string_view text, long& out) {
  if (text.empty() || text.size() > 18) return result::kBadDigit;
  long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return result::kBadDigit;
    v = v * 10 + (c - '0');
  }
  out = v;
  return 0;
}

}  // namespace snmpaccess
