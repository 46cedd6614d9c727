#pragma once
// A command-line tool run as a process by a test: its exit status and what it printed (the
// command's own redirections decide which streams).

#include <sys/wait.h>

#include <cstdio>
#include <string>

struct ToolRun
{
  int status = -1;  // the exit status; -1 when the tool did not exit by itself
  std::string out;
};

inline ToolRun RunTool(const std::string& command)
{
  ToolRun r;
  if (FILE* p = popen(command.c_str(), "r"))
  {
    char buf[512];
    while (fgets(buf, sizeof(buf), p)) r.out += buf;
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  }
  return r;
}
