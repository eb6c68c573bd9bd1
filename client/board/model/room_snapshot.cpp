// Reading the analysis room's snapshot part by part.
#include "client/board/model/room_snapshot.h"

#include <algorithm>
#include <initializer_list>

#include "protocol/tag_message.h"

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::string_view kClose = ">>";
constexpr std::string_view kDiagramsKey = "<<DiscussDia=";
constexpr std::string_view kEnd = ">><<DraumEND>>";

// Reads the parts of the snapshot one after another from a position.
class PartReader {
 public:
  explicit PartReader(std::string_view text, std::size_t pos) : text_(text), pos_(pos) {}

  bool At(std::string_view key) const { return text_.substr(pos_).starts_with(key); }

  // The value of `key` standing at the position, up to the next ">>"; the position moves past
  // it. False, staying put, when the key does not stand here or its value is not closed.
  bool Take(std::string_view key, std::string& value) {
    if (!At(key)) return false;
    const std::size_t start = pos_ + key.size();
    const std::size_t end = text_.find(kClose, start);
    if (end == npos) return false;
    value.assign(text_.substr(start, end - start));
    pos_ = end + kClose.size();
    return true;
  }

  // A flag standing at the position is passed over.
  bool Skip(std::string_view flag) {
    if (!At(flag)) return false;
    pos_ += flag.size();
    return true;
  }

  // Moves on to the first of `keys` at or after the position; false when none follows.
  bool SeekFirst(std::initializer_list<std::string_view> keys) {
    std::size_t first = npos;
    for (const std::string_view key : keys) first = std::min(first, text_.find(key, pos_));
    if (first == npos) return false;
    pos_ = first;
    return true;
  }

  std::size_t Position() const { return pos_; }
  void MoveTo(std::size_t pos) { pos_ = pos; }

 private:
  std::string_view text_;
  std::size_t pos_;
};

}  // namespace

RoomSnapshot ReadRoomSnapshot(std::string_view message) {
  RoomSnapshot snapshot;
  // The snapshot starts with the request this member sent; the holder's tag follows it.
  const std::size_t start = message.find("<<Discusser=");
  if (start == npos) return snapshot;
  PartReader parts(message, start);
  std::string count;
  if (!parts.Take("<<Discusser=", snapshot.Operator)) return snapshot;
  snapshot.Read = true;
  parts.Take("<<DiscussCount=", count);
  snapshot.MemberCount = std::max(0, ReadNumber(count, 0));
  parts.Take("<<DiscussList=", snapshot.MemberList);
  parts.Take("<<DiscussMese=", snapshot.ChatLog);
  parts.Take("<<DiscussRegList=", snapshot.RegList);

  // The room's record is what the holder last sent with its "<<DiscussKifu=" key: its value runs
  // to the first ">>", as every member read it. Anything the holder sent after it is passed over.
  parts.Take("<<DiscussKifu=", snapshot.Record);
  if (!parts.At("<<MoveSuu=") && !parts.At("<<GameList=") && !parts.At(kDiagramsKey)) {
    parts.SeekFirst({"<<MoveSuu=", "<<GameList=", kDiagramsKey});
  }
  std::string shown;
  if (parts.Take("<<MoveSuu=", shown)) snapshot.MoveSuu = ReadNumber(shown, -1);

  const std::size_t listAt = parts.Position();
  std::string list, game;
  if (parts.Take("<<GameList=", list) && parts.Take("<<GameData=", game)) {
    parts.Skip("<<DisCussGameisOver>>");
    snapshot.GameList.assign(message.substr(listAt, parts.Position() - listAt));
  } else {
    parts.MoveTo(listAt);
  }

  // The diagrams hold ">>" themselves and run to the snapshot's end mark.
  if (parts.At(kDiagramsKey) || parts.SeekFirst({kDiagramsKey})) {
    const std::size_t from = parts.Position() + kDiagramsKey.size();
    const std::size_t end = message.find(kEnd, from);
    snapshot.Diagrams.assign(message.substr(from, end == npos ? npos : end - from));
  }
  return snapshot;
}
