#pragma once
// One VST 2.4 plug-in instance hosted from the command line: loads the module (VSTPluginMain or
// main), answers the plug-in's requests to its host, and wraps the dispatcher calls the tool uses.

#include <vst2_interface.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class VstHostedPlugin
{
public:
  VstHostedPlugin() = default;
  ~VstHostedPlugin();
  VstHostedPlugin(const VstHostedPlugin&) = delete;
  VstHostedPlugin& operator=(const VstHostedPlugin&) = delete;

  // Loads the module and creates an instance; false with a message when it cannot.
  bool Load(const std::string& path, std::string* pError);
  // Opens the instance and sets the rate and block size.
  void Open(double sampleRate, int blockSize);

  AEffect* Effect() const { return mEffect; }
  const char* EntryName() const { return mEntryName; }

  std::string EffectName() const;
  std::string VendorString() const;
  std::string ProductString() const;

  int NumParams() const { return mEffect->numParams; }
  std::string ParamName(int idx) const;
  std::string ParamLabel(int idx) const;
  std::string ParamDisplay(int idx) const;
  float GetParam(int idx) const;
  void SetParam(int idx, float normalized);
  int FindParam(const std::string& name) const;  // -1 when none is called that

  int NumPrograms() const { return mEffect->numPrograms; }
  int CurrentProgram() const;
  std::string ProgramName(int idx) const;
  void SetProgram(int idx);

  // The bank chunk, or empty when the plug-in gives none.
  std::vector<unsigned char> GetStateChunk() const;
  bool SetStateChunk(const std::vector<unsigned char>& bytes);

  enum class ProcessKind { kReplacing, kAccumulating, kDouble };
  ProcessKind BestProcessKind(bool wantDouble) const;

  void Start();  // switches processing on
  void Stop();
  // Processes one block of planar buffers (numInputs in, numOutputs out).
  void ProcessBlock(ProcessKind kind, float** in, float** out, double** dIn, double** dOut, int nFrames);

  // The editor: whether the plug-in has one, its size from get-rect (false while the plug-in
  // reports none: some report it only once the editor is open), opened into a window of the
  // host's windowing system (an X11 window id), its idle call, closing it.
  bool HasEditor() const { return (mEffect->flags & effFlagsHasEditor) != 0; }
  bool EditorSize(int* pWidth, int* pHeight) const;
  bool OpenEditor(uintptr_t parentWindow);
  void IdleEditor();
  void CloseEditor();
  // The edits the plug-in reported since the last call, one line each ("automate 4 0.5123",
  // "begin 4", "end 4"), from whatever thread it reported them on.
  std::vector<std::string> TakeEditLog();

  // What the plug-in asked of the host, for the report.
  int AutomationCount() const { return mAutomations; }
  int EventsReceived() const { return mEventsReceived; }

private:
  static VstIntPtr VSTCALLBACK HostCallback(AEffect* pEffect, VstInt32 opCode, VstInt32 idx, VstIntPtr value,
                                            void* ptr, float opt);
  VstIntPtr Answer(VstInt32 opCode, VstInt32 idx, VstIntPtr value, void* ptr, float opt);
  VstIntPtr Dispatch(VstInt32 opCode, VstInt32 idx = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f) const;
  std::string DispatchText(VstInt32 opCode, VstInt32 idx) const;

  void* mModule = nullptr;
  AEffect* mEffect = nullptr;
  const char* mEntryName = "";
  double mSampleRate = 44100.0;
  int mBlockSize = 512;
  bool mProcessing = false;
  VstTimeInfo mTimeInfo = {};
  std::atomic<int> mAutomations{0};
  std::mutex mEditLogMutex;
  std::vector<std::string> mEditLog;
  int mEventsReceived = 0;
};
