// server/room_handlers.cpp — the analysis room: entering and leaving, the input right and its
// queue, input relay, room chat and the followed game.
//
// The room keeps these rules at every step: RoomCount and RegisteredCount are the numbers of names
// in RoomMembers and RegList; every registrant is a member; at most one member holds the input
// right, and while anyone is registered the first registrant holds it.
#include <algorithm>
#include <string>

#include "platform/cp932.h"
#include "protocol/tag_message.h"
#include "server/server_core.h"

namespace {
constexpr std::string_view kCrLf = "\r\n";

// Byte position of the line `name` in a room list (CR LF, then each name followed by CR LF),
// pointing at the CR LF before it; npos when the name is not a whole line of the list.
std::size_t FindRoomLine(std::string_view list, std::string_view name) {
  if (name.empty()) return std::string_view::npos;
  std::string line(kCrLf);
  line += name;
  line += kCrLf;
  return list.find(line);
}
}  // namespace

bool RoomListHas(std::string_view list, std::string_view name) {
  return FindRoomLine(list, name) != std::string_view::npos;
}

bool RoomListRemove(std::string& list, std::string_view name) {
  const std::size_t at = FindRoomLine(list, name);
  if (at == std::string::npos) return false;
  list.erase(at + kCrLf.size(), name.size() + kCrLf.size());
  return true;
}

std::vector<std::string> RoomListNames(std::string_view list) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = list.find(kCrLf, start);
    if (end == std::string_view::npos) end = list.size();
    if (end > start) names.emplace_back(list.substr(start, end - start));
    start = end + kCrLf.size();
  }
  return names;
}

std::string RoomListText(const std::vector<std::string>& names) {
  std::string list(kCrLf);
  for (const std::string& name : names) {
    list += name;
    list += kCrLf;
  }
  return list;
}

// ---------------------------------------------------------------------------------------------
// The room's lists and the messages built from them

void ServerCore::SetRoomMembers(std::string list) {
  RoomMembers = std::move(list);
  RoomCount = static_cast<int>(RoomListNames(RoomMembers).size());
}

void ServerCore::SetRegList(std::string list) {
  RegList = std::move(list);
  RegisteredCount = static_cast<int>(RoomListNames(RegList).size());
}

void ServerCore::SendToRoom(std::string_view text, int state, int except) {
  for (int k = std::min(PlayerCount, kMaxPlayers); k >= 1; --k) {
    const int s = Players[k].RoomState;
    if (k != except && (state == 0 ? s > 0 : s == state)) SendToSlot(k, text);
  }
}

std::string ServerCore::BuildGameList() const {
  if (!GameNumberValid(RoomGame)) return {};
  std::string list = "<<GameList=";
  for (int g = 1; g <= kMaxGames; ++g) {
    if (Games[g].GameState > 0) list += J("対局") + std::to_string(g) + ",";
  }
  // The record is the followed game's: a member who enters later sees what the others see.
  list += ">><<GameData=" + Games[RoomGame].GameRecord + ">>";
  if (Games[RoomGame].GameState != 1) list += "<<DisCussGameisOver>>";
  return list;
}

std::string ServerCore::RoomSnapshot(std::string_view text) const {
  std::string snapshot(text);
  snapshot += "<<Discusser=" + InputHolder;
  snapshot += ">><<DiscussCount=" + std::to_string(RoomCount);
  snapshot += ">><<DiscussList=" + RoomMembers;
  snapshot += ">><<DiscussMese=" + RoomChatLog;
  snapshot += ">><<DiscussRegList=" + RegList;
  snapshot += ">>";
  snapshot += RoomRecord;
  snapshot += RoomMoveSuu;
  snapshot += BuildGameList();
  // The diagrams hold ">>" themselves; the client reads them up to the end mark.
  snapshot += "<<DiscussDia=" + RoomDiagrams;
  snapshot += ">><<DraumEND>>";
  return snapshot;
}

std::string ServerCore::QueueUpdate() const {
  return "<<OnlyRegList>><<DiscussRegList=" + RegList + ">>";
}

std::string ServerCore::Grant() const {
  return "<<DiscussCanPlay>><<DiscussRegList=" + RegList + ">>";
}

std::string ServerCore::HolderNotice() const { return "<<Discusser=" + InputHolder + ">>"; }

std::string ServerCore::RoomMemberList() const {
  return "<<DiscussInfo>><<DiscussCount=" + std::to_string(RoomCount) +
         ">><<DiscussList=" + RoomMembers + ">>";
}

// ---------------------------------------------------------------------------------------------
// The input right

int ServerCore::TakeNextRegistrant(std::string_view name) {
  std::string list = RegList;
  RoomListRemove(list, name);
  // The next in line who is still a member; anyone else is counted off and skipped.
  for (;;) {
    const std::vector<std::string> names = RoomListNames(list);
    if (names.empty()) {
      SetRegList(std::move(list));
      return 0;
    }
    const int k = FindNameSlot(names.front());
    if (k > 0 && Players[k].RoomState > 0) {
      SetRegList(std::move(list));
      return k;
    }
    RoomListRemove(list, names.front());
  }
}

