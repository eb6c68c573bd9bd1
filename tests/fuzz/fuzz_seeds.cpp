// tests/fuzz/fuzz_seeds.cpp — writes the fuzzers' seed corpora and dictionaries from the code
// itself: the messages a scripted session of the real server core exchanges, the tags of the
// framer's layouts, and records written by the record writer.
//   fuzz_seeds <folder>   writes <folder>/<fuzzer>/seed-N and <folder>/<fuzzer>.dict
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "client/board/model/board_model.h"
#include "client/board/model/record_text.h"
#include "platform/cp932.h"
#include "platform/memory_transport.h"
#include "protocol/message_framer.h"
#include "server/server_core.h"
#include "tests/fuzz/server_script.h"

namespace {
namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void WriteCorpus(const fs::path& folder, const std::string& fuzzer, const Texts& seeds) {
  const fs::path dir = folder / fuzzer;
  fs::remove_all(dir);
  fs::create_directories(dir);
  for (std::size_t i = 0; i < seeds.size(); ++i) {
    WriteFile(dir / ("seed-" + std::to_string(i)), seeds[i]);
  }
}

// One dictionary entry per line, quoted, with every byte outside plain ASCII escaped.
void WriteDictionary(const fs::path& path, const Texts& entries) {
  std::string text;
  for (const std::string& entry : entries) {
    text += '"';
    for (unsigned char c : entry) {
      if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
        text += static_cast<char>(c);
      } else {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        text += hex;
      }
    }
    text += "\"\n";
  }
  WriteFile(path, text);
}

std::string Challenge(const std::string& from, const std::string& to, const std::string& extra) {
  return "<<GameSet>><<IsKuro=" + J("黒番") + ">><<KuroGameTime=15" + J(" 分") +
         ">><<SiroGameTime=" + J("任意") + ">><<AddTime=" + J("なし") + ">><<GameWari=" + extra +
         ">><<GameKomi=6.5>><<Player1=" + from + ">><<Player2=" + to + ">><<BanSize=19>>";
}

// A session of six peers through the real server core: logins, a challenge and a game with
// moves, passes, undo, clock stop, chat with a diagram, watching, the room and the end.
struct Session {
  MemoryServerTransport transport;
  FixedClock clock;
  ServerCore core{transport, clock};
  std::vector<ConnectionId> peers;
  Texts sent;          // every message a peer sent
  std::string script;  // the same session as a server fuzzer script

  Session() { transport.Connect(); }
  void Connect() {
    peers.push_back(transport.Connect());
    script += server_script::Connect();
  }
  // One read, then the peers fall quiet while the server holds a message for its tail.
  void Send(int peer, const std::string& text) {
    transport.Receive(peers[peer], text);
    clock.AdvanceMilliseconds(MessageFramer::kHoldMilliseconds);
    core.HandOverHeldMessages();
    sent.push_back(text);
    script += server_script::Send(peer, text) + server_script::Quiet();
  }
  Texts Received() const {
    Texts all;
    for (ConnectionId c : peers) {
      for (const std::string& m : transport.Sent(c)) all.push_back(m);
    }
    return all;
  }
};

