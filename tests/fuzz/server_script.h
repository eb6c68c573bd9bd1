// tests/fuzz/server_script.h — the byte script that drives the server core in its fuzzer, and the
// writer of such scripts for the seed corpus.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// One step per operation byte; any other byte is skipped.
//   'C'                       a peer connects
//   'D' k                     the k-th peer (counted from 0 in order of connecting) goes away
//   'S' k n1 n0 bytes[n]      the k-th peer sends n = n1 * 256 + n0 bytes in one read
//   'T' s                     s * 10 seconds pass, then the idle connections are closed and the
//                             messages held for their tails handed over
//   'Q'                       the peers fall quiet while the server holds a message for its tail
namespace server_script {
inline constexpr char kConnect = 'C';
inline constexpr char kDrop = 'D';
inline constexpr char kSend = 'S';
inline constexpr char kTime = 'T';
inline constexpr char kQuiet = 'Q';

inline std::string Connect() { return std::string(1, kConnect); }
inline std::string Drop(int peer) { return std::string{kDrop, static_cast<char>(peer)}; }
inline std::string Send(int peer, std::string_view bytes) {
  const std::size_t n = bytes.size() > 0xFFFF ? 0xFFFF : bytes.size();
  std::string op{kSend, static_cast<char>(peer), static_cast<char>(n >> 8),
                 static_cast<char>(n & 0xFF)};
  op.append(bytes.substr(0, n));
  return op;
}
inline std::string Time(int tens_of_seconds) {
  return std::string{kTime, static_cast<char>(tens_of_seconds)};
}
inline std::string Quiet() { return std::string(1, kQuiet); }
}  // namespace server_script
