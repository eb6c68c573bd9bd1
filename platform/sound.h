// platform/sound.h — short sounds played asynchronously by file name; silent when the file or
// the audio device is missing.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

class QSoundEffect;

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Starts playing the WAV file `file_name` (relative to the current folder) and returns at once.
  virtual void Play(const std::string& file_name) = 0;
};

// Qt Multimedia's sound effect, one per file, made on first use. A missing file is not an error.
class QtSoundPlayer : public SoundPlayer {
 public:
  QtSoundPlayer();
  ~QtSoundPlayer() override;
  void Play(const std::string& file_name) override;
  // How many different files have been prepared for playing (a missing file prepares nothing).
  int PreparedCount() const { return static_cast<int>(effects_.size()); }
  // True when no prepared sound is still being read in the background.
  bool Settled() const;

 private:
  std::map<std::string, std::unique_ptr<QSoundEffect>> effects_;
};

// Test double: remembers what was played, in order.
class RecordingSoundPlayer : public SoundPlayer {
 public:
  void Play(const std::string& file_name) override { played_.push_back(file_name); }
  const std::vector<std::string>& played() const { return played_; }

 private:
  std::vector<std::string> played_;
};
