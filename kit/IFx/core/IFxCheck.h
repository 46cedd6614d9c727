#pragma once
// The consistency checks that stay in shipped builds: the failed condition, with the source file
// and line it is pinned to, goes to the standard error stream, then the process aborts (IFX_CHECK)
// or carries on (IFX_REPORT).

[[noreturn]] void IFxCheckFailed(const char* condition, const char* file, int line);
// The same message, without stopping: for checks whose failure the caller can survive.
void IFxCheckReport(const char* condition, const char* file, int line);

#define IFX_CHECK(cond, file, line) \
  do { if (!(cond)) IFxCheckFailed(#cond, file, line); } while (0)
#define IFX_REPORT(cond, file, line) \
  do { if (!(cond)) IFxCheckReport(#cond, file, line); } while (0)
