#pragma once
// Processor time of the calling thread, for "CPU time per second of audio" figures.

#include <ctime>

namespace kvtool
{

inline double ThreadCpuSeconds()
{
  timespec ts = {};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return (double)ts.tv_sec + 1e-9 * (double)ts.tv_nsec;
}

}  // namespace kvtool
