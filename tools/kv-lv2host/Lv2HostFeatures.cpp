#include "Lv2HostFeatures.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/parameters/parameters.h>

#include <cstdio>

namespace
{
// Features that need no data from a host that runs a plug-in offline with separate buffers.
const char* const kAcceptedWithoutData[] = { LV2_CORE__hardRTCapable, LV2_CORE__inPlaceBroken };
}  // namespace

Lv2HostFeatures::Lv2HostFeatures(double sampleRate, int maxBlock, int sequenceBytes)
  : mSampleRate((float)sampleRate), mMaxBlock(maxBlock), mSequenceBytes(sequenceBytes)
{
  mMap = { this, &MapCallback };
  mUnmap = { this, &UnmapCallback };
  mLog = { this, &LogPrintf, &LogVPrintf };

  const auto option = [this](const char* key, const char* type, uint32_t size, const void* value) {
    mOptions.push_back({ LV2_OPTIONS_INSTANCE, 0, Map(key), size, Map(type), value });
  };
  option(LV2_PARAMETERS__sampleRate, LV2_ATOM__Float, sizeof(float), &mSampleRate);
  // The last block of a pass is shorter when the input does not divide evenly.
  option(LV2_BUF_SIZE__minBlockLength, LV2_ATOM__Int, sizeof(int32_t), &mMinBlock);
  option(LV2_BUF_SIZE__maxBlockLength, LV2_ATOM__Int, sizeof(int32_t), &mMaxBlock);
  option(LV2_BUF_SIZE__nominalBlockLength, LV2_ATOM__Int, sizeof(int32_t), &mMaxBlock);
  option(LV2_BUF_SIZE__sequenceSize, LV2_ATOM__Int, sizeof(int32_t), &mSequenceBytes);
  mOptions.push_back({ LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr });

  mFeatures = { { LV2_URID__map, &mMap },
                { LV2_URID__unmap, &mUnmap },
                { LV2_OPTIONS__options, mOptions.data() },
                { LV2_LOG__log, &mLog },
                { LV2_BUF_SIZE__boundedBlockLength, nullptr } };
  for (const char* uri : kAcceptedWithoutData) mFeatures.push_back({ uri, nullptr });
  for (const LV2_Feature& f : mFeatures) mList.push_back(&f);
  mList.push_back(nullptr);
}

bool Lv2HostFeatures::Offers(const std::string& uri)
{
  for (const char* offered : { LV2_URID__map, LV2_URID__unmap, LV2_OPTIONS__options, LV2_LOG__log,
                               LV2_BUF_SIZE__boundedBlockLength })
    if (uri == offered) return true;
  for (const char* accepted : kAcceptedWithoutData)
    if (uri == accepted) return true;
  return false;
}

LV2_URID Lv2HostFeatures::Map(const char* uri)
{
  const auto found = mIds.find(uri);
  if (found != mIds.end()) return found->second;
  const auto added = mIds.emplace(uri, (LV2_URID)(mUris.size() + 1)).first;
  mUris.push_back(&added->first);
  return added->second;
}

LV2_URID Lv2HostFeatures::MapCallback(LV2_URID_Map_Handle handle, const char* uri)
{
  return uri ? static_cast<Lv2HostFeatures*>(handle)->Map(uri) : 0;
}

const char* Lv2HostFeatures::UnmapCallback(LV2_URID_Unmap_Handle handle, LV2_URID urid)
{
  const auto& uris = static_cast<Lv2HostFeatures*>(handle)->mUris;
  return urid >= 1 && urid <= uris.size() ? uris[urid - 1]->c_str() : nullptr;
}

int Lv2HostFeatures::LogPrintf(LV2_Log_Handle handle, LV2_URID type, const char* fmt, ...)
{
  va_list ap;
  va_start(ap, fmt);
  const int n = LogVPrintf(handle, type, fmt, ap);
  va_end(ap);
  return n;
}

int Lv2HostFeatures::LogVPrintf(LV2_Log_Handle, LV2_URID, const char* fmt, va_list ap)
{
  fputs("kv-lv2host: plug-in says: ", stderr);
  return vfprintf(stderr, fmt, ap);
}
