// EtherTalk: the protocol values and one row of AppleTalk names per output port.
#include "access/mib_groups.h"

namespace mib::groups {
namespace {

using enum Syntax;

constexpr VariableDef kEtherTalkVars[] = {
    var(0, 4138, ".6.3.5.1.0", Integer, "EtherTalk MIB level").excl(),
    var(1, 4139, ".6.3.5.2.0", Integer, "protocol enable").rw().excl().en(kEnabledTwo),
    var(2, 4141, ".6.3.5.4.1.0", Bytes).excl(),
    var(3, 4142, ".6.3.5.4.2.0", Bytes).excl(),
    var(4, 4143, ".6.3.5.4.3.0", Integer, "output port count").excl(),
    var(5, 4151, ".6.3.5.5.1.0", Text).excl(),
};
constexpr ChildDef kEtherTalkChildren[] = {
    {GroupId::EtherTalkPortRow, CountFrom::Variable, 4, "one row per output port"},
};

constexpr VariableDef kEtherTalkPortRowVars[] = {
    var(0, 4138, ".6.3.5.1.0", Integer, "EtherTalk MIB level").excl(),
    var(1, 4144, ".6.3.5.4.4.1.2", Integer, "port enabled").row().rw().en(kEnabledTwo),
    var(2, 4145, ".6.3.5.4.4.1.3", Text, "name").row().rw().len(32),
    var(3, 4146, ".6.3.5.4.4.1.4", Text).row().excl(),
    var(4, 4147, ".6.3.5.4.4.1.5", Text, "type 1").row().rw().len(32),
    var(5, 4148, ".6.3.5.4.4.1.6", Text, "type 2").row().rw().len(32),
    var(6, 4149, ".6.3.5.4.4.1.7", Text, "zone").row().rw().len(32),
    var(7, 4150, ".6.3.5.4.4.1.8", Text).row().excl(),
};

}  // namespace

constexpr GroupDef kEtherTalk{
    .id = GroupId::EtherTalk,
    .name = "CEtherTalkGroup",
    .kind = GroupKind::Container,
    .probeIndex = 0,
    .variables = kEtherTalkVars,
    .children = kEtherTalkChildren,
    .users = "EtherTalk page, wizard",
};

constexpr GroupDef kEtherTalkPortRow{
    .id = GroupId::EtherTalkPortRow,
    .name = "CEtherTalkPortRow",
    .kind = GroupKind::Row,
    .probeIndex = 0,
    .variables = kEtherTalkPortRowVars,
    .backup = {"EtherTalk"},
    .users = "EtherTalk page, wizard",
    .notes = "every port row is saved in the one section",
};

}  // namespace mib::groups
