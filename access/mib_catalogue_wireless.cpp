// Wireless: radio and security settings, the per-type encryption lists, WEP keys and the
// regulatory countries the print server offers.
#include "access/mib_groups.h"

namespace mib::groups {
namespace {

using enum Syntax;

constexpr VariableDef kWirelessVars[] = {
    var(0, 4368, ".8.2.0", Integer, "wireless MIB level").excl(),
    var(1, 4369, ".8.3.1.0", Integer, "Wireless Mode").rw().en(kWirelessMode),
    var(2, 4370, ".8.3.2.0", Integer, "RF Channel").rw(),
    var(3, 4371, ".8.3.3.0", Integer, "Data Rate (index)").rw(),
    var(4, 4372, ".8.3.4.0", Text, "SSID").rw().len(32),
    var(5, 4373, ".8.3.5.0", Integer, "Encryption Mode").rw().en(kEncryptionMode),
    var(6, 4374, ".8.3.6.0", Integer, "Key Selection (0-3)").rw(),
    var(7, 4377, ".8.3.8.0", Integer, "channels offered below level 3 (bit mask)").rw(),
    var(8, 4378, ".8.3.9.0", Integer).rw(),
    var(9, 4379, ".8.3.10.0", Text).rw(),
    var(10, 4380, ".8.3.11.0", Integer).rw(),
    var(11, 4381, ".8.3.12.0", Integer).rw(),
    var(12, 4382, ".8.3.13.0", Integer).rw(),
    var(13, 4383, ".8.3.14.0", Integer).rw(),
    var(14, 4410, ".8.3.15.0", Text).rw(),
    var(15, 4411, ".8.3.16.0", Text).rw(),
    var(16, 4412, ".8.3.17.0", Text).rw(),
    var(17, 4413, ".8.3.18.0", Integer, "protocol enable").rw().en(kEnabledTwo),
    var(18, 4430, ".8.3.21.0", Integer, "Radio").rw().level(3).en(kRadio),
    var(19, 4431, ".8.3.23.0", Integer, "Access Point Density").rw().level(3).en(kAccessPointDensity),
    var(20, 4432, ".8.3.20.0", Integer, "radio choices (bit mask)").excl().level(3),
    var(21, 4433, ".8.3.22.0", Integer, "data rates offered (bit mask)").excl().level(3),
    var(22, 4434, ".8.3.24.0", Integer, "802.11 D (0: no such setting)").rw().level(3).en(kStrictness),
    var(23, 4440, ".8.3.32.0", Text, "Certificate Common Name 1").rw().level(3).len(32),
    var(24, 4441, ".8.3.39.0", Text, "Certificate Common Name 2").rw().level(3).len(32),
    var(25, 4442, ".8.3.33.0", Text, "Certificate Root Key").rw().level(3).len(32),
    var(26, 4445, ".8.3.36.0", Text, "WPA-PSK").rw().level(3).len(32),
    var(27, 4438, ".8.3.30.0", Text, "User ID").rw().level(3).len(32),
    var(28, 4439, ".8.3.31.0", Text, "Password").rw().level(3).len(32),
    var(29, 4435, ".8.3.26.0", Integer, "Authentication Type").rw().level(3).en(kAuthenticationType),
    var(30, 4443, ".8.3.34.0", Integer, "Certificate Root Key Exponent").rw().level(3),
    var(31, 4444, ".8.3.35.0", Integer, "Authentication Protocol").rw().level(3).en(kAuthenticationProtocol),
    var(32, 4446, ".8.3.37.0", Integer, "WPA Auto Associate").rw().level(3).en(kEnabledTwo),
    var(33, 4447, ".8.3.38.0", Integer, "WPA Group Key").rw().level(3).en(kEnabledTwo),
    var(34, 4436, ".8.3.27.0", Integer, "encryption modes offered (bit mask)").rw().level(3),
    var(35, 4437, ".8.3.28.0", Integer, "authentication types offered (bit mask)").rw().level(3),
    var(36, 4451, ".8.3.43.0", Text, "Country (code)").rw().level(3).len(3),
    var(37, 4452, ".8.3.40.0", Integer, "WPA Auto Associate available (2)").excl().level(3),
    var(38, 4453, ".8.3.44.0", Integer, "Dynamic Frequency Select (0: no such setting)").rw().level(3).en(kStrictness),
    var(39, 4462, ".8.3.45.0", Bytes, "channels offered from level 3 (bit map)").excl().level(3).len(32),
};

constexpr VariableDef kWirelessListVars[] = {
    var(0, 4437, ".8.3.28.0", Integer, "authentication types offered (bit mask)").excl(),
};
constexpr Extension kWirelessListExtensions[] = {
    {.kind = ExtensionKind::PerHighestBit, .countIndex = 0,
     .variable = var(0, 4448, ".8.3.29.1.2", Integer, "encryption modes allowed for authentication type k - 1").row().excl(),
     .meaning = "k = 1..position of the highest set bit of variable 0"},
};

constexpr VariableDef kWepKeyRowVars[] = {
    var(0, 4376, ".8.3.7.1.2", Bytes, "WEP key (reads back \"*\" or \"**\")").row().rw().len(26),
};

constexpr VariableDef kWirelessCountryVars[] = {
    var(0, 4449, ".8.3.41.0", Integer, "country entry count").excl(),
};
constexpr Extension kWirelessCountryExtensions[] = {
    {.kind = ExtensionKind::PerCount, .countIndex = 0,
     .variable = var(0, 4450, ".8.3.42.1.2", Text, "country code of entry k").row().excl().len(3),
     .meaning = "k = 1..variable 0"},
};

}  // namespace

constexpr GroupDef kWireless{
    .id = GroupId::Wireless,
    .name = "CWirelessGroup",
    .probeIndex = 0,
    .variables = kWirelessVars,
    .backup = {"Wireless"},
    .users = "Wireless pages, wizard wireless page",
    .notes = "level 3 and 0 add 18-39; the list and country groups exist only from level 3",
};

constexpr GroupDef kWirelessList{
    .id = GroupId::WirelessList,
    .name = "CWirelessListGroup",
    .variables = kWirelessListVars,
    .extensions = kWirelessListExtensions,
    .users = "Wireless security dialog",
    .notes = "a failed second read makes the entry number unknown (-1)",
};

constexpr GroupDef kWepKeyRow{
    .id = GroupId::WepKeyRow,
    .name = "CWepKeyRow",
    .kind = GroupKind::Row,
    .variables = kWepKeyRowVars,
    .users = "Wireless security dialog (keys 1-4)",
    .notes = "written as a key, read as display text",
};

constexpr GroupDef kWirelessCountry{
    .id = GroupId::WirelessCountry,
    .name = "CWirelessCountryGroup",
    .variables = kWirelessCountryVars,
    .extensions = kWirelessCountryExtensions,
    .users = "Wireless page, wizard wireless page",
};

}  // namespace mib::groups
