// protocol/message_framer.cpp — message boundaries on a byte stream.
#include "protocol/message_framer.h"

namespace {
constexpr std::string_view kNamePrompt = "<<QuellName=";
constexpr std::string_view kSnapshotEnd = "<<DraumEND>>";
constexpr std::string_view kSnapshotOpeners[] = {"<<WatchGame=", "<<DiscussEnter>>"};
}  // namespace

bool MessageFramer::Complete() const {
  if (held_ == kNamePrompt) return true;
  if (held_.size() < 2 || held_.compare(held_.size() - 2, 2, ">>") != 0) return false;
  if (side_ == Side::Server) return true;
  // A snapshot is complete only with its end mark after its last opener.
  std::size_t last_opener = std::string::npos;
  for (std::string_view opener : kSnapshotOpeners) {
    const std::size_t at = held_.rfind(opener);
    if (at != std::string::npos && (last_opener == std::string::npos || at > last_opener)) {
      last_opener = at;
    }
  }
  return last_opener == std::string::npos ||
         held_.find(kSnapshotEnd, last_opener) != std::string::npos;
}

std::optional<std::string> MessageFramer::Feed(std::string_view chunk) {
  held_.append(chunk);
  if (held_.empty() || (!Complete() && held_.size() <= kMaxHeld)) return std::nullopt;
  std::string message;
  message.swap(held_);
  return message;
}
