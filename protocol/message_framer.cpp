// protocol/message_framer.cpp — message boundaries on a byte stream, by the layout of each message.
#include "protocol/message_framer.h"

#include <algorithm>
#include <initializer_list>
#include <unordered_map>

#include "platform/cp932.h"
#include "protocol/tag_message.h"

// What may follow a message once it holds the tags it cannot end without.
enum class Tail {
  None,  // nothing
  // Its last tag, or not: nothing before it tells (a challenge's start position, a server chat
  // line's diagram, the welcome's board text, the room's members' queue, a game's end mark).
  Last,
  // A relayed chat line: the diagram's number may follow; once it came, the diagram must.
  Diagram,
  // The lobby lists: every kind carries the waiting list with its hints; the count, or the lack
  // of the game list, tells that the watch-only list comes too. Only lists with the game list
  // may go on with the room's notice of a game's end, and that with the winner.
  Status,
  // The room's grant of the input right: with the member count the members' list and queue
  // follow and nothing after; without it the hand-over mark "<<CanEnd>>" may follow.
  RoomGrant,
  // The room's queue: with the member count every later tag follows; without it the holder's
  // name and the hand-over mark may.
  RoomQueue,
  // A game start: its start position follows for a handicap of two to nine stones, and may for
  // any other (a challenge with a start position).
  GameStart,
  // A shared count's operation: types 1 to 5 carry the point.
  SharedCount,
  // A room input as the holder sends it and as the server relays it: the type tells which of
  // the value, the move number and the record come (the server relays the record only with
  // a loaded record, type 11).
  RoomInput,
  RelayedRoomInput,
};

// One kind of message: its head tag and the tags that may follow it. Keys are written as they
// stand in the text: "<<Key=" for a value, "<<Flag>>" for a flag.
struct MessageLayout {
  std::string_view head;
  std::vector<std::string_view> tags;  // in their order (any order when any_order)
  std::vector<std::string_view> ends;  // complete once one of these was seen; empty: at once
  bool game_tag = false;               // carries a game tag "<<GameIndex=" anywhere
  bool needs_game_tag = false;         // is not complete without it
  bool any_order = false;
  bool snapshot = false;  // runs to "<<DraumEND>>"
  Tail tail = Tail::None;  // what may follow once the ends are there
};

