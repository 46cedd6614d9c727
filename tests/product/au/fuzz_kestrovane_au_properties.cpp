// libFuzzer target: sequences of property get-info, get and set calls (with some renders,
// initialisations and listeners between them) on one instance of the product's Audio Unit build,
// opened through the Component Manager with its bundle's images. Property ids lean towards the
// ones the unit answers, but any 32-bit id, scope and element gets through; sizes are the
// property's own, near it, or arbitrary; payloads are the input's bytes.
//
// The harness is a well-behaved host: fields that are pointers (dictionaries, strings, units,
// callbacks) hold null or valid objects of its own, since a host could pass nothing else. Every
// get buffer has exactly the size given, so a write beyond it is caught. Afterwards the unit must
// render a block with finite output, its parameters stay in range, and no CoreFoundation object
// is left behind.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <AudioToolbox/testkit.h>
#include <CoreFoundation/testkit.h>
#include <CoreServices/CoreServices.h>
#include <Foundation/testkit.h>

#include "BundleFolder.h"
#include "FuzzInput.h"
#include "Kestrovane.h"

namespace
{
constexpr int kMaxOps = 48;
constexpr UInt32 kMaxFrames = 1100;  // a render op may ask for more than the unit takes
constexpr int kMaxBuffers = 5;
constexpr UInt32 kFinalFrames = 512;

const AudioUnitPropertyID kKnownIDs[] = {
  kAudioUnitProperty_ClassInfo,             kAudioUnitProperty_MakeConnection,
  kAudioUnitProperty_SampleRate,            kAudioUnitProperty_ParameterList,
  kAudioUnitProperty_ParameterInfo,         kAudioUnitProperty_FastDispatch,
  kAudioUnitProperty_StreamFormat,          kAudioUnitProperty_ElementCount,
  kAudioUnitProperty_Latency,               kAudioUnitProperty_SupportedNumChannels,
  kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitProperty_ParameterValueStrings,
  kAudioUnitProperty_GetUIComponentList,    kAudioUnitProperty_TailTime,
  kAudioUnitProperty_BypassEffect,          kAudioUnitProperty_LastRenderError,
  kAudioUnitProperty_SetRenderCallback,     kAudioUnitProperty_FactoryPresets,
  kAudioUnitProperty_HostCallbacks,         kAudioUnitProperty_CurrentPreset,
  kAudioUnitProperty_CocoaUI,               kAudioUnitProperty_ParameterStringFromValue,
  kAudioUnitProperty_ParameterIDName,       kAudioUnitProperty_PresentPreset,
  kAudioUnitProperty_ParameterValueFromString, kMusicDeviceProperty_InstrumentCount,
  kAudioUnitProperty_CPULoad,               kAudioUnitProperty_ContextName,
};

// The size of the record a property carries, as a host would pass it.
UInt32 NaturalSize(AudioUnitPropertyID id)
{
  switch (id)
  {
    case kAudioUnitProperty_ClassInfo: return sizeof(CFPropertyListRef);
    case kAudioUnitProperty_MakeConnection: return sizeof(AudioUnitConnection);
    case kAudioUnitProperty_SampleRate:
    case kAudioUnitProperty_Latency:
    case kAudioUnitProperty_TailTime: return sizeof(Float64);
    case kAudioUnitProperty_ParameterList: return Kestrovane::kNumParams * sizeof(AudioUnitParameterID);
    case kAudioUnitProperty_ParameterInfo: return sizeof(AudioUnitParameterInfo);
    case kAudioUnitProperty_FastDispatch: return sizeof(void*);
    case kAudioUnitProperty_StreamFormat: return sizeof(AudioStreamBasicDescription);
    case kAudioUnitProperty_SupportedNumChannels: return 5 * sizeof(AUChannelInfo);
    case kAudioUnitProperty_ParameterValueStrings:
    case kAudioUnitProperty_FactoryPresets: return sizeof(CFArrayRef);
    case kAudioUnitProperty_GetUIComponentList: return sizeof(ComponentDescription);
    case kAudioUnitProperty_SetRenderCallback: return sizeof(AURenderCallbackStruct);
    case kAudioUnitProperty_HostCallbacks: return sizeof(HostCallbackInfo);
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset: return sizeof(AUPreset);
    case kAudioUnitProperty_CocoaUI: return sizeof(AudioUnitCocoaViewInfo);
    case kAudioUnitProperty_ParameterStringFromValue: return sizeof(AudioUnitParameterStringFromValue);
    case kAudioUnitProperty_ParameterIDName: return sizeof(AudioUnitParameterIDName);
    case kAudioUnitProperty_ParameterValueFromString: return sizeof(AudioUnitParameterValueFromString);
    default: return sizeof(UInt32);
  }
}

// What the harness's callbacks and listener answer and count during one input.
struct HostState
{
  OSStatus mInputResult = noErr;
  float mInputLevel = 0.5f;
  Float64 mTempo = 120.0, mSample = 0.0;
  int mListenerCalls = 0;
  float mStringFromValueInput = 0.0f;
};
HostState sHost;

OSStatus InputCallback(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32 nFrames,
                       AudioBufferList* ioData)
{
  const HostState* pHost = (const HostState*)refCon;
  for (UInt32 b = 0; ioData && b < ioData->mNumberBuffers; ++b)
  {
    float* p = (float*)ioData->mBuffers[b].mData;
    const UInt32 n = std::min<UInt32>(nFrames, ioData->mBuffers[b].mDataByteSize / sizeof(float));
    for (UInt32 i = 0; p && i < n; ++i) p[i] = pHost->mInputLevel * (float)std::sin(0.05 * (i + 7 * b));
  }
  return pHost->mInputResult;
}

OSStatus BeatAndTempo(void* user, Float64* pBeat, Float64* pTempo)
{
  if (pBeat) *pBeat = 0.0;
  if (pTempo) *pTempo = ((HostState*)user)->mTempo;
  return noErr;
}

OSStatus MusicalTime(void*, UInt32* pDelta, Float32* pNum, UInt32* pDenom, Float64* pDownBeat)
{
  if (pDelta) *pDelta = 0;
  if (pNum) *pNum = 4.0f;
  if (pDenom) *pDenom = 4;
  if (pDownBeat) *pDownBeat = 0.0;
  return noErr;
}

OSStatus Transport(void* user, Boolean* pPlaying, Boolean* pChanged, Float64* pSample, Boolean* pCycling,
                   Float64* pStart, Float64* pEnd)
{
  if (pPlaying) *pPlaying = true;
  if (pChanged) *pChanged = false;
  if (pSample) *pSample = ((HostState*)user)->mSample;
  if (pCycling) *pCycling = false;
  if (pStart) *pStart = 0.0;
  if (pEnd) *pEnd = 0.0;
  return noErr;
}

// Asks the unit about the property again from inside the notification, as hosts do.
void Listener(void* user, AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element)
{
  ++((HostState*)user)->mListenerCalls;
  UInt32 size = 0;
  Boolean writable = false;
  AudioUnitGetPropertyInfo(unit, id, scope, element, &size, &writable);
}

// A CoreFoundation value that is not a class-info dictionary.
CFTypeRef MakeOtherValue(FuzzInput& in)
{
  switch (in.Byte() % 3)
  {
    case 0:
    {
      const SInt32 v = (SInt32)in.U32();
      return CFNumberCreate(nullptr, kCFNumberSInt32Type, &v);
    }
    case 1:
    {
      const std::string s = in.Text(40);
      return CFDataCreate(nullptr, (const UInt8*)s.data(), (CFIndex)s.size());
    }
    default: return CFStringCreateWithCString(nullptr, "Kestrovane", kCFStringEncodingUTF8);
  }
}

// The unit's own class info, or one of its entries replaced, removed or (for the state bytes)
// altered; null when the unit gives none.
CFTypeRef MakeClassInfo(AudioUnit unit, FuzzInput& in)
{
  CFPropertyListRef saved = nullptr;
  UInt32 size = sizeof(saved);
  if (AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &saved, &size) != noErr || !saved)
    return nullptr;
  CFMutableDictionaryRef dict =
    CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  CFDictionaryApplyFunction((CFDictionaryRef)saved,
                            [](const void* k, const void* v, void* ctx) { CFDictionarySetValue((CFMutableDictionaryRef)ctx, k, v); },
                            dict);
  static const char* const kKeys[] = { "version", "type", "subtype", "manufacturer", "name", "data" };
  for (int n = in.Byte() % 3; n > 0; --n)
  {
    const uint8_t op = in.Byte();
    CFStringRef key = CFStringCreateWithCString(nullptr, kKeys[op % 6], kCFStringEncodingUTF8);
    if (op & 0x80)
    {
      CFDictionaryRemoveValue(dict, key);
    }
    else if ((op & 0x40) && CFGetTypeID(CFDictionaryGetValue(dict, key)) == CFDataGetTypeID())
    {
      // The state bytes, a few of them changed and the length moved.
      CFDataRef data = (CFDataRef)CFDictionaryGetValue(dict, key);
      std::vector<UInt8> bytes(CFDataGetBytePtr(data), CFDataGetBytePtr(data) + CFDataGetLength(data));
      for (int k = in.Byte() % 4; k > 0 && !bytes.empty(); --k) bytes[in.U16() % bytes.size()] = in.Byte();
      const long length = (long)bytes.size() - 4 + in.Byte() % 13;
      bytes.resize((size_t)std::max(1L, length));
      CFDataRef changed = CFDataCreate(nullptr, bytes.data(), (CFIndex)bytes.size());
      CFDictionarySetValue(dict, key, changed);
      CFRelease(changed);
    }
    else
    {
      CFTypeRef value = MakeOtherValue(in);
      CFDictionarySetValue(dict, key, value);
      CFRelease(value);
    }
    CFRelease(key);
  }
  CFRelease(saved);
  return dict;
}

