// IFxAU: construction, the component entry and its selector dispatch, listeners and render
// notifications.

#include "IFxAU.h"

#include <cmath>

#include "IFxDebug.h"

IFxAU::IFxAU(const IFxInstanceInfo& instanceInfo, int nParams, const char* channelIOStr, int nPresets,
             const char* effectName, const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
             int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst)
  : IFxBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID, mfrID, latency,
            plugDoesMidi, plugDoesChunks, plugIsInst)
{
  Trace(TRACELOC, "%s", effectName);
  mBundleID.Set(instanceInfo.mBundleID.Get());
  mCocoaViewFactoryClassName.Set(instanceInfo.mCocoaViewFactoryClassName.Get());

  const int nInputs = NInChannels(), nOutputs = NOutChannels();
  for (int i = 0; i < nInputs / 2; ++i)
  {
    BusChannels* pBus = new BusChannels;
    pBus->mPlugChannelStartIdx = 2 * i;
    pBus->mNPlugChannels = std::min(nInputs - 2 * i, 2);
    mInBuses.Add(pBus);
    mInBusConnections.Add(new InputBusConnection);
  }
  for (int i = 0; i < nOutputs / 2; ++i)
  {
    BusChannels* pBus = new BusChannels;
    pBus->mPlugChannelStartIdx = 2 * i;
    pBus->mNPlugChannels = std::min(nOutputs - 2 * i, 2);
    mOutBuses.Add(pBus);
  }

  PublishRenderNotifies();
  AssessInputConnections();
  SetBlockSize(1024);
}

IFxAU::~IFxAU()
{
  mRenderNotify.Empty(true);
  mInBuses.Empty(true);
  mOutBuses.Empty(true);
  mInBusConnections.Empty(true);
  mPropertyListeners.Empty(true);
  // Closing: no render can be running any more.
  delete mRenderNotifySnapshot.exchange(nullptr);
  FreeRetiredSnapshots();
  mInScratchBuf.Resize(0);
  mOutScratchBuf.Resize(0);
}

void IFxAU::HostSpecificInit()
{
  GetHost();
}

bool IFxAU::SendMidiMsg(IMidiMsg* /*pMsg*/)
{
  return false;
}

bool IFxAU::SendMidiMsgs(KIT_TypedBuf<IMidiMsg>* pMsgs)
{
  for (int i = 0; pMsgs && i < pMsgs->GetSize(); ++i) SendMidiMsg(pMsgs->Get() + i);
  return true;
}

// ----- The component entry -----

ComponentResult IFxAU::IFxAUEntry(ComponentParameters* params, void* storage)
{
  if (!params) return paramErr;
  const int select = params->what;
  Trace(TRACELOC, "(%d:%s)", select, AUSelectStr(select));

  if (select == kComponentOpenSelect)
  {
    ComponentInstance ci = ComponentParamAt<ComponentInstance>(params, 0);
    IFxAU* pPlug = MakePlug();
    if (!pPlug) return memFullErr;
    pPlug->HostSpecificInit();
    pPlug->PruneUninitializedPresets();
    pPlug->mCI = ci;
    SetComponentInstanceStorage(ci, (Handle)pPlug);
    return noErr;
  }

  IFxAU* pPlug = (IFxAU*)storage;
  if (select == kComponentCloseSelect)
  {
    delete pPlug;
    return noErr;
  }
  if (!pPlug) return badComponentInstance;

  KIT_MutexScope lock(pPlug->GetMutex());
  return pPlug->Dispatch(params);
}

