// protocol/message_framer.h — joins the pieces of a message that TCP delivered in several reads.
// Both programs read every connection through one framer each.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// A message ends with ">>", or is the bare name prompt "<<QuellName=". A read that does not end
// so is held and joined with the next read. A watch or room snapshot (it starts with the echoed
// "<<WatchGame=" or "<<DiscussEnter>>" and holds ">>" inside its diagram data) is held until its
// closing "<<DraumEND>>" on the client, the only side that receives snapshots (the server
// receives the requests "<<WatchGame=" and "<<DiscussEnter>>" alone). Several messages that arrive
// in one read stay one text, as the readers expect.
class MessageFramer {
 public:
  enum class Side { Server, Client };
  explicit MessageFramer(Side side = Side::Client) : side_(side) {}

  // Held text beyond this size is handed over as it stands, so a peer that never ends a message
  // cannot make the program hold unbounded memory.
  static constexpr std::size_t kMaxHeld = std::size_t{8} * 1024 * 1024;

  // Adds one read; returns the complete message when there is one.
  std::optional<std::string> Feed(std::string_view chunk);
  // Drops anything held (a new connection starts clean).
  void Reset() { held_.clear(); }
  bool Holding() const { return !held_.empty(); }

 private:
  bool Complete() const;

  Side side_;
  std::string held_;
};
