// Kestrovane: the staged forms at base rate. Compiled at -O3, which measured about 3 per cent
// faster here than -O2 (and 10 per cent slower for the oversampled forms).

#include "KestrovaneStaged.h"

template int Kestrovane::ProcessStaged<true, false, false>(double**, double**, int);
template int Kestrovane::ProcessStaged<false, false, false>(double**, double**, int);
template int Kestrovane::ProcessStaged<true, false, true>(double**, double**, int);
template int Kestrovane::ProcessStaged<false, false, true>(double**, double**, int);
template int Kestrovane::ProcessStagedAvx512<true, false, false>(double**, double**, int);
template int Kestrovane::ProcessStagedAvx512<false, false, false>(double**, double**, int);
template int Kestrovane::ProcessStagedAvx512<true, false, true>(double**, double**, int);
template int Kestrovane::ProcessStagedAvx512<false, false, true>(double**, double**, int);