namespace {
constexpr std::string_view kGameTag = "<<GameIndex=";
constexpr std::string_view kNamePrompt = "<<QuellName=";
constexpr std::string_view kSnapshotEnd = "<<DraumEND>>";
constexpr std::string_view kChallenge = "<<GameSet>>";
constexpr std::string_view kReplyPrefixes[] = {"OKRe", "NORe", "NoTimeRe"};
constexpr std::size_t npos = std::string::npos;
constexpr std::size_t kMaxTellingValue = 32;

// The tags of a challenge after its head, and the lists of the server's lobby messages.
const std::vector<std::string_view> kChallengeTags = {
    "<<IsKuro=",   "<<KuroGameTime=", "<<SiroGameTime=", "<<AddTime=", "<<GameWari=",
    "<<GameKomi=", "<<Player1=",      "<<Player2=",      "<<BanSize=", "<<KifuStart="};
// The tags of a game start, after its head.
const std::vector<std::string_view> kGameStartTags = {
    "<<Color=",        "<<OpName=",       "<<GameWari=",    "<<BanSize=",   "<<GameKomi=",
    "<<KuroGameTime=", "<<SiroGameTime=", "<<AddTime=",     "<<GameIndex=", "<<PlayList=",
    "<<WaitList=",     "<<WaitHint=",     "<<KifuStartStr="};
// The tags of an end notice by resignation or time, after its head.
const std::vector<std::string_view> kEndNoticeTags = {
    "<<Suu=",        "<<Name=",      "<<PlayList=", "<<WaitList=", "<<WaitHint=",
    "<<WatchCount=", "<<WatchList=", "<<KuroTime=", "<<SiroTime="};

// What clients send to the server.
const std::vector<MessageLayout>& ServerReadLayouts() {
  static const std::vector<MessageLayout> layouts = {
      {"<<QuellName=", {"<<IdFlag="}, {"<<IdFlag="}},
      {"<<SeeMeseNow>>", {}, {}},
      {"<<MainMese=", {}, {}},
      {"<<ChangeMode>>", {}, {}},
      {"<<GameSet>>", kChallengeTags, {"<<BanSize="}, false, false, false, false, Tail::Last},
      // A move (clock), a pass (move number) and an undo (its mark), the game tag in front.
      {"<<Move=",
       {"<<Color=", "<<Time=", "<<Suu=", "<<MoveBack>>"},
       {"<<Time=", "<<Suu=", "<<MoveBack>>"},
       true,
       true},
      {"<<TimeStop=", {}, {}, true, true},
      {"<<RealTimeCountStart>>", {}, {}, true, true},
      {"<<RealTimeCount>>",
       {"<<Type=", "<<Value="},
       {"<<Type="},
       true,
       true,
       false,
       false,
       Tail::SharedCount},
      {"<<RealTimeChange>>", {}, {}, true, true},
      {"<<RealTimeCountEnd>>", {}, {}, true, true},
      // End requests: the move number, then the game tag.
      {"<<GameResign>>", {"<<Suu="}, {"<<Suu="}, true, true},
      {"<<EndGameResign>>", {"<<Suu="}, {"<<Suu="}, true, true},
      {"<<NewGameResign>>", {"<<Suu="}, {"<<Suu="}, true, true},
      {"<<GameTimeOut>>", {"<<Suu="}, {"<<Suu="}, true, true},
      {"<<WatchGame=", {}, {}},
      {"<<OffWatchGame>>", {}, {}, true, true},
      {"<<GameMese=", {"<<DiaData="}, {}, true, true, false, false, Tail::Last},
      {"<<DiscussEnter>>", {}, {}},
      {"<<DiscussReg>>", {}, {}, true},
      {"<<DiscussCanEnd>>", {}, {}},
      {"<<DiscussChange>>", {"<<Changer="}, {"<<Changer="}},
      {"<<DiscussInput>>",
       {"<<Type=", "<<Value=", "<<MoveSuu=", "<<DiscussKifu="},
       {"<<Type="},
       false,
       false,
       true,
       false,
       Tail::RoomInput},
      {"<<DiscussClose>>", {}, {}},
      {"<<DiscussMese=", {"<<DiaData="}, {}, false, false, false, false, Tail::Last},
      {"<<DiscussCallGame>>", {}, {}},
      {"<<DiscussOffGame>>", {}, {}},
      {"<<DiscussChangeGame>>", {"<<Index="}, {"<<Index="}},
  };
  return layouts;
}

// What the server sends to its clients.
const std::vector<MessageLayout>& ClientReadLayouts() {
  static const std::vector<MessageLayout> layouts = {
      {"<<QuellName=", {}, {}},
      {"<<SysIdLimit>>", {}, {}},
      {"<<SysSameName>>", {}, {}},
      {"<<SysNotFound>>", {}, {}},
      {"<<SysComeIn>>",
       {"<<Status>>",
        "<<IdCount=", "<<PlayList=", "<<WaitList=", "<<WaitHint=", "<<LookList=", "<<MainStr="},
       {"<<LookList="},
       false,
       false,
       false,
       false,
       Tail::Last},
      {"<<Status>>",
       {"<<IdCount=", "<<PlayList=", "<<WaitList=", "<<WaitHint=", "<<LookList=",
        "<<DiscussGameEnd>>", "<<Result="},
       {},
       false,
       false,
       false,
       false,
       Tail::Status},
      {"<<SeeMeseNow>>", {}, {}},
      {"<<MainMese=", {}, {}},
      {"<<SysMese=", {}, {}},
      {"<<GameIsFull>>", {}, {}},
      {"<<GameSet>>", kChallengeTags, {"<<BanSize="}, false, false, false, false, Tail::Last},
      {"<<GameStart-NotFound>>", {}, {}},
      {"<<GameStart-Play>>",
       kGameStartTags,
       {"<<WaitHint="},
       false,
       false,
       false,
       false,
       Tail::GameStart},
      {"<<GameStart-Wait>>",
       kGameStartTags,
       {"<<WaitHint="},
       false,
       false,
       false,
       false,
       Tail::GameStart},
      // To the opponent (its clock), to the watchers (both clocks), an agreed undo as sent.
      {"<<Move=",
       {"<<Color=", "<<Time=", "<<KuroTime=", "<<SiroTime=", "<<Suu=", "<<MoveBack>>"},
       {"<<Time=", "<<SiroTime=", "<<Suu=", "<<MoveBack>>"},
       true},
      {"<<DisCussGameMove=", {}, {}},
      {"<<ReceiveMoveBack>>", {}, {}},
      {"<<DisCussMoveBack>>", {}, {}},
      {"<<TimeStop=", {"<<Sender="}, {"<<Sender="}, true},
      {"<<RealTimeCountStart>>", {}, {}, true, true},
      {"<<RealTimeCount>>",
       {"<<Type=", "<<Value="},
       {"<<Type="},
       true,
       true,
       false,
       false,
       Tail::SharedCount},
      {"<<RealTimeChange>>", {}, {}, true, true},
      {"<<RealTimeCountEnd>>", {}, {}, true, true},
      // End notices: the request as sent, then the lists, the watchers, the record and clocks.
      {"<<GameResign>>", kEndNoticeTags, {"<<SiroTime="}, true},
      {"<<EndGameResign>>", kEndNoticeTags, {"<<SiroTime="}, true},
      {"<<NewGameResign>>", kEndNoticeTags, {"<<SiroTime="}, true},
      {"<<GameTimeOut>>", kEndNoticeTags, {"<<SiroTime="}, true},
      {"<<PassEndGame>>",
       {"<<Name=", "<<Suu=", "<<PlayList=", "<<WaitList=", "<<WaitHint=", "<<WatchCount=",
        "<<WatchList=", "<<KuroTime=", "<<SiroTime="},
       {"<<SiroTime="},
       true},
      // The lost player's notice; a move number and game tag, as the other ends carry, are read
      // with it too.
      {"<<OutGameResign>>",
       {"<<Suu=", "<<Name=", "<<IdCount=", "<<PlayList=", "<<WaitList=", "<<WaitHint=",
        "<<LookList=", "<<WatchCount=", "<<WatchList=", "<<KuroTime=", "<<SiroTime="},
       {"<<SiroTime="},
       true},
      {"<<OutWatchCount=",
       {"<<WatchList=", "<<IdCount=", "<<WaitList=", "<<WaitHint=", "<<LookList="},
       {"<<LookList="}},
      {"<<WatchGame=", {}, {}, false, false, false, true},
      {"<<OnlyWatchCount=", {"<<WaitHint=", "<<WatchList="}, {"<<WatchList="}},
      {"<<WaitHint=", {}, {}},
      {"<<GameMese=", {"<<DiaIndex=", "<<DiaData="}, {}, false, false, false, false, Tail::Diagram},
      {"<<DiscussEnter>>", {}, {}, false, false, false, true},
      {"<<DiscussInfo>>",
       {"<<DiscussCount=", "<<DiscussList=", "<<DiscussRegList="},
       {"<<DiscussList="},
       false,
       false,
       false,
       false,
       Tail::Last},
      {"<<DiscussCanPlay>>",
       {"<<DiscussRegList=", "<<DiscussCount=", "<<DiscussList=", "<<DiscussRegList=",
        "<<CanEnd>>"},
       {"<<DiscussRegList="},
       false,
       false,
       false,
       false,
       Tail::RoomGrant},
      {"<<OnlyRegList>>",
       {"<<DiscussRegList=", "<<DiscussCount=", "<<DiscussList=", "<<DiscussRegList=",
        "<<Discusser=", "<<CanEnd>>"},
       {"<<DiscussRegList="},
       false,
       false,
       false,
       false,
       Tail::RoomQueue},
      {"<<DiscussInput>>",
       {"<<Type=", "<<Value=", "<<MoveSuu=", "<<DiscussKifu="},
       {"<<Type="},
       false,
       false,
       true,
       false,
       Tail::RelayedRoomInput},
      {"<<DiscussMese=",
       {"<<DiaIndex=", "<<DiaData="},
       {},
       false,
       false,
       false,
       false,
       Tail::Diagram},
      // The room follows a game: the list of games and the followed game's record, then its end
      // mark when it is over.
      {"<<DiscussCallGame>>",
       {"<<GameList=", "<<GameData=", "<<DisCussGameisOver>>"},
       {"<<GameData="},
       false,
       false,
       false,
       false,
       Tail::Last},
      {"<<DiscussChangeGame>>",
       {"<<Index=", "<<GameData=", "<<DisCussGameisOver>>"},
       {"<<GameData="},
       false,
       false,
       false,
       false,
       Tail::Last},
      {"<<DiscussNoGame>>", {}, {}},
      {"<<DiscussOffGame>>", {}, {}},
  };
  return layouts;
}

using HeadTable = std::unordered_map<std::string_view, const MessageLayout*>;

HeadTable MakeHeads(const std::vector<MessageLayout>& layouts) {
  HeadTable heads;
  for (const MessageLayout& layout : layouts) heads.emplace(layout.head, &layout);
  return heads;
}

const HeadTable& Heads(MessageFramer::Side side) {
  static const HeadTable server = MakeHeads(ServerReadLayouts());
  static const HeadTable client = MakeHeads(ClientReadLayouts());
  return side == MessageFramer::Side::Server ? server : client;
}

const MessageLayout* LayoutOf(MessageFramer::Side side, std::string_view key) {
  const HeadTable& heads = Heads(side);
  const auto it = heads.find(key);
  return it == heads.end() ? nullptr : it->second;
}

// A game tag heads a message too: the game message that follows it.
bool IsHead(MessageFramer::Side side, std::string_view key) {
  return key == kGameTag || LayoutOf(side, key) != nullptr;
}

// True when `key` begins a new message for this side. The server also starts one at the head of
// any message it sends itself, so that a peer's text it relays can never carry something its
// clients would read as a message of the server's ("<<SysMese=", "<<Status>>", ...).
bool StartsMessage(MessageFramer::Side side, std::string_view key) {
  if (IsHead(side, key)) return true;
  return side == MessageFramer::Side::Server && IsHead(MessageFramer::Side::Client, key);
}

bool Contains(const std::vector<std::string_view>& keys, std::string_view key) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// The key of a tag: "<<Key=" of a value tag, the whole "<<Flag>>" of a flag.
std::string_view KeyOf(std::string_view tag) {
  const std::size_t eq = tag.find('=');
  return eq == std::string_view::npos ? tag : tag.substr(0, eq + 1);
}

// The tag whose value tells what follows in a message with this tail; empty for none.
std::string_view TellingKey(Tail tail) {
  switch (tail) {
    case Tail::GameStart:
      return "<<GameWari=";
    case Tail::SharedCount:
    case Tail::RoomInput:
    case Tail::RelayedRoomInput:
      return "<<Type=";
    default:
      return {};
  }
}

// True for a handicap of two to nine stones, whose stones the server always sends as the game's
// start position.
bool StoneHandicap(std::string_view handicap) {
  static const std::vector<std::string> kStones = {J("２子"), J("３子"), J("４子"), J("５子"),
                                                   J("６子"), J("７子"), J("８子"), J("９子")};
  return std::find(kStones.begin(), kStones.end(), handicap) != kStones.end();
}

// The tags a room input of `type` carries besides its type, as the holder's board sends them.
struct RoomInputTags {
  bool value = false;
  bool move_number = false;
  bool record = false;
};
RoomInputTags RoomInputCarries(int type) {
  const bool setup_or_mark = type >= 100 && type <= 399;
  RoomInputTags carries;
  carries.value = type == 1 || type == 2 || type == 12 || type == 25 || type == 50 || setup_or_mark;
  carries.move_number = (type >= 5 && type <= 10) || type == 25;
  carries.record = carries.value ? type != 25 : type == 3 || type == 4 || type == 11;
  return carries;
}

// True when `text` ends with the start of a tag or of an answer word.
bool MayStartNextMessage(std::string_view text) {
  if (text.ends_with('<')) return true;
  for (std::string_view word : kReplyPrefixes) {
    for (std::size_t n = 1; n <= word.size(); ++n) {
      if (text.ends_with(word.substr(0, n))) return true;
    }
  }
  return false;
}

}  // namespace

