#pragma once
// The host features kv-lv2host hands a plug-in at instantiation: URI mapping both ways, options
// (sample rate and block lengths), a log to the error stream, and bounded block lengths. A few
// features ask nothing of a host beyond how it already runs (separate input and output buffers,
// no real-time promise needed); those count as offered too.

#include <lv2/core/lv2.h>
#include <lv2/log/log.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstdarg>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class Lv2HostFeatures
{
public:
  Lv2HostFeatures(double sampleRate, int maxBlock, int sequenceBytes);
  Lv2HostFeatures(const Lv2HostFeatures&) = delete;
  Lv2HostFeatures& operator=(const Lv2HostFeatures&) = delete;

  // The null-terminated list for lilv_plugin_instantiate.
  const LV2_Feature* const* Features() const { return mList.data(); }
  // Whether a feature the plug-in requires is one this host offers.
  static bool Offers(const std::string& uri);

  LV2_URID Map(const char* uri);

private:
  static LV2_URID MapCallback(LV2_URID_Map_Handle handle, const char* uri);
  static const char* UnmapCallback(LV2_URID_Unmap_Handle handle, LV2_URID urid);
  static int LogPrintf(LV2_Log_Handle handle, LV2_URID type, const char* fmt, ...);
  static int LogVPrintf(LV2_Log_Handle handle, LV2_URID type, const char* fmt, va_list ap);

  // Keys of an unordered_map keep their addresses, so unmap can hand them out.
  std::unordered_map<std::string, LV2_URID> mIds;
  std::vector<const std::string*> mUris;  // [urid - 1]

  float mSampleRate;
  int32_t mMinBlock = 1, mMaxBlock, mSequenceBytes;
  LV2_URID_Map mMap;
  LV2_URID_Unmap mUnmap;
  LV2_Log_Log mLog;
  std::vector<LV2_Options_Option> mOptions;
  std::vector<LV2_Feature> mFeatures;
  std::vector<const LV2_Feature*> mList;
};
