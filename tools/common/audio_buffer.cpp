// Audio files through libsndfile, and level measurement.

#include "audio_buffer.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace kvtool
{

bool ReadAudioFile(const std::string& path, AudioBuffer* pOut, std::string* pError)
{
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file)
  {
    if (pError) *pError = "cannot read " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  if (info.channels <= 0 || info.frames < 0 || info.frames > std::numeric_limits<int>::max() / info.channels)
  {
    sf_close(file);
    if (pError) *pError = path + ": unsupported channel or frame count";
    return false;
  }
  const int nChannels = info.channels;
  const int nFrames = (int)info.frames;
  std::vector<float> interleaved((size_t)nFrames * (size_t)nChannels);
  const sf_count_t got = sf_readf_float(file, interleaved.data(), nFrames);
  sf_close(file);

  pOut->sampleRate = info.samplerate;
  pOut->Resize(nChannels, (int)got);
  for (sf_count_t f = 0; f < got; ++f)
    for (int c = 0; c < nChannels; ++c) pOut->channels[(size_t)c][(size_t)f] = interleaved[(size_t)f * nChannels + c];
  return true;
}

bool WriteWavFile(const std::string& path, const AudioBuffer& audio, SampleFormat format, std::string* pError)
{
  if (audio.NumChannels() <= 0 || audio.sampleRate < 1.0)
  {
    if (pError) *pError = "nothing to write to " + path;
    return false;
  }
  SF_INFO info = {};
  info.samplerate = (int)audio.sampleRate;
  info.channels = audio.NumChannels();
  info.format = SF_FORMAT_WAV | (format == SampleFormat::kFloat32 ? SF_FORMAT_FLOAT
                                 : format == SampleFormat::kPcm24 ? SF_FORMAT_PCM_24
                                                                  : SF_FORMAT_PCM_16);
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file)
  {
    if (pError) *pError = "cannot write " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  if (format != SampleFormat::kFloat32) sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);

  const int nChannels = audio.NumChannels(), nFrames = audio.NumFrames();
  std::vector<float> interleaved((size_t)nFrames * (size_t)nChannels);
  for (int f = 0; f < nFrames; ++f)
    for (int c = 0; c < nChannels; ++c) interleaved[(size_t)f * nChannels + c] = audio.channels[(size_t)c][(size_t)f];
  const sf_count_t written = sf_writef_float(file, interleaved.data(), nFrames);
  const int closeErr = sf_close(file);
  if (written != nFrames || closeErr != 0)
  {
    if (pError) *pError = "short write to " + path;
    return false;
  }
  return true;
}

namespace
{
double ToDb(double amplitude)
{
  return amplitude > 0.0 ? 20.0 * std::log10(amplitude) : -std::numeric_limits<double>::infinity();
}
}  // namespace

Levels MeasureLevels(const std::vector<float>& samples, int first, int count)
{
  const int n = (int)samples.size();
  first = std::max(0, std::min(first, n));
  const int end = count < 0 ? n : std::min(n, first + count);
  double peak = 0.0, sumSq = 0.0;
  for (int i = first; i < end; ++i)
  {
    const double s = samples[(size_t)i];
    peak = std::max(peak, std::fabs(s));
    sumSq += s * s;
  }
  const int len = end - first;
  return { ToDb(peak), ToDb(len > 0 ? std::sqrt(sumSq / len) : 0.0) };
}

Levels MeasureLevels(const AudioBuffer& audio)
{
  double peak = 0.0, sumSq = 0.0;
  size_t len = 0;
  for (const auto& ch : audio.channels)
  {
    for (float s : ch)
    {
      peak = std::max(peak, (double)std::fabs(s));
      sumSq += (double)s * s;
    }
    len += ch.size();
  }
  return { ToDb(peak), ToDb(len ? std::sqrt(sumSq / (double)len) : 0.0) };
}

std::string FormatDb(double db)
{
  if (!std::isfinite(db)) return db < 0 ? "-inf dB" : "+inf dB";
  char s[32];
  snprintf(s, sizeof(s), "%.1f dB", db);
  return s;
}

}  // namespace kvtool