MessageFramer::MessageFramer(Side side) : side_(side) {}

std::vector<std::string_view> MessageFramer::KnownTags() {
  std::vector<std::string_view> tags = {kGameTag, kSnapshotEnd};
  const auto add = [&](std::string_view key) {
    if (std::find(tags.begin(), tags.end(), key) == tags.end()) tags.push_back(key);
  };
  for (const auto* layouts : {&ServerReadLayouts(), &ClientReadLayouts()}) {
    for (const MessageLayout& layout : *layouts) add(layout.head);
  }
  for (const auto* layouts : {&ServerReadLayouts(), &ClientReadLayouts()}) {
    for (const MessageLayout& layout : *layouts) {
      for (std::string_view key : layout.tags) add(key);
    }
  }
  return tags;
}

void MessageFramer::Reset() {
  std::string().swap(held_);
  skip_ = Skip::None;
  skip_tail_.clear();
  begin_ = 0;
  StartOver();
}

void MessageFramer::StartOver() {
  scan_ = begin_;
  search_ = begin_;
  bare_ = npos;
  started_ = unknown_ = game_only_ = snapshot_ = game_seen_ = end_seen_ = false;
  layout_ = nullptr;
  cursor_ = 0;
  seen_ = 0;
  telling_.clear();
}

std::vector<std::string> MessageFramer::Feed(std::string_view chunk) {
  std::vector<std::string> out;
  Feed(chunk, out);
  return out;
}

