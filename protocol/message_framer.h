// protocol/message_framer.h — cuts what TCP delivers into whole messages: the pieces of a message
// that arrived in several reads are joined, and several messages that arrived in one read are
// handed over one by one. Both programs read every connection through one framer each.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct MessageLayout;

// The protocol has no lengths and no terminator: a message is recognised by its layout, the tags
// it carries in their fixed order. A message begins with its head tag ("<<Move=", "<<Status>>",
// ...; a game tag "<<GameIndex=" in front of a game message, a bare "OKRe", "NORe" or "NoTimeRe"
// in front of a challenge answer) and goes on while the tags that follow belong to its layout: a
// tag of the layout later than the last one seen, a game tag not yet seen for a message that
// carries one, text between tags (the bare record of an end notice) and any tag that heads no
// message. The next head tag that is none of these begins the next message; the server also
// begins one at the head of any message it sends itself, so a peer's text it relays never
// carries what a client would read as the server's own message. A watch or room snapshot
// (client side) runs to its closing "<<DraumEND>>", as its diagrams hold ">>" inside.
//
// A message is handed over once a head tag follows it, or at the end of a read when its last tag
// is closed and it holds the tags its layout cannot end without (a move its clock, pass count or
// undo mark, an end request its game tag, ...); otherwise it is held for the next read. What a
// message cannot end without may depend on its values: a room input's type tells whether a value,
// a move number or a record follows, a shared count's type whether a point does, a game start's
// handicap of two to nine stones that its start position does.
//
// Some layouts end in an optional tail that nothing before it announces: a challenge may carry a
// start position, a chat line a diagram, the lobby lists after a game's end the room's notice.
// Such a message may still grow after its last tag: it is held after the read (MayGrow) and
// handed over when the next message's head arrives, or by Flush once the connection has been
// quiet for kHoldMilliseconds. Every other message is handed over at once.
class MessageFramer {
 public:
  // Which end reads: the server reads what clients send, the client what the server sends.
  enum class Side { Server, Client };
  explicit MessageFramer(Side side = Side::Client);

  // A message larger than this is dropped, whole or unfinished: no real message comes near it.
  // The server reads client messages, the largest of which is a room input carrying a record
  // (a few KiB; a loaded record file with comments some tens of KiB). The client reads the
  // server's snapshots, which carry at most the server's bounded chat, diagrams and records.
  static constexpr std::size_t kMaxServerRead = 256 * 1024;
  static constexpr std::size_t kMaxClientRead = 1024 * 1024;
  std::size_t MaxMessage() const { return side_ == Side::Server ? kMaxServerRead : kMaxClientRead; }

  // Adds one read; returns the whole messages it completes, in order.
  std::vector<std::string> Feed(std::string_view chunk);
  // The same, appending the messages to `out`.
  void Feed(std::string_view chunk, std::vector<std::string>& out);
  // Drops anything held (a new connection starts clean).
  void Reset();
  // True while part of a message is held for the next read.
  bool Holding() const { return !held_.empty() || skip_ != Skip::None; }
  // True when a whole message is held because its optional tail may still come. The reader hands
  // it over with Flush once kHoldMilliseconds passed after the last byte without another read.
  bool MayGrow() const;
  // Hands over the message held because it may still grow, with any text after its last tag but
  // a tag or answer word begun there, which stays held as the start of the next message.
  std::vector<std::string> Flush();
  void Flush(std::vector<std::string>& out);
  // How long a message that may still grow waits for its tail: a tail sent with it comes within
  // a few milliseconds even on a loaded network, and a person's challenge or chat line may wait
  // this long unnoticed.
  static constexpr int kHoldMilliseconds = 100;
  // Bytes held for the next read, and the memory they take.
  std::size_t HeldBytes() const { return held_.size(); }
  std::size_t HeldCapacity() const { return held_.capacity(); }

  // Every tag key the layouts of both sides name, heads first (for fuzzing dictionaries).
  static std::vector<std::string_view> KnownTags();

 private:
  enum class Skip { None, ToTagEnd, ToSnapshotEnd };
  // How far the message being read is: it lacks a tag it cannot end without, it is whole but an
  // optional tail may still follow, or it is whole.
  enum class Shape { Incomplete, MayGrow, Whole };
  void Scan(std::vector<std::string>& out);
  void OnTag(std::string_view key, std::string_view value, std::size_t begin,
             std::vector<std::string>& out);
  void Start(std::string_view key);
  bool Continues(std::string_view key, std::string_view value);
  bool Complete() const { return ShapeNow() != Shape::Incomplete; }
  Shape ShapeNow() const;
  Shape TailShape() const;
  // SeenTag: the layout's tag `key` was seen. MayCome: it was not and the layout still allows it.
  bool SeenTag(std::string_view key) const;
  bool MayCome(std::string_view key) const;
  // At the end of a read: hands over the message when it is complete, with any text after its
  // last tag unless that text may be the start of the next tag or of an answer word.
  void EmitAtPause(std::vector<std::string>& out);
  // Where an answer word ends the text of held_ from `from` to `to`; `to` when none does.
  std::size_t AnswerWordStart(std::size_t from, std::size_t to) const;
  // Drops what was handed over from the front of held_.
  void Compact();
  void Emit(std::size_t end, std::vector<std::string>& out);
  void StartOver();
  void DropOversized();
  bool SkipTo(std::string_view terminator, std::string_view& chunk);

  Side side_;
  std::string held_;
  // The message being read: where it begins in held_ and where its next token begins.
  std::size_t begin_ = 0;
  std::size_t scan_ = 0;
  // Where a search for the end of the token at scan_ goes on (it found nothing before).
  std::size_t search_ = 0;
  // Text between the last tag and scan_, or npos.
  std::size_t bare_ = std::string::npos;
  bool started_ = false;    // the message has its head
  bool unknown_ = false;    // its head names no message
  bool game_only_ = false;  // so far only a game tag, the head follows
  bool snapshot_ = false;   // running to "<<DraumEND>>"
  bool game_seen_ = false;  // its game tag was seen
  bool end_seen_ = false;   // one of the tags it cannot end without was seen
  const MessageLayout* layout_ = nullptr;
  std::size_t cursor_ = 0;  // the next tag of the layout that may follow
  std::uint32_t seen_ = 0;  // tags of the layout seen, by their place in it
  // The value that tells what the message's tail holds (a room input's or shared count's type, a
  // game start's handicap); longer values are not kept, as no telling value is long.
  std::string telling_;
  Skip skip_ = Skip::None;  // bytes of a dropped message still to come
  std::string skip_tail_;   // the last bytes skipped, in case a terminator spans two reads
};
