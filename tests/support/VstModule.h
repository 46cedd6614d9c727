#pragma once
// Loads a VST module the way a host does (dlopen, then VSTPluginMain or main) and gives tests a
// few typed helpers over the dispatcher. Each instance is closed and the module unloaded at the
// end of the fixture's life.

#include <dlfcn.h>
#include <vst2_interface.h>

#include <string>
#include <vector>

class VstModule
{
public:
  typedef AEffect* (*EntryProc)(audioMasterCallback);

  explicit VstModule(const std::string& path) : mHandle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
  {
    if (!mHandle) mError = dlerror();
  }
  ~VstModule()
  {
    for (AEffect* pEffect : mOpen) pEffect->dispatcher(pEffect, effClose, 0, 0, nullptr, 0.0f);
    if (mHandle) dlclose(mHandle);
  }
  VstModule(const VstModule&) = delete;
  VstModule& operator=(const VstModule&) = delete;

  bool Loaded() const { return mHandle != nullptr; }
  const std::string& Error() const { return mError; }

  EntryProc Entry(const char* name) const { return mHandle ? (EntryProc)dlsym(mHandle, name) : nullptr; }

  // A new instance through the given entry, closed with the module unless Forget() is called.
  AEffect* Create(audioMasterCallback host, const char* entryName = "VSTPluginMain")
  {
    EntryProc entry = Entry(entryName);
    AEffect* pEffect = entry ? entry(host) : nullptr;
    if (pEffect) mOpen.push_back(pEffect);
    return pEffect;
  }
  void Forget(AEffect* pEffect)
  {
    for (size_t i = 0; i < mOpen.size(); ++i)
      if (mOpen[i] == pEffect) mOpen.erase(mOpen.begin() + (long)i);
  }

private:
  void* mHandle;
  std::string mError;
  std::vector<AEffect*> mOpen;
};

inline VstIntPtr Dispatch(AEffect* pEffect, VstInt32 opCode, VstInt32 idx = 0, VstIntPtr value = 0,
                          void* ptr = nullptr, float opt = 0.0f)
{
  return pEffect->dispatcher(pEffect, opCode, idx, value, ptr, opt);
}

inline std::string DispatchText(AEffect* pEffect, VstInt32 opCode, VstInt32 idx = 0, VstIntPtr value = 0, float opt = 0.0f)
{
  char text[512];
  for (char& c : text) c = '\x7f';  // shows how far a reply reached
  text[sizeof(text) - 1] = 0;
  text[0] = 0;
  Dispatch(pEffect, opCode, idx, value, text, opt);
  return text;
}