void MessageFramer::Feed(std::string_view chunk, std::vector<std::string>& out) {
  // The rest of a dropped message is skipped up to its end.
  if (skip_ == Skip::ToTagEnd && !SkipTo(">>", chunk)) return;
  if (skip_ == Skip::ToSnapshotEnd && !SkipTo(kSnapshotEnd, chunk)) return;
  held_.append(chunk);
  Scan(out);
  // A message that may still grow waits for its tail, or for Flush.
  if (!MayGrow()) EmitAtPause(out);
  Compact();
  if (held_.size() > MaxMessage()) DropOversized();
}

bool MessageFramer::MayGrow() const {
  return started_ && !snapshot_ && ShapeNow() == Shape::MayGrow;
}

std::vector<std::string> MessageFramer::Flush() {
  std::vector<std::string> out;
  Flush(out);
  return out;
}

void MessageFramer::Flush(std::vector<std::string>& out) {
  if (!MayGrow()) return;
  // The stream paused: a tag or answer word begun after the message is the start of the next,
  // and so is an answer word in front of a begun tag.
  const bool next_begun = scan_ < held_.size() && (held_.compare(scan_, 2, "<<") == 0 ||
                                                   MayStartNextMessage(held_.substr(scan_)));
  const std::size_t end = !next_begun     ? held_.size()
                          : bare_ != npos ? AnswerWordStart(bare_, scan_)
                                          : scan_;
  Emit(end, out);
  Compact();
}