// One instance for every input, and a second one as a connection's source, opened once (the
// Component Manager keeps the record of every closed instance, so opening per input would grow
// without bound). Each input starts from the same state: what a host does to reuse a unit.
class Harness
{
public:
  explicit Harness(Component component)
  {
    mUnit = OpenComponent(component);
    mSource = OpenComponent(component);
    if (!mUnit || !mSource) abort();
    UInt32 size = sizeof(mBaseline);
    if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &mBaseline, &size) != noErr)
      abort();
  }

  // Listeners gone, uninitialised (which drops the host's formats), the inputs disconnected, the
  // host's settings and the saved state of a new instance back, the signal path reset.
  void Restore()
  {
    for (AudioUnitPropertyID id : mListened) AudioUnitRemovePropertyListenerWithUserData(mUnit, id, Listener, &sHost);
    mListened.clear();
    AudioUnitUninitialize(mUnit);
    for (UInt32 bus = 0; bus < 2; ++bus)
    {
      const AudioUnitConnection none = { nullptr, 0, bus };
      AudioUnitSetProperty(mUnit, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, &none, sizeof(none));
    }
    const HostCallbackInfo none = {};
    const UInt32 off = 0, frames = 1024;
    const Float64 rate = 44100.0;
    AudioUnitSetProperty(mUnit, kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0, &none, sizeof(none));
    AudioUnitSetProperty(mUnit, kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, 0, &off, sizeof(off));
    AudioUnitSetProperty(mUnit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &rate, sizeof(rate));
    AudioUnitSetProperty(mUnit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, &frames, sizeof(frames));
    if (AudioUnitSetProperty(mUnit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &mBaseline, sizeof(mBaseline)) != noErr)
      abort();
    AudioUnitReset(mUnit, kAudioUnitScope_Global, 0);
    AudioUnitReset(mSource, kAudioUnitScope_Global, 0);
    mSampleTime = 0.0;
    mSelfConnected = false;
  }

  // Releases what the harness made for the input.
  void EndInput()
  {
    for (CFTypeRef o : mHeld) CFRelease(o);
    mHeld.clear();
    mIn = nullptr;
  }

  void SetInput(FuzzInput* pIn) { mIn = pIn; }

  void RunOps()
  {
    for (int i = 0; i < kMaxOps && !mIn->Empty(); ++i)
    {
      const uint8_t op = mIn->Byte();
      switch (op % 16)
      {
        case 0: case 1: case 2: case 3: Get(); break;
        case 4: case 5: case 6: GetInfo(); break;
        case 7: case 8: case 9: case 10: case 11: Set(); break;
        case 12: Render(mIn->U16() % kMaxFrames, false); break;
        case 13: AudioUnitInitialize(mUnit); break;
        case 14: (op & 0x10) ? AudioUnitUninitialize(mUnit) : AudioUnitReset(mUnit, kAudioUnitScope_Global, 0); break;
        default: Listen(op); break;
      }
    }
  }

  // The unit as a host then uses it: initialised, a block or two rendered with finite output.
  void CheckStillRenders()
  {
    sHost.mInputResult = noErr;
    sHost.mInputLevel = 0.5f;
    if (mSelfConnected)
    {
      // The host breaks the cycle it made.
      for (UInt32 bus = 0; bus < 2; ++bus)
      {
        const AudioUnitConnection none = { nullptr, 0, bus };
        AudioUnitSetProperty(mUnit, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0, &none, sizeof(none));
      }
    }
    AudioStreamBasicDescription format = {};
    UInt32 formatSize = sizeof(format);
    if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, &format, &formatSize) == noErr &&
        format.mChannelsPerFrame == 0)
    {
      // The output format was refused, and a render with it is: the host sets one the unit takes.
      AudioUnitUninitialize(mUnit);
      format.mChannelsPerFrame = 2;
      if (AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, &format, sizeof(format)) != noErr)
        abort();
    }
    AudioUnitInitialize(mUnit);
    UInt32 maxFrames = 0, size = sizeof(maxFrames);
    if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, &maxFrames, &size) != noErr)
      abort();
    const UInt32 frames = std::min(maxFrames, kFinalFrames);
    for (int block = 0; block < 2; ++block)
      if (Render(frames, true) != noErr) abort();

    Kestrovane* pPlug = (Kestrovane*)GetComponentInstanceStorage(mUnit);
    for (int i = 0; i < pPlug->NParams(); ++i)
    {
      const IParam* pParam = pPlug->GetParam(i);
      const double v = pParam->Value();
      if (!std::isfinite(v) || v < pParam->GetMin() || v > pParam->GetMax()) abort();
    }
  }

