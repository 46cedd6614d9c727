#pragma once
// The body of the set-chunk fuzz targets: arbitrary bytes go to set-chunk, and the plug-in's state
// must then be either exactly what the bytes say (when they hold a whole state) or unchanged.
// The first input byte picks bank or program and how honest the byte count is.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "IFxVST.h"

namespace vst_fuzz
{
// The parameter values the bytes hold, or false when they hold no whole state.
inline bool Decode(const IFxBase* pPlug, const uint8_t* data, size_t size, std::vector<double>* pValues)
{
  size_t pos = 0;
  int32_t magic = 0;
  if (size >= 4) memcpy(&magic, data, 4);
  if (size >= 4 && magic == IFxVST::kChunkMagic)
  {
    if (size < 8) return false;
    pos = 8;
  }
  const int n = pPlug->NParams();
  if (size < pos + 8 * (size_t)n) return false;
  pValues->clear();
  for (int i = 0; i < n; ++i)
  {
    double v;
    memcpy(&v, data + pos + 8 * (size_t)i, 8);
    if (std::isnan(v)) return false;
    pValues->push_back(pPlug->GetParam(i)->Quantize(v));
  }
  return true;
}

inline std::vector<double> Values(const IFxBase* pPlug)
{
  std::vector<double> v;
  for (int i = 0; i < pPlug->NParams(); ++i) v.push_back(pPlug->GetParam(i)->Value());
  return v;
}

// Runs one input against a plug-in; aborts (a fuzzer finding) when the rule above is broken.
inline void SetChunkOnce(IFxVST* pPlug, const uint8_t* input, size_t inputSize)
{
  if (inputSize < 1) return;
  const uint8_t mode = input[0];
  const uint8_t* data = input + 1;
  const size_t size = inputSize - 1;
  // A copy of exactly the data's size, so a read past it is caught.
  std::vector<uint8_t> exact(data, data + size);

  VstIntPtr count = (VstIntPtr)size;
  bool countUsable = true;
  switch ((mode >> 1) & 3)
  {
    case 1: count = -(VstIntPtr)size - 1; countUsable = false; break;
    case 2: count = ((VstIntPtr)1 << 33) + (VstIntPtr)size; countUsable = false; break;
    case 3:
      // More than there is: honest about the data a state can use only when all of it is there.
      if (size >= 8 + 8 * (size_t)pPlug->NParams()) count = (VstIntPtr)size + 4096;
      break;
    default: break;
  }

  const std::vector<double> before = Values(pPlug);
  AEffect* e = pPlug->GetAEffect();
  const VstIntPtr result = e->dispatcher(e, effSetChunk, mode & 1 ? 1 : 0, count, exact.empty() ? nullptr : exact.data(), 0.0f);

  std::vector<double> want;
  const bool whole = countUsable && !exact.empty() && Decode(pPlug, data, size, &want);
  if (result != (whole ? 1 : 0)) abort();
  if (Values(pPlug) != (whole ? want : before)) abort();
}
}  // namespace vst_fuzz
