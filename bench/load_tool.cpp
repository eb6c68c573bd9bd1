// bench/load_tool.cpp — drives the real server program over loopback with 50 scripted
// participants: 5 running games, each with 2 players and 6 watchers, and 10 members of the
// analysis room that follows game 1 while its holder sends inputs and the members chat. Measures
// the time from a move's send to its arrival at the opponent, at every watcher and at every room
// member (median and 99th percentile), counts lost moves, and reads the server's CPU time and
// peak memory from /proc. A stress mode raises the move rate step by step.
//
// A player moves only once the opponent's last move has reached it, as a real client does; the
// rate is the most moves per second each game may make.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/server_program.h"
#include "platform/cp932.h"
#include "protocol/tag_message.h"

namespace {
constexpr int kGames = 5;
constexpr int kWatchersPerGame = 6;
constexpr int kRoomMembers = 10;
constexpr int kFollowedGame = 1;

double NowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

using bench::CpuSeconds;
using bench::Fail;
using bench::MemoryMb;
using bench::ServerRun;
using bench::StopServer;

// A listening socket on a free loopback port; `addr` receives its address.
int LoopbackListener(int backlog, sockaddr_in& addr, const char* what) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  addr = sockaddr_in{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof addr;
  if (bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      listen(listener, backlog) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
    Fail(what);
  }
  return listener;
}

// A non-blocking connection without Nagle's delay, as every client of the run uses.
int ConnectNoDelay(const sockaddr_in& addr, const char* what) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) Fail(what);
  const int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  return fd;
}

// ---------------------------------------------------------------------------------------------
// Participants

enum class Role { Black, White, Watcher, Member };
enum Kind { kOpponent, kWatcher, kRoom, kKinds };
constexpr std::array<const char*, kKinds> kKindNames = {"opponent", "watchers", "room"};

struct Participant {
  int fd = -1;
  std::string name;
  Role role = Role::Watcher;
  int game = 0;    // the game played or watched; 0 for room members
  std::string in;  // received bytes not yet consumed
  // Reading moves: a "<<Move=" tag waits for the clock tags that follow it.
  bool move_open = false;
  long long black_clock = 0;
  int room_moves = 0;  // "<<DisCussGameMove=" received, in order
};

// The floor of a relay, measured in the same run: a bare relay process that reads each message
// from one socket and writes it to as many sockets as a move reaches (the opponent and 6 watchers,
// and for the followed game 10 room members on top), one write each. It pays what any relay pays
// on this machine, one wake-up, one read and a write per recipient, and its recipients are read
// by the same loop, in the same way, as the participants: the server's figures are read against
// this one.
class FanOutFloor {
 public:
  static constexpr int kMostRecipients = 1 + kWatchersPerGame + kRoomMembers;
  // A move to the watchers as the server writes it.
  static constexpr std::string_view kMessage = "<<Move=88>><<KuroTime=1234>><<SiroTime=1233>>";

  FanOutFloor() { recipients_.fill(-1); }
  FanOutFloor(const FanOutFloor&) = delete;
  FanOutFloor& operator=(const FanOutFloor&) = delete;
  ~FanOutFloor() {
    if (sender_ >= 0) close(sender_);
    for (int fd : recipients_) {
      if (fd >= 0) close(fd);
    }
    if (relay_ > 0) waitpid(relay_, nullptr, 0);
  }

  // Forks the relay process (before any thread starts); its recipients join `epoll` with the
  // event data `tag` + their index.
  void Fork(int epoll, std::uint32_t tag) {
    sockaddr_in addr;
    const int listener = LoopbackListener(kMostRecipients + 1, addr, "no relay socket");
    relay_ = fork();
    if (relay_ < 0) Fail("fork failed");
    if (relay_ == 0) Relay(listener);
    close(listener);
    sender_ = ConnectNoDelay(addr, "relay connect");
    for (int k = 0; k < kMostRecipients; ++k) {
      recipients_[k] = ConnectNoDelay(addr, "relay connect");
      epoll_event event{};
      event.events = EPOLLIN;
      event.data.u32 = tag + static_cast<std::uint32_t>(k);
      epoll_ctl(epoll, EPOLL_CTL_ADD, recipients_[k], &event);
    }
  }

