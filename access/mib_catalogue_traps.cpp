// Trap destinations in their two generations (TCP/IP, e-mail, IPX) and the trap event names.
// In a first-generation TCP/IP or e-mail row column .4 is the printer-event mask and .5 the
// output-port mask; the second generation keeps the GPIO mask in .3 and one event mask per port
// (.4, then .6, .7, ...).
#include "access/mib_groups.h"
#include "access/mib_strings.h"

namespace mib::groups {
namespace {

using enum Syntax;

constexpr std::string_view kE4PortEvents = "1.3.6.1.4.1.1240.2.3.4.3.2.1.12";

// Supported-event masks per output port, appended once the port count is known. Only a print
// server whose level has the GPIO variables (4 and above) has them.
constexpr VariableDef kPortEventsTemplate =
    var(0, 4458, kE4PortEvents, Integer, "supported events of output port k").row().excl();

constexpr VariableDef kIpTrapVars[] = {
    var(0, 4066, ".6.3.1.1.0", Integer, "TCP/IP MIB level").excl(),
    var(1, 4078, ".6.3.1.4.9.0", Integer, "destination count").excl(),
    var(2, 4053, ".6.2.3.1.0", Integer, "output port count").excl(),
    var(3, 4177, ".6.2.5.0", Integer, "supported-traps mask").excl().level(4),
};
constexpr ChildDef kIpTrapChildren[] = {
    {GroupId::IpTrapRow, CountFrom::Variable, 1, "one row per destination slot"},
};

constexpr VariableDef kIpTrapRowVars[] = {
    var(0, 4079, ".6.3.1.4.10.1.2", IpAddress, "destination address").row().rw(),
    var(1, 4080, ".6.3.1.4.10.1.3", Integer).row().rw(),
    var(2, 4081, ".6.3.1.4.10.1.4", Integer, "printer-event mask").row().rw(),
    var(3, 4082, ".6.3.1.4.10.1.5", Integer, "output-port mask").row().rw(),
};

constexpr VariableDef kIpTrap2Vars[] = {
    var(0, 4066, ".6.3.1.1.0", Integer, "TCP/IP MIB level").excl(),
    var(1, 4078, ".6.3.1.4.9.0", Integer, "destination count").excl(),
    var(2, 4053, ".6.2.3.1.0", Integer, "output port count").excl(),
    var(3, 4454, "1.3.6.1.4.1.1240.2.3.4.9.4.0", Integer, "supported GPIO mask").excl().level(4),
    var(4, 4455, "1.3.6.1.4.1.1240.2.3.4.9.1.0", Integer, "GPIO groups mask").excl().level(4),
};
constexpr Extension kIpTrap2Extensions[] = {
    {.kind = ExtensionKind::PerCount, .countIndex = 2, .minLevel = 4, .levelGate = 4,
     .variable = kPortEventsTemplate, .meaning = "variable k + 4 for output port k = 1..P"},
};
constexpr ChildDef kIpTrap2Children[] = {
    {GroupId::IpTrapRow2, CountFrom::Variable, 1, "one row per destination slot, with P ports (variable 2)"},
};

constexpr VariableDef kIpTrapRow2Vars[] = {
    var(0, 4079, ".6.3.1.4.10.1.2", IpAddress, "destination address").row().rw(),
    var(1, 4080, ".6.3.1.4.10.1.3", Integer, "GPIO event mask").row().rw(),
};
constexpr Extension kIpTrapRow2Extensions[] = {
    {.kind = ExtensionKind::PortColumns, .variable = var(0, 4459, ".6.3.1.4.10.1", Integer, "event mask of port p").rw(),
     .firstColumn = 4, .meaning = "one per output port p = 1..P: column 4, 6, 7, 8, ..."},
};

constexpr VariableDef kEmailTrapVars[] = {
    var(0, 4066, ".6.3.1.1.0", Integer, "TCP/IP MIB level").excl(),
    var(1, 4185, ".6.3.1.4.24.0", Integer, "destination count").excl(),
    var(2, 4053, ".6.2.3.1.0", Integer, "output port count").excl(),
    var(3, 4177, ".6.2.5.0", Integer, "supported-traps mask"),
    var(4, 4184, ".6.3.1.4.23.0", IpAddress, "SMTP server").rw(),
};
constexpr ChildDef kEmailTrapChildren[] = {
    {GroupId::EmailTrapRow, CountFrom::Variable, 1, "one row per destination slot"},
};

constexpr VariableDef kEmailTrapRowVars[] = {
    var(0, 4186, ".6.3.1.4.25.1.2", Text, "e-mail address").row().rw().len(64),
    var(1, 4187, ".6.3.1.4.25.1.3", Integer).row().rw(),
    var(2, 4188, ".6.3.1.4.25.1.4", Integer, "printer-event mask").row().rw(),
    var(3, 4189, ".6.3.1.4.25.1.5", Integer, "output-port mask").row().rw(),
};

constexpr VariableDef kEmailTrap2Vars[] = {
    var(0, 4066, ".6.3.1.1.0", Integer, "TCP/IP MIB level").excl(),
    var(1, 4185, ".6.3.1.4.24.0", Integer, "destination count").excl(),
    var(2, 4053, ".6.2.3.1.0", Integer, "output port count").excl(),
    var(3, 4184, ".6.3.1.4.23.0", IpAddress, "SMTP server").rw(),
    var(4, 4454, "1.3.6.1.4.1.1240.2.3.4.9.4.0", Integer, "supported GPIO mask").excl().level(4),
    var(5, 4455, "1.3.6.1.4.1.1240.2.3.4.9.1.0", Integer, "GPIO groups mask").excl().level(4),
};
constexpr ChildDef kEmailTrap2Children[] = {
    {GroupId::EmailTrapRow2, CountFrom::Variable, 1, "one row per destination slot, with P ports (variable 2)"},
};

constexpr VariableDef kEmailTrapRow2Vars[] = {
    var(0, 4186, ".6.3.1.4.25.1.2", Text, "e-mail address").row().rw().len(64),
    var(1, 4187, ".6.3.1.4.25.1.3", Integer, "GPIO event mask").row().rw(),
};
constexpr Extension kEmailTrapRow2Extensions[] = {
    {.kind = ExtensionKind::PortColumns, .variable = var(0, 4460, ".6.3.1.4.25.1", Integer, "event mask of port p").rw(),
     .firstColumn = 4, .meaning = "one per output port p = 1..P: column 4, 6, 7, 8, ..."},
};

// The one IPX destination is entry 1 of its table: network .2, node .3, event mask .5, port mask .6.
constexpr VariableDef kIpxTrapVars[] = {
    var(0, 4085, ".6.3.2.1.0", Integer, "NetWare MIB level").excl(),
    var(1, 4107, ".6.3.2.4.12.1.2.1", Bytes, "destination network (hex)").rw().len(4),
    var(2, 4108, ".6.3.2.4.12.1.3.1", Bytes, "destination node (hex)").rw().len(6),
    var(3, 4109, ".6.3.2.4.12.1.4.1", Integer).rw(),
    var(4, 4110, ".6.3.2.4.12.1.5.1", Integer, "printer-event mask").rw(),
    var(5, 4111, ".6.3.2.4.12.1.6.1", Integer, "output-port mask").rw(),
    var(6, 4053, ".6.2.3.1.0", Integer, "output port count").excl(),
    var(7, 4177, ".6.2.5.0", Integer, "supported-traps mask").excl().level(4),
};

constexpr VariableDef kIpxTrap2Vars[] = {
    var(0, 4085, ".6.3.2.1.0", Integer, "NetWare MIB level").excl(),
    var(1, 4107, ".6.3.2.4.12.1.2.1", Bytes, "destination network (hex)").rw().len(4),
    var(2, 4108, ".6.3.2.4.12.1.3.1", Bytes, "destination node (hex)").rw().len(6),
    var(3, 4109, ".6.3.2.4.12.1.4.1", Integer, "GPIO event mask").rw(),
    var(4, 4110, ".6.3.2.4.12.1.5.1", Integer, "event mask of port 1").rw(),
    var(5, 4111, ".6.3.2.4.12.1.6.1", Integer).rw(),
    var(6, 4053, ".6.2.3.1.0", Integer, "output port count").excl(),
    var(7, 4177, ".6.2.5.0", Integer, "supported-traps mask").excl().level(4),
    var(8, 4454, "1.3.6.1.4.1.1240.2.3.4.9.4.0", Integer, "supported GPIO mask").excl().level(4),
    var(9, 4455, "1.3.6.1.4.1.1240.2.3.4.9.1.0", Integer, "GPIO groups mask").excl().level(4),
};
// Same layout as a TCP/IP row shifted by one column: port 1 is column .5 (variable 4), column .6
// is the older port mask, ports 2.. follow in .7, .8, ...
constexpr Extension kIpxTrap2Extensions[] = {
    {.kind = ExtensionKind::PerCount, .countIndex = 6, .minLevel = 4, .levelGate = 9,
     .variable = kPortEventsTemplate, .meaning = "supported events of output port k = 1..P"},
    {.kind = ExtensionKind::PortColumns, .countIndex = 6, .minLevel = 4, .levelGate = 9,
     .variable = var(0, 4461, ".6.3.2.4.12.1", Integer, "event mask of port p").rw(), .firstColumn = 5,
     .firstPort = 2, .fixedEntry = 1, .meaning = "event masks of output ports p = 2..P: columns 7, 8, ..."},
};

constexpr Extension kTrapEventExtensions[] = {
    {.kind = ExtensionKind::EventNames,
     .variable = var(0, 4456, "1.3.6.1.4.1.1240.2.3.4.9.5.1.2", Text, "GPIO event name k = 1..2G").row().excl(),
     .second = var(0, 4457, "1.3.6.1.4.1.1240.2.3.4.3.2.1", Text, "event name c - 13 of port p, c = 13..28").excl(),
     .meaning = "2G GPIO event names, then sixteen event names per output port p = 1..P"},
};

}  // namespace

constexpr GroupDef kIpTrap{
    .id = GroupId::IpTrap,
    .name = "CIpTrapGroup",
    .kind = GroupKind::Container,
    .probeIndex = 0,
    .variables = kIpTrapVars,
    .children = kIpTrapChildren,
    .users = "SNMP Traps page (dialog 3028)",
};

constexpr GroupDef kIpTrapRow{
    .id = GroupId::IpTrapRow,
    .name = "CIpTrapRow",
    .kind = GroupKind::Row,
    .variables = kIpTrapRowVars,
    .backup = {"TCP/IPTrapDest%c", kStringTcpIpSection, true},
    .users = "SNMP Traps page (dialog 3028)",
};

constexpr GroupDef kIpTrap2{
    .id = GroupId::IpTrap2,
    .name = "CIpTrapGroup2",
    .kind = GroupKind::Container,
    .probeIndex = 0,
    .variables = kIpTrap2Vars,
    .extensions = kIpTrap2Extensions,
    .children = kIpTrap2Children,
    .users = "SNMP Traps page (dialog 5401)",
    .notes = "the GPIO group count is the number of set bits among the low 16 bits of variable 4",
};

constexpr GroupDef kIpTrapRow2{
    .id = GroupId::IpTrapRow2,
    .name = "CIpTrapRow2",
    .kind = GroupKind::Row,
    .variables = kIpTrapRow2Vars,
    .extensions = kIpTrapRow2Extensions,
    .backup = {"TCP/IPTrapDest%c", kStringTcpIpSection, true},
    .users = "SNMP Traps page (dialog 5401)",
};

constexpr GroupDef kEmailTrap{
    .id = GroupId::EmailTrap,
    .name = "CEmailTrapGroup",
    .kind = GroupKind::Container,
    .probeIndex = 0,
    .variables = kEmailTrapVars,
    .children = kEmailTrapChildren,
    .users = "SNMP Traps page (dialog 3028)",
};

constexpr GroupDef kEmailTrapRow{
    .id = GroupId::EmailTrapRow,
    .name = "CEmailTrapRow",
    .kind = GroupKind::Row,
    .variables = kEmailTrapRowVars,
    .backup = {"SMTPTrapDest%c", kStringSmtpSection, true},
    .users = "SNMP Traps page (dialog 3028)",
};

constexpr GroupDef kEmailTrap2{
    .id = GroupId::EmailTrap2,
    .name = "CEmailTrapGroup2",
    .kind = GroupKind::Container,
    .probeIndex = 0,
    .variables = kEmailTrap2Vars,
    .children = kEmailTrap2Children,
    .users = "SNMP Traps page (dialog 5401)",
};

constexpr GroupDef kEmailTrapRow2{
    .id = GroupId::EmailTrapRow2,
    .name = "CEmailTrapRow2",
    .kind = GroupKind::Row,
    .variables = kEmailTrapRow2Vars,
    .extensions = kEmailTrapRow2Extensions,
    .backup = {"SMTPTrapDest%c", kStringSmtpSection, true},
    .users = "SNMP Traps page (dialog 5401)",
};

constexpr GroupDef kIpxTrap{
    .id = GroupId::IpxTrap,
    .name = "CIpxTrapGroup",
    .probeIndex = 0,
    .variables = kIpxTrapVars,
    .backup = {"NetWareTrapDest1"},
    .users = "SNMP Traps page (dialog 3028)",
    .notes = "network and node are shown as hexadecimal",
};

constexpr GroupDef kIpxTrap2{
    .id = GroupId::IpxTrap2,
    .name = "CIpxTrapGroup2",
    .probeIndex = 0,
    .variables = kIpxTrap2Vars,
    .extensions = kIpxTrap2Extensions,
    .backup = {"NetWareTrapDest1"},
    .users = "SNMP Traps page (dialog 5401)",
    .notes = "network and node are shown as hexadecimal",
};

constexpr GroupDef kTrapEvent{
    .id = GroupId::TrapEvent,
    .name = "CTrapEventGroup",
    .variables = {},
    .extensions = kTrapEventExtensions,
    .users = "SNMP Traps page (dialog 5401)",
    .notes = "built for G GPIO groups and P output ports: GPIO event b is named by entry b + 1, event b "
             "of output port p by E4.3.2.1.(13 + b).p",
};

}  // namespace mib::groups
