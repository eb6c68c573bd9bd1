// Fuzzer of the message framer. Input: a side byte (bit 0: the client reads), a byte that sets
// the sizes of the reads and the pauses between them, then the byte stream. Nothing is ever lost,
// reordered or held beyond the bound, however the stream is cut into reads and paused.
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/message_framer.h"
#include "tests/fuzz/fuzz_support.h"

namespace {
void Take(std::vector<std::string>& from, const MessageFramer& framer,
          std::vector<std::string>& out) {
  for (std::string& m : from) {
    Require(m.size() <= framer.MaxMessage(), "a message beyond the bound");
    Require(!m.empty(), "an empty message");
    out.push_back(std::move(m));
  }
}

// Feeds `stream` in reads whose sizes follow `seed`, with a pause after some of them (a message
// that may still grow is handed over); returns the messages in order.
std::vector<std::string> Frame(MessageFramer& framer, std::string_view stream, unsigned seed) {
  std::vector<std::string> out;
  unsigned state = seed * 2654435761u + 1;
  for (std::size_t at = 0; at < stream.size();) {
    state = state * 1103515245u + 12345u;
    const std::size_t length = seed == 0 ? stream.size() : 1 + (state >> 16) % 97;
    std::vector<std::string> read = framer.Feed(stream.substr(at, length));
    Take(read, framer, out);
    Require(framer.HeldBytes() <= framer.MaxMessage(), "held beyond the bound");
    if (state & 0x8000) {
      const bool may_grow = framer.MayGrow();
      read = framer.Flush();
      Require(may_grow || read.empty(), "a pause handed over a message that could not grow");
      Require(!may_grow || !read.empty(), "a pause kept a message that may grow");
      Require(!framer.MayGrow(), "still growing after a pause");
      Take(read, framer, out);
    }
    at += length;
  }
  std::vector<std::string> last = framer.Flush();
  Take(last, framer, out);
  return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const auto side = data[0] & 1 ? MessageFramer::Side::Client : MessageFramer::Side::Server;
  const std::string_view stream(reinterpret_cast<const char*>(data) + 2, size - 2);
  for (const unsigned seed : {0u, static_cast<unsigned>(data[1]) + 1}) {
    MessageFramer framer(side);
    const std::vector<std::string> messages = Frame(framer, stream, seed);
    // Below the bound nothing is dropped: the messages and what is held are the stream itself.
    if (stream.size() <= framer.MaxMessage()) {
      std::string joined;
      for (const std::string& m : messages) joined += m;
      Require(joined.size() + framer.HeldBytes() == stream.size(), "bytes lost or added");
      Require(stream.compare(0, joined.size(), joined) == 0, "bytes reordered");
    }
    framer.Reset();
    Require(!framer.Holding(), "held after a reset");
  }
  return 0;
}
