// Output ports: the port container, one row per port, and the printer status behind each port.
#include "access/mib_groups.h"

namespace mib::groups {
namespace {

using enum Syntax;

constexpr VariableDef kOutputPortVars[] = {
    var(0, 4051, ".6.2.1.0", Integer, "MIB level"),
    var(1, 4053, ".6.2.3.1.0", Integer, "port count"),
    var(2, 4176, ".6.2.4.0", Integer, "capability word C").level(5),
};
constexpr ChildDef kOutputPortChildren[] = {
    {GroupId::OutputPortRow, CountFrom::Variable, 1, "one row per output port"},
};

// Row columns are E.6.2.3.2.1.c.n for port n.
constexpr VariableDef kOutputPortRowVars[] = {
    var(0, 4051, ".6.2.1.0", Integer, "MIB level").excl(),
    var(1, 4054, ".6.2.3.2.1.2", Text, "port name").row().rw().len(15),
    var(2, 4055, ".6.2.3.2.1.3", Text).row().excl(),
    var(3, 4056, ".6.2.3.2.1.4", Integer, "on-line state").row().excl().en(kPortOnline),
    var(4, 4057, ".6.2.3.2.1.5", Integer, "printer status").row().excl().en(kPortPrinterStatus),
    var(5, 4065, ".6.2.3.2.1.13", Integer, "port owner").row().excl().en(kPortOwner),
    var(6, 4058, ".6.2.3.2.1.6", Integer, "printer type").row().rw().excl().en(kPrinterType),
    var(7, 4059, ".6.2.3.2.1.7", Integer, "language switching mode").row().rw().en(kLanguageMode),
    var(8, 4060, ".6.2.3.2.1.8", Integer, "configuration page language").row().rw().en(kConfigPageLanguage),
    var(9, 4061, ".6.2.3.2.1.9", Bytes, "PCL switch sequence / pre-job string").row().rw().len(127),
    var(10, 4062, ".6.2.3.2.1.10", Bytes, "PostScript switch sequence / post-job string").row().rw().len(127),
    var(11, 4063, ".6.2.3.2.1.11", Integer).row().excl(),
    var(12, 4064, ".6.2.3.2.1.12", Integer, "output type or speed").row().rw().en(kOutputType),
    var(13, 4154, ".6.2.3.2.1.14", Integer, "PJL status support").row().rw().level(2).en(kEnabledTwo),
    var(14, 4155, ".6.2.3.2.1.15", Integer).row().excl().level(2),
    var(15, 4156, ".6.2.3.2.1.16", Integer).row().rw().excl().level(2),
    var(16, 4163, ".6.2.3.2.1.17", Integer, "port feature flags F").row().excl().level(3),
    var(17, 4178, ".6.2.3.2.1.18", Integer, "flow control").row().rw().level(6),
    var(18, 4179, ".6.2.3.2.1.19", Integer, "data bits").row().rw().level(6),
    var(19, 4180, ".6.2.3.2.1.20", Integer, "stop bits").row().rw().level(6),
    var(20, 4181, ".6.2.3.2.1.21", Integer, "parity").row().rw().level(6),
    var(21, 4182, ".6.2.3.2.1.22", Integer, "speed").row().rw().level(6),
    var(22, 4422, ".6.2.3.2.1.24", Integer, "serial mode").row().rw().level(8),
    var(23, 4423, ".6.2.3.2.1.25", Integer, "Modbus enable").row().rw().level(8),
    var(24, 4424, ".6.2.3.2.1.26", Integer, "attached serial device type").row().rw().level(8),
    var(25, 4425, ".6.2.3.2.1.27", Integer, "slave ID").row().rw().level(8),
    var(26, 4426, ".6.2.3.2.1.28", Integer, "initial delay time").row().rw().level(8),
    var(27, 4427, ".6.2.3.2.1.29", Integer, "character timeout").row().rw().level(8),
    var(28, 4428, ".6.2.3.2.1.30", Integer, "message timeout").row().rw().level(8),
    var(29, 4429, ".6.2.3.2.1.31", Integer, "Modbus/TCP exception").row().rw().level(8),
};
constexpr ChildDef kOutputPortRowChildren[] = {
    {GroupId::PrinterStatus, CountFrom::One, -1, "the printer on this port, read after the row"},
};

// The Printer-MIB entry is n.1 for the printer of port n, so that each port shows its own
// printer; port 1 reads entry 1.1 as the string table has it.
constexpr VariableDef kPrinterStatusVars[] = {
    var(0, 4463, "1.3.6.1.2.1.43.13.4.1.11", Integer, "prtMediaPathStatus").deviceRow().excl(),
    var(1, 4464, "1.3.6.1.2.1.43.16.5.1.2", Text, "prtConsoleDisplayBufferText").deviceRow(),
};

}  // namespace

constexpr GroupDef kOutputPort{
    .id = GroupId::OutputPort,
    .name = "COutputPortGroup",
    .kind = GroupKind::Container,
    .probeIndex = 0,
    .variables = kOutputPortVars,
    .children = kOutputPortChildren,
    .users = "Output Port page, Printer page, serial settings",
};

constexpr GroupDef kOutputPortRow{
    .id = GroupId::OutputPortRow,
    .name = "COutputPortRow",
    .kind = GroupKind::Row,
    .probeIndex = 0,
    .variables = kOutputPortRowVars,
    .children = kOutputPortRowChildren,
    .backup = {"Port%c", 0, true},
    .users = "Output Port page",
    .notes = "level 2 adds 13-15, levels 3 and above 16, 6 and above 17-21, 8 and above 22-29",
};

constexpr GroupDef kPrinterStatus{
    .id = GroupId::PrinterStatus,
    .name = "CPrinterStatusGroup",
    .kind = GroupKind::Row,
    .variables = kPrinterStatusVars,
    .users = "COutputPortRow, Printer page",
    .notes = "variable 1 is read as plain text; printer-state text: 0, 2, 4, 6 \"On-line\", else bit 0x20 "
             "\"Off-line\", else bit 0x40 \"Transitioning\", else \"Printer Error\"; 3332 when not read",
};

}  // namespace mib::groups
