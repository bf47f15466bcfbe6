// TCP/IP settings. The level variable is number 5, not 0: the group probes it before reading.
#include "access/mib_groups.h"
#include "access/mib_strings.h"

namespace mib::groups {
namespace {

using enum Syntax;

constexpr VariableDef kTcpIpVars[] = {
    var(0, 4070, ".6.3.1.4.1.0", IpAddress, "IP address").rw(),
    var(1, 4073, ".6.3.1.4.4.0", Integer, "address resolution").rw().en(kAddressResolution),
    var(2, 4072, ".6.3.1.4.3.0", IpAddress, "subnet mask").rw(),
    var(3, 4071, ".6.3.1.4.2.0", IpAddress, "default gateway").rw(),
    var(4, 4077, ".6.3.1.4.8.0", Integer, "TCP connection time-out (2 reset after time-out, 1 disabled)").rw(),
    var(5, 4066, ".6.3.1.1.0", Integer, "TCP/IP MIB level").excl(),
    var(6, 4067, ".6.3.1.2.0", Integer, "protocol enable").excl().en(kEnabledTwo),
    var(7, 4084, ".6.3.1.5.1.0", Text).excl(),
    var(8, 4074, ".6.3.1.4.5.0", Integer, "resolution methods bit mask").rw(),
    var(9, 4075, ".6.3.1.4.6.0", Integer, "address method in use").excl().en(kAddressMethod),
    var(10, 4076, ".6.3.1.4.7.0", Integer).excl(),
    var(11, 4167, ".6.3.1.4.14.0", Text, "telnet/HTTP password (write-only)").rw().level(3).len(24),
    var(12, 4166, ".6.3.1.4.12.0", IpAddress, "WINS server address").rw().level(3),
    var(13, 4169, ".6.3.1.4.13.0", Integer, "locate the WINS server by DHCP (1 yes, 2 no)").rw().level(3),
    var(14, 4168, ".6.3.1.4.15.0", Integer, "TCP connection time-out in seconds").rw().level(3),
    var(15, 4170, ".6.3.1.4.16.0", Integer, "unsolicited ARP interval in minutes").rw().level(3),
    var(16, 4175, ".6.3.1.6.0", Integer, "capability flags").excl().level(4),
    var(17, 4172, ".6.3.1.4.17.0", Integer, "first raw printing port").rw().level(5),
    var(18, 4173, ".6.3.1.4.18.0", Integer).rw().level(5),
    var(19, 4415, ".6.3.1.4.41.0", Integer, "DNS").rw().level(7).en(kEnabledTwo),
    var(20, 4416, ".6.3.1.4.42.0", IpAddress, "primary DNS server").rw().level(7),
    var(21, 4417, ".6.3.1.4.43.0", IpAddress, "secondary DNS server").rw().level(7),
    var(22, 4418, ".6.3.1.4.39.0", Text, "domain name").rw().level(7),
    var(23, 4419, ".6.3.1.4.44.0", Integer, "SLP").rw().level(8).en(kEnabledTwo),
    var(24, 4420, ".6.3.1.4.45.0", Text, "SLP scope list").rw().level(8),
};

}  // namespace

constexpr GroupDef kTcpIp{
    .id = GroupId::TcpIp,
    .name = "CTcpIpGroup",
    .probeIndex = 5,
    .variables = kTcpIpVars,
    .backup = {"TCP/IP", kStringTcpIpSection},
    .users = "TCP/IP page, wizard, Network page",
    .notes = "level 3 adds 11-15, 4 adds 16, 5 adds 17-18, 7 adds 19-22, 8 and 0 add 23-24",
};

}  // namespace mib::groups