Session RunSession() {
  Session s;
  const char* names[] = {"alice", "bob", "carol", "dave", "erin", "frank"};
  for (int i = 0; i < 6; ++i) {
    s.Connect();
    s.Send(i, std::string("<<QuellName=") + names[i] + ">><<IdFlag=" + (i == 2 ? "0" : "1") + ">>");
  }
  s.Send(0, "<<MainMese=[ alice ]" + J("：よろしく") + ">>");
  s.Send(1, "<<SeeMeseNow>>");
  s.Send(0, Challenge("alice", "bob", J("２子")));
  s.Send(1, "NORe" + Challenge("alice", "bob", J("２子")));
  s.Send(0, Challenge("alice", "bob", J("互先")));
  s.Send(1, "OKRe" + Challenge("alice", "bob", J("互先")));
  s.Send(2, "<<WatchGame=1>>");
  s.Send(0, "<<GameIndex=1>><<Move=88>><<Color=black>><<Time=895>>");
  s.Send(1, "<<GameIndex=1>><<Move=89>><<Color=white>><<Time=870>>");
  s.Send(0, "<<GameIndex=1>><<Move=>><<MoveBack>>");
  s.Send(1, "<<GameIndex=1>><<Move=>><<MoveBack>>");
  s.Send(0, "<<GameMese=[ alice ]hi\r\n>><<GameIndex=1>>");
  s.Send(2, "<<GameIndex=1>><<GameMese=[ carol ]look\r\n>><<DiaData=(;SZ[9]AB[cc]TR[dd])>>");
  s.Send(1, "<<TimeStop=1>><<GameIndex=1>>");
  s.Send(1, "<<TimeStop=0>><<GameIndex=1>>");
  s.Send(3, "<<DiscussEnter>>");
  s.Send(4, "<<DiscussEnter>>");
  s.Send(3, "<<GameIndex=0>><<DiscussReg>>");
  s.Send(4, "<<DiscussReg>>");
  s.Send(3, "<<DiscussCallGame>>");
  s.Send(3, "<<DiscussInput>><<Value=88>><<Type=1>><<DiscussKifu=(;GM[1]FF[1]SZ[19];B[dd])>>");
  s.Send(3, "<<DiscussInput>><<Type=5>><<MoveSuu=1>>");
  s.Send(4, "<<DiscussMese=[ erin ]x\r\n>><<DiaData=(;SZ[9])>>");
  s.Send(3, "<<DiscussChangeGame>><<Index=1>>");
  s.Send(3, "<<DiscussOffGame>>");
  s.Send(3, "<<DiscussChange>><<Changer=erin>>");
  s.Send(4, "<<DiscussCanEnd>>");
  s.Send(3, "<<DiscussClose>>");
  s.Send(0, "<<GameIndex=1>><<Move=0>><<Color=black>><<Suu=1>>");
  s.Send(1, "<<GameIndex=1>><<Move=0>><<Color=white>><<Suu=2>>");
  s.Send(0, "<<GameIndex=1>><<RealTimeCountStart>>");
  s.Send(0, "<<GameIndex=1>><<RealTimeCount>><<Type=2>><<Value=88>>");
  s.Send(0, "<<GameIndex=1>><<RealTimeChange>>");
  s.Send(1, "<<GameIndex=1>><<RealTimeCountEnd>>");
  s.Send(2, "<<OffWatchGame>><<GameIndex=1>>");
  s.Send(5, "<<ChangeMode>>");
  s.Send(5, Challenge("frank", "dave", J("定先")));
  s.Send(3, "OKRe" + Challenge("frank", "dave", J("定先")));
  s.Send(5, "<<GameResign>><<Suu=0>><<GameIndex=2>>");
  s.transport.Drop(s.peers[4]);
  s.script += server_script::Drop(4);
  s.script += server_script::Time(13);
  return s;
}

