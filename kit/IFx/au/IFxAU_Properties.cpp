// IFxAU: the property table behind GetPropertyInfo, GetProperty and SetProperty.

#include <cmath>
#include <cstring>
#include <new>

#include "IFxAU.h"
#include "IFxAUStrings.h"
#include "IFxDebug.h"
#include "IGraphicsMac.h"

namespace
{
// The first system whose hosts take Cocoa editor views: 10.5.
constexpr int kCocoaUIMinimumSystem = 0x1050;

// The factory-preset array owns its records: releasing the array frees them.
void ReleasePreset(CFAllocatorRef, const void* value)
{
  const AUPreset* pPreset = (const AUPreset*)value;
  CFRelease(pPreset->presetName);
  delete pPreset;
}

const CFArrayCallBacks kPresetArrayCallBacks = { 0, nullptr, ReleasePreset, nullptr, nullptr };

bool IsGlobal(AudioUnitScope scope)
{
  return scope == kAudioUnitScope_Global;
}
}  // namespace

IParam* IFxAU::ParamForHost(AudioUnitParameterID id) const
{
  return id < (AudioUnitParameterID)NParams() ? GetParam((int)id) : nullptr;
}

ComponentResult IFxAU::GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                   UInt32* pDataSize, Boolean* pWriteable, void* pData)
{
  Trace(TRACELOC, "%s(%d:%s):(%d:%s):%d", pData ? "" : "Info", propID, AUPropertyStr(propID), scope,
        AUScopeStr(scope), element);
  // The caller's buffer holds callerSize bytes; a property that does not fit is refused.
  const UInt32 callerSize = *pDataSize;
  auto report = [&](UInt32 size, bool writable) -> bool {
    if (pData && callerSize < size) return false;
    *pDataSize = size;
    if (writable) *pWriteable = true;
    return true;
  };
  const ComponentResult tooSmall = kAudioUnitErr_InvalidPropertyValue;

  switch (propID)
  {
    case kAudioUnitProperty_ClassInfo:
      if (!report(sizeof(CFPropertyListRef), true)) return tooSmall;
      return pData ? GetState((CFPropertyListRef*)pData) : noErr;

    case kAudioUnitProperty_MakeConnection:
      if (!IsGlobal(scope) && scope != kAudioUnitScope_Input) return kAudioUnitErr_InvalidProperty;
      *pDataSize = sizeof(AudioUnitConnection);
      *pWriteable = true;
      return noErr;

    case kAudioUnitProperty_SampleRate:
      if (!report(sizeof(Float64), true)) return tooSmall;
      if (pData) *(Float64*)pData = GetSampleRate();
      return noErr;

    case kAudioUnitProperty_ParameterList:
    {
      const int n = IsGlobal(scope) ? NParams() : 0;
      if (!report((UInt32)(n * sizeof(AudioUnitParameterID)), false)) return tooSmall;
      for (int i = 0; pData && i < n; ++i) ((AudioUnitParameterID*)pData)[i] = (AudioUnitParameterID)i;
      return noErr;
    }

    case kAudioUnitProperty_ParameterInfo:
      if (!IsGlobal(scope) || !ParamForHost(element)) return kAudioUnitErr_InvalidProperty;
      if (!report(sizeof(AudioUnitParameterInfo), false)) return tooSmall;
      return pData ? GetParamInfo(element, (AudioUnitParameterInfo*)pData) : noErr;

    case kAudioUnitProperty_FastDispatch:
      if (!report(sizeof(void*), false)) return tooSmall;
      return pData ? GetProcAddress(element, pData) : noErr;

    case kAudioUnitProperty_StreamFormat:
    {
      BusChannels* pBus = GetBus(scope, element);
      if (!pBus) return kAudioUnitErr_InvalidProperty;
      if (!report(sizeof(AudioStreamBasicDescription), true)) return tooSmall;
      if (!pData) return noErr;
      AudioStreamBasicDescription* pASBD = (AudioStreamBasicDescription*)pData;
      memset(pASBD, 0, sizeof(*pASBD));
      pASBD->mSampleRate = GetSampleRate();
      pASBD->mFormatID = kAudioFormatLinearPCM;
      pASBD->mFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
      pASBD->mBytesPerPacket = 4;
      pASBD->mFramesPerPacket = 1;
      pASBD->mBytesPerFrame = 4;
      pASBD->mChannelsPerFrame = (UInt32)(pBus->mNHostChannels >= 0 ? pBus->mNHostChannels : pBus->mNPlugChannels);
      pASBD->mBitsPerChannel = 32;
      return noErr;
    }

    case kAudioUnitProperty_ElementCount:
      if (!report(sizeof(UInt32), false)) return tooSmall;
      if (pData)
      {
        UInt32 n = 0;
        if (scope == kAudioUnitScope_Input) n = (UInt32)mInBuses.GetSize();
        else if (scope == kAudioUnitScope_Output) n = (UInt32)mOutBuses.GetSize();
        else if (IsGlobal(scope)) n = 1;
        *(UInt32*)pData = n;
      }
      return noErr;

    case kAudioUnitProperty_Latency:
    case kAudioUnitProperty_TailTime:
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      if (!report(sizeof(Float64), false)) return tooSmall;
      if (pData) *(Float64*)pData = (double)GetLatency() / GetSampleRate();
      return noErr;

    case kAudioUnitProperty_SupportedNumChannels:
    {
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      const int n = NChannelIO();
      if (!report((UInt32)(n * sizeof(AUChannelInfo)), false)) return tooSmall;
      for (int i = 0; pData && i < n; ++i)
      {
        int nIn = 0, nOut = 0;
        GetChannelIO(i, &nIn, &nOut);
        ((AUChannelInfo*)pData)[i] = { (SInt16)nIn, (SInt16)nOut };
      }
      return noErr;
    }

    case kAudioUnitProperty_MaximumFramesPerSlice:
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      if (!report(sizeof(UInt32), true)) return tooSmall;
      if (pData) *(UInt32*)pData = (UInt32)GetBlockSize();
      return noErr;

    case kAudioUnitProperty_ParameterValueStrings:
    {
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      const IParam* pParam = ParamForHost(element);
      if (!pParam || !pParam->GetNDisplayTexts())
      {
        *pDataSize = 0;
        return kAudioUnitErr_InvalidProperty;
      }
      if (!report(sizeof(CFArrayRef), false)) return tooSmall;
      if (!pData) return noErr;
      const int n = pParam->GetNDisplayTexts();
      CFMutableArrayRef texts = CFArrayCreateMutable(kCFAllocatorDefault, n, &kCFTypeArrayCallBacks);
      for (int i = 0; i < n; ++i)
      {
        CFStringRef text = NewCFString(pParam->GetDisplayTextAtIdx(i));
        CFArrayAppendValue(texts, text);
        CFRelease(text);
      }
      *(CFArrayRef*)pData = texts;
      return noErr;
    }

    case kAudioUnitProperty_GetUIComponentList:
      if (!GetGUI()) return kAudioUnitErr_InvalidProperty;
      if (!report(sizeof(ComponentDescription), false)) return tooSmall;
      if (pData)
        *(ComponentDescription*)pData = { kAudioUnitCarbonViewComponentType, (OSType)GetUniqueID(), (OSType)GetMfrID(), 0, 0 };
      return noErr;

    case kAudioUnitProperty_BypassEffect:
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      if (!report(sizeof(UInt32), true)) return tooSmall;
      if (pData) *(UInt32*)pData = mBypassed.load() ? 1 : 0;
      return noErr;

    case kAudioUnitProperty_LastRenderError:
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      if (!report(sizeof(OSStatus), false)) return tooSmall;
      if (pData) *(OSStatus*)pData = noErr;
      return noErr;

    case kAudioUnitProperty_SetRenderCallback:
      if (!((IsGlobal(scope) || scope == kAudioUnitScope_Input) && element < (AudioUnitElement)mInBuses.GetSize()))
        return kAudioUnitErr_InvalidProperty;
      *pDataSize = sizeof(AURenderCallbackStruct);
      *pWriteable = true;
      return noErr;

    case kAudioUnitProperty_FactoryPresets:
    {
      if (!report(sizeof(CFArrayRef), false)) return tooSmall;
      if (!pData) return noErr;
      const int n = NPresets();
      CFMutableArrayRef presets = CFArrayCreateMutable(kCFAllocatorDefault, n, &kPresetArrayCallBacks);
      for (int i = 0; i < n; ++i)
        CFArrayAppendValue(presets, new AUPreset{ (SInt32)i, NewCFString(GetPresetName(i)) });
      *(CFArrayRef*)pData = presets;
      return noErr;
    }

    case kAudioUnitProperty_HostCallbacks:
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      *pDataSize = sizeof(HostCallbackInfo);
      *pWriteable = true;
      return noErr;

    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
      if (!report(sizeof(AUPreset), true)) return tooSmall;
      if (pData)
      {
        const int idx = GetCurrentPresetIdx();
        *(AUPreset*)pData = { (SInt32)idx, NewCFString(GetPresetName(idx)) };
      }
      return noErr;

    case kAudioUnitProperty_CocoaUI:
    {
      // Cocoa editor views need a system of 10.5 or later.
      if (!GetGUI() || IGraphicsMac::GetUserOSVersion() < kCocoaUIMinimumSystem) return kAudioUnitErr_InvalidProperty;
      CFStringRef bundleID = NewCFString(mBundleID.Get());
      CFBundleRef bundle = CFBundleGetBundleWithIdentifier(bundleID);
      CFRelease(bundleID);
      if (!bundle) return kAudioUnitErr_InvalidProperty;
      if (!report(sizeof(AudioUnitCocoaViewInfo), false)) return tooSmall;
      if (pData)
      {
        AudioUnitCocoaViewInfo* pViewInfo = (AudioUnitCocoaViewInfo*)pData;
        pViewInfo->mCocoaAUViewBundleLocation = CFBundleCopyBundleURL(bundle);
        pViewInfo->mCocoaAUViewClass[0] = NewCFString(mCocoaViewFactoryClassName.Get());
      }
      return noErr;
    }

    case kAudioUnitProperty_ParameterStringFromValue:
    {
      if (!IsGlobal(scope) || !pData)
      {
        *pDataSize = sizeof(AudioUnitParameterStringFromValue);
        return noErr;
      }
      if (!report(sizeof(AudioUnitParameterStringFromValue), false)) return tooSmall;
      AudioUnitParameterStringFromValue* pSFV = (AudioUnitParameterStringFromValue*)pData;
      const IParam* pParam = ParamForHost(pSFV->inParamID);
      if (!pParam) return kAudioUnitErr_InvalidProperty;
      const double v = pSFV->inValue ? (double)*pSFV->inValue : pParam->Value();
      // The integer part picks the text; a value outside int's range has none.
      const char* text = (std::isfinite(v) && std::fabs(v) < 2147483647.0) ? pParam->GetDisplayText((int)v) : "";
      pSFV->outString = NewCFString(text);
      return noErr;
    }

    case kAudioUnitProperty_ParameterIDName:
    {
      if (!IsGlobal(scope) || !pData)
      {
        *pDataSize = sizeof(AudioUnitParameterIDName);
        return noErr;
      }
      if (!report(sizeof(AudioUnitParameterIDName), false)) return tooSmall;
      AudioUnitParameterIDName* pIDName = (AudioUnitParameterIDName*)pData;
      const IParam* pParam = ParamForHost(pIDName->inID);
      if (!pParam) return kAudioUnitErr_InvalidProperty;
      char name[IParam::kNameLen];
      KIT_strlcpy(name, pParam->GetNameForHost(), sizeof(name));
      // -1 (and anything below it) keeps the whole name; 0 to 31 cut it; more is held to 31.
      const SInt32 len = pIDName->inDesiredLength;
      if (len >= 0) name[std::min<SInt32>(len, 31)] = 0;
      pIDName->outName = NewCFString(name);
      return noErr;
    }

    case kAudioUnitProperty_ParameterValueFromString:
    {
      if (!IsGlobal(scope) || !pData)
      {
        *pDataSize = sizeof(AudioUnitParameterValueFromString);
        return noErr;
      }
      if (!report(sizeof(AudioUnitParameterValueFromString), false)) return tooSmall;
      AudioUnitParameterValueFromString* pVFS = (AudioUnitParameterValueFromString*)pData;
      const IParam* pParam = ParamForHost(pVFS->inParamID);
      if (!pParam) return kAudioUnitErr_InvalidProperty;
      char text[256];
      int value = 0;
      if (CFStringToUTF8(pVFS->inString, text, sizeof(text)) && pParam->MapDisplayText(text, &value))
        pVFS->outValue = (AudioUnitParameterValue)value;
      return noErr;
    }

    case kMusicDeviceProperty_InstrumentCount:
      if (!IsGlobal(scope) || !IsInst()) return kAudioUnitErr_InvalidProperty;
      if (!report(sizeof(UInt32), false)) return tooSmall;
      if (pData) *(UInt32*)pData = 1;
      return noErr;

    default: return kAudioUnitErr_InvalidProperty;
  }
}