  // Sends the next message: one in kGames goes to the room as well, as the followed game's
  // moves do.
  void Send(double now) {
    const int recipients = sent_++ % kGames == 0 ? kMostRecipients : 1 + kWatchersPerGame;
    std::string text(1, static_cast<char>(recipients));  // the relay's count of recipients
    text += kMessage;
    if (write(sender_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
      Fail("the relay does not take its message");
    }
    sent_at_ = now;
    expected_ = recipients;
    arrived_ = 0;
    got_.fill(0);
  }
  // True while the last message has not reached every recipient yet.
  bool Awaiting() const { return arrived_ < expected_; }
  int Missing() const { return expected_ - arrived_; }
  // Recipient k is readable.
  void Read(std::uint32_t k, double now) {
    if (k >= recipients_.size()) return;
    std::array<char, 1024> bytes;
    for (ssize_t n; (n = read(recipients_[k], bytes.data(), bytes.size())) > 0;) {
      got_[k] += static_cast<std::size_t>(n);
    }
    if (got_[k] >= kMessage.size() && Awaiting()) {
      got_[k] -= kMessage.size();
      ++arrived_;
      samples_.push_back(now - sent_at_);
    }
  }
  // Arrivals so far, from each send to the arrival; the record is emptied.
  std::vector<double> Take() {
    std::vector<double> taken;
    taken.swap(samples_);
    return taken;
  }

 private:
  // The relay process: waits in epoll for its sender, as an event loop does, then writes what
  // came to the first n recipients, one write each.
  [[noreturn]] static void Relay(int listener) {
    // The sender is the connection that sends; the order in which the connections arrive may
    // differ from the order in which they were made.
    std::array<int, kMostRecipients + 1> all;
    const int poller = epoll_create1(0);
    for (int& fd : all) {
      fd = accept(listener, nullptr, nullptr);
      const int one = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      epoll_event event{};
      event.events = EPOLLIN;
      event.data.fd = fd;
      epoll_ctl(poller, EPOLL_CTL_ADD, fd, &event);
    }
    std::array<char, 4096> bytes;
    for (;;) {
      epoll_event event{};
      if (epoll_wait(poller, &event, 1, -1) < 1) continue;
      const int sender = event.data.fd;
      const ssize_t n = read(sender, bytes.data(), bytes.size());
      if (n <= 0) _exit(0);
      int recipients = std::min<int>(bytes[0], kMostRecipients);
      const auto size = static_cast<std::size_t>(n - 1);
      for (int k = 0; recipients > 0; ++k) {
        if (all[k] == sender) continue;
        if (write(all[k], bytes.data() + 1, size) != n - 1) _exit(1);
        --recipients;
      }
    }
  }

  pid_t relay_ = -1;
  int sender_ = -1;
  std::array<int, kMostRecipients> recipients_;
  std::array<std::size_t, kMostRecipients> got_{};
  int sent_ = 0, expected_ = 0, arrived_ = 0;
  double sent_at_ = 0;
  std::vector<double> samples_;
};

struct Load {
  // Event data of the fan-out floor's recipients in the participants' epoll set: this + index.
  static constexpr std::uint32_t kFloorTag = 1u << 16;

  std::vector<Participant> people;
  int epoll = -1;
  FanOutFloor* floor = nullptr;  // read beside the participants while measuring
  bool measuring = false;
  bool spin = true;  // read by spinning rather than sleeping in epoll_wait

  // One entry per move sent, indexed by the move's id (sent as its clock text).
  std::vector<double> sent_at;
  std::vector<int> game_of, arrivals;
  std::vector<long long> followed_ids;  // ids of the followed game's moves, in order
  std::array<std::vector<double>, kKinds> latency;
  long long strays = 0;
  // Per game: the id of its last move, and whether the opponent has it yet.
  std::array<long long, kGames + 1> last_id{};
  std::array<bool, kGames + 1> awaiting{};
  std::array<int, kGames + 1> moves_made{};

  Participant& Add(const std::string& name, Role role, int game) {
    Participant p;
    p.name = name;
    p.role = role;
    p.game = game;
    people.push_back(p);
    return people.back();
  }

  void Connect(Participant& p, std::uint16_t port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    p.fd = ConnectNoDelay(addr, "connect");
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u32 = static_cast<std::uint32_t>(&p - people.data());
    epoll_ctl(epoll, EPOLL_CTL_ADD, p.fd, &event);
  }

