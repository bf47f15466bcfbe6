// Print-server identity, server control, SNMP settings, statistics, Token Ring and the protocol
// lists.
#include "access/mib_groups.h"
#include "access/mib_strings.h"

namespace mib::groups {
namespace {

using enum Syntax;

constexpr VariableDef kServerInfoVars[] = {
    var(0, 4008, ".1.1.0", Integer, "MIB level of the print server"),
    var(1, 4010, ".1.3.0", Text, "Product Name"),
    var(2, 4011, ".1.4.0", Text, "Product Number"),
    var(3, 4012, ".1.5.0", Text, "Serial Number"),
    var(4, 4013, ".1.6.0", Bytes, "Hardware Address (colon hex)"),
    var(5, 4014, ".1.7.0", Integer, "Cable Type").en(kCableType),
    var(6, 4015, ".1.8.0", Text, "Date Code"),
    var(7, 4016, ".1.9.0", Text, "Firmware Version"),
    var(8, 4009, ".1.2.0", Integer, "MIB Version"),
    var(9, 4017, ".1.10.0", Integer),
    var(10, 4022, ".1.15.1.0", Integer, "number of installed protocols"),
    var(11, 4007, "1.3.6.1.2.1.2.2.1.5.1", Unsigned, "Network Speed (ifSpeed, bit/s)"),
};

constexpr VariableDef kTechSupportVars[] = {
    var(0, 4008, ".1.1.0", Integer, "MIB level"),
    var(1, 4018, ".1.11.0", Text),
    var(2, 4019, ".1.12.0", Text),
    var(3, 4020, ".1.13.0", Text),
    var(4, 4021, ".1.14.0", Text),
};

constexpr VariableDef kSystemVars[] = {
    var(0, 4000, "1.3.6.1.2.1.1.1.0", Text, "sysDescr").excl(),
    var(1, 4001, "1.3.6.1.2.1.1.2.0", ObjectId, "sysObjectID").excl(),
    var(2, 4002, "1.3.6.1.2.1.1.3.0", Unsigned, "sysUpTime (time ticks)").excl(),
    var(3, 4003, "1.3.6.1.2.1.1.4.0", Text, "sysContact").rw().len(127),
    var(4, 4004, "1.3.6.1.2.1.1.5.0", Text, "sysName").rw().len(127),
    var(5, 4005, "1.3.6.1.2.1.1.6.0", Text, "sysLocation").rw().len(127),
};

constexpr VariableDef kServerControlVars[] = {
    var(0, 4025, ".2.1.0", Integer, "MIB level"),
    var(1, 4026, ".2.2.0", Integer, "reset the print server (write 2)").rw(),
    var(2, 4027, ".2.3.0", Integer, "print a configuration sheet (write 2)").rw(),
    var(3, 4028, ".2.4.0", Integer, "restore all factory defaults (write 2)").rw(),
};

// Entry 0 is always the output ports; the others follow the installed protocols.
constexpr VariableDef kRestoreDefaultsVars[] = {
    var(0, 4052, ".6.2.2.1.0", Integer, "Output Ports: restore defaults (write 2)").rw(),
};
constexpr ProtocolOid kRestoreDefaultsProtocols[] = {
    {1, 4068, ".6.3.1.3.1.0"}, {2, 4087, ".6.3.2.3.1.0"}, {3, 4115, ".6.3.3.3.1.0"},
    {5, 4140, ".6.3.5.3.1.0"}, {7, 4414, ".8.3.19.0"},
};

constexpr VariableDef kSnmpConfigVars[] = {
    var(0, 4029, ".3.1.0", Integer, "MIB level").excl(),
    var(1, 4031, ".3.3.0", Text, "GET community").rw().len(31),
    var(2, 4033, ".3.5.0", Text, "trap community").rw().len(31),
};
constexpr VariableDef kSnmpConfigExtras[] = {
    var(0, 4032, ".3.4.0", Text, "SET community (write-only)").rw().len(31),
};

constexpr VariableDef kStatisticsVars[] = {
    var(0, 4008, ".1.1.0", Integer, "MIB level"),
    var(1, 4035, ".4.2.0", Integer),
    var(2, 4036, ".4.3.0", Integer),
    var(3, 4037, ".4.4.0", Integer),
    var(4, 4038, ".4.5.0", Integer),
    var(5, 4039, ".4.6.0", Integer),
    var(6, 4040, ".4.7.0", Integer),
    var(7, 4041, ".4.8.0", Integer),
};

constexpr VariableDef kTokenRingVars[] = {
    var(0, 4042, ".5.1.0", Integer, "MIB level").excl(),
    var(1, 4043, ".5.2.1.0", Integer, "enable").rw().excl(),
    var(2, 4044, ".5.3.1.0", Integer, "priority").rw(),
    var(3, 4045, ".5.3.2.0", Integer, "early token release").rw(),
    var(4, 4046, ".5.3.3.0", Integer, "packet size").rw(),
    var(5, 4047, ".5.3.4.0", Integer, "routing").rw(),
    var(6, 4007, "1.3.6.1.2.1.2.2.1.5.1", Unsigned, "ring speed (ifSpeed, bit/s)").excl(),
    var(7, 4048, ".5.3.5.0", Bytes, "locally administered address").rw().len(6),
};

constexpr VariableDef kProtocolListVars[] = {
    var(0, 4008, ".1.1.0", Integer, "MIB level").excl(),
    var(1, 4022, ".1.15.1.0", Integer, "protocol count").excl(),
    var(2, 4050, ".6.1.2.0", Integer, "HP JetAdmin").rw().en(kEnabledTwo),
};
constexpr ChildDef kProtocolListChildren[] = {
    {GroupId::ProtocolListTable, CountFrom::Variable, 1, "one entry per installed protocol"},
};

constexpr VariableDef kProtocolListTableVars[] = {
    var(0, 4023, ".1.15.2.1.2", Integer, "protocol id").row().excl().en(kProtocolId),
    var(1, 4024, ".1.15.2.1.3", Text, "protocol name").row().excl(),
};

constexpr ProtocolOid kProtocolEnableProtocols[] = {
    {1, 4067, ".6.3.1.2.0"}, {2, 4086, ".6.3.2.2.0"}, {3, 4114, ".6.3.3.2.0"},
    {4, 4137, ".6.3.4.2.0"}, {5, 4139, ".6.3.5.2.0"}, {7, 4413, ".8.3.18.0"},
};

constexpr VariableDef kGenericProtocolVars[] = {
    var(0, 4136, ".6.3.4.1.0", Integer, "MIB level"),
    var(1, 4137, ".6.3.4.2.0", Integer, "protocol enable").rw().en(kEnabledTwo),
};

}  // namespace

constexpr GroupDef kServerInfo{
    .id = GroupId::ServerInfo,
    .name = "CServerInfoGroup",
    .probeIndex = 0,
    .variables = kServerInfoVars,
    .users = "Server page, configuration sheet, wizard, multi-unit",
    .notes = "MIB Version is shown with \"%li\"; Network Speed as value / 1000000 with \"%li Mb\"",
};

constexpr GroupDef kTechSupport{
    .id = GroupId::TechSupport,
    .name = "CTechSupportGroup",
    .probeIndex = 0,
    .variables = kTechSupportVars,
    .users = "Tech Support page",
};

constexpr GroupDef kSystem{
    .id = GroupId::System,
    .name = "CSystemGroup",
    .variables = kSystemVars,
    .backup = {"SNMP"},
    .users = "SNMP page, System page",
    .notes = "sysUpTime is shown as \"%li days %li hours %li mins %li.%li secs\"",
};

constexpr GroupDef kServerControl{
    .id = GroupId::ServerControl,
    .name = "CServerControlGroup",
    .probeIndex = 0,
    .variables = kServerControlVars,
    .users = "Reset Server dialog, print configuration sheet, multi-unit, wizard",
    .notes = "each action is one set-integer of 2 followed by write changed",
};

constexpr GroupDef kRestoreDefaults{
    .id = GroupId::RestoreDefaults,
    .name = "CRestoreDefaultsGroup",
    .kind = GroupKind::Protocols,
    .variables = kRestoreDefaultsVars,
    .protocols = kRestoreDefaultsProtocols,
    .users = "Reset Server dialog",
    .notes = "entry 0 is named by string 4278; protocol entries by the protocol's name from the device; "
             "other protocol ids get no entry; an entry index outside 0..count-1 gives 3332",
};

constexpr GroupDef kSnmpConfig{
    .id = GroupId::SnmpConfig,
    .name = "CSnmpConfigGroup",
    .probeIndex = 0,
    .variables = kSnmpConfigVars,
    .extras = kSnmpConfigExtras,
    .backup = {"SNMP"},
    .users = "SNMP page",
    .notes = "the SET community binding is sent and saved only after it was given a value",
};

constexpr GroupDef kStatistics{
    .id = GroupId::Statistics,
    .name = "CStatisticsGroup",
    .probeIndex = 0,
    .variables = kStatisticsVars,
    .users = "Statistics page",
    .notes = "each counter is shown with \"%li\"",
};

constexpr GroupDef kTokenRing{
    .id = GroupId::TokenRing,
    .name = "CTokenRingGroup",
    .probeIndex = 0,
    .variables = kTokenRingVars,
    .backup = {"TokenRing"},
    .users = "Token Ring page",
};

constexpr GroupDef kProtocolList{
    .id = GroupId::ProtocolList,
    .name = "CProtocolListGroup",
    .kind = GroupKind::Container,
    .probeIndex = 0,
    .variables = kProtocolListVars,
    .children = kProtocolListChildren,
    .users = "almost every command: which protocols the print server has",
};

constexpr GroupDef kProtocolListTable{
    .id = GroupId::ProtocolListTable,
    .name = "CProtocolListTable",
    .kind = GroupKind::Table,
    .variables = kProtocolListTableVars,
    .users = "CProtocolListGroup",
};

constexpr GroupDef kProtocolEnable{
    .id = GroupId::ProtocolEnable,
    .name = "CProtocolEnableGroup",
    .kind = GroupKind::Protocols,
    .protocols = kProtocolEnableProtocols,
    .protocolFallback = ".6.3.%d.2.0",
    .backup = {"Protocols"},
    .users = "Protocols page",
    .notes = "one integer per installed protocol in list order (2 enabled, 1 disabled); "
             "keeps the protocol ids and names beside the variables",
};

constexpr GroupDef kGenericProtocol{
    .id = GroupId::GenericProtocol,
    .name = "CGenericProtocolGroup",
    .probeIndex = 0,
    .variables = kGenericProtocolVars,
    .users = "Network page, protocol id 4",
};

}  // namespace mib::groups