int ServerCore::SwapRegistrants(std::string_view from, std::string_view to) {
  const int k = FindNameSlot(to);
  if (k == 0) return 0;
  // Whole lines trade places; a target that was not registered takes the holder's place alone.
  std::vector<std::string> names = RoomListNames(RegList);
  const auto a = std::find(names.begin(), names.end(), from);
  const auto b = std::find(names.begin(), names.end(), to);
  if (a != names.end() && b != names.end()) {
    std::iter_swap(a, b);
  } else if (a != names.end()) {
    *a = to;
  } else if (b != names.end()) {
    *b = from;
  }
  SetRegList(RoomListText(names));
  return k;
}

void ServerCore::GiveInputTo(int k, bool handed_over) {
  Players[k].RoomState = 2;
  InputHolder = Players[k].PlayerName;
  SendToSlot(k, Grant() + (handed_over ? "<<CanEnd>>" : ""));
  SendToRoom(QueueUpdate() + HolderNotice() + "<<CanEnd>>", 1);
  LogEvent(EventLine(InputHolder, J("検討室入力開始")));
}

void ServerCore::GiveUpInput(int j) {
  const std::string name = Players[j].PlayerName;
  Players[j].RoomState = 1;
  RoomGame = 0;
  LogEvent(EventLine(name, J("検討室入力終了")));
  const int k = TakeNextRegistrant(name);
  if (k > 0) return GiveInputTo(k, false);
  InputHolder.clear();
  SetRegList(std::string(kCrLf));
  SendToRoom(QueueUpdate() + "<<Discusser=>><<CanEnd>>", 1);
}

void ServerCore::RoomRegister(int j, std::string_view /*text*/) {
  // Only a member queues for the right, so that the queue never waits for someone outside.
  Participant& p = Players[j];
  if (p.RoomState == 0 || RoomListHas(RegList, p.PlayerName)) return;
  SetRegList(RegList + p.PlayerName + std::string(kCrLf));
  LogEvent(EventLine(p.PlayerName, J("検討室入力登録")));
  if (RegisteredCount == 1) {
    p.RoomState = 2;
    InputHolder = p.PlayerName;
    SendToSlot(j, Grant());
    SendToRoom(QueueUpdate() + HolderNotice(), 1);
    LogEvent(EventLine(p.PlayerName, J("検討室入力開始")));
  } else {
    SendToRoom(QueueUpdate());
  }
}

void ServerCore::RoomGiveUp(int j, std::string_view /*text*/) {
  if (Players[j].RoomState != 2) return;  // only the holder gives the right up
  GiveUpInput(j);
}

void ServerCore::RoomHandOver(int j, std::string_view text) {
  if (Players[j].RoomState != 2) return;  // only the holder hands the right on
  const std::string name = Players[j].PlayerName;
  const std::string target = GetTagValue(text, "<<Changer=");
  Players[j].RoomState = 1;
  LogEvent(EventLine(
      name, "[ " + target.substr(0, kMaxNameBytes) + " ] ==> " + J("検討室操作権チェンジ")));
  // A target who has left the room or logged out cannot take the right: the holder has given
  // it up, and the next in line gets it.
  const int k = FindNameSlot(target);
  if (k == 0 || Players[k].RoomState == 0) return GiveUpInput(j);
  SwapRegistrants(name, target);
  GiveInputTo(k, true);
}

// ---------------------------------------------------------------------------------------------
// Entering, input and leaving

void ServerCore::RoomEnter(int j, std::string_view text) {
  Participant& p = Players[j];
  // A member who asks again is listed once and keeps its state.
  if (!RoomListHas(RoomMembers, p.PlayerName)) {
    SetRoomMembers(RoomMembers + p.PlayerName + std::string(kCrLf));
  }
  SendToRoom(RoomMemberList(), 0, j);
  if (p.RoomState == 0) p.RoomState = 1;
  SendToSlot(j, RoomSnapshot("<<DiscussEnter>>"));
  LogEvent(EventLine(p.PlayerName, J("検討室入室")));
}

void ServerCore::RoomInput(int j, std::string_view text) {
  if (Players[j].RoomState != 2) return;  // only the holder drives the shared board
  const int type = GetTagNumber(text, "<<Type=");
  const int shown = GetTagNumber(text, "<<MoveSuu=", -1);
  const bool steps = type == 25 || (type >= 5 && type <= 10);
  RoomMoveSuu = steps && shown >= 0 ? "<<MoveSuu=" + std::to_string(shown) + ">>" : std::string();

  // The input goes on with its own tags only. The record is kept, and relayed with a loaded
  // one, as its value alone, escaped like chat: nothing after it, nothing in it that could end
  // a later member's snapshot.
  std::string relayed = KeepTags(text, {"<<DiscussInput>>", "<<Type=", "<<Value=", "<<MoveSuu="});
  if (HasTag(text, "<<DiscussKifu=")) {
    RoomRecord = "<<DiscussKifu=" + EscapeChatText(GetTagValue(text, "<<DiscussKifu=")) + ">>";
    // Members get the record only with a loaded record; the rest they build themselves.
    if (HasTag(text, "<<Type=11>>")) relayed += RoomRecord;
  }
  SendToRoom(relayed, 1);
}