  static void Send(const Participant& p, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = write(p.fd, text.data() + done, text.size() - done);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
      } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
        Fail("send to " + p.name + ": " + std::strerror(errno));
      }
    }
  }

  // Reads whatever has arrived, waiting at most `timeout_ms`.
  void Pump(int timeout_ms) {
    std::array<epoll_event, 64> events;
    const int ready = epoll_wait(epoll, events.data(), static_cast<int>(events.size()), timeout_ms);
    for (int i = 0; i < ready; ++i) {
      if (events[i].data.u32 >= kFloorTag) {
        if (floor != nullptr) floor->Read(events[i].data.u32 - kFloorTag, NowMs());
        continue;
      }
      Participant& p = people[events[i].data.u32];
      std::array<char, 65536> buffer;
      for (;;) {
        const ssize_t n = read(p.fd, buffer.data(), buffer.size());
        if (n > 0) {
          p.in.append(buffer.data(), static_cast<std::size_t>(n));
          continue;
        }
        if (n == 0) Fail(p.name + " was disconnected");
        break;
      }
      if (measuring) Parse(p, NowMs());
    }
  }

  // Waits until `p` has received `text`; consumes everything up to and including it.
  void Expect(Participant& p, const std::string& text, double timeout_ms = 10000) {
    const double until = NowMs() + timeout_ms;
    for (;;) {
      const std::size_t at = p.in.find(text);
      if (at != std::string::npos) {
        p.in.erase(0, at + text.size());
        return;
      }
      if (NowMs() > until) Fail(p.name + " did not receive " + text);
      Pump(5);
    }
  }

  // ---------------------------------------------------------------------------------------------
  // Moves

  static std::string Point(long long seq) {
    const long long column = seq / 19 % 19 + 1, row = seq % 19 + 1;
    return std::to_string(column * 21 + row);
  }

  void SendMove(int g, double now) {
    Participant& mover = Mover(g, moves_made[g] % 2 == 0 ? Role::Black : Role::White);
    const auto id = static_cast<long long>(sent_at.size());
    sent_at.push_back(now);
    game_of.push_back(g);
    arrivals.push_back(0);
    if (g == kFollowedGame) followed_ids.push_back(id);
    last_id[g] = id;
    awaiting[g] = true;
    // The mover's clock carries the move's id: the opponent gets it back as "<<Time=", the
    // watchers as the newer of the two clocks.
    Send(mover, "<<GameIndex=" + std::to_string(g) + ">><<Move=" + Point(moves_made[g]) +
                    ">><<Color=" + (mover.role == Role::Black ? "black" : "white") +
                    ">><<Time=" + std::to_string(id) + ">>");
    ++moves_made[g];
  }

  Participant& Mover(int g, Role role) {
    for (Participant& p : people) {
      if (p.game == g && p.role == role) return p;
    }
    Fail("no player");
  }

  void Arrived(Kind kind, long long id, double now) {
    if (id < 0 || id >= static_cast<long long>(sent_at.size())) {
      ++strays;
      return;
    }
    latency[kind].push_back(now - sent_at[id]);
    ++arrivals[id];
    if (kind == kOpponent && id == last_id[game_of[id]]) awaiting[game_of[id]] = false;
  }

  // Takes the complete tags out of `p.in` and notes every move among them.
  void Parse(Participant& p, double now) {
    std::size_t pos = 0;
    for (;;) {
      const std::size_t open = p.in.find("<<", pos);
      if (open == std::string::npos) {
        pos = p.in.size();
        break;
      }
      const std::size_t close = p.in.find(">>", open + 2);
      if (close == std::string::npos) {
        pos = open;
        break;
      }
      const std::string_view tag(p.in.data() + open + 2, close - open - 2);
      pos = close + 2;
      const std::size_t eq = tag.find('=');
      const std::string_view key = tag.substr(0, eq);
      const std::string_view value = eq == std::string_view::npos ? "" : tag.substr(eq + 1);
      if (key == "Move") {
        p.move_open = true;
      } else if (p.move_open && key == "Time") {
        p.move_open = false;
        Arrived(kOpponent, ReadNumber64(value, -1), now);
      } else if (p.move_open && key == "KuroTime") {
        p.black_clock = ReadNumber64(value, -1);
      } else if (p.move_open && key == "SiroTime") {
        p.move_open = false;
        Arrived(kWatcher, std::max(p.black_clock, ReadNumber64(value, -1)), now);
      } else if (key == "DisCussGameMove") {
        // The room's moves carry no clock: they arrive in the order they were made.
        const int k = p.room_moves++;
        Arrived(kRoom, k < static_cast<int>(followed_ids.size()) ? followed_ids[k] : -1, now);
      } else {
        p.move_open = false;
      }
    }
    p.in.erase(0, pos);
  }

  int Expected(long long id) const {
    return 1 + kWatchersPerGame + (game_of[id] == kFollowedGame ? kRoomMembers : 0);
  }

  void ResetCounts() {
    for (auto& v : latency) v.clear();
    strays = 0;
  }
};

