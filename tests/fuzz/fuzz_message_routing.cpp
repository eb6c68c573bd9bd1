// Fuzzer of the client's reader: what the server sends, cut by the client's framer and routed by
// the reader's order of tests in any state of the board window. Input: four state bytes, then the
// bytes the server sent.
#include <cstdint>
#include <string>
#include <vector>

#include "client/connection/model/message_routing.h"
#include "protocol/message_framer.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  constexpr int kModes[] = {0, 1, 2, 5};
  ReaderState state;
  state.BoardMode = kModes[data[0] % 4];
  state.ClockState = data[1] % 3;
  state.InputAllowed = data[2] & 1;
  state.RealTimeMode = data[3] % 3;
  state.CountingBoardVisible = (data[3] & 4) != 0;
  MessageFramer framer(MessageFramer::Side::Client);
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 4, size - 4);
  // The server falls quiet after its bytes: a message that waited for its tail is read too.
  std::vector<std::string> messages = framer.Feed(bytes);
  framer.Flush(messages);
  for (const std::string& message : messages) {
    const std::vector<ReaderAction> steps = RouteMessage(message, state);
    // The most a message asks: its wait hint stored, then in the room the game-list board
    // hidden, the queue, the holder and the members shown.
    Require(steps.size() <= 5, "more steps than any message has");
    for (ReaderAction step : steps) {
      Require(std::string_view(ReaderActionName(step)) != "?", "an action without a name");
    }
  }
  return 0;
}
