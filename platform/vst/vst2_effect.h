#pragma once
// The VST 2.4 plug-in binary interface: the effect record a plug-in hands to its host, the
// callbacks on both sides, the effect flags and the opcodes of the dispatcher and of the host
// callback. The layout is the public 64-bit one that Linux hosts use; the asserts below pin it.

#include <cstddef>
#include <cstdint>

typedef int16_t VstInt16;
typedef int32_t VstInt32;
typedef int64_t VstInt64;
typedef intptr_t VstIntPtr;

#define VSTCALLBACK

struct AEffect;

typedef VstIntPtr(VSTCALLBACK* audioMasterCallback)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                    VstIntPtr value, void* ptr, float opt);
typedef VstIntPtr(VSTCALLBACK* AEffectDispatcherProc)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                      VstIntPtr value, void* ptr, float opt);
typedef void(VSTCALLBACK* AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs,
                                              VstInt32 sampleFrames);
typedef void(VSTCALLBACK* AEffectProcessDoubleProc)(AEffect* effect, double** inputs, double** outputs,
                                                    VstInt32 sampleFrames);
typedef void(VSTCALLBACK* AEffectSetParameterProc)(AEffect* effect, VstInt32 index, float parameter);
typedef float(VSTCALLBACK* AEffectGetParameterProc)(AEffect* effect, VstInt32 index);

// 'VstP', the magic every effect record starts with.
#define kEffectMagic 0x56737450

struct AEffect
{
  VstInt32 magic;
  AEffectDispatcherProc dispatcher;
  AEffectProcessProc process;  // accumulating
  AEffectSetParameterProc setParameter;
  AEffectGetParameterProc getParameter;
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 numInputs;
  VstInt32 numOutputs;
  VstInt32 flags;
  VstIntPtr resvd1;
  VstIntPtr resvd2;
  VstInt32 initialDelay;
  VstInt32 realQualities;
  VstInt32 offQualities;
  float ioRatio;
  void* object;  // the plug-in's own instance
  void* user;    // the host's
  VstInt32 uniqueID;
  VstInt32 version;
  AEffectProcessProc processReplacing;
  AEffectProcessDoubleProc processDoubleReplacing;
  char future[56];
};

static_assert(sizeof(void*) == 8, "the interface is laid out for 64-bit processes");
static_assert(sizeof(AEffect) == 192, "effect record size");
static_assert(offsetof(AEffect, dispatcher) == 8, "dispatcher offset");
static_assert(offsetof(AEffect, numPrograms) == 40, "numPrograms offset");
static_assert(offsetof(AEffect, flags) == 56, "flags offset");
static_assert(offsetof(AEffect, initialDelay) == 80, "initialDelay offset");
static_assert(offsetof(AEffect, ioRatio) == 92, "ioRatio offset");
static_assert(offsetof(AEffect, object) == 96, "object offset");
static_assert(offsetof(AEffect, uniqueID) == 112, "uniqueID offset");
static_assert(offsetof(AEffect, processReplacing) == 120, "processReplacing offset");
static_assert(offsetof(AEffect, processDoubleReplacing) == 128, "processDoubleReplacing offset");

enum VstAEffectFlags
{
  effFlagsHasEditor = 1 << 0,
  effFlagsCanMono = 1 << 3,  // no longer part of the published flags; old hosts still read it
  effFlagsCanReplacing = 1 << 4,
  effFlagsProgramChunks = 1 << 5,
  effFlagsIsSynth = 1 << 8,
  effFlagsNoSoundInStop = 1 << 9,
  effFlagsCanDoubleReplacing = 1 << 12
};

