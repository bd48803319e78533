// Text put together from trusted parts (what the user typed or configured) and untrusted parts
// (what other users or the server supplied: an event text, a speaker's name, a word cut from a
// message, a record field another user filled). Untrusted bytes are inserted literally: template
// expansion never finds a variable, built-in, definition or function tag that touches them, and a
// line whose first byte is untrusted is never run as a local command.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tc {

class TaintedText {
 public:
  static constexpr size_t npos = std::string::npos;

  TaintedText() = default;
  // Trusted text.
  TaintedText(std::string text) : text_(std::move(text)) {}  // NOLINT: trusted by default
  TaintedText(std::string_view text) : text_(text) {}        // NOLINT
  TaintedText(const char* text) : text_(text) {}             // NOLINT
  static TaintedText Untrusted(std::string_view text);

  const std::string& text() const { return text_; }
  size_t size() const { return text_.size(); }
  bool empty() const { return text_.empty(); }

  // True when no byte of [pos, pos + length) is untrusted.
  bool Trusted(size_t pos, size_t length = 1) const;
  bool FullyTrusted() const { return untrusted_.empty(); }
  // The untrusted ranges, sorted and apart: [begin, end).
  const std::vector<std::pair<size_t, size_t>>& UntrustedRanges() const { return untrusted_; }

  // The first occurrence of `part` at or after `from` (letter case ignored) that lies wholly in
  // trusted bytes; npos when none. An empty part is never found.
  size_t FindTrusted(std::string_view part, size_t from = 0) const;
  // The pieces between the trusted occurrences of `marker` ("<break>"), in order; an empty piece
  // stays a piece. A marker inside another user's words is text and cuts nothing.
  std::vector<TaintedText> SplitAtTrusted(std::string_view marker) const;

  void Append(const TaintedText& more);
  void AppendUntrusted(std::string_view more);
  // Replaces [pos, pos + length) by `with`, which keeps its own marks.
  void Replace(size_t pos, size_t length, const TaintedText& with);
  void Erase(size_t pos, size_t length) { Replace(pos, length, TaintedText()); }
  TaintedText Substr(size_t pos, size_t length = npos) const;

  friend bool operator==(const TaintedText& a, const TaintedText& b) = default;

 private:
  void Mark(size_t begin, size_t end);

  std::string text_;
  std::vector<std::pair<size_t, size_t>> untrusted_;
};

}  // namespace tc
