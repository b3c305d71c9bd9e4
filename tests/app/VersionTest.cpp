#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/RunShell.h"

namespace {

struct TProgram {
  const char* Name;
  const char* Path;
};

using TRun = certtest::TShellRun;

// Without any display: --version must not need one.
TRun RunProgram(const std::string& path, const std::string& args) {
#ifdef _WIN32
  const std::string noDisplay;  // a Windows program needs none to start
#else
  const std::string noDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
#endif
  return certtest::RunShell(noDisplay + certtest::ShellWord(path) + " " + args + " 2>&1");
}

std::vector<TProgram> Programs() {
  std::vector<TProgram> programs = {{"certcheck", CERTCHECK_PATH}, {"certcsv", CERTCSV_PATH}};
#ifdef CERTEDITOR_PATH
  programs.push_back({"certeditor", CERTEDITOR_PATH});
#endif
  return programs;
}

class Version : public ::testing::TestWithParam<TProgram> {};

TEST_P(Version, PrintsNameAndProjectVersionAndExits) {
  const TRun r = RunProgram(GetParam().Path, "--version");
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out, std::string(GetParam().Name) + " " + CERT_PROJECT_VERSION + "\n");
}

TEST_P(Version, WinsOverTheOtherArguments) {
  const TRun r = RunProgram(GetParam().Path, "--json --version no-such-file.dat");
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out, std::string(GetParam().Name) + " " + CERT_PROJECT_VERSION + "\n");
}

INSTANTIATE_TEST_SUITE_P(Programs, Version, ::testing::ValuesIn(Programs()),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
