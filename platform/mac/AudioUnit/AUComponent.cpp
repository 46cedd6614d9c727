// The Audio Unit calls a host or another unit makes: each packs its arguments in the calling
// convention of <CoreServices/Components.h> and enters the unit through its component entry.

#include <AudioUnit/AudioUnit.h>

ComponentResult AudioUnitInitialize(AudioUnit ci)
{
  return CallComponentSelector(ci, kAudioUnitInitializeSelect);
}

ComponentResult AudioUnitUninitialize(AudioUnit ci)
{
  return CallComponentSelector(ci, kAudioUnitUninitializeSelect);
}

ComponentResult AudioUnitGetPropertyInfo(AudioUnit ci, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                         AudioUnitElement inElement, UInt32* outDataSize, Boolean* outWritable)
{
  return CallComponentSelector(ci, kAudioUnitGetPropertyInfoSelect, inID, inScope, inElement, outDataSize, outWritable);
}

ComponentResult AudioUnitGetProperty(AudioUnit ci, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                     AudioUnitElement inElement, void* outData, UInt32* ioDataSize)
{
  return CallComponentSelector(ci, kAudioUnitGetPropertySelect, inID, inScope, inElement, outData, ioDataSize);
}

ComponentResult AudioUnitSetProperty(AudioUnit ci, AudioUnitPropertyID inID, AudioUnitScope inScope,
                                     AudioUnitElement inElement, const void* inData, UInt32 inDataSize)
{
  return CallComponentSelector(ci, kAudioUnitSetPropertySelect, inID, inScope, inElement, inData, inDataSize);
}

ComponentResult AudioUnitAddPropertyListener(AudioUnit ci, AudioUnitPropertyID inID,
                                             AudioUnitPropertyListenerProc inProc, void* inProcUserData)
{
  return CallComponentSelector(ci, kAudioUnitAddPropertyListenerSelect, inID, inProc, inProcUserData);
}

ComponentResult AudioUnitRemovePropertyListener(AudioUnit ci, AudioUnitPropertyID inID,
                                                AudioUnitPropertyListenerProc inProc)
{
  return CallComponentSelector(ci, kAudioUnitRemovePropertyListenerSelect, inID, inProc);
}

ComponentResult AudioUnitRemovePropertyListenerWithUserData(AudioUnit ci, AudioUnitPropertyID inID,
                                                            AudioUnitPropertyListenerProc inProc, void* inProcUserData)
{
  return CallComponentSelector(ci, kAudioUnitRemovePropertyListenerWithUserDataSelect, inID, inProc, inProcUserData);
}

ComponentResult AudioUnitAddRenderNotify(AudioUnit ci, AURenderCallback inProc, void* inProcRefCon)
{
  return CallComponentSelector(ci, kAudioUnitAddRenderNotifySelect, inProc, inProcRefCon);
}

ComponentResult AudioUnitRemoveRenderNotify(AudioUnit ci, AURenderCallback inProc, void* inProcRefCon)
{
  return CallComponentSelector(ci, kAudioUnitRemoveRenderNotifySelect, inProc, inProcRefCon);
}

ComponentResult AudioUnitGetParameter(AudioUnit ci, AudioUnitParameterID inID, AudioUnitScope inScope,
                                      AudioUnitElement inElement, AudioUnitParameterValue* outValue)
{
  return CallComponentSelector(ci, kAudioUnitGetParameterSelect, inID, inScope, inElement, outValue);
}

ComponentResult AudioUnitSetParameter(AudioUnit ci, AudioUnitParameterID inID, AudioUnitScope inScope,
                                      AudioUnitElement inElement, AudioUnitParameterValue inValue,
                                      UInt32 inBufferOffsetInFrames)
{
  return CallComponentSelector(ci, kAudioUnitSetParameterSelect, inID, inScope, inElement, inValue, inBufferOffsetInFrames);
}

ComponentResult AudioUnitScheduleParameters(AudioUnit ci, const AudioUnitParameterEvent* inParameterEvent,
                                            UInt32 inNumParamEvents)
{
  return CallComponentSelector(ci, kAudioUnitScheduleParametersSelect, inParameterEvent, inNumParamEvents);
}

ComponentResult AudioUnitRender(AudioUnit ci, AudioUnitRenderActionFlags* ioActionFlags,
                                const AudioTimeStamp* inTimeStamp, UInt32 inOutputBusNumber, UInt32 inNumberFrames,
                                AudioBufferList* ioData)
{
  return CallComponentSelector(ci, kAudioUnitRenderSelect, ioActionFlags, inTimeStamp, inOutputBusNumber,
                               inNumberFrames, ioData);
}

ComponentResult AudioUnitReset(AudioUnit ci, AudioUnitScope inScope, AudioUnitElement inElement)
{
  return CallComponentSelector(ci, kAudioUnitResetSelect, inScope, inElement);
}

ComponentResult MusicDeviceMIDIEvent(AudioUnit ci, UInt32 inStatus, UInt32 inData1, UInt32 inData2,
                                     UInt32 inOffsetSampleFrame)
{
  return CallComponentSelector(ci, kMusicDeviceMIDIEventSelect, inStatus, inData1, inData2, inOffsetSampleFrame);
}

ComponentResult MusicDeviceStartNote(AudioUnit ci, MusicDeviceInstrumentID inInstrument, MusicDeviceGroupID inGroupID,
                                     NoteInstanceID* outNoteInstanceID, UInt32 inOffsetSampleFrame,
                                     const MusicDeviceNoteParams* inParams)
{
  return CallComponentSelector(ci, kMusicDeviceStartNoteSelect, inInstrument, inGroupID, outNoteInstanceID,
                               inOffsetSampleFrame, inParams);
}

ComponentResult MusicDeviceStopNote(AudioUnit ci, MusicDeviceGroupID inGroupID, NoteInstanceID inNoteInstanceID,
                                    UInt32 inOffsetSampleFrame)
{
  return CallComponentSelector(ci, kMusicDeviceStopNoteSelect, inGroupID, inNoteInstanceID, inOffsetSampleFrame);
}