std::size_t MessageFramer::AnswerWordStart(std::size_t from, std::size_t to) const {
  const std::string_view bare = std::string_view(held_).substr(from, to - from);
  std::size_t start = to;
  for (std::string_view prefix : kReplyPrefixes) {
    if (bare.ends_with(prefix)) start = std::min(start, to - prefix.size());
  }
  return start;
}

void MessageFramer::EmitAtPause(std::vector<std::string>& out) {
  if (!started_ || snapshot_ || !Complete()) return;
  if (scan_ == held_.size()) {
    Emit(scan_, out);
  } else if (held_.compare(scan_, 2, "<<") != 0 && !MayStartNextMessage(held_.substr(scan_))) {
    Emit(held_.size(), out);
  }
}

void MessageFramer::Compact() {
  held_.erase(0, begin_);
  scan_ -= begin_;
  search_ -= std::min(search_, begin_);
  if (bare_ != npos) bare_ -= begin_;
  begin_ = 0;
}

bool MessageFramer::SkipTo(std::string_view terminator, std::string_view& chunk) {
  const std::string window = skip_tail_ + std::string(chunk.substr(0, terminator.size()));
  std::size_t at = window.find(terminator);
  std::size_t after = 0;  // bytes of the chunk that belong to the dropped message
  if (at != npos) {
    after = at + terminator.size() - skip_tail_.size();
  } else if ((at = chunk.find(terminator)) != std::string_view::npos) {
    after = at + terminator.size();
  } else {
    const std::string tail = skip_tail_ + std::string(chunk);
    skip_tail_ = tail.substr(tail.size() - std::min(tail.size(), terminator.size() - 1));
    return false;
  }
  chunk.remove_prefix(after);
  skip_ = Skip::None;
  skip_tail_.clear();
  return true;
}