private:
  AudioUnitPropertyID PickID()
  {
    const uint8_t b = mIn->Byte();
    return b < 240 ? kKnownIDs[b % (sizeof(kKnownIDs) / sizeof(kKnownIDs[0]))] : mIn->U32();
  }
  AudioUnitScope PickScope()
  {
    const uint8_t b = mIn->Byte();
    return b < 248 ? (AudioUnitScope)(b % 4) : mIn->U32();
  }
  AudioUnitElement PickElement()
  {
    const uint8_t b = mIn->Byte();
    return b < 248 ? (AudioUnitElement)(b % 20) : mIn->U32();
  }
  UInt32 PickSize(AudioUnitPropertyID id)
  {
    const uint8_t b = mIn->Byte();
    const UInt32 natural = NaturalSize(id);
    switch (b >> 6)
    {
      case 0:
      case 1: return natural;
      case 2: return (UInt32)std::max<int>(0, (int)natural + (int)(b % 9) - 4);
      default: return mIn->U16() % 1025;
    }
  }

  // A harness object for a pointer field: CoreFoundation objects are kept until the session ends.
  template <class T>
  void PutField(std::vector<uint8_t>& buf, size_t offset, T value)
  {
    if (offset + sizeof(T) <= buf.size()) memcpy(buf.data() + offset, &value, sizeof(T));
    else if (offset < buf.size()) memset(buf.data() + offset, 0, buf.size() - offset);  // a host passes whole fields
  }
  CFTypeRef Hold(CFTypeRef o)
  {
    if (o) mHeld.push_back(o);
    return o;
  }


  // Pointer fields of what a set passes: null or the harness's own objects.
  void FixSetPayload(AudioUnitPropertyID id, std::vector<uint8_t>& buf)
  {
    const uint8_t sel = mIn->Byte();
    switch (id)
    {
      case kAudioUnitProperty_ClassInfo:
      {
        CFTypeRef value = nullptr;
        switch (sel % 4)
        {
          case 0: break;
          case 1:
          case 2: value = Hold(MakeClassInfo(mUnit, *mIn)); break;
          default: value = Hold(MakeOtherValue(*mIn)); break;
        }
        PutField(buf, 0, value);
        break;
      }
      case kAudioUnitProperty_MakeConnection:
      {
        // None, the other instance, or this one (a cycle, which the render must refuse).
        AudioUnit source = sel % 3 == 1 ? mSource : sel % 3 == 2 ? mUnit : nullptr;
        mSelfConnected = mSelfConnected || source == mUnit;
        PutField(buf, offsetof(AudioUnitConnection, sourceAudioUnit), source);
        break;
      }
      case kAudioUnitProperty_SetRenderCallback:
        PutField(buf, offsetof(AURenderCallbackStruct, inputProc), (sel & 1) ? (AURenderCallback)InputCallback : nullptr);
        PutField(buf, offsetof(AURenderCallbackStruct, inputProcRefCon), (void*)&sHost);
        break;
      case kAudioUnitProperty_HostCallbacks:
        PutField(buf, offsetof(HostCallbackInfo, hostUserData), (void*)&sHost);
        PutField(buf, offsetof(HostCallbackInfo, beatAndTempoProc), (sel & 1) ? BeatAndTempo : nullptr);
        PutField(buf, offsetof(HostCallbackInfo, musicalTimeLocationProc), (sel & 2) ? MusicalTime : nullptr);
        PutField(buf, offsetof(HostCallbackInfo, transportStateProc), (sel & 4) ? Transport : nullptr);
        sHost.mTempo = (sel & 8) ? mIn->Double() : 120.0;
        sHost.mSample = (sel & 16) ? mIn->Double() : 0.0;
        break;
      case kAudioUnitProperty_CurrentPreset:
      case kAudioUnitProperty_PresentPreset:
        PutField(buf, offsetof(AUPreset, presetName),
                 (sel & 1) ? (CFStringRef)Hold(CFStringCreateWithCString(nullptr, "Preset", kCFStringEncodingUTF8)) : nullptr);
        break;
      default: break;
    }
  }

  // Pointer fields of what a get reads, and the objects it hands back zeroed, so the harness
  // knows what to release.
  void FixGetPayload(AudioUnitPropertyID id, std::vector<uint8_t>& buf)
  {
    switch (id)
    {
      case kAudioUnitProperty_ClassInfo:
      case kAudioUnitProperty_ParameterValueStrings:
      case kAudioUnitProperty_FactoryPresets: PutField(buf, 0, (CFTypeRef) nullptr); break;
      case kAudioUnitProperty_CurrentPreset:
      case kAudioUnitProperty_PresentPreset: PutField(buf, offsetof(AUPreset, presetName), (CFStringRef) nullptr); break;
      case kAudioUnitProperty_ParameterInfo:
        PutField(buf, offsetof(AudioUnitParameterInfo, cfNameString), (CFStringRef) nullptr);
        PutField(buf, offsetof(AudioUnitParameterInfo, unitName), (CFStringRef) nullptr);
        break;
      case kAudioUnitProperty_CocoaUI:
        PutField(buf, offsetof(AudioUnitCocoaViewInfo, mCocoaAUViewBundleLocation), (CFURLRef) nullptr);
        PutField(buf, offsetof(AudioUnitCocoaViewInfo, mCocoaAUViewClass), (CFStringRef) nullptr);
        break;
      case kAudioUnitProperty_ParameterStringFromValue:
        sHost.mStringFromValueInput = mIn->Float();
        PutField(buf, offsetof(AudioUnitParameterStringFromValue, inValue),
                 (mIn->Byte() & 1) ? (const AudioUnitParameterValue*)&sHost.mStringFromValueInput : nullptr);
        PutField(buf, offsetof(AudioUnitParameterStringFromValue, outString), (CFStringRef) nullptr);
        break;
      case kAudioUnitProperty_ParameterIDName:
        PutField(buf, offsetof(AudioUnitParameterIDName, outName), (CFStringRef) nullptr);
        break;
      case kAudioUnitProperty_ParameterValueFromString:
      {
        const std::string text = mIn->Text(12);
        CFStringRef s = CFStringCreateWithBytes(nullptr, (const UInt8*)text.data(), (CFIndex)text.size(), kCFStringEncodingISOLatin1, false);
        PutField(buf, offsetof(AudioUnitParameterValueFromString, inString), (CFStringRef)Hold(s));
        break;
      }
      default: break;
    }
  }

  // Releases what a successful get handed over.
  void ReleaseGot(AudioUnitPropertyID id, const std::vector<uint8_t>& buf)
  {
    auto release = [&](size_t offset) {
      CFTypeRef o = nullptr;
      if (offset + sizeof(o) > buf.size()) return;
      memcpy(&o, buf.data() + offset, sizeof(o));
      if (o) CFRelease(o);
    };
    switch (id)
    {
      case kAudioUnitProperty_ClassInfo:
      case kAudioUnitProperty_ParameterValueStrings:
      case kAudioUnitProperty_FactoryPresets: release(0); break;
      case kAudioUnitProperty_CurrentPreset:
      case kAudioUnitProperty_PresentPreset: release(offsetof(AUPreset, presetName)); break;
      case kAudioUnitProperty_ParameterInfo:
        release(offsetof(AudioUnitParameterInfo, cfNameString));
        release(offsetof(AudioUnitParameterInfo, unitName));
        break;
      case kAudioUnitProperty_CocoaUI:
        release(offsetof(AudioUnitCocoaViewInfo, mCocoaAUViewBundleLocation));
        release(offsetof(AudioUnitCocoaViewInfo, mCocoaAUViewClass));
        break;
      case kAudioUnitProperty_ParameterStringFromValue: release(offsetof(AudioUnitParameterStringFromValue, outString)); break;
      case kAudioUnitProperty_ParameterIDName: release(offsetof(AudioUnitParameterIDName, outName)); break;
      default: break;
    }
  }

  void GetInfo()
  {
    const AudioUnitPropertyID id = PickID();
    const AudioUnitScope scope = PickScope();
    const AudioUnitElement element = PickElement();
    const uint8_t how = mIn->Byte();
    UInt32 size = mIn->U32();
    Boolean writable = (Boolean)(how >> 7);
    AudioUnitGetPropertyInfo(mUnit, id, scope, element, (how & 1) ? &size : nullptr, (how & 2) ? &writable : nullptr);
  }

  void Get()
  {
    const AudioUnitPropertyID id = PickID();
    const AudioUnitScope scope = PickScope();
    const AudioUnitElement element = PickElement();
    const uint8_t how = mIn->Byte();
    UInt32 size = PickSize(id);
    // Exactly the size given, on the heap: a write past it is the sanitizer's finding.
    std::vector<uint8_t> buf(size);
    mIn->Read(buf.data(), size);
    FixGetPayload(id, buf);
    const bool withData = (how & 3) != 0, withSize = (how & 4) == 0;
    if (!withSize) size = 0;
    const OSStatus r = AudioUnitGetProperty(mUnit, id, scope, element, withData ? buf.data() : nullptr, withSize ? &size : nullptr);
    if (r == noErr && withData) ReleaseGot(id, buf);
  }

  void Set()
  {
    const AudioUnitPropertyID id = PickID();
    const AudioUnitScope scope = PickScope();
    const AudioUnitElement element = PickElement();
    const uint8_t how = mIn->Byte();
    const UInt32 size = PickSize(id);
    std::vector<uint8_t> buf(size);
    mIn->Read(buf.data(), size);
    FixSetPayload(id, buf);
    AudioUnitSetProperty(mUnit, id, scope, element, (how & 7) ? buf.data() : nullptr, size);
  }

  void Listen(uint8_t op)
  {
    const AudioUnitPropertyID id = PickID();
    if (op & 0x10)
    {
      if (AudioUnitAddPropertyListener(mUnit, id, Listener, &sHost) == noErr) mListened.push_back(id);
    }
    else AudioUnitRemovePropertyListenerWithUserData(mUnit, id, Listener, &sHost);
  }

  // One render call; `host` renders as a host does for the final check (memory of its own for
  // every channel of the output format), otherwise the list comes from the input.
  OSStatus Render(UInt32 nFrames, bool host)
  {
    UInt32 nBuffers = 2;
    double sampleTime = mSampleTime;
    uint8_t noMemory = 0, flags = 0;  // per buffer: the unit lends its own; see below
    if (host)
    {
      AudioStreamBasicDescription format = {};
      UInt32 size = sizeof(format);
      if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, &format, &size) == noErr &&
          format.mChannelsPerFrame > 0)
        nBuffers = std::min<UInt32>(format.mChannelsPerFrame, kMaxBuffers);
    }
    else
    {
      nBuffers = mIn->Byte() % (kMaxBuffers + 1);
      noMemory = mIn->Byte();
      flags = mIn->Byte();
      if (flags & 1) sampleTime = mIn->Double();
      sHost.mInputResult = (flags & 2) ? (OSStatus)-10863 : noErr;
      // Audio, up to 12 dB over full scale: finite output is asked of finite, sane input only.
      sHost.mInputLevel = (flags & 4) ? (mIn->Byte() % 17) / 4.0f : 0.5f;
    }
    mSampleTime = sampleTime + nFrames;

    alignas(AudioBufferList) uint8_t listBytes[sizeof(AudioBufferList) + kMaxBuffers * sizeof(AudioBuffer)];
    AudioBufferList* pList = (AudioBufferList*)listBytes;
    pList->mNumberBuffers = nBuffers;
    static float sOut[kMaxBuffers][kMaxFrames];
    for (UInt32 b = 0; b < nBuffers; ++b)
    {
      // Without memory the unit lends its own; a short first buffer must be refused, never written.
      const bool memory = !((noMemory >> b) & 1);
      const UInt32 bytes = ((flags & 8) && b == 0) ? nFrames * 2 : nFrames * (UInt32)sizeof(float);
      memset(sOut[b], 0, sizeof(sOut[b]));
      pList->mBuffers[b] = { 1, std::min<UInt32>(bytes, kMaxFrames * sizeof(float)), memory ? sOut[b] : nullptr };
    }
    AudioTimeStamp ts = {};
    ts.mSampleTime = sampleTime;
    ts.mFlags = kAudioTimeStampSampleTimeValid;
    AudioUnitRenderActionFlags actionFlags = 0;
    const OSStatus r = AudioUnitRender(mUnit, &actionFlags, &ts, 0, nFrames, pList);
    if (r != noErr) return r;
    for (UInt32 b = 0; b < nBuffers; ++b)
    {
      const AudioBuffer& buf = pList->mBuffers[b];
      if (!buf.mData) continue;
      if (buf.mDataByteSize < nFrames * sizeof(float))
      {
        if (host) abort();  // the host's whole buffer, shortened by the unit
        continue;
      }
      const float* p = (const float*)buf.mData;
      for (UInt32 i = 0; i < nFrames; ++i)
        if (!std::isfinite(p[i])) abort();
    }
    return r;
  }

  FuzzInput* mIn = nullptr;
  AudioUnit mUnit = nullptr;
  AudioUnit mSource = nullptr;  // never connected itself, so no render loops back
  CFPropertyListRef mBaseline = nullptr;
  std::vector<AudioUnitPropertyID> mListened;
  std::vector<CFTypeRef> mHeld;
  double mSampleTime = 0.0;
  bool mSelfConnected = false;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static Harness* sHarness = [] {
    RegisterBundleFolder(KV_KESTROVANE_AU_BUNDLE);
    static const ComponentDescription desc = { kAudioUnitType_Effect, PLUG_UNIQUE_ID, PLUG_MFR_ID, 0, 0 };
    return new Harness(RegisterComponent(&desc, IFxAU::IFxAUEntry, 0, "Kestrovane: fuzz"));
  }();

  sHost = HostState();
  sHarness->Restore();
  const long live = CFTestLiveObjectCount();
  FuzzInput in(data, size);
  sHarness->SetInput(&in);
  sHarness->RunOps();
  sHarness->CheckStillRenders();
  sHarness->EndInput();
  AUEventRecorderClear();
  FoundationTestKit::DrainImplicitPool();
  if (CFTestLiveObjectCount() != live) abort();
  return 0;
}
