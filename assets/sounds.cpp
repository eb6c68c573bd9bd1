// assets/sounds.cpp — WAV writing and simple synthesis.
#include <cmath>
#include <cstdio>
#include <numbers>

#include "assets/asset_generator.h"
#include "platform/files.h"

namespace {
void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}
}  // namespace

bool WriteWav(const std::string& path, const std::vector<double>& samples, int rate) {
  const auto data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::string wav = "RIFF";
  PutLittleEndian(wav, 36 + data_bytes, 4);
  wav += "WAVEfmt ";
  PutLittleEndian(wav, 16, 4);                                    // format chunk size
  PutLittleEndian(wav, 1, 2);                                     // PCM
  PutLittleEndian(wav, 1, 2);                                     // mono
  PutLittleEndian(wav, static_cast<std::uint32_t>(rate), 4);      // samples per second
  PutLittleEndian(wav, static_cast<std::uint32_t>(rate) * 2, 4);  // bytes per second
  PutLittleEndian(wav, 2, 2);                                     // block align
  PutLittleEndian(wav, 16, 2);                                    // bits per sample
  wav += "data";
  PutLittleEndian(wav, data_bytes, 4);
  for (double sample : samples) {
    const double clipped = std::fmax(-1.0, std::fmin(1.0, sample));
    const auto value = static_cast<std::int16_t>(std::lround(clipped * 32767));
    PutLittleEndian(wav, static_cast<std::uint16_t>(value), 2);
  }
  return WriteWholeFile(path, wav);
}

void AddChimeNote(std::vector<double>& samples, int rate, double start_seconds, double frequency,
                  double amplitude, double decay_seconds) {
  const auto start = static_cast<std::size_t>(start_seconds * rate);
  const double attack = 0.006;
  for (std::size_t i = start; i < samples.size(); ++i) {
    const double t = static_cast<double>(i - start) / rate;
    const double envelope = std::fmin(1.0, t / attack) * std::exp(-t / decay_seconds);
    const double phase = 2 * std::numbers::pi * frequency * t;
    samples[i] += amplitude * envelope * (std::sin(phase) + 0.18 * std::sin(2 * phase));
  }
}
