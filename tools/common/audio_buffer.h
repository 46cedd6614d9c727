#pragma once
// Planar audio as the command-line tools carry it: one float vector per channel, all of one length.

#include <string>
#include <vector>

namespace kvtool
{

struct AudioBuffer
{
  double sampleRate = 44100.0;
  std::vector<std::vector<float>> channels;

  int NumChannels() const { return (int)channels.size(); }
  int NumFrames() const { return channels.empty() ? 0 : (int)channels[0].size(); }
  double Seconds() const { return sampleRate > 0.0 ? NumFrames() / sampleRate : 0.0; }
  void Resize(int nChannels, int nFrames) { channels.assign((size_t)nChannels, std::vector<float>((size_t)nFrames, 0.0f)); }
};

enum class SampleFormat
{
  kFloat32,
  kPcm24,
  kPcm16
};

// Reads any file libsndfile reads (WAV, AIFF, FLAC, ...) into planar floats.
bool ReadAudioFile(const std::string& path, AudioBuffer* pOut, std::string* pError);

// The file types the tools write, named by a file name's extension (any case): .wav, .flac,
// .aif or .aiff, .ogg (Vorbis). False for any other name.
enum class AudioContainer
{
  kWav,
  kFlac,
  kAiff,
  kOggVorbis
};
bool ContainerForPath(const std::string& path, AudioContainer* pOut);
// The extensions ContainerForPath knows, for messages.
constexpr const char* kAudioExtensions = ".wav, .flac, .aif, .aiff or .ogg";

// Whether a container holds samples of a format: FLAC holds PCM only; Ogg Vorbis has no sample
// format of its own (it is written from floats whatever the format).
bool ContainerHolds(AudioContainer container, SampleFormat format);

// Writes an audio file of the type its name's extension names; PCM formats are clipped to full
// scale by libsndfile.
bool WriteAudioFile(const std::string& path, const AudioBuffer& audio, SampleFormat format, std::string* pError);

// Peak and RMS level of one channel (or all channels together) in dB relative to full scale, over
// the finite samples; silence reads as -inf. Samples that are NaN or infinite are counted apart.
struct Levels
{
  double peakDb;
  double rmsDb;
  long nonFinite = 0;
  long count = 0;  // samples measured, finite or not
};
Levels MeasureLevels(const std::vector<float>& samples, int first = 0, int count = -1);
Levels MeasureLevels(const AudioBuffer& audio);

// "-12.3 dB" style text for a level; "-inf dB" for silence.
std::string FormatDb(double db);

// "peak -1.0 dB, RMS -18.8 dB", saying how many samples were NaN or infinite when any were.
std::string LevelsText(const Levels& levels);

}  // namespace kvtool
