// VINES: the StreetTalk settings, the print-service name table and the per-port values.
#include "access/mib_groups.h"

namespace mib::groups {
namespace {

using enum Syntax;

constexpr VariableDef kVinesVars[] = {
    var(0, 4113, ".6.3.3.1.0", Integer, "VINES MIB level").excl(),
    var(1, 4114, ".6.3.3.2.0", Integer, "protocol enable").excl().en(kEnabledTwo),
    var(2, 4119, ".6.3.3.4.1.0", Text, "StreetTalk user name").rw(),
    var(3, 4121, ".6.3.3.4.3.0", Integer).excl(),
    var(4, 4124, ".6.3.3.5.1.0", Text).excl(),
    var(5, 4125, ".6.3.3.5.2.0", Integer).rw(),
    var(6, 4117, ".6.3.3.3.3.0", Integer).rw().excl(),
    var(7, 4053, ".6.2.3.1.0", Integer, "output port count").excl(),
};
constexpr VariableDef kVinesExtras[] = {
    var(0, 4120, ".6.3.3.4.2.0", Integer, "number of print-service names"),
};
constexpr ChildDef kVinesChildren[] = {
    {GroupId::VinesNameTable, CountFrom::Extra, 0, "print-service names (at most 6 are shown)"},
    {GroupId::VinesPortRow, CountFrom::Variable, 7, "one row per output port"},
};

constexpr VariableDef kVinesNameTableVars[] = {
    var(0, 4122, ".6.3.3.4.4.1.2", Text, "print service name").row().rw(),
    var(1, 4123, ".6.3.3.4.4.1.3", Integer, "port number (1-based)").row().rw(),
};

constexpr VariableDef kVinesPortRowVars[] = {
    var(0, 4127, ".6.3.3.5.4.1.2", Text).row().rw(),
    var(1, 4128, ".6.3.3.5.4.1.3", Text).row().rw(),
    var(2, 4129, ".6.3.3.5.4.1.4", Integer).row().rw(),
    var(3, 4130, ".6.3.3.5.4.1.5", Text).row().rw(),
    var(4, 4131, ".6.3.3.5.4.1.6", Integer).row().rw(),
    var(5, 4132, ".6.3.3.5.4.1.7", Text).row().rw(),
    var(6, 4133, ".6.3.3.5.4.1.8", Text).row().rw(),
    var(7, 4134, ".6.3.3.5.4.1.9", Text).row().rw(),
    var(8, 4135, ".6.3.3.5.4.1.10", Text).row().rw(),
};

}  // namespace

constexpr GroupDef kVines{
    .id = GroupId::Vines,
    .name = "CVinesGroup",
    .kind = GroupKind::Container,
    .probeIndex = 0,
    .variables = kVinesVars,
    .extras = kVinesExtras,
    .children = kVinesChildren,
    .backup = {"VINES"},
    .users = "VINES page, wizard",
    .notes = "seven virtual slots: the six of every group plus one of its own",
};

constexpr GroupDef kVinesNameTable{
    .id = GroupId::VinesNameTable,
    .name = "CVinesNameTable",
    .kind = GroupKind::Table,
    .variables = kVinesNameTableVars,
    .backup = {"VINES"},
    .users = "CVinesGroup",
};

constexpr GroupDef kVinesPortRow{
    .id = GroupId::VinesPortRow,
    .name = "CVinesPortRow",
    .kind = GroupKind::Row,
    .variables = kVinesPortRowVars,
    .backup = {"VINES"},
    .users = "CVinesGroup",
};

}  // namespace mib::groups
