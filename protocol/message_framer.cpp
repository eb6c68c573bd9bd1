// protocol/message_framer.cpp — message boundaries on a byte stream, by the layout of each message.
#include "protocol/message_framer.h"

#include <algorithm>
#include <initializer_list>
#include <unordered_map>

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
};

namespace {
constexpr std::string_view kGameTag = "<<GameIndex=";
constexpr std::string_view kNamePrompt = "<<QuellName=";
constexpr std::string_view kSnapshotEnd = "<<DraumEND>>";
constexpr std::string_view kChallenge = "<<GameSet>>";
constexpr std::string_view kReplyPrefixes[] = {"OKRe", "NORe", "NoTimeRe"};
constexpr std::size_t npos = std::string::npos;

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
      {"<<GameSet>>", kChallengeTags, {"<<BanSize="}},
      // A move (clock), a pass (move number) and an undo (its mark), the game tag in front.
      {"<<Move=",
       {"<<Color=", "<<Time=", "<<Suu=", "<<MoveBack>>"},
       {"<<Time=", "<<Suu=", "<<MoveBack>>"},
       true,
       true},
      {"<<TimeStop=", {}, {}, true, true},
      {"<<RealTimeCountStart>>", {}, {}, true, true},
      {"<<RealTimeCount>>", {"<<Type=", "<<Value="}, {"<<Type="}, true, true},
      {"<<RealTimeChange>>", {}, {}, true, true},
      {"<<RealTimeCountEnd>>", {}, {}, true, true},
      // End requests: the move number, then the game tag.
      {"<<GameResign>>", {"<<Suu="}, {"<<Suu="}, true, true},
      {"<<EndGameResign>>", {"<<Suu="}, {"<<Suu="}, true, true},
      {"<<NewGameResign>>", {"<<Suu="}, {"<<Suu="}, true, true},
      {"<<GameTimeOut>>", {"<<Suu="}, {"<<Suu="}, true, true},
      {"<<WatchGame=", {}, {}},
      {"<<OffWatchGame>>", {}, {}, true, true},
      {"<<GameMese=", {"<<DiaData="}, {}, true, true},
      {"<<DiscussEnter>>", {}, {}},
      {"<<DiscussReg>>", {}, {}, true},
      {"<<DiscussCanEnd>>", {}, {}},
      {"<<DiscussChange>>", {"<<Changer="}, {"<<Changer="}},
      {"<<DiscussInput>>",
       {"<<Type=", "<<Value=", "<<MoveSuu=", "<<DiscussKifu="},
       {"<<Type="},
       false,
       false,
       true},
      {"<<DiscussClose>>", {}, {}},
      {"<<DiscussMese=", {"<<DiaData="}, {}},
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
       {"<<LookList="}},
      {"<<Status>>",
       {"<<IdCount=", "<<PlayList=", "<<WaitList=", "<<WaitHint=", "<<LookList=",
        "<<DiscussGameEnd>>", "<<Result="},
       {}},
      {"<<SeeMeseNow>>", {}, {}},
      {"<<MainMese=", {}, {}},
      {"<<SysMese=", {}, {}},
      {"<<GameIsFull>>", {}, {}},
      {"<<GameSet>>", kChallengeTags, {"<<BanSize="}},
      {"<<GameStart-NotFound>>", {}, {}},
      {"<<GameStart-Play>>", kGameStartTags, {"<<WaitHint="}},
      {"<<GameStart-Wait>>", kGameStartTags, {"<<WaitHint="}},
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
      {"<<RealTimeCount>>", {"<<Type=", "<<Value="}, {"<<Type="}, true, true},
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
      {"<<GameMese=", {"<<DiaIndex=", "<<DiaData="}, {}},
      {"<<DiscussEnter>>", {}, {}, false, false, false, true},
      {"<<DiscussInfo>>",
       {"<<DiscussCount=", "<<DiscussList=", "<<DiscussRegList="},
       {"<<DiscussList="}},
      {"<<DiscussCanPlay>>",
       {"<<DiscussRegList=", "<<DiscussCount=", "<<DiscussList=", "<<DiscussRegList=",
        "<<CanEnd>>"},
       {"<<DiscussRegList="}},
      {"<<OnlyRegList>>",
       {"<<DiscussRegList=", "<<DiscussCount=", "<<DiscussList=", "<<DiscussRegList=",
        "<<Discusser=", "<<CanEnd>>"},
       {"<<DiscussRegList="}},
      {"<<DiscussInput>>",
       {"<<Type=", "<<Value=", "<<MoveSuu=", "<<DiscussKifu="},
       {"<<Type="},
       false,
       false,
       true},
      {"<<DiscussMese=", {"<<DiaIndex=", "<<DiaData="}, {}},
      {"<<DiscussCallGame>>", {"<<GameList=", "<<GameData=", "<<DisCussGameisOver>>"}, {}},
      {"<<DiscussChangeGame>>",
       {"<<Index=", "<<GameData=", "<<DisCussGameisOver>>"},
       {"<<GameData="}},
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
  // At the end of the read the message is handed over when it is complete, with any text after
  // its last tag unless that text may be the start of the next tag or of an answer word.
  if (started_ && !snapshot_ && Complete()) {
    if (scan_ == held_.size()) {
      Emit(scan_, out);
    } else if (held_.compare(scan_, 2, "<<") != 0 && !MayStartNextMessage(held_.substr(scan_))) {
      Emit(held_.size(), out);
    }
  }
  held_.erase(0, begin_);
  scan_ -= begin_;
  search_ -= std::min(search_, begin_);
  if (bare_ != npos) bare_ -= begin_;
  begin_ = 0;
  if (held_.size() > MaxMessage()) DropOversized();
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
      OnTag(kNamePrompt, begin, out);
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
    OnTag(KeyOf(std::string_view(held_).substr(begin, scan_ - begin)), begin, out);
    bare_ = npos;
  }
}

void MessageFramer::OnTag(std::string_view key, std::size_t begin, std::vector<std::string>& out) {
  if (started_ && Continues(key)) return;
  // A new message begins at this tag, or at the answer word in front of a challenge.
  std::size_t split = begin;
  if (bare_ != npos && key == kChallenge) {
    const std::string_view bare = std::string_view(held_).substr(bare_, begin - bare_);
    for (std::string_view prefix : kReplyPrefixes) {
      if (bare.ends_with(prefix)) split = std::min(split, begin - prefix.size());
    }
  }
  // Text before a message's head that is no answer word stays with the message before it, or is
  // a message of its own when none came before: nobody's message starts with a stranger's text.
  const std::size_t after = scan_;
  if (split > begin_) Emit(split, out);
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

bool MessageFramer::Continues(std::string_view key) {
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
      seen_ |= 1u << i;
    } else {
      cursor_ = i + 1;
    }
    end_seen_ = end_seen_ || Contains(layout_->ends, key);
    return true;
  }
  return !StartsMessage(side_, key);
}

bool MessageFramer::Complete() const {
  if (unknown_) return true;
  if (game_only_ || layout_ == nullptr) return false;
  return (layout_->ends.empty() || end_seen_) && (!layout_->needs_game_tag || game_seen_);
}

void MessageFramer::Emit(std::size_t end, std::vector<std::string>& out) {
  if (end > begin_ && end - begin_ <= MaxMessage())
    out.push_back(held_.substr(begin_, end - begin_));
  begin_ = end;
  StartOver();
}
