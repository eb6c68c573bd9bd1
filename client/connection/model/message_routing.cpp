// client/connection/model/message_routing.cpp — the reader's order of tests.
#include "client/connection/model/message_routing.h"

#include <iterator>

#include "client/board/board_modes.h"
#include "protocol/tag_message.h"

namespace {
using enum ReaderAction;

bool Has(std::string_view message, std::string_view tag) { return HasTag(message, tag); }

// The shared count while playing or watching, tested before everything else. True when one of
// the branches took the message.
bool RouteSharedCount(std::string_view m, const ReaderState& s, std::vector<ReaderAction>& steps) {
  const int rtm = s.RealTimeMode;
  if (s.BoardMode == kBoardOwnGame) {
    if (rtm != kNoSharedCount && Has(m, "<<RealTimeCountEnd>>"))
      return steps.push_back(RealTimeCountEnd), true;
    if (rtm != kNoSharedCount && Has(m, "<<RealTimeChange>>"))
      return steps.push_back(RealTimeRightChange), true;
    if (s.ClockState == kClockStoppedByOpponent && rtm == kNoSharedCount &&
        Has(m, "<<RealTimeCountStart>>")) {
      return steps.push_back(RealTimeCountStart), true;
    }
    if (rtm == kSharedCountOtherRight && Has(m, "<<RealTimeCount>>"))
      return steps.push_back(ApplyRealTimeCount), true;
  } else if (s.BoardMode == kBoardWatching) {
    if (rtm != kNoSharedCount && Has(m, "<<RealTimeCountEnd>>"))
      return steps.push_back(RealTimeCountEnd), true;
    if (rtm == kNoSharedCount && Has(m, "<<RealTimeCountStart>>")) {
      return steps.push_back(RealTimeCountStart), true;
    }
    if (s.CountingBoardVisible && rtm == kSharedCountOtherRight && Has(m, "<<RealTimeCount>>")) {
      return steps.push_back(ApplyRealTimeCount), true;
    }
  }
  return false;
}

// The analysis room. "<<CanEnd>>" hides the game-list board and testing goes
// on; true when a later branch took the message.
bool RouteRoom(std::string_view m, const ReaderState& s, std::vector<ReaderAction>& steps) {
  if (Has(m, "<<CanEnd>>")) steps.push_back(HideGameListBoard);
  if (Has(m, "<<DiscussCanPlay>>")) {
    steps.push_back(GrantDiscussInput);
    if (Has(m, "<<DiscussCount=")) steps.push_back(ShowDiscussMembers);
    return true;
  }
  if (Has(m, "<<OnlyRegList>>")) {
    steps.push_back(ShowDiscussRegList);
    if (Has(m, "<<Discusser=")) steps.push_back(ShowDiscussOperator);
    if (Has(m, "<<DiscussCount=")) steps.push_back(ShowDiscussMembers);
    return true;
  }
  if (Has(m, "<<DiscussMese=")) return steps.push_back(ReceiveDiscussChat), true;
  if (Has(m, "<<DiscussInfo>>")) {
    steps.push_back(ShowDiscussMembers);
    if (Has(m, "<<DiscussRegList=")) steps.push_back(ShowDiscussRegList);
    return true;
  }
  if (s.InputAllowed == 0 && Has(m, "<<DiscussInput>>")) {
    return steps.push_back(ApplyDiscussInput), true;
  }
  if (Has(m, "<<DiscussOffGame>>")) return steps.push_back(HideGameListBoard), true;
  if (Has(m, "<<DiscussNoGame>>")) return steps.push_back(NoGameToFollow), true;
  if (Has(m, "<<DiscussCallGame>>")) return steps.push_back(ReceiveDiscussGameList), true;
  if (Has(m, "<<DiscussChangeGame>>")) return steps.push_back(ReceiveDiscussGameData), true;
  // One "<" only, and a capital C: the server writes it so.
  if (Has(m, "<DisCussGameMove=")) return steps.push_back(AddWatchMove), true;
  if (Has(m, "<<DisCussMoveBack>>")) return steps.push_back(TakeBackWatchMove), true;
  return false;
}
}  // namespace

