// platform/clock.cpp — local time in the fixed formats.
#include "platform/clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {
std::tm LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}
}  // namespace

std::string FormatDateText(int year, int month, int day) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d", year, month, day);
  return text;
}

std::string FormatTimeText(int hour, int minute, int second) {
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d:%02d", hour, minute, second);
  return text;
}

std::string SystemClock::DateText() const {
  const std::tm t = LocalNow();
  return FormatDateText(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
}

std::string SystemClock::TimeText() const {
  const std::tm t = LocalNow();
  return FormatTimeText(t.tm_hour, t.tm_min, t.tm_sec);
}

long long SystemClock::EpochSeconds() const { return static_cast<long long>(std::time(nullptr)); }

long long SystemClock::SteadyMilliseconds() const {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}
