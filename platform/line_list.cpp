// platform/line_list.cpp — memo-style line list.
#include "platform/line_list.h"

#include <algorithm>

#include "platform/files.h"

const std::string& LineList::Line(int index) const {
  static const std::string kEmpty;
  if (index < 0 || index >= Count()) return kEmpty;
  return lines_[index];
}

void LineList::Add(std::string line) {
  lines_.push_back(std::move(line));
  Notify(Change::Appended);
}

void LineList::Insert(int index, std::string line) {
  if (index < 0) index = 0;
  if (index >= Count()) return Add(std::move(line));
  lines_.insert(lines_.begin() + index, std::move(line));
  Notify(Change::Reset);
}

void LineList::Set(int index, std::string line) {
  if (index < 0 || index >= Count()) return;
  lines_[index] = std::move(line);
  Notify(Change::Reset);
}

void LineList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  lines_.erase(lines_.begin() + index);
  Notify(Change::Reset);
}

void LineList::DeleteFirst(int count) {
  if (count <= 0 || lines_.empty()) return;
  lines_.erase(lines_.begin(), lines_.begin() + std::min(count, Count()));
  Notify(Change::Reset);
}

void LineList::Clear() {
  lines_.clear();
  Notify(Change::Reset);
}

int LineList::IndexOf(std::string_view line) const {
  for (int i = 0; i < Count(); ++i) {
    if (lines_[i] == line) return i;
  }
  return -1;
}

std::string LineList::Text() const {
  std::size_t size = 0;
  for (const auto& line : lines_) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const auto& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

void LineList::SetText(std::string_view text) {
  lines_.clear();
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines_.emplace_back(text.substr(start));
      break;
    }
    lines_.emplace_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  Notify(Change::Reset);
}

bool LineList::LoadFromFile(const std::string& path) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  SetText(bytes);
  return true;
}

bool LineList::SaveToFile(const std::string& path) const { return WriteWholeFile(path, Text()); }

void LineList::Notify(Change change) const {
  if (listener_) listener_(change);
}
