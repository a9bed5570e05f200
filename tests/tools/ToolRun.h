#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

// What the tool tests need of a command line run through the shell.
namespace tool_test {

struct TToolRun {
  int Status = -1;  // the exit status; -1 when the command did not exit
  std::string Out;  // everything written on standard output
};

inline TToolRun RunCommand(const std::string& command) {
  TToolRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    run.Out.append(buffer, n);
  const int status = ::pclose(pipe);
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

}  // namespace tool_test