void MessageFramer::DropOversized() {
  // Inside an unclosed tag the rest of its value is still to come; a snapshot runs to its end
  // mark. Whole tags of a dropped message that follow are read as a message of their own.
  const bool in_tag =
      !snapshot_ && scan_ < held_.size() && bare_ == npos && held_.compare(scan_, 2, "<<") == 0;
  skip_ = snapshot_ ? Skip::ToSnapshotEnd : in_tag ? Skip::ToTagEnd : Skip::None;
  const std::string_view terminator = snapshot_ ? kSnapshotEnd : std::string_view(">>");
  const std::size_t keep = std::min(held_.size(), terminator.size() - 1);
  skip_tail_ = skip_ == Skip::None ? std::string() : held_.substr(held_.size() - keep);
  std::string().swap(held_);  // what the dropped message held is given back
  begin_ = 0;
  StartOver();
}

void MessageFramer::Scan(std::vector<std::string>& out) {
  while (scan_ < held_.size()) {
    if (snapshot_) {
      const std::size_t at = held_.find(kSnapshotEnd, std::max(search_, scan_));
      if (at == npos) {
        search_ = held_.size() - std::min(held_.size() - scan_, kSnapshotEnd.size() - 1);
        return;
      }
      Emit(at + kSnapshotEnd.size(), out);
      continue;
    }
    if (held_.compare(scan_, 2, "<<") != 0) {
      // Text between tags: up to the next tag.
      const std::size_t next = held_.find("<<", std::max(search_, scan_));
      if (next == npos) {
        search_ = held_.size() - 1;
        return;
      }
      bare_ = scan_;
      scan_ = search_ = next;
      continue;
    }
    // The server's name prompt is the bare key, without a value or an end.
    if (side_ == Side::Client && held_.compare(scan_, kNamePrompt.size(), kNamePrompt) == 0) {
      const std::size_t begin = scan_;
      scan_ = search_ = begin + kNamePrompt.size();
      OnTag(kNamePrompt, {}, begin, out);
      bare_ = npos;
      continue;
    }
    const std::size_t close = held_.find(">>", std::max(search_, scan_ + 2));
    if (close == npos) {
      search_ = std::max(scan_ + 2, held_.size() - 1);
      return;
    }
    const std::size_t begin = scan_;
    scan_ = search_ = close + 2;
    const std::string_view tag = std::string_view(held_).substr(begin, scan_ - begin);
    const std::string_view key = KeyOf(tag);
    OnTag(key, tag.substr(key.size(), tag.size() - key.size() - 2), begin, out);
    bare_ = npos;
  }
}

