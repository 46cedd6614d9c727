#include "SimpleComp.h"

namespace simpledyn
{
void SimpleCompRms::setSampleRate(double sampleRate)
{
  SimpleComp::setSampleRate(sampleRate);
  averager.setSampleRate(sampleRate);
}

void SimpleCompRms::initRuntime()
{
  SimpleComp::initRuntime();
  aveOfSqrs = kRestAveOfSqrs;
}
}  // namespace simpledyn
