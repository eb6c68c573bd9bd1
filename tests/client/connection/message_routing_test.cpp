// Tests of the reader's order of tag tests: which steps a message yields in which state.
#include "client/connection/model/message_routing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/board/board_modes.h"

namespace {
using enum ReaderAction;

ReaderState Mode(int mode) {
  ReaderState state;
  state.BoardMode = mode;
  return state;
}

std::string Names(const std::vector<ReaderAction>& steps) {
  std::string text;
  for (ReaderAction step : steps)
    text += std::string(text.empty() ? "" : " ") + ReaderActionName(step);
  return text;
}

struct Case {
  const char* message;
  ReaderState state;
  std::vector<ReaderAction> steps;
};

void Check(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(Names(RouteMessage(c.message, c.state)), Names(c.steps))
        << c.message << " in mode " << c.state.BoardMode;
  }
}
}  // namespace

TEST(RouteMessage, LoginLobbyAndBoardMessagesInEveryMode) {
  std::vector<Case> cases;
  for (int mode : {kBoardIdle, kBoardOwnGame, kBoardWatching, kBoardRoom}) {
    const ReaderState s = Mode(mode);
    cases.push_back({"<<QuellName=", s, {LoginRequest}});
    cases.push_back({"<<SysComeIn>><<Status>><<IdCount=1>>", s, {LoginAccepted}});
    cases.push_back({"<<SysSameName>>", s, {RefuseSameName}});
    cases.push_back({"<<SysIdLimit>>", s, {RefuseIdLimit}});
    cases.push_back({"<<SysNotFound>>", s, {RefuseNotFound}});
    cases.push_back({"<<SeeMeseNow>>", s, {CallMessageBoard}});
    cases.push_back({"<<Status>><<IdCount=3>>", s, {UpdateLobbyLists}});
    cases.push_back({"<<SysMese=x>>", s, {ServerMessage}});
    cases.push_back({"<<GameIsFull>>", s, {GameIsFull}});
    cases.push_back({"<<MainMese=[ a ]：b>>", s, {BoardLine}});
    cases.push_back({"<<Nothing>>", s, {}});
    cases.push_back({"", s, {}});
  }
  Check(cases);
}

TEST(RouteMessage, WaitHintIsStoredFirstAndReadingGoesOn) {
  Check({
      {"<<SysComeIn>><<Status>><<WaitList=a\r\n>><<WaitHint=[0]>>",
       Mode(kBoardIdle),
       {StoreWaitHint, LoginAccepted}},
      {"<<Status>><<WaitList=a\r\n>><<WaitHint=[0]>>",
       Mode(kBoardWatching),
       {StoreWaitHint, UpdateLobbyLists}},
      {"<<GameStart-Kuro>><<WaitHint=[1]>>", Mode(kBoardIdle), {StoreWaitHint, StartPlayGame}},
      {"<<WaitHint=[1]>>", Mode(kBoardIdle), {StoreWaitHint}},
  });
}

TEST(RouteMessage, TagsThatContainOtherTagsAreTestedFirst) {
  Check({
      // "NORe<<GameSet>>" and "NoTimeRe<<GameSet>>" contain "<<GameSet>>".
      {"NORe<<GameSet>><<Player2=b>>", Mode(kBoardIdle), {ChallengeCancelled}},
      {"NoTimeRe<<GameSet>><<Player2=b>>", Mode(kBoardIdle), {ChallengeUnreachable}},
      {"<<GameSet>><<Player1=a>>", Mode(kBoardIdle), {ChallengeReceived}},
      // A login prompt anywhere wins over everything after it in the order.
      {"<<Status>><<QuellName=", Mode(kBoardOwnGame), {LoginRequest}},
      // A status message carrying an end-of-game tag is read as a status message only.
      {"<<Status>><<GameResign>>", Mode(kBoardOwnGame), {UpdateLobbyLists}},
      // A board post is a board post even when its text quotes a game tag.
      {"<<MainMese=[ a ]：<<Move=5>>", Mode(kBoardOwnGame), {BoardLine}},
      // The game-start refusal is recognised only as the whole message.
      {"<<GameStart-NotFound>>", Mode(kBoardIdle), {GameStartCancelled}},
      {"<<GameStart-NotFound>><<Status>>", Mode(kBoardIdle), {UpdateLobbyLists}},
      {"<<GameStart-NotFound>>x", Mode(kBoardIdle), {StartPlayGame}},
  });
}

