// NetWare: the protocol settings, the attached file servers, the per-port settings and NDS.
#include "access/mib_groups.h"

namespace mib::groups {
namespace {

using enum Syntax;

constexpr VariableDef kNetWareVars[] = {
    var(0, 4085, ".6.3.2.1.0", Integer, "NetWare MIB level").excl(),
    var(1, 4086, ".6.3.2.2.0", Integer, "protocol enable").excl().en(kEnabledTwo),
    var(2, 4089, ".6.3.2.4.1.0", Integer, "frame type in use").rw().en(kFrameType),
    var(3, 4090, ".6.3.2.4.2.0", Integer, "frame type setting").rw().en(kFrameTypeSetting),
    var(4, 4091, ".6.3.2.4.3.0", Integer, "mode").rw().en(kNetWareMode),
    var(5, 4092, ".6.3.2.4.4.0", Text, "print server name").rw().len(47),
    var(6, 4094, ".6.3.2.4.6.0", Integer).rw(),
    var(7, 4095, ".6.3.2.4.7.0", Text).excl(),
    var(8, 4096, ".6.3.2.4.8.0", Integer, "number of file-server status entries").rw(),
    var(9, 4112, ".6.3.2.5.1.0", Text).excl(),
    var(10, 4102, ".6.3.2.4.10.1.5", Text).first().rw(),
    var(11, 4160, ".6.3.2.4.16.0", Integer).rw().level(2),
    var(12, 4161, ".6.3.2.4.17.0", Integer).rw().level(2),
    var(13, 4162, ".6.3.2.4.18.0", Integer).excl().level(2),
    var(14, 4164, ".6.3.2.4.19.0", Integer).excl().level(3),
    var(15, 4165, ".6.3.2.4.20.0", Integer).rw().level(3),
    var(16, 4171, ".6.3.2.6.0", Integer).excl().level(4),
    var(17, 4183, ".6.3.2.4.21.0", Integer).rw().level(5),
};
constexpr VariableDef kNetWareExtras[] = {
    var(0, 4093, ".6.3.2.4.5.0", Text, "NetWare password (write-only)").rw().len(9),
};
constexpr ChildDef kNetWareChildren[] = {
    {GroupId::FileServerStatusTable, CountFrom::Variable, 8, "one entry per attached file server"},
};

constexpr VariableDef kFileServerStatusVars[] = {
    var(0, 4097, ".6.3.2.4.9.1.2", Text, "file server name").row().excl(),
    var(1, 4098, ".6.3.2.4.9.1.3", Integer, "file server status").row().excl().en(kFileServerStatus),
};

constexpr VariableDef kNetWarePortVars[] = {
    var(0, 4085, ".6.3.2.1.0", Integer, "NetWare MIB level"),
    var(1, 4053, ".6.2.3.1.0", Integer, "output port count"),
};
constexpr ChildDef kNetWarePortChildren[] = {
    {GroupId::NetWarePortRow, CountFrom::Variable, 1, "one row per output port"},
};

constexpr VariableDef kNetWarePortRowVars[] = {
    var(0, 4099, ".6.3.2.4.10.1.2", Text).row().excl(),
    var(1, 4100, ".6.3.2.4.10.1.3", Integer).row().rw(),
    var(2, 4101, ".6.3.2.4.10.1.4", Integer).row().rw(),
    var(3, 4102, ".6.3.2.4.10.1.5", Text).row().rw(),
    var(4, 4103, ".6.3.2.4.10.1.6", Text).row().rw(),
    var(5, 4104, ".6.3.2.4.10.1.7", Integer).row().rw(),
    var(6, 4105, ".6.3.2.4.10.1.8", Integer).row().rw(),
    var(7, 4106, ".6.3.2.4.10.1.9", Integer).row().rw(),
};

constexpr VariableDef kNdsVars[] = {
    var(0, 4157, ".6.3.2.4.13.0", Bytes, "NDS print server object name (16-bit characters)").rw().excl(),
    var(1, 4158, ".6.3.2.4.14.0", Text, "NDS tree").rw(),
    var(2, 4159, ".6.3.2.4.15.0", Text, "NDS file server").rw(),
    var(3, 4012, ".1.5.0", Text, "serial number").excl(),
};

}  // namespace

constexpr GroupDef kNetWare{
    .id = GroupId::NetWare,
    .name = "CNetWareGroup",
    .kind = GroupKind::Container,
    .probeIndex = 0,
    .variables = kNetWareVars,
    .extras = kNetWareExtras,
    .children = kNetWareChildren,
    .backup = {"NetWare"},
    .users = "NetWare page, NetWare configuration",
    .notes = "level 2 adds 11-13, 3 adds 14-15, 4 adds 16, 5 and 0 add 17",
};

constexpr GroupDef kFileServerStatusTable{
    .id = GroupId::FileServerStatusTable,
    .name = "CFileServerStatusTable",
    .kind = GroupKind::Table,
    .variables = kFileServerStatusVars,
    .users = "CNetWareGroup",
    .notes = "an unlisted status reads \"Unknown Error (0x%x)\"",
};

constexpr GroupDef kNetWarePort{
    .id = GroupId::NetWarePort,
    .name = "CNetWarePortGroup",
    .kind = GroupKind::Container,
    .probeIndex = 0,
    .variables = kNetWarePortVars,
    .children = kNetWarePortChildren,
    .users = "NetWare configuration",
};

constexpr GroupDef kNetWarePortRow{
    .id = GroupId::NetWarePortRow,
    .name = "CNetWarePortRow",
    .kind = GroupKind::Row,
    .variables = kNetWarePortRowVars,
    .backup = {"NetWarePort%c", 0, true},
    .users = "NetWare configuration",
};

constexpr GroupDef kNds{
    .id = GroupId::Nds,
    .name = "CNdsGroup",
    .variables = kNdsVars,
    .backup = {"NDS"},
    .users = "NDS page",
    .notes = "saves and restores through its own slots: variable 0 is written as \"<4>\" with its 8-bit text",
};

}  // namespace mib::groups
