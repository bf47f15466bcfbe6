#include <gtest/gtest.h>

#include "app/command_line.h"

namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, Table) {
  struct Case {
    const char* name;
    Args args;
    bool isNew;
    std::string view;
    bool skipSearch;
  };
  const Case cases[] = {
      {"nothing", {}, false, "", false},
      {"/new", {"/new"}, true, "", false},
      {"-new", {"-new"}, true, "", false},
      {"case ignored", {"/NEW", "/V", "Lab"}, true, "Lab", false},
      {"/v NAME", {"/v", "Lab Printers"}, false, "Lab Printers", false},
      {"bare /v names no view", {"/v"}, false, "", false},
      {"/ns first", {"/ns", "/v", "Lab"}, false, "Lab", true},
      {"/ns not first", {"/v", "Lab", "/ns"}, false, "Lab", false},
      {"/new /v NAME", {"/new", "/v", "Lab"}, true, "Lab", false},
      {"a later plain parameter replaces the value", {"/v", "One", "Two"}, false, "Two", false},
      {"a plain parameter before any option is ignored", {"stray", "/new"}, true, "", false},
      {"--new", {"--new"}, true, "", false},
      {"--view NAME", {"--view", "Lab"}, false, "Lab", false},
      {"--view=NAME", {"--view=All Print Servers"}, false, "All Print Servers", false},
      {"--no-search anywhere", {"--new", "--no-search"}, true, "", true},
      {"--view value does not take the next plain word", {"--view", "A", "B"}, false, "A", false},
  };
  for (const auto& c : cases) {
    const auto r = app::parseCommandLine(c.args);
    ASSERT_TRUE(r.ok) << c.name << ": " << r.error;
    EXPECT_EQ(r.commandLine.newInstance(), c.isNew) << c.name;
    EXPECT_EQ(r.commandLine.viewName(), c.view) << c.name;
    EXPECT_EQ(r.commandLine.skipSearch(), c.skipSearch) << c.name;
  }
}

TEST(CommandLine, OptionsAreStoredWithTrueOrTheirValue) {
  const auto r = app::parseCommandLine({"/new", "-x", "/v", "Lab"});
  ASSERT_TRUE(r.ok);
  const std::map<std::string, std::string> expected{{"new", "TRUE"}, {"x", "TRUE"}, {"v", "Lab"}};
  EXPECT_EQ(r.commandLine.options(), expected);
}

TEST(CommandLine, NewWindowArgumentsReadBackAsTheSameView) {
  for (const std::string view : {"Lab", "Lab Printers 2nd floor", "-odd", "/odd", "a \"quoted\" name", "TRUE"}) {
    const auto r = app::parseCommandLine(app::newWindowArguments(view));
    ASSERT_TRUE(r.ok) << view;
    EXPECT_TRUE(r.commandLine.newInstance()) << view;
    EXPECT_EQ(r.commandLine.viewName(), view);
  }
}

TEST(CommandLine, HelpVersionAndErrors) {
  struct Case {
    Args args;
    bool ok;
    bool help;
    bool version;
    std::string error;
  };
  const Case cases[] = {
      {{"--help"}, true, true, false, ""},
      {{"-h"}, true, true, false, ""},
      {{"/?"}, true, true, false, ""},
      {{"--version"}, true, false, true, ""},
      {{"--bogus"}, false, false, false, "unrecognized option '--bogus'"},
      {{"--view"}, false, false, false, "option '--view' requires a view name"},
      {{"--new=1"}, false, false, false, "option '--new' doesn't allow an argument"},
      {{"-bogus"}, true, false, false, ""},  // Windows-style options are stored, not refused
  };
  for (const auto& c : cases) {
    const auto r = app::parseCommandLine(c.args);
    EXPECT_EQ(r.ok, c.ok) << c.args[0];
    EXPECT_EQ(r.commandLine.helpRequested(), c.help) << c.args[0];
    EXPECT_EQ(r.commandLine.versionRequested(), c.version) << c.args[0];
    EXPECT_EQ(r.error, c.error) << c.args[0];
  }
}

}  // namespace