// ---------------------------------------------------------------------------------------------
// Setting the scene

void SetUp(Load& load, std::uint16_t port) {
  // Names are built a piece at a time: GCC 12 warns wrongly about "literal" + std::to_string.
  const auto name = [](char letter, int number, char suffix = 0) {
    std::string text(1, letter);
    text += std::to_string(number);
    if (suffix != 0) text += suffix;
    return text;
  };
  for (int g = 1; g <= kGames; ++g) {
    load.Add(name('b', g), Role::Black, g);
    load.Add(name('w', g), Role::White, g);
    for (int v = 0; v < kWatchersPerGame; ++v) {
      load.Add(name('v', g, static_cast<char>('a' + v)), Role::Watcher, g);
    }
  }
  for (int m = 1; m <= kRoomMembers; ++m) load.Add(name('r', 100 + m), Role::Member, 0);

  for (Participant& p : load.people) {
    load.Connect(p, port);
    load.Expect(p, "<<QuellName=");
    const bool plays = p.role != Role::Watcher;
    Load::Send(p, "<<QuellName=" + p.name + ">><<IdFlag=" + (plays ? "1" : "0") + ">>");
    load.Expect(p, "<<SysComeIn>>");
  }
  for (int g = 1; g <= kGames; ++g) {
    Participant& black = load.Mover(g, Role::Black);
    Participant& white = load.Mover(g, Role::White);
    const std::string challenge = "<<GameSet>><<IsKuro=" + J("黒番") + ">><<KuroGameTime=30" +
                                  J(" 分") + ">><<SiroGameTime=30" + J(" 分") +
                                  ">><<AddTime=" + J("なし") + ">><<GameWari=" + J("互先") +
                                  ">><<GameKomi=6.5>><<Player1=" + black.name +
                                  ">><<Player2=" + white.name + ">><<BanSize=19>>";
    Load::Send(black, challenge);
    load.Expect(white, challenge);
    Load::Send(white, "OKRe" + challenge);
    load.Expect(black, "<<GameStart-Play>>");
    load.Expect(black, "<<GameIndex=" + std::to_string(g) + ">>");
    load.Expect(white, "<<GameStart-Wait>>");
  }
  for (Participant& p : load.people) {
    if (p.role != Role::Watcher) continue;
    Load::Send(p, "<<WatchGame=" + std::to_string(p.game) + ">>");
    load.Expect(p, "<<DraumEND>>");
  }
  std::vector<Participant*> room;
  for (Participant& p : load.people) {
    if (p.role == Role::Member) room.push_back(&p);
  }
  for (Participant* p : room) {
    Load::Send(*p, "<<DiscussEnter>>");
    load.Expect(*p, "<<DraumEND>>");
  }
  for (Participant* p : room) {
    Load::Send(*p, "<<DiscussReg>>");
    load.Expect(*p, p == room.front() ? "<<DiscussCanPlay>>" : "<<OnlyRegList>>");
  }
  Load::Send(*room.front(), "<<DiscussCallGame>>");
  for (Participant* p : room) load.Expect(*p, "<<DiscussCallGame>>");
  // Whatever the scene's last steps still send is read and dropped.
  const double quiet = NowMs() + 300;
  while (NowMs() < quiet) load.Pump(10);
  for (Participant& p : load.people) p.in.clear();
}

// ---------------------------------------------------------------------------------------------
// One measured run

// The platform's own floor, measured beside the run: a bare echo process on loopback, pinged
// at the spacing of the run's moves. Its wake-up is what any server pays when a message arrives
// after a pause, so the server's figures can be read against it.
class FloorProbe {
 public:
  // Forks the echo process; call before any thread starts.
  void Fork() {
    sockaddr_in addr;
    const int listener = LoopbackListener(1, addr, "no echo socket");
    echo_ = fork();
    if (echo_ < 0) Fail("fork failed");
    if (echo_ == 0) {
      const int c = accept(listener, nullptr, nullptr);
      const int one = 1;
      setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      std::array<char, 16> bytes;
      for (ssize_t n; (n = read(c, bytes.data(), bytes.size())) > 0;) {
        if (write(c, bytes.data(), static_cast<std::size_t>(n)) != n) break;
      }
      _exit(0);
    }
    close(listener);
    fd_ = ConnectNoDelay(addr, "echo connect");
  }

