// platform/clock.h — the date and time texts the programs write, in fixed formats.
#pragma once
#include <string>

// Dates are "yyyy/MM/dd" and times "H:mm:ss", whatever the locale.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::string DateText() const = 0;
  virtual std::string TimeText() const = 0;
  // Seconds since the epoch, for seeding and measuring.
  virtual long long EpochSeconds() const = 0;
  // Milliseconds of a steady count that no change of the time of day moves, for short waits.
  virtual long long SteadyMilliseconds() const = 0;
};

// The machine's local time.
class SystemClock : public Clock {
 public:
  std::string DateText() const override;
  std::string TimeText() const override;
  long long EpochSeconds() const override;
  long long SteadyMilliseconds() const override;
};

// A clock that shows what it is told; tests use it.
class FixedClock : public Clock {
 public:
  FixedClock(std::string date = "2026/12/09", std::string time = "9:05:07")
      : date_(std::move(date)), time_(std::move(time)) {}
  void Set(std::string date, std::string time) {
    date_ = std::move(date);
    time_ = std::move(time);
  }
  std::string DateText() const override { return date_; }
  std::string TimeText() const override { return time_; }
  long long EpochSeconds() const override { return epoch_; }
  void SetEpochSeconds(long long seconds) { epoch_ = seconds; }
  long long SteadyMilliseconds() const override { return steady_; }
  void AdvanceMilliseconds(long long milliseconds) { steady_ += milliseconds; }

 private:
  std::string date_, time_;
  long long epoch_ = 1'000'000'000;
  long long steady_ = 0;
};

// The shared formats, from broken-down local time.
std::string FormatDateText(int year, int month, int day);
std::string FormatTimeText(int hour, int minute, int second);
