// Runs a command line through the system's shell, as a user would type it: sh on POSIX,
// cmd.exe on Windows. For the tests of the command-line tools.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "NullDevice.h"

namespace certtest {

struct TShellRun {
  int Status;  // the exit code; -1 when the program did not exit by itself
  std::string Out;
};

// A file name as one word of a command line.
inline std::string ShellWord(const std::string& name) {
#ifdef _WIN32
  return "\"" + name + "\"";
#else
  return "'" + name + "'";
#endif
}

namespace detail {
#ifdef _WIN32
// cmd.exe /c drops the first and the last quote of its command: a pair around it all keeps the
// command's own.
inline std::string ForShell(const std::string& command) { return "\"" + command + "\""; }
inline int ExitCode(int status) { return status; }
#else
inline std::string ForShell(const std::string& command) { return command; }
inline int ExitCode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }
#endif
}  // namespace detail

// Runs the command and collects its standard output.
inline TShellRun RunShell(const std::string& command) {
#ifdef _WIN32
  std::FILE* p = _popen(detail::ForShell(command).c_str(), "rb");
#else
  std::FILE* p = popen(detail::ForShell(command).c_str(), "r");
#endif
  TShellRun run{-1, {}};
  if (!p) return run;
  char buf[4096];
  for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) run.Out.append(buf, n);
#ifdef _WIN32
  run.Status = detail::ExitCode(_pclose(p));
#else
  run.Status = detail::ExitCode(pclose(p));
#endif
  return run;
}

// Runs the command with its standard output and error going to the two files; the exit code.
inline int RunToFiles(const std::string& command, const std::string& out, const std::string& err) {
  return detail::ExitCode(std::system(
      detail::ForShell(command + " >" + ShellWord(out) + " 2>" + ShellWord(err)).c_str()));
}

}  // namespace certtest