  void Start(double spacing_ms) {
    stop_ = false;
    samples_.clear();
    thread_ = std::thread([this, spacing_ms] {
      for (double next = NowMs() + spacing_ms / 2; !stop_; next += spacing_ms) {
        while (!stop_ && NowMs() < next)
          usleep(static_cast<useconds_t>(std::min(1000.0 * (next - NowMs()), 5000.0)));
        if (stop_) break;
        const double sent = NowMs();
        char byte = 'x';
        if (write(fd_, &byte, 1) != 1) break;
        while (read(fd_, &byte, 1) != 1) {
        }
        samples_.push_back(NowMs() - sent);
      }
    });
  }
  // Each ping's round trip: two hops over loopback and the echo's wake-up, as a move's trip
  // through the server is two hops and the server's wake-up.
  std::vector<double> Stop() {
    stop_ = true;
    thread_.join();
    std::sort(samples_.begin(), samples_.end());
    return samples_;
  }
  ~FloorProbe() {
    if (fd_ >= 0) close(fd_);
    if (echo_ > 0) waitpid(echo_, nullptr, 0);
  }

 private:
  pid_t echo_ = -1;
  int fd_ = -1;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::vector<double> samples_;
};

struct Result {
  double seconds = 0, target_rate = 0, achieved_rate = 0;
  long long moves = 0, lost = 0, strays = 0;
  std::array<std::vector<double>, kKinds> latency;
  std::vector<double> all;
  std::vector<double> floor;  // the fan-out floor's arrivals, sorted
  int floor_lost = 0;
  double cpu_seconds = 0;
};

double Percentile(const std::vector<double>& sorted, double q) {
  if (sorted.empty()) return 0;
  const auto rank = static_cast<std::size_t>(std::ceil(q * static_cast<double>(sorted.size())));
  return sorted[std::min(sorted.size(), std::max<std::size_t>(rank, 1)) - 1];
}

// The background of a busy server: the room's holder drives the shared board twice a second,
// members chat and send diagrams, and one watcher of each game chats.
struct Background {
  double next_input = 0, next_room_chat = 0, next_game_chat = 0;
  int inputs = 0, room_chats = 0, game_chats = 0;
  std::string record = "(;SZ[19]";

  void Start(double now) {
    next_input = now + 250;
    next_room_chat = now + 700;
    next_game_chat = now + 400;
  }
  double NextDue() const { return std::min({next_input, next_room_chat, next_game_chat}); }

  void Run(Load& load, double now) {
    std::vector<Participant*> room, chatters;
    for (Participant& p : load.people) {
      if (p.role == Role::Member) room.push_back(&p);
      if (p.role == Role::Watcher && p.name.back() == 'a') chatters.push_back(&p);
    }
    if (now >= next_input) {
      next_input += 500;
      if (++inputs % 2) {
        record += ";[" + std::string(1, static_cast<char>('a' + inputs % 19)) +
                  static_cast<char>('a' + inputs / 19 % 19) + "]";
        if (record.size() > 1500) record = "(;SZ[19]";
        Load::Send(*room.front(),
                   "<<DiscussInput>><<Value=88>><<Type=1>><<DiscussKifu=" + record + ">>");
      } else {
        Load::Send(*room.front(),
                   "<<DiscussInput>><<Type=8>><<MoveSuu=" + std::to_string(inputs / 2) + ">>");
      }
    }
    if (now >= next_room_chat) {
      next_room_chat += 2000;
      Participant& who = *room[1 + room_chats % (room.size() - 1)];
      std::string text = "<<DiscussMese=[ " + who.name + " ] " + J("ここはどうでしょう") + ">>";
      if (++room_chats % 5 == 0) text += "<<DiaData=(;SZ[19]AB[dd][pd]AW[dp][pp])>>";
      Load::Send(who, text);
    }
    if (now >= next_game_chat) {
      next_game_chat += 3000.0 / kGames;
      Participant& who = *chatters[game_chats % chatters.size()];
      std::string text = "<<GameIndex=" + std::to_string(who.game) + ">><<GameMese=[ " + who.name +
                         " ] " + J("いい手ですね") + ">>";
      if (++game_chats % 4 == 0) text += "<<DiaData=(;SZ[19]AB[qd]AW[oc])>>";
      Load::Send(who, text);
    }
  }
};