void MessageFramer::OnTag(std::string_view key, std::string_view value, std::size_t begin,
                          std::vector<std::string>& out) {
  if (started_ && Continues(key, value)) return;
  // A new message begins at this tag, or at the answer word in front of a challenge. The server
  // also takes an answer word in front of any other head apart, as a message of its own: a
  // peer's text that it relays as it came then neither ends nor begins with what a client reads
  // as an answer to a challenge.
  std::size_t split = begin;
  if (bare_ != npos && (key == kChallenge || side_ == Side::Server)) {
    split = AnswerWordStart(bare_, begin);
  }
  // Text before a message's head that is no answer word stays with the message before it, or is
  // a message of its own when none came before: nobody's message starts with a stranger's text.
  const std::size_t after = scan_;
  if (split > begin_) Emit(split, out);
  if (split < begin && key != kChallenge) Emit(begin, out);
  scan_ = after;
  search_ = after;
  Start(key);
}

void MessageFramer::Start(std::string_view key) {
  started_ = true;
  layout_ = LayoutOf(side_, key);
  if (layout_ != nullptr) {
    snapshot_ = layout_->snapshot;
    return;
  }
  if (key == kGameTag) {
    game_only_ = game_seen_ = true;
    return;
  }
  unknown_ = true;
}

bool MessageFramer::Continues(std::string_view key, std::string_view value) {
  if (unknown_) return !StartsMessage(side_, key);
  if (game_only_) {
    const MessageLayout* layout = LayoutOf(side_, key);
    if (layout != nullptr && layout->game_tag) {
      layout_ = layout;
      game_only_ = false;
      snapshot_ = layout->snapshot;
      return true;
    }
    return !StartsMessage(side_, key);
  }
  // A game tag belongs to the message before it only while that message still lacks something;
  // after a whole message it heads the next one.
  if (key == kGameTag && layout_->game_tag && !game_seen_ && !Complete()) {
    game_seen_ = true;
    return true;
  }
  const std::vector<std::string_view>& tags = layout_->tags;
  for (std::size_t i = layout_->any_order ? 0 : cursor_; i < tags.size(); ++i) {
    if (tags[i] != key) continue;
    if (layout_->any_order) {
      if (seen_ & (1u << i)) break;
    } else {
      cursor_ = i + 1;
    }
    seen_ |= 1u << i;
    end_seen_ = end_seen_ || Contains(layout_->ends, key);
    if (key == TellingKey(layout_->tail)) {
      telling_ = value.size() <= kMaxTellingValue ? value : std::string_view();
    }
    return true;
  }
  return !StartsMessage(side_, key);
}

bool MessageFramer::SeenTag(std::string_view key) const {
  for (std::size_t i = 0; i < layout_->tags.size(); ++i) {
    if (layout_->tags[i] == key && (seen_ & (1u << i))) return true;
  }
  return false;
}

bool MessageFramer::MayCome(std::string_view key) const {
  const std::vector<std::string_view>& tags = layout_->tags;
  for (std::size_t i = layout_->any_order ? 0 : cursor_; i < tags.size(); ++i) {
    if (tags[i] == key && !(seen_ & (1u << i))) return true;
  }
  return false;
}

MessageFramer::Shape MessageFramer::ShapeNow() const {
  if (unknown_) return Shape::Whole;
  if (game_only_ || layout_ == nullptr) return Shape::Incomplete;
  if (!(layout_->ends.empty() || end_seen_) || (layout_->needs_game_tag && !game_seen_)) {
    return Shape::Incomplete;
  }
  return TailShape();
}

