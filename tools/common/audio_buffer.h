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

// Writes a WAV file; PCM formats are clipped to full scale by libsndfile.
bool WriteWavFile(const std::string& path, const AudioBuffer& audio, SampleFormat format, std::string* pError);

// Peak and RMS level of one channel (or all channels together) in dB relative to full scale;
// silence reads as -inf.
struct Levels
{
  double peakDb;
  double rmsDb;
};
Levels MeasureLevels(const std::vector<float>& samples, int first = 0, int count = -1);
Levels MeasureLevels(const AudioBuffer& audio);

// "-12.3 dB" style text for a level; "-inf dB" for silence.
std::string FormatDb(double db);

}  // namespace kvtool
