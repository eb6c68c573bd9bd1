// protocol/tag_message.cpp — the tag extractor and the escaping of typed text.
#include "protocol/tag_message.h"

#include <charconv>
#include <climits>

#include "platform/cp932.h"

std::string GetTagValue(std::string_view message, std::string_view key) {
  const std::size_t at = message.find(key);
  if (at == std::string_view::npos) return {};
  const std::string_view rest = message.substr(at + key.size());
  const std::size_t end = rest.find(">>");
  if (end == std::string_view::npos || end == 0) return {};
  return std::string(rest.substr(0, end));
}

bool HasTag(std::string_view message, std::string_view tag) {
  return message.find(tag) != std::string_view::npos;
}

long long ReadNumber64(std::string_view text, long long fallback) {
  if (text.empty()) return fallback;
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.front() < '0' || text.front() > '9') return fallback;
  unsigned long long magnitude = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
  if (error != std::errc() || end != text.data() + text.size()) return fallback;
  constexpr unsigned long long kMax = static_cast<unsigned long long>(LLONG_MAX);
  if (magnitude > kMax + (negative ? 1 : 0)) return fallback;
  if (negative) return magnitude == kMax + 1 ? LLONG_MIN : -static_cast<long long>(magnitude);
  return static_cast<long long>(magnitude);
}

int ReadNumber(std::string_view text, int fallback) {
  constexpr long long kOutside = static_cast<long long>(INT_MAX) + 1;
  const long long value = ReadNumber64(text, kOutside);
  if (value < INT_MIN || value > INT_MAX) return fallback;
  return static_cast<int>(value);
}

int GetTagNumber(std::string_view message, std::string_view key, int fallback) {
  return ReadNumber(GetTagValue(message, key), fallback);
}

void CloseStrayOpeningsIn(std::string& message) {
  // Only a "<<" that starts inside a tag (or a last "<") needs closing.
  bool stray = !message.empty() && message.back() == '<';
  for (std::size_t at = message.find("<<"); !stray && at != std::string::npos;) {
    const std::size_t close = message.find(">>", at + 2);
    const std::size_t inner = message.find("<<", at + 1);
    if (close == std::string::npos) {
      stray = inner != std::string::npos;
      break;
    }
    stray = inner < close;
    at = inner == std::string::npos ? inner : message.find("<<", close + 2);
  }
  if (stray) message = CloseStrayOpenings(message);
}

std::string CloseStrayOpenings(std::string_view message) {
  std::string out;
  out.reserve(message.size());
  for (std::size_t i = 0; i < message.size();) {
    if (message.compare(i, 2, "<<") != 0) {
      out += message[i++];  // text between tags: a "<<" would open a tag
      continue;
    }
    const std::size_t close = message.find(">>", i + 2);
    const std::size_t end = close == std::string_view::npos ? message.size() : close;
    out += "<<";
    for (std::size_t k = i + 2; k < end; ++k) {
      if (message[k] == '<' && out.back() == '<') {
        out += J("＜");
      } else {
        out += message[k];
      }
    }
    if (close != std::string_view::npos) out += ">>";
    i = close == std::string_view::npos ? message.size() : close + 2;
  }
  // Nor with the message that follows on the connection.
  if (!out.empty() && out.back() == '<') {
    out.pop_back();
    out += J("＜");
  }
  return out;
}

TagStarts::TagStarts(std::string_view message) : message_(message) {
  for (std::size_t at = message.find("<<"); at != std::string_view::npos;) {
    if (count_ == kKept || at > UINT32_MAX) {
      overflow_ = true;
      return;
    }
    starts_[count_++] = static_cast<std::uint32_t>(at);
    const std::size_t close = message.find(">>", at + 2);
    at = close == std::string_view::npos ? close : message.find("<<", close + 2);
  }
}

bool TagStarts::Has(std::string_view tag) const {
  if (overflow_ || !tag.starts_with("<<")) return HasTag(message_, tag);
  for (std::size_t i = 0; i < count_; ++i) {
    if (message_.compare(starts_[i], tag.size(), tag) == 0) return true;
  }
  return false;
}

std::string GameTag(int game) { return "<<GameIndex=" + std::to_string(game) + ">>"; }

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(from, start)) != std::string_view::npos;) {
    out.append(text.substr(start, at - start));
    out.append(to);
    start = at + from.size();
  }
  out.append(text.substr(start));
  return out;
}

namespace {
// "<<" and a final ">" made full-width; neither "<" nor ">" is ever a cp932 trail byte.
std::string EscapeOpeningsAndEnd(std::string text) {
  text = ReplaceAll(text, "<<", J("＜＜"));
  if (!text.empty() && text.back() == '>') {
    text.pop_back();
    text += J("＞");
  }
  return text;
}
}  // namespace

std::string EscapeChatText(std::string_view typed) {
  return EscapeOpeningsAndEnd(ReplaceAll(typed, ">>", J("＞＞")));
}

std::string EscapeBoardText(std::string_view typed) {
  std::string text(typed);
  while (text.find(">>") != std::string::npos) text = ReplaceAll(text, ">>", "><");
  return EscapeOpeningsAndEnd(std::move(text));
}