void ServerCore::RoomClose(int j, std::string_view /*text*/) {
  if (Players[j].RoomState == 0) return;  // not in the room: nothing to leave
  LeaveRoom(j);
}

void ServerCore::LeaveRoom(int j) {
  if (!SlotInUse(j)) return;
  // A holder who leaves first gives the right up, so the room keeps a holder while anyone waits.
  if (Players[j].RoomState == 2) GiveUpInput(j);
  const std::string name = Players[j].PlayerName;
  Players[j].RoomState = 0;
  std::string members = RoomMembers;
  RoomListRemove(members, name);
  SetRoomMembers(std::move(members));
  std::string registrants = RegList;
  RoomListRemove(registrants, name);
  SetRegList(std::move(registrants));
  if (RoomCount == 0) ResetEmptyRoom();
  SendToRoom(RoomMemberList() + "<<DiscussRegList=" + RegList + ">>");
  LogEvent(EventLine(name, J("検討室退室")));
}

void ServerCore::ResetEmptyRoom() {
  RoomRecord.clear();
  SetRoomMembers(std::string(kCrLf));
  SetRegList(std::string(kCrLf));
}

void ServerCore::LeaveRoomAsOperator(int j) {
  if (!SlotInUse(j)) return;
  const std::string name = Players[j].PlayerName;
  Players[j].RoomState = 0;
  std::string members = RoomMembers;
  RoomListRemove(members, name);
  SetRoomMembers(std::move(members));
  RoomGame = 0;
  const int k = TakeNextRegistrant(name);
  LogEvent("[ " + name + " ] ==> " + J("操作権返還・検討室退室 { 接続切れ } (") +
           clock_.TimeText() + ")");
  if (k == 0) {
    InputHolder.clear();
    SetRegList(std::string(kCrLf));
  } else {
    Players[k].RoomState = 2;
    InputHolder = Players[k].PlayerName;
  }
  // The queue and the members in one message, as the members' lists change together.
  const std::string lists =
      "<<DiscussRegList=" + RegList + ">><<DiscussCount=" + std::to_string(RoomCount) +
      ">><<DiscussList=" + RoomMembers + ">><<DiscussRegList=" + RegList + ">>";
  if (k == 0) {
    SendToRoom("<<OnlyRegList>>" + lists + "<<Discusser=>><<CanEnd>>", 1);
  } else {
    SendToSlot(k, "<<DiscussCanPlay>>" + lists);
    SendToRoom("<<OnlyRegList>>" + lists + HolderNotice() + "<<CanEnd>>", 1);
    LogEvent(EventLine(InputHolder, J("検討室入力開始")));
  }
  if (RoomCount == 0) {
    LogEvent(J("[検討室カウントエラー]  (") + clock_.TimeText() + ")");
    ResetEmptyRoom();
  }
}

// ---------------------------------------------------------------------------------------------
// Room chat and the followed game

void ServerCore::RoomChat(int j, std::string_view text) {
  if (Players[j].RoomState == 0) return;  // only members talk in the room
  const std::string line = LimitTypedLine(GetTagValue(text, "<<DiscussMese="));
  RoomChatLog += line + std::string(kCrLf);
  KeepNewestLines(RoomChatLog);
  std::string relay = "<<DiscussMese=" + line + ">>";
  if (!HasTag(text, "<<DiaData=")) return SendToRoom(relay, 0, j);
  // A diagram gets the next server-wide number; the sender hears it back with everyone else.
  const std::string diagram = GetTagValue(text, "<<DiaData=");
  const std::string n = NumberDiagram(RoomDiagrams, diagram);
  RoomChatLog += DiagramChatLine(n);
  KeepNewestLines(RoomChatLog);
  relay += "<<DiaIndex=" + n + ">><<DiaData=" + diagram + ">>";
  SendToRoom(relay);
}

void ServerCore::RoomCallGame(int j, std::string_view /*text*/) {
  // Which game the room follows is the holder's choice, as its board offers it to no one else.
  if (Players[j].RoomState != 2) return;
  int first = 1;
  while (first <= kMaxGames && Games[first].GameState == 0) ++first;
  if (first > kMaxGames) return SendToSlot(j, "<<DiscussNoGame>>");
  RoomGame = first;
  SendToRoom("<<DiscussCallGame>>" + BuildGameList());
}

void ServerCore::RoomOffGame(int j, std::string_view /*text*/) {
  if (Players[j].RoomState != 2) return;  // only the holder hides the followed game
  SendToRoom("<<DiscussOffGame>>");
}

void ServerCore::RoomChangeGame(int j, int g, std::string_view /*text*/) {
  if (Players[j].RoomState != 2 || !GameInUse(g)) return;  // only the holder changes the game
  RoomGame = g;
  std::string data = "<<DiscussChangeGame>><<Index=" + std::to_string(g) + ">>";
  data += "<<GameData=" + Games[g].GameRecord + ">>";
  if (Games[g].GameState == 2) data += "<<DisCussGameisOver>>";
  SendToRoom(data);
}