Result Measure(Load& load, const ServerRun& server, double rate, double seconds) {
  load.ResetCounts();
  const std::size_t first_id = load.sent_at.size();
  const double interval = 1000.0 / rate;
  const double start = NowMs();
  std::array<double, kGames + 1> next_due{};
  for (int g = 1; g <= kGames; ++g) next_due[g] = start + interval * (g - 1) / kGames;
  Background background;
  background.Start(start);
  const double cpu_before = CpuSeconds(server.pid);
  load.measuring = true;

  // The fan-out floor sends as often as all games together move, between their moves.
  FanOutFloor* floor = load.floor;
  const double floor_interval = interval / kGames;
  double floor_due = start + floor_interval / 2;

  const double end = start + seconds * 1000;
  for (double now = NowMs(); now < end; now = NowMs()) {
    double soonest = background.NextDue();
    for (int g = 1; g <= kGames; ++g) {
      if (!load.awaiting[g] && now >= next_due[g]) {
        load.SendMove(g, NowMs());
        next_due[g] = std::max(next_due[g] + interval, now);
      }
      if (!load.awaiting[g]) soonest = std::min(soonest, next_due[g]);
    }
    if (floor != nullptr && !floor->Awaiting()) {
      if (now >= floor_due) {
        floor->Send(NowMs());
        floor_due = std::max(floor_due + floor_interval, now);
      } else {
        soonest = std::min(soonest, floor_due);
      }
    }
    if (now >= background.NextDue()) background.Run(load, now);
    // The participants read by spinning, so that what is measured is the server's time and not
    // the tool's own wake-up; with --sleep they wait in the kernel like real clients.
    const double wait = soonest - NowMs();
    load.Pump(!load.spin && wait >= 2 ? std::min(10, static_cast<int>(wait) - 1) : 0);
  }
  const double elapsed_ms = NowMs() - start;
  const double cpu_after = CpuSeconds(server.pid);
  // Moves still on their way are waited for.
  const double drain_until = NowMs() + 3000;
  auto complete = [&] {
    for (std::size_t id = first_id; id < load.sent_at.size(); ++id) {
      if (load.arrivals[id] < load.Expected(static_cast<long long>(id))) return false;
    }
    return true;
  };
  while ((!complete() || (floor != nullptr && floor->Awaiting())) && NowMs() < drain_until) {
    load.Pump(5);
  }
  load.measuring = false;

  Result r;
  r.seconds = elapsed_ms / 1000;
  r.target_rate = rate * kGames;
  r.moves = static_cast<long long>(load.sent_at.size() - first_id);
  r.achieved_rate = static_cast<double>(r.moves) / r.seconds;
  for (std::size_t id = first_id; id < load.sent_at.size(); ++id) {
    r.lost += std::max(0, load.Expected(static_cast<long long>(id)) - load.arrivals[id]);
  }
  r.strays = load.strays;
  for (int k = 0; k < kKinds; ++k) {
    r.latency[k] = load.latency[k];
    std::sort(r.latency[k].begin(), r.latency[k].end());
    r.all.insert(r.all.end(), r.latency[k].begin(), r.latency[k].end());
  }
  std::sort(r.all.begin(), r.all.end());
  if (floor != nullptr) {
    r.floor = floor->Take();
    std::sort(r.floor.begin(), r.floor.end());
    r.floor_lost = floor->Missing();
  }
  r.cpu_seconds = cpu_after - cpu_before;
  return r;
}

void PrintLatencies(const Result& r) {
  std::printf("  latency in ms      arrivals    median       p99       max\n");
  for (int k = 0; k < kKinds; ++k) {
    const auto& v = r.latency[k];
    std::printf("  %-16s %10zu %9.3f %9.3f %9.3f\n", kKindNames[k], v.size(), Percentile(v, 0.5),
                Percentile(v, 0.99), v.empty() ? 0.0 : v.back());
  }
  std::printf("  %-16s %10zu %9.3f %9.3f %9.3f\n", "all", r.all.size(), Percentile(r.all, 0.5),
              Percentile(r.all, 0.99), r.all.empty() ? 0.0 : r.all.back());
}