ComponentResult IFxAU::GetParamInfo(AudioUnitElement element, AudioUnitParameterInfo* pInfo)
{
  const IParam* pParam = ParamForHost(element);
  memset(pInfo, 0, sizeof(*pInfo));
  const char* name = pParam->GetNameForHost();
  KIT_strlcpy(pInfo->name, name, sizeof(pInfo->name));
  pInfo->clumpID = 0;
  pInfo->cfNameString = NewCFString(name);
  pInfo->flags = kAudioUnitParameterFlag_IsWritable | kAudioUnitParameterFlag_IsReadable |
                 kAudioUnitParameterFlag_HasCFNameString | kAudioUnitParameterFlag_CFNameRelease;
  switch (pParam->Type())
  {
    case IParam::kTypeBool: pInfo->unit = kAudioUnitParameterUnit_Boolean; break;
    case IParam::kTypeEnum: pInfo->unit = kAudioUnitParameterUnit_Indexed; break;
    default:
    {
      const char* label = pParam->GetLabelForHost();
      if (label && label[0])
      {
        pInfo->unit = kAudioUnitParameterUnit_CustomUnit;
        pInfo->unitName = NewCFString(label);
      }
      else
      {
        pInfo->unit = kAudioUnitParameterUnit_Generic;
      }
      break;
    }
  }
  double minVal = 0.0, maxVal = 0.0;
  pParam->GetBounds(&minVal, &maxVal);
  pInfo->minValue = (AudioUnitParameterValue)minVal;
  pInfo->maxValue = (AudioUnitParameterValue)maxVal;
  pInfo->defaultValue = (AudioUnitParameterValue)pParam->Value();
  return noErr;
}