TEST(RouteMessage, GameMessagesObeyTheBoardMode) {
  ReaderState stopped_by_me = Mode(kBoardOwnGame);
  stopped_by_me.ClockState = kClockStoppedByUser;
  ReaderState stopped_by_opponent = Mode(kBoardOwnGame);
  stopped_by_opponent.ClockState = kClockStoppedByOpponent;
  Check({
      // A challenge and a game start are not handled during an own game.
      {"<<GameSet>>", Mode(kBoardOwnGame), {}},
      {"<<GameSet>>", Mode(kBoardWatching), {ChallengeReceived}},
      {"<<GameSet>>", Mode(kBoardRoom), {ChallengeReceived}},
      {"<<GameStart-Kuro>>", Mode(kBoardOwnGame), {}},
      {"<<ReceiveMoveBack>>", Mode(kBoardOwnGame), {MoveBackRequest}},
      {"<<ReceiveMoveBack>>", Mode(kBoardWatching), {}},
      {"<<Move=45>><<Time=10>>", Mode(kBoardIdle), {}},
      {"<<Move=45>><<Time=10>>", Mode(kBoardOwnGame), {ReceiveMove}},
      {"<<Move=45>><<Time=10>>", Mode(kBoardWatching), {ReceiveMove}},
      {"<<Move=45>><<Time=10>>", Mode(kBoardRoom), {}},
      {"<<GameMese=hi\r\n>>", Mode(kBoardIdle), {}},
      {"<<GameMese=hi\r\n>>", Mode(kBoardRoom), {GameChatLine}},
      {"<<WatchGame=2>><<AllMese=>><<DraumEND>>", Mode(kBoardIdle), {WatchStart}},
      {"<<WatchGame=2>><<AllMese=>><<DraumEND>>", Mode(kBoardWatching), {}},
      {"<<OnlyWatchCount=2>><<WatchList=a\n>>", Mode(kBoardOwnGame), {WatcherCount}},
      {"<<OnlyWatchCount=2>>", Mode(kBoardIdle), {}},
      {"<<OutWatchCount=1>><<IdCount=3>>", Mode(kBoardWatching), {UpdateLobbyLists, WatcherLeft}},
      {"<<TimeStop=1>><<Sender=b>>", Mode(kBoardOwnGame), {OpponentTimeStop}},
      {"<<TimeStop=1>><<Sender=b>>", stopped_by_opponent, {OpponentTimeStop}},
      {"<<TimeStop=1>><<Sender=b>>", stopped_by_me, {}},
      {"<<TimeStop=1>><<Sender=b>>", Mode(kBoardWatching), {}},
      {"<<DiscussEnter>><<Discusser=>><<DraumEND>>", Mode(kBoardIdle), {StartDiscussRoom}},
      {"<<DiscussEnter>><<Discusser=>><<DraumEND>>", Mode(kBoardWatching), {}},
      // Chat and diagrams of the snapshot that look like other messages.
      {"<<DiscussEnter>><<Discusser=>><<DiscussMese=<<QuellName=x\r\n<<SysMese=y\r\n"
       "<<MainMese=z\r\n>><<DiscussDia={1}<<DiaData=<<Status>><<WaitHint=w>>>><<DraumEND>>",
       Mode(kBoardIdle), {StartDiscussRoom}},
  });
  for (const char* end : {"<<EndGameResign>>", "<<GameResign>>", "<<NewGameResign>>",
                          "<<PassEndGame>>", "<<OutGameResign>>", "<<GameTimeOut>>"}) {
    const std::string message = std::string(end) + "<<Name=a>><<Suu=12>>";
    Check({{message.c_str(), Mode(kBoardOwnGame), {UpdateLobbyLists, GameEnd}},
           {message.c_str(), Mode(kBoardRoom), {UpdateLobbyLists, GameEnd}},
           {message.c_str(), Mode(kBoardIdle), {}}});
  }
}

TEST(RouteMessage, SharedCountWhilePlaying) {
  ReaderState s = Mode(kBoardOwnGame);
  auto with = [](ReaderState base, int rtm, int clock) {
    base.RealTimeMode = rtm;
    base.ClockState = clock;
    return base;
  };
  Check({
      {"<<RealTimeCountEnd>>", with(s, 1, 2), {RealTimeCountEnd}},
      {"<<RealTimeChange>>", with(s, 2, 2), {RealTimeRightChange}},
      {"<<RealTimeCountStart>>", with(s, 0, 2), {RealTimeCountStart}},
      // The opponent's start counts only while the clocks are stopped and no count runs.
      {"<<RealTimeCountStart>>", with(s, 0, 0), {}},
      {"<<RealTimeCountStart>>", with(s, 1, 2), {}},
      {"<<RealTimeCount>><<Type=1>><<Value=45>>", with(s, 2, 2), {ApplyRealTimeCount}},
      // While this side holds the right the echo is not applied.
      {"<<RealTimeCount>><<Type=1>><<Value=45>>", with(s, 1, 2), {}},
      {"<<RealTimeCountEnd>>", with(s, 0, 2), {}},
      // A branch that does not act hands the message on to the rest of the tests.
      {"<<RealTimeCountEnd>><<Status>><<IdCount=2>>", with(s, 0, 2), {UpdateLobbyLists}},
      {"<<RealTimeCount>><<WaitHint=[0]>>", with(s, 1, 2), {StoreWaitHint}},
  });
}