MessageFramer::Shape MessageFramer::TailShape() const {
  // A tag the message's kind or values announce and that may still come makes it incomplete; a
  // tag that may or may not come makes it one that may grow. A tag the order of the layout no
  // longer allows is not waited for.
  const auto needs = [this](std::initializer_list<std::string_view> keys) {
    return std::any_of(keys.begin(), keys.end(), [this](auto key) { return MayCome(key); });
  };
  const auto grows = [&](std::initializer_list<std::string_view> keys) {
    return needs(keys) ? Shape::MayGrow : Shape::Whole;
  };
  switch (layout_->tail) {
    case Tail::None:
      return Shape::Whole;
    case Tail::Last:
      return grows({layout_->tags.back()});
    case Tail::Diagram:
      if (SeenTag("<<DiaIndex=")) return needs({"<<DiaData="}) ? Shape::Incomplete : Shape::Whole;
      return SeenTag("<<DiaData=") ? Shape::Whole : grows({"<<DiaIndex="});
    case Tail::Status: {
      const bool counted = SeenTag("<<IdCount="), games = SeenTag("<<PlayList=");
      if (needs({"<<WaitList="}) || (SeenTag("<<WaitList=") && needs({"<<WaitHint="})) ||
          ((counted || !games) && needs({"<<LookList="}))) {
        return Shape::Incomplete;
      }
      // The room's notice after all four lists (a lost player) carries no winner.
      if (!games || SeenTag("<<Result=") || (counted && SeenTag("<<DiscussGameEnd>>"))) {
        return Shape::Whole;
      }
      return grows({"<<DiscussGameEnd>>", "<<Result="});
    }
    case Tail::RoomGrant:
      if (SeenTag("<<DiscussCount=")) {
        return needs({"<<DiscussList=", "<<DiscussRegList="}) ? Shape::Incomplete : Shape::Whole;
      }
      return SeenTag("<<CanEnd>>") ? Shape::Whole : grows({"<<DiscussCount=", "<<CanEnd>>"});
    case Tail::RoomQueue:
      if (SeenTag("<<DiscussCount=")) {
        return needs({"<<DiscussList=", "<<DiscussRegList=", "<<Discusser=", "<<CanEnd>>"})
                   ? Shape::Incomplete
                   : Shape::Whole;
      }
      return SeenTag("<<CanEnd>>") ? Shape::Whole
                                   : grows({"<<DiscussCount=", "<<Discusser=", "<<CanEnd>>"});
    case Tail::GameStart:
      if (!StoneHandicap(telling_)) return grows({"<<KifuStartStr="});
      return needs({"<<KifuStartStr="}) ? Shape::Incomplete : Shape::Whole;
    case Tail::SharedCount: {
      const int type = ReadNumber(telling_, 0);
      return type >= 1 && type <= 5 && needs({"<<Value="}) ? Shape::Incomplete : Shape::Whole;
    }
    case Tail::RoomInput:
    case Tail::RelayedRoomInput: {
      RoomInputTags carries = RoomInputCarries(ReadNumber(telling_, 0));
      // Members get the record only with a loaded record, exactly as the server tests for it.
      if (layout_->tail == Tail::RelayedRoomInput) carries.record = telling_ == "11";
      if ((carries.value && needs({"<<Value="})) ||
          (carries.move_number && needs({"<<MoveSuu="})) ||
          (carries.record && needs({"<<DiscussKifu="}))) {
        return Shape::Incomplete;
      }
      return Shape::Whole;
    }
  }
  return Shape::Whole;
}

void MessageFramer::Emit(std::size_t end, std::vector<std::string>& out) {
  if (end > begin_ && end - begin_ <= MaxMessage())
    out.push_back(held_.substr(begin_, end - begin_));
  begin_ = end;
  StartOver();
}