// Dispatcher opcodes, the host's requests to the plug-in.
enum AEffectOpcodes
{
  effOpen = 0,
  effClose,
  effSetProgram,
  effGetProgram,
  effSetProgramName,
  effGetProgramName,
  effGetParamLabel,
  effGetParamDisplay,
  effGetParamName,
  effGetVu,
  effSetSampleRate,
  effSetBlockSize,
  effMainsChanged,
  effEditGetRect,
  effEditOpen,
  effEditClose,
  effEditDraw,
  effEditMouse,
  effEditKey,
  effEditIdle,
  effEditTop,
  effEditSleep,
  effIdentify,
  effGetChunk,
  effSetChunk,
  effProcessEvents,
  effCanBeAutomated,
  effString2Parameter,
  effGetNumProgramCategories,
  effGetProgramNameIndexed,
  effCopyProgram,
  effConnectInput,
  effConnectOutput,
  effGetInputProperties,
  effGetOutputProperties,
  effGetPlugCategory,
  effGetCurrentPosition,
  effGetDestinationBuffer,
  effOfflineNotify,
  effOfflinePrepare,
  effOfflineRun,
  effProcessVarIo,
  effSetSpeakerArrangement,
  effSetBlockSizeAndSampleRate,
  effSetBypass,
  effGetEffectName,
  effGetErrorText,
  effGetVendorString,
  effGetProductString,
  effGetVendorVersion,
  effVendorSpecific,
  effCanDo,
  effGetTailSize,
  effIdle,
  effGetIcon,
  effSetViewPosition,
  effGetParameterProperties,
  effKeysRequired,
  effGetVstVersion,
  effEditKeyDown,
  effEditKeyUp,
  effSetEditKnobMode,
  effGetMidiProgramName,
  effGetCurrentMidiProgram,
  effGetMidiProgramCategory,
  effHasMidiProgramsChanged,
  effGetMidiKeyName,
  effBeginSetProgram,
  effEndSetProgram,
  effGetSpeakerArrangement,
  effShellGetNextPlugin,
  effStartProcess,
  effStopProcess,
  effSetTotalSampleToProcess,
  effSetPanLaw,
  effBeginLoadBank,
  effBeginLoadProgram,
  effSetProcessPrecision,
  effGetNumMidiInputChannels,
  effGetNumMidiOutputChannels,
  kVstNumEffectOpcodes
};
static_assert(effSetSpeakerArrangement == 42 && effGetVstVersion == 58 && effGetSpeakerArrangement == 69 &&
                effGetNumMidiOutputChannels == 79,
              "dispatcher opcode numbering");

// Host-callback opcodes, the plug-in's requests to the host.
enum AudioMasterOpcodes
{
  audioMasterAutomate = 0,
  audioMasterVersion = 1,
  audioMasterCurrentId = 2,
  audioMasterIdle = 3,
  audioMasterWantMidi = 6,
  audioMasterGetTime = 7,
  audioMasterProcessEvents = 8,
  audioMasterIOChanged = 13,
  audioMasterSizeWindow = 15,
  audioMasterGetSampleRate = 16,
  audioMasterGetBlockSize = 17,
  audioMasterGetInputLatency = 18,
  audioMasterGetOutputLatency = 19,
  audioMasterGetCurrentProcessLevel = 23,
  audioMasterGetAutomationState = 24,
  audioMasterGetVendorString = 32,
  audioMasterGetProductString = 33,
  audioMasterGetVendorVersion = 34,
  audioMasterVendorSpecific = 35,
  audioMasterCanDo = 37,
  audioMasterGetLanguage = 38,
  audioMasterGetDirectory = 41,
  audioMasterUpdateDisplay = 42,
  audioMasterBeginEdit = 43,
  audioMasterEndEdit = 44
};

enum VstProcessLevels
{
  kVstProcessLevelUnknown = 0,
  kVstProcessLevelUser,
  kVstProcessLevelRealtime,
  kVstProcessLevelPrefetch,
  kVstProcessLevelOffline
};

enum VstPlugCategory
{
  kPlugCategUnknown = 0,
  kPlugCategEffect,
  kPlugCategSynth
};

// Sizes of the text fields the interface publishes, terminator included.
enum VstStringConstants
{
  kVstMaxProgNameLen = 24,
  kVstMaxParamStrLen = 8,
  kVstMaxVendorStrLen = 64,
  kVstMaxProductStrLen = 64,
  kVstMaxEffectNameLen = 32,
  kVstMaxNameLen = 64,
  kVstMaxLabelLen = 64,
  kVstMaxShortLabelLen = 8
};

// The interface version a 2.4 plug-in or host reports.
#define kVstVersion 2400

// The four-character codes of the interface, packed as hosts read them.
#define CCONST(a, b, c, d) \
  ((((VstInt32)(a)) << 24) | (((VstInt32)(b)) << 16) | (((VstInt32)(c)) << 8) | ((VstInt32)(d)))