// The memory a crowd of unfinished messages costs: 64 connections (48 logged in, 16 waiting at
// the name prompt) each send 8 MiB of one board line that never ends, a piece at a time in turn,
// so that all of them are unfinished at once; then each ends its line and asks for an answer,
// which shows that the server read everything. Prints the server's peak memory.
int Unfinished(const ServerRun& server) {
  constexpr int kConnections = 64, kLoggedIn = 48;
  constexpr std::size_t kPiece = std::size_t{64} * 1024, kPieces = 128;  // 8 MiB each
  Load load;
  load.epoll = epoll_create1(0);
  load.people.reserve(kConnections);
  for (int i = 0; i < kConnections; ++i) {
    std::string name = "u";
    name += std::to_string(i);
    Participant& p = load.Add(name, Role::Watcher, 0);
    load.Connect(p, server.port);
    load.Expect(p, "<<QuellName=");
    if (i < kLoggedIn) {
      Load::Send(p, "<<QuellName=" + name + ">><<IdFlag=1>>");
      load.Expect(p, "<<SysComeIn>>");
    }
  }
  const double before = MemoryMb(server.pid, "VmHWM");
  const double start = NowMs();
  for (Participant& p : load.people) Load::Send(p, "<<MainMese=");
  const std::string piece(kPiece, 'x');
  for (std::size_t k = 0; k < kPieces; ++k) {
    for (Participant& p : load.people) {
      Load::Send(p, piece);
      load.Pump(0);  // what the logins brought is read and dropped
      p.in.clear();
    }
  }
  // Each ends its line; a participant then switches its mode, which everyone hears, and a
  // waiting connection asks for a taken name. The answers show that the server read every byte.
  load.Pump(0);
  for (Participant& p : load.people) {
    p.in.clear();
    const bool logged_in = &p - load.people.data() < kLoggedIn;
    Load::Send(p, logged_in ? ">><<ChangeMode>>" : ">><<QuellName=u0>><<IdFlag=1>>");
  }
  for (int i = 0; i < kLoggedIn; ++i) load.Expect(load.people.front(), "<<Status>>", 60000);
  for (int i = kLoggedIn; i < kConnections; ++i) {
    load.Expect(load.people[i], "<<SysSameName>>", 60000);
  }
  std::printf(
      "%d connections (%d logged in) each sent %zu MiB of an unfinished message in %.1f s; "
      "the server read them all and answers\n",
      kConnections, kLoggedIn, kPiece * kPieces >> 20, (NowMs() - start) / 1000);
  std::printf("server memory: peak %.1f MB (VmHWM) after the logins, %.1f MB after the flood\n",
              before, MemoryMb(server.pid, "VmHWM"));
  for (Participant& p : load.people) close(p.fd);
  return 0;
}

void Usage() {
  std::printf(
      "usage: kordraum_load [--seconds N] [--rate R] [--stress] [--step-seconds N] [--server "
      "PATH]\n"
      "  --seconds N       length of the measured run (default 30)\n"
      "  --rate R          moves per second in each of the 5 games (default 1)\n"
      "  --stress          raise the rate step by step until the 99th percentile passes 10 ms\n"
      "  --step-seconds N  length of each stress step (default 5)\n"
      "  --sleep           participants wait for bytes in the kernel instead of spinning, so\n"
      "                    each arrival includes the reading process's own wake-up\n"
      "  --server PATH     the server program taking its port as first argument\n"
      "                    (default: KordraumOnPort beside this program)\n"
      "  --unfinished      instead of the run: 64 connections each send 8 MiB of one message\n"
      "                    that never ends; reports the server's peak memory\n");
}
}  // namespace

