#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct TProgram {
  const char* Name;
  const char* Path;
};

struct TRun {
  int Status;
  std::string Out;
};

// Without any display: --version must not need one.
TRun RunProgram(const std::string& path, const std::string& args) {
  const std::string cmd =
      "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + path + " " + args + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  std::string out;
  char buf[4096];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  const int st = pclose(p);
  return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, out};
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
