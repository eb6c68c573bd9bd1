// platform/random_numbers.h — the random numbers the programs draw (lots for colours), seeded
// from the clock, with a scripted double for tests.
#pragma once
#include <deque>
#include <random>

class RandomNumbers {
 public:
  virtual ~RandomNumbers() = default;
  // The next number, from 0 to 32767 like the C runtime's generator.
  virtual int Next() = 0;
};

class SeededRandomNumbers : public RandomNumbers {
 public:
  explicit SeededRandomNumbers(unsigned long long seed) : engine_(seed) {}
  int Next() override { return static_cast<int>(engine_() % 32768u); }

 private:
  std::mt19937_64 engine_;
};

// Test double: hands out the queued numbers, then 0.
class ScriptedRandomNumbers : public RandomNumbers {
 public:
  void Queue(int number) { numbers_.push_back(number); }
  int Next() override {
    if (numbers_.empty()) return 0;
    const int number = numbers_.front();
    numbers_.pop_front();
    return number;
  }

 private:
  std::deque<int> numbers_;
};