std::vector<ReaderAction> RouteMessage(std::string_view m, const ReaderState& s) {
  std::vector<ReaderAction> steps;
  const int mode = s.BoardMode;
  if (RouteSharedCount(m, s, steps)) return steps;
  // The room's snapshot carries the room's chat and diagrams, whose text may look like any tag;
  // it is known by its opening, before any tag is looked for.
  if (mode == kBoardIdle && m.starts_with("<<DiscussEnter>><<Discusser=")) {
    return steps.push_back(StartDiscussRoom), steps;
  }
  if (Has(m, "<<WaitHint=")) steps.push_back(StoreWaitHint);  // and reading goes on

  // Tests in their fixed order; a tag that contains another is tested before it.
  if (Has(m, "<<QuellName=")) return steps.push_back(LoginRequest), steps;
  if (Has(m, "<<SysComeIn>>")) return steps.push_back(LoginAccepted), steps;
  if (Has(m, "<<SysSameName>>")) return steps.push_back(RefuseSameName), steps;
  if (Has(m, "<<SysIdLimit>>")) return steps.push_back(RefuseIdLimit), steps;
  if (Has(m, "<<SysNotFound>>")) return steps.push_back(RefuseNotFound), steps;
  if (Has(m, "<<SeeMeseNow>>")) return steps.push_back(CallMessageBoard), steps;
  if (Has(m, "<<Status>>")) {
    steps.push_back(UpdateLobbyLists);
    if (mode == kBoardRoom && Has(m, "<<DiscussGameEnd>>")) steps.push_back(FollowedGameEnd);
    return steps;
  }
  if (Has(m, "<<SysMese=")) return steps.push_back(ServerMessage), steps;
  if (Has(m, "<<GameIsFull>>")) return steps.push_back(GameIsFull), steps;
  if (Has(m, "NORe<<GameSet>>")) return steps.push_back(ChallengeCancelled), steps;
  if (Has(m, "NoTimeRe<<GameSet>>")) return steps.push_back(ChallengeUnreachable), steps;
  if (Has(m, "<<MainMese=")) return steps.push_back(BoardLine), steps;
  if (mode == kBoardOwnGame && Has(m, "<<ReceiveMoveBack>>"))
    return steps.push_back(MoveBackRequest), steps;
  if (mode == kBoardIdle && Has(m, "<<DiscussEnter>>"))
    return steps.push_back(StartDiscussRoom), steps;
  if (mode == kBoardRoom && RouteRoom(m, s, steps)) return steps;
  if (mode != kBoardOwnGame && Has(m, "<<GameSet>>"))
    return steps.push_back(ChallengeReceived), steps;
  if (mode != kBoardOwnGame && Has(m, "<<GameStart-")) {
    steps.push_back(m == "<<GameStart-NotFound>>" ? GameStartCancelled : StartPlayGame);
    return steps;
  }
  if ((mode == kBoardOwnGame || mode == kBoardWatching) && Has(m, "<<Move="))
    return steps.push_back(ReceiveMove), steps;
  if (mode != kBoardIdle && Has(m, "<<GameMese=")) return steps.push_back(GameChatLine), steps;
  if (mode == kBoardIdle && Has(m, "<<WatchGame=")) return steps.push_back(WatchStart), steps;
  if (mode != kBoardIdle && Has(m, "<<OnlyWatchCount="))
    return steps.push_back(WatcherCount), steps;
  if (mode != kBoardIdle &&
      (Has(m, "<<EndGameResign>>") || Has(m, "<<GameResign>>") || Has(m, "<<NewGameResign>>") ||
       Has(m, "<<PassEndGame>>") || Has(m, "<<OutGameResign>>") || Has(m, "<<GameTimeOut>>"))) {
    steps.push_back(UpdateLobbyLists);
    steps.push_back(GameEnd);
    return steps;
  }
  if (mode != kBoardIdle && Has(m, "<<OutWatchCount=")) {
    steps.push_back(UpdateLobbyLists);
    steps.push_back(WatcherLeft);
    return steps;
  }
  if (mode == kBoardOwnGame && s.ClockState != kClockStoppedByUser && Has(m, "<<TimeStop=")) {
    steps.push_back(OpponentTimeStop);
  }
  return steps;
}

const char* ReaderActionName(ReaderAction action) {
  // In the order of the enumeration.
  static constexpr const char* kNames[] = {
      "RealTimeCountEnd",
      "RealTimeRightChange",
      "RealTimeCountStart",
      "ApplyRealTimeCount",
      "StoreWaitHint",
      "LoginRequest",
      "LoginAccepted",
      "RefuseSameName",
      "RefuseIdLimit",
      "RefuseNotFound",
      "CallMessageBoard",
      "UpdateLobbyLists",
      "ServerMessage",
      "GameIsFull",
      "ChallengeCancelled",
      "ChallengeUnreachable",
      "BoardLine",
      "StartDiscussRoom",
      "HideGameListBoard",
      "GrantDiscussInput",
      "ShowDiscussMembers",
      "ShowDiscussRegList",
      "ShowDiscussOperator",
      "ReceiveDiscussChat",
      "ApplyDiscussInput",
      "NoGameToFollow",
      "ReceiveDiscussGameList",
      "ReceiveDiscussGameData",
      "AddWatchMove",
      "TakeBackWatchMove",
      "FollowedGameEnd",
      "ChallengeReceived",
      "GameStartCancelled",
      "StartPlayGame",
      "MoveBackRequest",
      "ReceiveMove",
      "GameChatLine",
      "WatchStart",
      "WatcherCount",
      "GameEnd",
      "WatcherLeft",
      "OpponentTimeStop",
  };
  static_assert(std::size(kNames) == static_cast<std::size_t>(OpponentTimeStop) + 1);
  const auto index = static_cast<std::size_t>(action);
  return index < std::size(kNames) ? kNames[index] : "?";
}