TEST(RouteMessage, SharedCountWhileWatching) {
  ReaderState s = Mode(kBoardWatching);
  auto with = [](ReaderState base, int rtm, bool visible) {
    base.RealTimeMode = rtm;
    base.CountingBoardVisible = visible;
    return base;
  };
  Check({
      {"<<RealTimeCountEnd>>", with(s, 2, true), {RealTimeCountEnd}},
      // A watcher has no clock condition on the start.
      {"<<RealTimeCountStart>>", with(s, 0, false), {RealTimeCountStart}},
      {"<<RealTimeCount>><<Type=1>>", with(s, 2, true), {ApplyRealTimeCount}},
      {"<<RealTimeCount>><<Type=1>>", with(s, 2, false), {}},
      {"<<RealTimeChange>>", with(s, 1, true), {}},
      {"<<RealTimeCountStart>>", Mode(kBoardIdle), {}},
  });
}

TEST(RouteMessage, AnalysisRoomGroup) {
  ReaderState room = Mode(kBoardRoom);
  ReaderState operating = Mode(kBoardRoom);
  operating.InputAllowed = 1;
  Check({
      {"<<DiscussCanPlay>><<DiscussRegList=a\r\n>>", room, {GrantDiscussInput}},
      {"<<DiscussCanPlay>><<DiscussRegList=a\r\n>><<CanEnd>>",
       room,
       {HideGameListBoard, GrantDiscussInput}},
      {"<<DiscussCanPlay>><<DiscussRegList=>><<DiscussCount=2>><<DiscussList=a\r\n>>",
       room,
       {GrantDiscussInput, ShowDiscussMembers}},
      {"<<OnlyRegList>><<DiscussRegList=a\r\n>>", room, {ShowDiscussRegList}},
      {"<<OnlyRegList>><<DiscussRegList=>><<Discusser=>><<CanEnd>>",
       room,
       {HideGameListBoard, ShowDiscussRegList, ShowDiscussOperator}},
      {"<<OnlyRegList>><<DiscussRegList=>><<DiscussCount=3>><<Discusser=a>>",
       room,
       {ShowDiscussRegList, ShowDiscussOperator, ShowDiscussMembers}},
      {"<<DiscussMese=hi\r\n>>", room, {ReceiveDiscussChat}},
      {"<<DiscussInfo>><<DiscussCount=2>>", room, {ShowDiscussMembers}},
      {"<<DiscussInfo>><<DiscussCount=2>><<DiscussRegList=a\r\n>>",
       room,
       {ShowDiscussMembers, ShowDiscussRegList}},
      {"<<DiscussInput>><<Type=1>>", room, {ApplyDiscussInput}},
      // The member who holds the input right ignores the echo of his own input.
      {"<<DiscussInput>><<Type=1>>", operating, {}},
      {"<<DiscussOffGame>>", room, {HideGameListBoard}},
      {"<<DiscussNoGame>>", room, {NoGameToFollow}},
      {"<<DiscussCallGame>><<GameList=x>>", room, {ReceiveDiscussGameList}},
      {"<<DiscussChangeGame>><<GameIndex=2>>", room, {ReceiveDiscussGameData}},
      {"<DisCussGameMove=45>>", room, {AddWatchMove}},
      {"<<DisCussGameMove=45>>", room, {AddWatchMove}},
      {"<<DisCussMoveBack>>", room, {TakeBackWatchMove}},
      {"<<Status>><<PlayList=>><<DiscussGameEnd>><<Result=B>>",
       room,
       {UpdateLobbyLists, FollowedGameEnd}},
      {"<<Status>><<PlayList=>><<DiscussGameEnd>>", Mode(kBoardIdle), {UpdateLobbyLists}},
      // Outside the room none of this is taken.
      {"<<DiscussMese=hi\r\n>>", Mode(kBoardIdle), {}},
      {"<DisCussGameMove=45>>", Mode(kBoardWatching), {}},
      // A room message that no room branch takes goes on to the later tests.
      {"<<CanEnd>><<GameSet>>", room, {HideGameListBoard, ChallengeReceived}},
      {"<<DiscussInput>><<GameMese=x>>", operating, {GameChatLine}},
  });
}
