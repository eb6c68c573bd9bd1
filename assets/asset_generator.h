// assets/asset_generator.h — the generator of every picture and sound the programs load: the
// list of files it writes and the drawing and synthesis helpers the writers share.
#pragma once
#include <QColor>
#include <QImage>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// One file of the output folder: its path below that folder and the function that writes it
// (given the full path); the writer returns false when the file could not be written.
struct AssetFile {
  std::string name;
  std::function<bool(const std::string& path)> write;
};

// Every file, in the order they are written. Each group of windows adds its own list here.
std::vector<AssetFile> LobbyAssets();
// The board window's boards, stone sheets, background, replay bar, buttons and stone sound.
std::vector<AssetFile> BoardAssets();
// The diagram viewer's small board and its three small stone sheets.
std::vector<AssetFile> ViewerAssets();
// The small board of the record preview and the game-list board, with its stone sheet.
std::vector<AssetFile> PreviewAssets();

// Deterministic smooth noise in [0, 1] over the plane; `scale` is the feature size in pixels.
double ValueNoise(double x, double y, double scale, std::uint32_t seed);

// The part of pixel (column, row) that a disc of `radius` around (centre, centre) covers, from
// 5 x 5 samples: 0 outside, 1 wholly inside.
double DiscCoverage(int column, int row, double centre, double radius);

// Handmade paper: `base` with soft clouding and faint fibres, the same for the same seed.
QImage PaperTexture(int width, int height, QColor base, std::uint32_t seed);
// Pale wood with long grain lines running along the x axis, drawn into `rect` of `image`.
void PaintWoodGrain(QImage& image, const QRect& rect, QColor base, std::uint32_t seed);
// Darkens the edges of the picture a little, so the eye rests in the middle.
void PaintVignette(QImage& image, double strength);

// Mono 16-bit PCM at `rate` samples per second; samples are clipped to [-1, 1].
bool WriteWav(const std::string& path, const std::vector<double>& samples, int rate);
// A bell-like note: a sine with a little of its octave, a short attack and an exponential decay.
void AddChimeNote(std::vector<double>& samples, int rate, double start_seconds, double frequency,
                  double amplitude, double decay_seconds);
