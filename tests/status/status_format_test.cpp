// How the status pages and the report put values into words.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "status/status_format.h"
#include "status/tcp_connections.h"

using namespace status;

TEST(StatusFormat, UpTime) {
  struct Case {
    std::uint32_t ticks;
    const char* text;
  } cases[] = {
      {8640123, "1 days 0 hours 0 mins 1.23 secs"},
      {100, "0 days 0 hours 0 mins 1.0 secs"},
      {5, "0 days 0 hours 0 mins 0.5 secs"},
      {0, "0 days 0 hours 0 mins 0.0 secs"},
      {366100, "0 days 1 hours 1 mins 1.0 secs"},
      {4294967295u, "497 days 2 hours 27 mins 52.95 secs"},
  };
  for (const auto& c : cases) EXPECT_EQ(upTimeText(c.ticks), c.text) << c.ticks;
}

TEST(StatusFormat, ValuesOfTheServerPage) {
  EXPECT_EQ(hardwareAddressText(std::string("\x00\x40\x8c\x01\x02\xff", 6)), "00:40:8C:01:02:FF");
  EXPECT_EQ(hardwareAddressText(""), "");
  EXPECT_EQ(hardwareAddressText(std::string(100, '\x11')).size(), 85u * 3 - 1) << "at most 85 octets";
  EXPECT_EQ(netSpeedText(100000000), "100 Mb");
  EXPECT_EQ(netSpeedText(10000000), "10 Mb");
  EXPECT_EQ(netSpeedText(999999), "0 Mb");
  struct Case {
    std::int32_t value;
    const char* text;
  } cables[] = {{1, "10BASE-2"}, {2, "10/100BASE-T"}, {3, "AUI"},     {4, "UTP"},
                {5, "STP"},      {6, "Fiber 100fx"},  {0, "UNKNOWN"}, {7, "UNKNOWN"}};
  for (const auto& c : cables) EXPECT_EQ(cableTypeText(c.value), c.text) << c.value;
}

TEST(StatusFormat, SupportTextBreaksAtEachSemicolonAndTheCharacterAfterIt) {
  struct Case {
    const char* name;
    const char* in;
    const char* out;
  } cases[] = {
      {"two numbers", "+1 555 0199; +1 555 0188", "+1 555 0199\r\n+1 555 0188"},
      {"no blank after it", "a;bc", "a\r\nc"},
      {"at the end", "a;", "a\r\n"},
      {"two in a row", "a;;b", "a\r\nb"},
      {"none", "plain", "plain"},
  };
  for (const auto& c : cases) EXPECT_EQ(supportText(c.in), c.out) << c.name;
}

TEST(StatusFormat, ReportDateIsTheCLibraryForm) {
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  EXPECT_EQ(reportDate(1796928153), "Thu Dec 10 18:42:33 2026");
  EXPECT_EQ(reportDate(1799046309), "Mon Jan  4 07:05:09 2027") << "day right-aligned in two characters";
  EXPECT_EQ(reportDate(1796928153).size(), 24u);
}

TEST(StatusFormat, DefaultFileNames) {
  struct Case {
    const char* name;
    std::string in;
    std::string report;
    std::string pjl;
  } cases[] = {
      {"plain", "LAB1", "LAB1.txt", "PJL-LAB1.txt"},
      {"every replaced character", "a*b?c.d\"e\\f/g[h]i:j;k|l=m,n o", "a_b_c_d_e_f_g_h_i_j_k_l_m_n_o.txt",
       "PJL-a_b_c.d_e_f_g[h]i_j;k_l=m,n o.txt"},
      {"a serial number with a slash stays in its folder", "12/34", "12_34.txt", "PJL-12_34.txt"},
      {"control characters", std::string("a\nb\x01", 4), "a_b_.txt", "PJL-a_b_.txt"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(reportFileName(c.in), c.report) << c.name;
    EXPECT_EQ(pjlFileName(c.in), c.pjl) << c.name;
  }
  EXPECT_EQ(reportFileName(std::string(400, 'x')).size(), 260u);
  EXPECT_EQ(pjlFileName(std::string(400, 'x')).size(), 260u);
}

TEST(StatusFormat, ConnectionLines) {
  struct Case {
    std::uint32_t port;
    const char* suffix;
  } suffixes[] = {{20, "   (FTP)"},  {21, "   (FTP)"}, {23, "   (Telnet)"}, {25, "   (SMTP)"}, {80, "   (HTTP)"},
                  {110, "  (POP3)"}, {515, "  (LPD)"}, {631, "  (IPP)"},    {9100, " (Raw)"},  {9101, " (Raw)"},
                  {9112, " (Raw)"},  {9113, ""},       {9099, ""},          {8080, ""}};
  for (const auto& c : suffixes) EXPECT_EQ(serviceSuffix(c.port), c.suffix) << c.port;
  const char* states[] = {"CLOSED",      "LISTEN",     "SYN_SENT", "SYN_RCVD", "ESTABLISHED", "FIN_WAIT_1",
                          "FIN_WAIT_2", "CLOSED_WAIT", "LAST_ACK", "CLOSING",  "TIME_WAIT"};
  for (int s = 1; s <= 11; ++s) EXPECT_EQ(tcpStateText(s), states[s - 1]) << s;
  EXPECT_EQ(tcpStateText(0), "0-UNKNOWN");
  EXPECT_EQ(tcpStateText(12), "12-UNKNOWN");
  EXPECT_EQ(connectionsText({}), "") << "no rows, no connections part";
  EXPECT_EQ(connectionsText({{"127.0.0.1", 9101, "10.0.0.2", 3000, 5}}),
            "\r\nConnections:\r\n  Port\tRemote Address : Port\tStatus\r\n  9101 (Raw)\t10.0.0.2 : 3000\tESTABLISHED\r\n");
}
