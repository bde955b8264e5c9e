#include "engine/startup/command_line.h"

#include <gtest/gtest.h>

namespace kox {
namespace {

TEST(CommandLineTail, Table) {
  struct Case { const char* raw; const char* tail; };
  const Case cases[] = {
      {"\"C:\\Program Files\\setup.exe\" /s A=1", "/s A=1"},
      {"\"C:\\setup.exe\"", ""},
      {"\"C:\\setup.exe\" ", ""},
      {"\"C:\\setup.exe\"x/s", "/s"},  // the one character after the quote goes, whatever it is
      {"C:\\setup.exe /s  A=1", "/s  A=1"},
      {"C:\\setup.exe", ""},
      {"\"C:\\no closing quote /s", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(commandLineTail(c.raw), c.tail) << c.raw;
}

TEST(CommandLine, Switches) {
  struct Case { std::vector<std::string> args; bool silent; bool noWindows; };
  const Case cases[] = {
      {{"/s"}, true, false},
      {{"-S"}, true, false},
      {{"/QN"}, true, false},
      {{"-qn"}, true, false},
      {{"/silent"}, false, false},
      {{"s"}, false, false},
      {{"/update"}, false, true},
      {{"-UpdateSetup"}, false, true},
      {{"/updates"}, false, false},
      {{"/s", "/update"}, true, true},
  };
  for (const auto& c : cases) {
    CommandLine cl = parseCommandLine("x", c.args);
    EXPECT_EQ(cl.silent, c.silent) << c.args[0];
    EXPECT_EQ(cl.noStartupWindows, c.noWindows) << c.args[0];
  }
}

TEST(CommandLine, ValuesAreLowerCasedAndFirstWins) {
  CommandLine cl = parseCommandLine(
      "x", {"/L=C:\\Temp\\Setup.log", "-l=second.log", "/g=C:\\Pol\\X.GPO", "/M=C:\\Outer.EXE", "-p=D:\\Media\\"});
  EXPECT_EQ(cl.logPath, "c:\\temp\\setup.log");
  EXPECT_EQ(cl.policyPath, "c:\\pol\\x.gpo");
  EXPECT_EQ(cl.outerPackagePath, "c:\\outer.exe");
  EXPECT_EQ(cl.mediaPath, "d:\\media\\");
}

TEST(CommandLine, DashFormsOnlyForLogAndMedia) {
  CommandLine cl = parseCommandLine("x", {"-g=a", "-m=b", "-l=c", "-p=d"});
  EXPECT_EQ(cl.policyPath, "");
  EXPECT_EQ(cl.outerPackagePath, "");
  EXPECT_EQ(cl.logPath, "c");
  EXPECT_EQ(cl.mediaPath, "d");
}

TEST(CommandLine, Variables) {
  CommandLine cl = parseCommandLine("x", {"MYVAR=a=b", "-MYVAR=x", "/MYVAR=x", "TargetDir=C:\\My App", "EMPTY=", "noequals"});
  const std::vector<std::string> expected = {"MYVAR", "a=b", "TARGETDIR", "C:\\My App", "EMPTY", ""};
  EXPECT_EQ(cl.variables, expected);
}

TEST(CommandLine, TailComesFromTheRawLine) {
  CommandLine cl = parseCommandLine("\"C:\\a b\\setup.exe\" /s X=1", {"/s", "X=1"});
  EXPECT_EQ(cl.tail, "/s X=1");
  EXPECT_TRUE(cl.silent);
}

}  // namespace
}  // namespace kox
