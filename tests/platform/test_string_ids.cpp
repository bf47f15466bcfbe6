// Every named text id has a text: a name without its row would show an empty box or worse.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "platform/string_ids.h"
#include "platform/string_table.h"

namespace {

using namespace platform::ids;

TEST(StringIds, EveryNamedIdHasAText) {
  const std::pair<const char*, std::uint32_t> named[] = {
      {"kAppName", kAppName},
      {"kMainWindowTitle", kMainWindowTitle},
      {"kBrand", kBrand},
      {"kDefaultViewName", kDefaultViewName},
      {"kAskLegacyImport", kAskLegacyImport},
      {"kProtocolNotInitialized", kProtocolNotInitialized},
      {"kProtocolTcpIp", kProtocolTcpIp},
      {"kProtocolNetWare", kProtocolNetWare},
      {"kProtocolSerial", kProtocolSerial},
      {"kProtocolNotSupported", kProtocolNotSupported},
      {"kDefaultEntryName", kDefaultEntryName},
      {"kDefaultCommunity", kDefaultCommunity},
      {"kErrorGeneric", kErrorGeneric},
      {"kErrorViewText", kErrorViewText},
      {"kErrorSocketsText", kErrorSocketsText},
      {"kErrorSnmpText", kErrorSnmpText},
      {"kErrorNetWareText", kErrorNetWareText},
      {"kErrorSerialText", kErrorSerialText},
      {"kErrorWindowsText", kErrorWindowsText},
      {"kErrorViewTitle", kErrorViewTitle},
      {"kErrorSocketsTitle", kErrorSocketsTitle},
      {"kErrorSnmpTitle", kErrorSnmpTitle},
      {"kErrorNetWareTitle", kErrorNetWareTitle},
      {"kErrorSerialTitle", kErrorSerialTitle},
      {"kErrorWindowsTitle", kErrorWindowsTitle},
      {"kErrorVinesTitle", kErrorVinesTitle},
      {"kMenuFile", kMenuFile},
      {"kRebuildingConfiguration", kRebuildingConfiguration},
      {"kAskPrintConfigSheet", kAskPrintConfigSheet},
      {"kConfigSheetPrinted", kConfigSheetPrinted},
      {"kServerNotFound", kServerNotFound},
      {"kAskModifyForPrinterColumns", kAskModifyForPrinterColumns},
      {"kSearchTitle", kSearchTitle},
      {"kSearchPrompt", kSearchPrompt},
      {"kNetInfoTitle", kNetInfoTitle},
      {"kNetInfoUnknown", kNetInfoUnknown},
      {"kNetInfoFalse", kNetInfoFalse},
      {"kNetInfoWinsock", kNetInfoWinsock},
      {"kNetInfoHostName", kNetInfoHostName},
      {"kNetInfoHostAddress", kNetInfoHostAddress},
      {"kNetInfoIpxSubnet", kNetInfoIpxSubnet},
      {"kNetInfoHardwareAddress", kNetInfoHardwareAddress},
      {"kNetInfoOperatingSystem", kNetInfoOperatingSystem},
      {"kNetInfoIpSupport", kNetInfoIpSupport},
      {"kNetInfoIpxSupport", kNetInfoIpxSupport},
      {"kNetInfoVinesSupport", kNetInfoVinesSupport},
      {"kNetInfoNovellSupport", kNetInfoNovellSupport},
      {"kNetInfoOk", kNetInfoOk},
      {"kTelnetCommand", kTelnetCommand},
      {"kCommandExit", kCommandExit},
  };
  for (const auto& [name, id] : named) {
    const char* text = platform::loadString(id);
    EXPECT_TRUE(text && *text) << name << " (" << id << ")";
  }
}

}  // namespace