ComponentResult IFxAU::Dispatch(ComponentParameters* params)
{
  // Arguments in call order, after the instance in slot 0.
  auto arg = [params](int i) { return params->params[i]; };
  switch (params->what)
  {
    case kComponentCanDoSelect:
    {
      const UInt32 asked = ComponentParamAt<UInt32>(params, 1);
      return (asked <= 17 && (0x3CEFEu & (1u << asked))) ? 1 : 0;
    }
    case kComponentVersionSelect: return GetEffectVersion(false);
    case kAudioUnitInitializeSelect: return DoInitialize();
    case kAudioUnitUninitializeSelect:
      mActive = false;
      ClearConnections();
      InvalidateInputs();
      OnActivate(false);
      return noErr;
    case kAudioUnitGetPropertyInfoSelect:
    {
      UInt32 localSize = 0;
      Boolean localWritable = false;
      UInt32* pSize = (UInt32*)arg(4);
      Boolean* pWritable = (Boolean*)arg(5);
      if (!pSize) pSize = &localSize;
      if (!pWritable) pWritable = &localWritable;
      *pWritable = false;
      return GetProperty((AudioUnitPropertyID)arg(1), (AudioUnitScope)arg(2), (AudioUnitElement)arg(3), pSize,
                         pWritable, nullptr);
    }
    case kAudioUnitGetPropertySelect:
    {
      // Without a size the caller's buffer is taken to hold nothing.
      UInt32 localSize = 0;
      Boolean writable = false;
      UInt32* pSize = (UInt32*)arg(5);
      if (!pSize) pSize = &localSize;
      return GetProperty((AudioUnitPropertyID)arg(1), (AudioUnitScope)arg(2), (AudioUnitElement)arg(3), pSize,
                         &writable, (void*)arg(4));
    }
    case kAudioUnitSetPropertySelect:
    {
      UInt32 size = ComponentParamAt<UInt32>(params, 5);
      return SetProperty((AudioUnitPropertyID)arg(1), (AudioUnitScope)arg(2), (AudioUnitElement)arg(3), &size,
                         (const void*)arg(4));
    }
    case kAudioUnitGetParameterSelect:
      return GetParamProc(this, (AudioUnitParameterID)arg(1), (AudioUnitScope)arg(2), (AudioUnitElement)arg(3),
                          (AudioUnitParameterValue*)arg(4));
    case kAudioUnitSetParameterSelect:
      return SetParamProc(this, (AudioUnitParameterID)arg(1), (AudioUnitScope)arg(2), (AudioUnitElement)arg(3),
                          ComponentParamAt<AudioUnitParameterValue>(params, 4), ComponentParamAt<UInt32>(params, 5));
    case kAudioUnitResetSelect:
      Reset();
      InvalidateInputs();
      return noErr;
    case kAudioUnitAddPropertyListenerSelect:
      return AddPropertyListener((AudioUnitPropertyID)arg(1), (AudioUnitPropertyListenerProc)arg(2), (void*)arg(3));
    case kAudioUnitRemovePropertyListenerSelect:
      return RemovePropertyListener((AudioUnitPropertyID)arg(1), (AudioUnitPropertyListenerProc)arg(2), false, nullptr);
    case kAudioUnitRemovePropertyListenerWithUserDataSelect:
      return RemovePropertyListener((AudioUnitPropertyID)arg(1), (AudioUnitPropertyListenerProc)arg(2), true,
                                    (void*)arg(3));
    case kAudioUnitRenderSelect:
      return RenderProc(this, (AudioUnitRenderActionFlags*)arg(1), (const AudioTimeStamp*)arg(2),
                        ComponentParamAt<UInt32>(params, 3), ComponentParamAt<UInt32>(params, 4),
                        (AudioBufferList*)arg(5));
    case kAudioUnitAddRenderNotifySelect: return AddRenderNotify((AURenderCallback)arg(1), (void*)arg(2));
    case kAudioUnitRemoveRenderNotifySelect: return RemoveRenderNotify((AURenderCallback)arg(1));
    case kAudioUnitScheduleParametersSelect:
      return DoScheduleParameters((const AudioUnitParameterEvent*)arg(1), ComponentParamAt<UInt32>(params, 2));
    case kMusicDeviceMIDIEventSelect:
    {
      IMidiMsg msg(ComponentParamAt<int>(params, 4), (unsigned char)ComponentParamAt<UInt32>(params, 1),
                   (unsigned char)ComponentParamAt<UInt32>(params, 2), (unsigned char)ComponentParamAt<UInt32>(params, 3));
      ProcessMidiMsg(&msg);
      return noErr;
    }
    case kMusicDevicePrepareInstrumentSelect:
    case kMusicDeviceReleaseInstrumentSelect: return noErr;
    case kMusicDeviceStartNoteSelect:
    {
      NoteInstanceID* pNoteID = (NoteInstanceID*)arg(3);
      const MusicDeviceNoteParams* pNoteParams = (const MusicDeviceNoteParams*)arg(5);
      if (pNoteID && pNoteParams)
      {
        const double pitch = pNoteParams->mPitch;
        *pNoteID = (pitch >= 0.0 && pitch < 4294967296.0) ? (NoteInstanceID)pitch : 0;
      }
      return noErr;
    }
    case kMusicDeviceStopNoteSelect: return noErr;
    default: return badComponentSelector;
  }
}

ComponentResult IFxAU::DoInitialize()
{
  const int nIn = NHostChannelsConnected(&mInBuses);
  const int nOut = NHostChannelsConnected(&mOutBuses);
  if (!(nIn == 0 && nOut == 0) && !LegalIO(nIn, nOut)) return badComponentSelector;
  mActive = true;
  // The sources kept through an Uninitialize are pulled again.
  AssessInputConnections();
  OnParamReset();
  OnActivate(true);
  return noErr;
}

