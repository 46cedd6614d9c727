#pragma once
// The consistency checks that stay in shipped builds: the failed condition, with the source file
// and line it is pinned to, goes to the standard error stream, then the process aborts.

[[noreturn]] void IFxCheckFailed(const char* condition, const char* file, int line);

#define IFX_CHECK(cond, file, line) \
  do { if (!(cond)) IFxCheckFailed(#cond, file, line); } while (0)
