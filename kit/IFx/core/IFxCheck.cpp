#include "IFxCheck.h"

#include <cstdio>
#include <cstdlib>

void IFxCheckReport(const char* condition, const char* file, int line)
{
  fprintf(stderr, "Assertion failed: (%s), file %s, line %d.\n", condition, file, line);
  fflush(stderr);
}

void IFxCheckFailed(const char* condition, const char* file, int line)
{
  IFxCheckReport(condition, file, line);
  abort();
}
