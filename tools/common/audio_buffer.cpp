// Audio files through libsndfile, and level measurement.

#include "audio_buffer.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
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

bool ContainerForPath(const std::string& path, AudioContainer* pOut)
{
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return false;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = (char)std::tolower((unsigned char)c);
  const struct
  {
    const char* ext;
    AudioContainer container;
  } kinds[] = { { "wav", AudioContainer::kWav },   { "flac", AudioContainer::kFlac },
                { "aif", AudioContainer::kAiff },  { "aiff", AudioContainer::kAiff },
                { "ogg", AudioContainer::kOggVorbis } };
  for (const auto& k : kinds)
    if (ext == k.ext) return *pOut = k.container, true;
  return false;
}

bool ContainerHolds(AudioContainer container, SampleFormat format)
{
  return container != AudioContainer::kFlac || format != SampleFormat::kFloat32;
}

bool WriteAudioFile(const std::string& path, const AudioBuffer& audio, SampleFormat format, std::string* pError)
{
  AudioContainer container = AudioContainer::kWav;
  if (!ContainerForPath(path, &container))
  {
    if (pError) *pError = path + ": the name ends in none of " + kAudioExtensions;
    return false;
  }
  if (!ContainerHolds(container, format))
  {
    if (pError) *pError = path + ": FLAC holds pcm24 or pcm16 samples, not float";
    return false;
  }
  if (audio.NumChannels() <= 0 || audio.sampleRate < 1.0)
  {
    if (pError) *pError = "nothing to write to " + path;
    return false;
  }
  const int kType[] = { SF_FORMAT_WAV, SF_FORMAT_FLAC, SF_FORMAT_AIFF, SF_FORMAT_OGG };
  SF_INFO info = {};
  info.samplerate = (int)audio.sampleRate;
  info.channels = audio.NumChannels();
  info.format = kType[(int)container] | (container == AudioContainer::kOggVorbis  ? SF_FORMAT_VORBIS
                                         : format == SampleFormat::kFloat32 ? SF_FORMAT_FLOAT
                                         : format == SampleFormat::kPcm24   ? SF_FORMAT_PCM_24
                                                                            : SF_FORMAT_PCM_16);
  if (!sf_format_check(&info))
  {
    if (pError) *pError = "the audio library cannot write " + path + " in that form";
    return false;
  }
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file)
  {
    if (pError) *pError = "cannot write " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  if (format != SampleFormat::kFloat32 && container != AudioContainer::kOggVorbis) sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);

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

// Sums over samples, the non-finite ones counted apart (they would make every sum NaN).
struct LevelSums
{
  double peak = 0.0, sumSq = 0.0;
  long finite = 0, nonFinite = 0;

  void Add(const float* p, const float* end)
  {
    for (; p < end; ++p)
    {
      const double s = *p;
      if (!std::isfinite(s))
      {
        ++nonFinite;
        continue;
      }
      peak = std::max(peak, std::fabs(s));
      sumSq += s * s;
      ++finite;
    }
  }
  Levels Result() const
  {
    Levels l{ ToDb(peak), ToDb(finite > 0 ? std::sqrt(sumSq / (double)finite) : 0.0) };
    l.nonFinite = nonFinite;
    l.count = finite + nonFinite;
    return l;
  }
};
}  // namespace

Levels MeasureLevels(const std::vector<float>& samples, int first, int count)
{
  const int n = (int)samples.size();
  first = std::max(0, std::min(first, n));
  const int end = count < 0 ? n : std::min(n, first + count);
  LevelSums sums;
  sums.Add(samples.data() + first, samples.data() + end);
  return sums.Result();
}

Levels MeasureLevels(const AudioBuffer& audio)
{
  LevelSums sums;
  for (const auto& ch : audio.channels) sums.Add(ch.data(), ch.data() + ch.size());
  return sums.Result();
}

std::string LevelsText(const Levels& l)
{
  if (l.count > 0 && l.nonFinite == l.count) return "no finite sample: all " + std::to_string(l.count) + " are NaN or infinite";
  std::string text = "peak " + FormatDb(l.peakDb) + ", RMS " + FormatDb(l.rmsDb);
  if (l.nonFinite > 0) text += " of the finite samples; " + std::to_string(l.nonFinite) + " samples are NaN or infinite";
  return text;
}

std::string FormatDb(double db)
{
  if (!std::isfinite(db)) return db < 0 ? "-inf dB" : "+inf dB";
  char s[32];
  snprintf(s, sizeof(s), "%.1f dB", db);
  return s;
}

}  // namespace kvtool
