// tests/fuzz/fuzz_support.h — what every fuzzer shares: ending the run on a broken rule.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string_view>

// A rule the code must keep was broken: say which and end, so libFuzzer keeps the input.
[[noreturn]] inline void Broken(std::string_view what) {
  std::fputs("broken: ", stderr);
  std::fwrite(what.data(), 1, what.size(), stderr);
  std::fputc('\n', stderr);
  std::abort();
}

inline void Require(bool holds, std::string_view what) {
  if (!holds) Broken(what);
}