ComponentResult IFxAU::GetProcAddress(AudioUnitElement element, void* pData)
{
  switch (element)
  {
    case kAudioUnitGetParameterSelect: *(AudioUnitGetParameterProc*)pData = GetParamProc; return noErr;
    case kAudioUnitSetParameterSelect: *(AudioUnitSetParameterProc*)pData = SetParamProc; return noErr;
    case kAudioUnitRenderSelect: *(AudioUnitRenderProc*)pData = RenderProc; return noErr;
    default: return kAudioUnitErr_InvalidElement;
  }
}

ComponentResult IFxAU::SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                   UInt32* pDataSize, const void* pData)
{
  Trace(TRACELOC, "(%d:%s):(%d:%s):%d", propID, AUPropertyStr(propID), scope, AUScopeStr(scope), element);
  InformListeners(propID, scope);

  // Data that is missing or shorter than what the property reads is refused, never over-read.
  const UInt32 size = pDataSize ? *pDataSize : 0;
  auto given = [&](UInt32 needed) { return pData && size >= needed; };
  const ComponentResult badData = kAudioUnitErr_InvalidPropertyValue;

  switch (propID)
  {
    case kAudioUnitProperty_ClassInfo:
      if (!given(sizeof(CFPropertyListRef))) return badData;
      return SetState(*(const CFPropertyListRef*)pData);

    case kAudioUnitProperty_MakeConnection:
      if (!IsGlobal(scope) && scope != kAudioUnitScope_Input) return kAudioUnitErr_InvalidProperty;
      if (!given(sizeof(AudioUnitConnection))) return badData;
      return MakeConnection(scope, (const AudioUnitConnection*)pData);

    case kAudioUnitProperty_SampleRate:
    {
      if (!given(sizeof(Float64))) return badData;
      const Float64 rate = *(const Float64*)pData;
      if (!std::isfinite(rate) || rate <= 0.0 || rate >= kMaxSampleRate) return badData;
      SetSampleRate(rate);
      Reset();
      InvalidateInputs();
      return noErr;
    }

    case kAudioUnitProperty_StreamFormat:
      if (!GetBus(scope, element)) return kAudioUnitErr_InvalidProperty;
      if (!given(sizeof(AudioStreamBasicDescription))) return badData;
      return SetStreamFormat(scope, element, (const AudioStreamBasicDescription*)pData);

    case kAudioUnitProperty_MaximumFramesPerSlice:
      if (!given(sizeof(UInt32))) return badData;
      if (!TrySetBlockSize(*(const UInt32*)pData)) return badData;
      Reset();
      return noErr;

    case kAudioUnitProperty_BypassEffect:
      if (!given(sizeof(UInt32))) return badData;
      mBypassed.store(*(const UInt32*)pData != 0);
      Reset();
      return noErr;

    case kAudioUnitProperty_SetRenderCallback:
      if (scope != kAudioUnitScope_Input || element >= (AudioUnitElement)mInBusConnections.GetSize())
        return kAudioUnitErr_InvalidProperty;
      if (!given(sizeof(AURenderCallbackStruct))) return badData;
      return SetRenderCallback(scope, element, (const AURenderCallbackStruct*)pData);

    case kAudioUnitProperty_HostCallbacks:
    {
      if (!IsGlobal(scope)) return kAudioUnitErr_InvalidProperty;
      if (!pData && size) return badData;
      // A host may know an older, shorter record: only what it gave is copied, the rest is null.
      HostCallbackInfo info = {};
      memcpy(&info, pData ? pData : &info, std::min<size_t>(size, sizeof(info)));
      mHostCallbacks = info;
      return noErr;
    }

    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
      if (!given(sizeof(SInt32))) return badData;
      RestorePreset((int)((const AUPreset*)pData)->presetNumber);
      return noErr;

    default: return kAudioUnitErr_InvalidProperty;
  }
}
