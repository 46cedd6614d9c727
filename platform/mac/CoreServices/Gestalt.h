#pragma once
// Gestalt: questions about the system by four-character selector. Only the system version is
// answered, in its binary-coded form (0x1058 for 10.5.8); tests may set it (GestaltTestSetSystemVersion).

#include <MacTypes.h>

enum : OSType
{
  gestaltSystemVersion = 0x73797376  // 'sysv'
};

enum
{
  gestaltUndefSelectorErr = -5551
};

// noErr and the answer; gestaltUndefSelectorErr for another selector, paramErr for a null response.
OSErr Gestalt(OSType selector, SInt32* response);

// The version the next questions get (this copy of the stand-in).
void GestaltTestSetSystemVersion(SInt32 version);