// Records the record writer makes: an even game with a capture and passes, a handicap start,
// setup stones without liberties, marks.
Texts Records(const Session& session) {
  Texts records = {"(;SZ[13]AB[aa]AW[ab][ba];[tt])",
                   "(;/<SiroSaki>//<SiroTurn>/AB[cc][dd]AW[ee];[dc];[tt]",
                   "(;GM[1]SZ[19];B[pd];W[dp];B[];W[tt]\n;B[qq]N[x])"};
  for (int g = 1; g <= kMaxGames; ++g) {
    if (!session.core.Games[g].GameRecord.empty())
      records.push_back(session.core.Games[g].GameRecord);
  }
  BoardModel board;
  board.SetBoardSize(9);
  for (int p : {3 * 21 + 3, 3 * 21 + 4, 4 * 21 + 3, 2 * 21 + 4, 4 * 21 + 4, 3 * 21 + 5, 0, 0}) {
    board.PendingPoint = p;
    if (p == 0) {
      board.PlacePass();
    } else if (board.NextMoveIsBlack()) {
      board.PlaceBlackStone();
    } else {
      board.PlaceWhiteStone();
    }
  }
  board.BufferLength = board.MoveTop;
  board.Marks[5 * 21 + 5] = 5;
  RecordHeader header;
  header.BlackName = "black";
  header.WhiteName = "white";
  header.DateText = "2026/12/09";
  header.TimeText = "9:05:07";
  records.push_back(WriteSgfRecord(board, header));
  return records;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
    return 2;
  }
  const fs::path folder = argv[1];
  fs::create_directories(folder);
  const Session session = RunSession();
  const Texts from_clients = session.sent;
  const Texts from_server = session.Received();

  Texts tags;
  for (std::string_view tag : MessageFramer::KnownTags()) tags.emplace_back(tag);
  Texts message_words = tags;
  for (const char* word : {">>", "OKRe", "NORe", "NoTimeRe", "black", "white", "\r\n", "\n"}) {
    message_words.emplace_back(word);
  }

  // The tag reader: each message with each key it holds.
  Texts tag_seeds;
  for (const Texts* list : {&from_clients, &from_server}) {
    for (std::size_t i = 0; i < list->size(); i += 3) {
      const std::string& m = (*list)[i];
      tag_seeds.push_back(tags[i % tags.size()] + std::string(1, '\0') + m);
    }
  }
  tag_seeds.push_back("CO015400");
  tag_seeds.push_back(std::string("<<Name=") + '\0' + "<<Name=a<b>c>>");
  WriteCorpus(folder, "fuzz_tag_message", tag_seeds);
  WriteDictionary(folder / "fuzz_tag_message.dict", message_words);

  // The framer: runs of consecutive messages of each side, as one stream.
  Texts framer_seeds;
  for (int side = 0; side < 2; ++side) {
    const Texts& list = side == 0 ? from_clients : from_server;
    for (std::size_t i = 0; i < list.size(); i += 4) {
      std::string stream{static_cast<char>(side), static_cast<char>(i)};
      for (std::size_t k = i; k < list.size() && k < i + 4; ++k) stream += list[k];
      framer_seeds.push_back(stream);
    }
  }
  WriteCorpus(folder, "fuzz_message_framer", framer_seeds);
  WriteDictionary(folder / "fuzz_message_framer.dict", message_words);

  // The server core: the whole session, and its first half with every message sent twice in one
  // read.
  Texts script_seeds = {session.script};
  {
    Session twice;
    for (int i = 0; i < 6; ++i) twice.Connect();
    for (std::size_t k = 0; k < from_clients.size() / 2; ++k) {
      twice.script +=
          server_script::Send(static_cast<int>(k % 6), from_clients[k] + from_clients[k]);
    }
    script_seeds.push_back(twice.script);
  }
  WriteCorpus(folder, "fuzz_server_core", script_seeds);
  Texts script_words = message_words;
  script_words.push_back(server_script::Connect());
  script_words.push_back(server_script::Drop(1));
  script_words.push_back(server_script::Time(13));
  WriteDictionary(folder / "fuzz_server_core.dict", script_words);

  // The client's reader: what the server sent, in each mode of the board window.
  Texts routing_seeds;
  for (std::size_t i = 0; i < from_server.size(); ++i) {
    std::string seed{static_cast<char>(i % 4), static_cast<char>(i % 3), static_cast<char>(i % 2),
                     static_cast<char>(i % 7)};
    routing_seeds.push_back(seed + from_server[i]);
  }
  WriteCorpus(folder, "fuzz_message_routing", routing_seeds);
  WriteDictionary(folder / "fuzz_message_routing.dict", message_words);

  // The record readers.
  WriteCorpus(folder, "fuzz_record_readers", Records(session));
  Texts record_words = {"(;",  ")",   ";",   "[",   "]",    "SZ[19]", "SZ[13]", "SZ[9]",
                        "AB[", "AW[", ";B[", ";W[", "[tt]", "PB[",    "PW[",    "HA[",
                        "KM[", "LB[", ":A]", "SQ[", "TR[",  "CR[",    "MA[",    "\r\n"};
  record_words.emplace_back(WhiteFirstMarker);
  record_words.emplace_back(WhiteToMoveMarker);
  WriteDictionary(folder / "fuzz_record_readers.dict", record_words);
  return 0;
}
