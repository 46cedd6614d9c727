// Kestrovane: the staged forms with oversampling, and the choice of encoding.

#include "KestrovaneStaged.h"

Kestrovane::EEncoding Kestrovane::CpuEncoding()
{
  static const EEncoding widest = []() {
    __builtin_cpu_init();  // an instance may be made before the run-time library's own initialisation
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq"))
      return kEncodingAvx512;
    return __builtin_cpu_supports("avx") ? kEncodingAvx : kEncodingBaseline;
  }();
  return widest;
}

template int Kestrovane::ProcessStaged<true, true, false>(double**, double**, int);
template int Kestrovane::ProcessStaged<false, true, false>(double**, double**, int);
template int Kestrovane::ProcessStaged<true, true, true>(double**, double**, int);
template int Kestrovane::ProcessStaged<false, true, true>(double**, double**, int);
template int Kestrovane::ProcessStagedAvx<true, false>(double**, double**, int);
template int Kestrovane::ProcessStagedAvx<false, false>(double**, double**, int);
template int Kestrovane::ProcessStagedAvx<true, true>(double**, double**, int);
template int Kestrovane::ProcessStagedAvx<false, true>(double**, double**, int);
template int Kestrovane::ProcessStagedAvx512<true, true, false>(double**, double**, int);
template int Kestrovane::ProcessStagedAvx512<true, true, true>(double**, double**, int);
template int Kestrovane::ProcessStagedAvx512<false, true, false>(double**, double**, int);
template int Kestrovane::ProcessStagedAvx512<false, true, true>(double**, double**, int);
