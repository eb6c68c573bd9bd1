// Benchmarks of the tag extractor on typical and large messages.
#include <benchmark/benchmark.h>

#include <string>

#include "protocol/tag_message.h"

static void BM_GetTagValueMove(benchmark::State& state) {
  const std::string message = "<<GameIndex=3>><<Move=88>><<black>><<Time=0:12:34>>";
  for (auto _ : state) benchmark::DoNotOptimize(GetTagValue(message, "<<Move="));
}
BENCHMARK(BM_GetTagValueMove);

static void BM_GetTagValueAfterLongRecord(benchmark::State& state) {
  std::string message = "<<Kifu=(;SZ[19]";
  for (int i = 0; i < 300; ++i) message += ";[pd]";
  message += ")>><<WatchList=alice\nbob\n>>";
  for (auto _ : state) benchmark::DoNotOptimize(GetTagValue(message, "<<WatchList="));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(message.size()));
}
BENCHMARK(BM_GetTagValueAfterLongRecord);

static void BM_EscapeChatText(benchmark::State& state) {
  const std::string typed = "good move >> really <<no>> ok>";
  for (auto _ : state) benchmark::DoNotOptimize(EscapeChatText(typed));
}
BENCHMARK(BM_EscapeChatText);