ComponentResult IFxAU::DoScheduleParameters(const AudioUnitParameterEvent* events, UInt32 nEvents)
{
  if (!nEvents) return noErr;
  if (!events) return paramErr;
  for (UInt32 i = 0; i < nEvents; ++i)
  {
    const AudioUnitParameterEvent& e = events[i];
    if (e.eventType != kParameterEvent_Immediate) continue;
    const ComponentResult r = SetParamProc(this, e.parameter, e.scope, e.element, e.eventValues.immediate.value,
                                           e.eventValues.immediate.bufferOffset);
    if (r != noErr) return r;
  }
  return noErr;
}

// ----- Property listeners -----

ComponentResult IFxAU::AddPropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc, void* userData)
{
  if (!proc) return paramErr;
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i)
  {
    const PropertyListener* pListener = mPropertyListeners.Get(i);
    if (pListener->mPropID == id && pListener->mListenerProc == proc) return noErr;
  }
  PropertyListener* pListener = new PropertyListener{ id, proc, userData };
  if (!mPropertyListeners.Add(pListener))
  {
    delete pListener;
    return memFullErr;
  }
  return noErr;
}

ComponentResult IFxAU::RemovePropertyListener(AudioUnitPropertyID id, AudioUnitPropertyListenerProc proc,
                                              bool matchUserData, void* userData)
{
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i)
  {
    const PropertyListener* pListener = mPropertyListeners.Get(i);
    if (pListener->mPropID == id && pListener->mListenerProc == proc && (!matchUserData || pListener->mProcArgs == userData))
    {
      mPropertyListeners.Delete(i, true);
      break;
    }
  }
  return noErr;
}

void IFxAU::InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope)
{
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i)
  {
    const PropertyListener* pListener = mPropertyListeners.Get(i);
    if (pListener->mPropID == propID) pListener->mListenerProc(pListener->mProcArgs, mCI, propID, scope, 0);
  }
}

// ----- Render notifications -----
//
// The list itself changes only under the instance mutex. The render reads an immutable snapshot
// of it: it counts itself as a reader, loads the current snapshot and keeps it for the whole render.
// A change publishes a new snapshot and retires the old one, which is freed once no render is
// reading (a render that starts after the publication sees the new one). The render never waits.

ComponentResult IFxAU::AddRenderNotify(AURenderCallback proc, void* refCon)
{
  if (!proc) return paramErr;
  RenderNotify* pNotify = new RenderNotify{ proc, refCon };
  if (!mRenderNotify.Add(pNotify))
  {
    delete pNotify;
    return memFullErr;
  }
  PublishRenderNotifies();
  return noErr;
}

ComponentResult IFxAU::RemoveRenderNotify(AURenderCallback proc)
{
  for (int i = 0; i < mRenderNotify.GetSize(); ++i)
  {
    if (mRenderNotify.Get(i)->mFunc == proc)
    {
      mRenderNotify.Delete(i, true);
      PublishRenderNotifies();
      break;
    }
  }
  return noErr;
}

void IFxAU::PublishRenderNotifies()
{
  RenderNotifySnapshot* pNew = new RenderNotifySnapshot;
  const int n = mRenderNotify.GetSize();
  pNew->mItems.Resize(n);
  if (pNew->mItems.GetSize() != n)
  {
    // No memory for the copy: the render keeps the list it has.
    delete pNew;
    return;
  }
  for (int i = 0; i < n; ++i) pNew->mItems.Get()[i] = *mRenderNotify.Get(i);
  RenderNotifySnapshot* pOld = mRenderNotifySnapshot.exchange(pNew);
  if (pOld)
  {
    pOld->mNextRetired = mRetiredSnapshots;
    mRetiredSnapshots = pOld;
  }
  if (mRenderNotifyReaders.load() == 0) FreeRetiredSnapshots();
}

void IFxAU::FreeRetiredSnapshots()
{
  while (mRetiredSnapshots)
  {
    RenderNotifySnapshot* pNext = mRetiredSnapshots->mNextRetired;
    delete mRetiredSnapshots;
    mRetiredSnapshots = pNext;
  }
}

void IFxAU::SendRenderNotifies(const RenderNotifySnapshot* pSnapshot, AudioUnitRenderActionFlags flags,
                               const AudioTimeStamp* timeStamp, UInt32 outputBusNumber, UInt32 nFrames,
                               AudioBufferList* ioData)
{
  if (!pSnapshot) return;
  const RenderNotify* pItems = pSnapshot->mItems.Get();
  for (int i = 0; i < pSnapshot->mItems.GetSize(); ++i)
  {
    AudioUnitRenderActionFlags f = flags;
    pItems[i].mFunc(pItems[i].mRefCon, &f, timeStamp, outputBusNumber, nFrames, ioData);
  }
}

const char* IFxAU::AUInputTypeStr(EAUInputType type)
{
  switch (type)
  {
    case eDirectFastProc: return "DirectFastProc";
    case eDirectNoFastProc: return "DirectNoFastProc";
    case eRenderCallback: return "RenderCallback";
    case eNotConnected:
    default: return "NotConnected";
  }
}
