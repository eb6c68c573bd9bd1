// platform/line_list.h — a list of text lines with the semantics of a memo control's lines.
#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Lines are cp932 byte strings without line ends. The whole text is every line followed by
// CR LF; setting the text splits it at CR LF, LF or CR, and a final line end makes no empty line.
// A view (the memo widget) follows the list through the change listener.
class LineList {
 public:
  enum class Change { Appended, Reset };
  using Listener = std::function<void(Change)>;

  int Count() const { return static_cast<int>(lines_.size()); }
  bool Empty() const { return lines_.empty(); }
  // The line at `index` (0-based); the empty text when `index` is out of range.
  const std::string& Line(int index) const;
  const std::vector<std::string>& Lines() const { return lines_; }

  void Add(std::string line);
  // Inserts before `index`; an index past the end appends.
  void Insert(int index, std::string line);
  // Replaces the line at `index`; nothing when out of range.
  void Set(int index, std::string line);
  // Deletes the line at `index`; nothing when out of range.
  void Delete(int index);
  // Deletes the first `count` lines (all of them when there are fewer) in one step.
  void DeleteFirst(int count);
  void Clear();

  // Index of the first line equal to `line` byte for byte (exact, case-sensitive); -1 when none.
  int IndexOf(std::string_view line) const;

  std::string Text() const;
  void SetText(std::string_view text);

  // Reads a file's bytes as the text; false (list unchanged) when it cannot be read.
  bool LoadFromFile(const std::string& path);
  // Writes the text as the file's whole content; false when it cannot be written.
  bool SaveToFile(const std::string& path) const;

  void SetListener(Listener listener) { listener_ = std::move(listener); }

 private:
  void Notify(Change change) const;

  std::vector<std::string> lines_;
  Listener listener_;
};
