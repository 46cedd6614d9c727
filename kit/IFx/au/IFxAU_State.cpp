// IFxAU: the class-info dictionary the host keeps in its project.

#include <cmath>
#include <cstring>

#include "IFxAU.h"
#include "IFxAUStrings.h"

namespace
{
void AddNumber(CFMutableDictionaryRef dict, CFStringRef key, SInt32 value)
{
  CFNumberRef num = CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt32Type, &value);
  CFDictionarySetValue(dict, key, num);
  CFRelease(num);
}

// An integral number under key that fits 32 bits, signed or not (four-character codes may have
// been saved either way); its low 32 bits.
bool GetSInt32(CFDictionaryRef dict, CFStringRef key, SInt32* pValue)
{
  CFTypeRef num = CFDictionaryGetValue(dict, key);
  if (CFGetTypeID(num) != CFNumberGetTypeID()) return false;
  SInt64 v = 0;
  if (!CFNumberGetValue((CFNumberRef)num, kCFNumberSInt64Type, &v)) return false;
  if (v < INT32_MIN || v > (SInt64)UINT32_MAX) return false;
  *pValue = (SInt32)(UInt32)(v & 0xFFFFFFFF);
  return true;
}

// Whether the parameter body holds a readable value for every parameter.
bool ParamBodyReadable(const ByteChunk& chunk, int nParams)
{
  int pos = 0;
  for (int i = 0; i < nParams && pos >= 0; ++i)
  {
    double v = 0.0;
    pos = chunk.Get(&v, pos);
    if (pos >= 0 && std::isnan(v)) return false;
  }
  return pos >= 0;
}
}  // namespace

ComponentResult IFxAU::GetState(CFPropertyListRef* ppPropList)
{
  ComponentDescription cd;
  const OSErr err = GetComponentInfo((Component)(void*)mCI, &cd, nullptr, nullptr, nullptr);
  if (err != noErr) return err;

  CFMutableDictionaryRef dict = CFDictionaryCreateMutable(kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks,
                                                          &kCFTypeDictionaryValueCallBacks);
  AddNumber(dict, CFSTR("version"), GetEffectVersion(false));
  AddNumber(dict, CFSTR("type"), (SInt32)cd.componentType);
  AddNumber(dict, CFSTR("subtype"), (SInt32)cd.componentSubType);
  AddNumber(dict, CFSTR("manufacturer"), (SInt32)cd.componentManufacturer);
  CFStringRef name = NewCFString(GetPresetName(GetCurrentPresetIdx()));
  CFDictionarySetValue(dict, CFSTR("name"), name);
  CFRelease(name);

  ByteChunk chunk;
  const bool stored = DoesStateChunks() ? SerializeState(&chunk) : (SerializeParams(&chunk), true);
  if (stored)
  {
    CFDataRef data = CFDataCreate(kCFAllocatorDefault, chunk.GetBytes(), chunk.Size());
    CFDictionarySetValue(dict, CFSTR("data"), data);
    CFRelease(data);
  }
  *ppPropList = dict;
  return noErr;
}

// Every key, type and length is checked before anything changes; a dictionary that fails any
// check, or whose state cannot be read whole, is refused and leaves the instance as it was.
ComponentResult IFxAU::SetState(CFPropertyListRef pPropList)
{
  const ComponentResult bad = kAudioUnitErr_InvalidPropertyValue;
  if (CFGetTypeID(pPropList) != CFDictionaryGetTypeID()) return bad;
  CFDictionaryRef dict = (CFDictionaryRef)pPropList;

  ComponentDescription cd;
  const OSErr err = GetComponentInfo((Component)(void*)mCI, &cd, nullptr, nullptr, nullptr);
  if (err != noErr) return err;

  SInt32 version, type, subtype, mfr;
  if (!GetSInt32(dict, CFSTR("version"), &version) || !GetSInt32(dict, CFSTR("type"), &type) ||
      !GetSInt32(dict, CFSTR("subtype"), &subtype) || !GetSInt32(dict, CFSTR("manufacturer"), &mfr))
    return bad;

  CFTypeRef nameRef = CFDictionaryGetValue(dict, CFSTR("name"));
  if (CFGetTypeID(nameRef) != CFStringGetTypeID()) return bad;
  // A name longer than any preset's cannot select one; the state is still restored.
  char presetName[IPreset::kNameLen];
  if (!CFStringToUTF8(nameRef, presetName, sizeof(presetName))) presetName[0] = 0;

  if ((OSType)type != cd.componentType || (OSType)subtype != cd.componentSubType ||
      (OSType)mfr != cd.componentManufacturer)
    return bad;

  CFTypeRef dataRef = CFDictionaryGetValue(dict, CFSTR("data"));
  if (CFGetTypeID(dataRef) != CFDataGetTypeID()) return bad;
  CFDataRef data = (CFDataRef)dataRef;
  const CFIndex length = CFDataGetLength(data);
  if (length > INT32_MAX) return bad;
  ByteChunk chunk;
  chunk.Resize((int)length);
  if (chunk.Size() != (int)length) return bad;
  if (length) CFDataGetBytes(data, CFRangeMake(0, length), chunk.GetBytes());

  if (!DoesStateChunks())
  {
    if (!ParamBodyReadable(chunk, NParams())) return bad;
    RestorePreset(presetName);
    if (UnserializeParams(&chunk, 0) <= 0) return bad;
  }
  else
  {
    // The plug-in's own reader can only be judged by running it: on failure the values and the
    // preset it started from are put back.
    ByteChunk backup;
    SerializeParams(&backup);
    const int oldPreset = GetCurrentPresetIdx();
    RestorePreset(presetName);
    if (UnserializeState(&chunk, 0) <= 0)
    {
      if (GetCurrentPresetIdx() != oldPreset) RestorePreset(oldPreset);
      UnserializeParams(&backup, 0);
      RedrawParamControls();
      return bad;
    }
  }
  RedrawParamControls();
  return noErr;
}