int main(int argc, char** argv) {
  double seconds = 30, rate = 1, step_seconds = 5;
  bool stress = false, spin = true, unfinished = false;
  std::string program = bench::DefaultServer(argv[0]);
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--seconds" && has_value) {
      seconds = std::atof(argv[++i]);
    } else if (arg == "--rate" && has_value) {
      rate = std::atof(argv[++i]);
    } else if (arg == "--step-seconds" && has_value) {
      step_seconds = std::atof(argv[++i]);
    } else if (arg == "--server" && has_value) {
      program = argv[++i];
    } else if (arg == "--stress") {
      stress = true;
    } else if (arg == "--sleep") {
      spin = false;
    } else if (arg == "--unfinished") {
      unfinished = true;
    } else {
      Usage();
      return arg == "--help" ? 0 : 2;
    }
  }
  if (seconds <= 0 || rate <= 0 || step_seconds <= 0) {
    Usage();
    return 2;
  }
  signal(SIGPIPE, SIG_IGN);
  FloorProbe floor;
  floor.Fork();

  const ServerRun server = bench::StartServer(program, "kordraum_load");
  bench::WaitUntilListening(server, program);
  if (unfinished) {
    const int status = Unfinished(server);
    StopServer(server);
    return status;
  }

  Load load;
  load.epoll = epoll_create1(0);
  load.people.reserve(64);  // the participants' places never move: epoll keeps their indexes
  load.spin = spin;
  FanOutFloor fan_out;
  fan_out.Fork(load.epoll, Load::kFloorTag);
  SetUp(load, server.port);
  std::printf(
      "Kordraum load: %zu participants on loopback: %d games with 2 players and %d "
      "watchers each, %d room members following game %d\n",
      load.people.size(), kGames, kWatchersPerGame, kRoomMembers, kFollowedGame);

  int exit_code = 0;
  if (!stress) {
    floor.Start(1000.0 / (rate * kGames));
    load.floor = &fan_out;
    const Result r = Measure(load, server, rate, seconds);
    load.floor = nullptr;
    const std::vector<double> echo = floor.Stop();
    std::printf("run: %.1f s, target %.1f moves/s, sent %lld moves (%.2f/s), lost arrivals %lld\n",
                r.seconds, r.target_rate, r.moves, r.achieved_rate, r.lost);
    PrintLatencies(r);
    std::printf("server CPU: %.3f s in %.1f s = %.2f%% of one core\n", r.cpu_seconds, r.seconds,
                100 * r.cpu_seconds / r.seconds);
    std::printf(
        "platform floor (a bare echo process pinged as often, round trip): median %.3f ms, "
        "p99 %.3f ms, max %.3f ms over %zu pings\n",
        Percentile(echo, 0.5), Percentile(echo, 0.99), echo.empty() ? 0.0 : echo.back(),
        echo.size());
    const double floor_median = Percentile(r.floor, 0.5);
    std::printf(
        "fan-out floor (a bare relay writing each move to as many sockets, same run): median "
        "%.3f ms, p99 %.3f ms, max %.3f ms over %zu arrivals%s\n",
        floor_median, Percentile(r.floor, 0.99), r.floor.empty() ? 0.0 : r.floor.back(),
        r.floor.size(), r.floor_lost > 0 ? " (some never came: figures incomplete)" : "");
    if (floor_median > 0) {
      std::printf("server median / fan-out floor median: %.2f\n",
                  Percentile(r.all, 0.5) / floor_median);
    }
    if (r.lost > 0 || r.strays > 0) exit_code = 1;
  } else {
    std::printf("stress: %.0f s per step; a step holds when p99 <= 10 ms and no arrival is lost\n",
                step_seconds);
    std::printf("  %12s %12s %10s %9s %9s %9s %8s\n", "target/s", "sent/s", "lost", "median", "p99",
                "max", "CPU %");
    constexpr std::array<double, 13> steps = {2,   5,    10,   20,   50,    100,  200,
                                              500, 1000, 2000, 5000, 10000, 20000};
    double best = 0;
    bool stop = false;
    for (const double per_game : steps) {
      // A step that fails is run once more: a single stall of the machine is not the load.
      for (int attempt = 1; attempt <= 2; ++attempt) {
        const Result r = Measure(load, server, per_game, step_seconds);
        const double p99 = Percentile(r.all, 0.99);
        std::printf("  %12.0f %12.1f %10lld %9.3f %9.3f %9.3f %8.1f\n", r.target_rate,
                    r.achieved_rate, r.lost, Percentile(r.all, 0.5), p99,
                    r.all.empty() ? 0.0 : r.all.back(), 100 * r.cpu_seconds / r.seconds);
        std::fflush(stdout);
        if (r.lost > 0 || r.strays > 0) {
          exit_code = 1;
          stop = true;
          break;
        }
        if (p99 <= 10) {
          // Once the moves fall behind the target, the ramp goes on only while they still
          // come faster: each move waits for the one before it, so the rate levels off.
          if (r.achieved_rate < 0.9 * r.target_rate && r.achieved_rate < 1.1 * best) {
            std::printf(
                "  the rate no longer grows: every move waits for the one before it to "
                "arrive\n");
            stop = true;
          }
          best = std::max(best, r.achieved_rate);
          break;
        }
        if (attempt == 2) stop = true;
      }
      if (stop) break;
    }
    std::printf(
        "highest rate sustained with p99 <= 10 ms and no move lost: %.0f moves/s "
        "(all 5 games together)\n",
        best);
  }
  std::printf("server memory: peak %.1f MB (VmHWM), now %.1f MB (VmRSS)\n",
              MemoryMb(server.pid, "VmHWM"), MemoryMb(server.pid, "VmRSS"));
  for (Participant& p : load.people) close(p.fd);
  StopServer(server);
  return exit_code;
}
