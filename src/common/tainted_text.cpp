#include "common/tainted_text.h"

#include <algorithm>

#include "common/text.h"

namespace tc {

TaintedText TaintedText::Untrusted(std::string_view text) {
  TaintedText out;
  out.AppendUntrusted(text);
  return out;
}

bool TaintedText::Trusted(size_t pos, size_t length) const {
  const size_t end = pos + length;
  for (const auto& [b, e] : untrusted_) {
    if (b >= end) break;
    if (e > pos) return false;
  }
  return true;
}

size_t TaintedText::FindTrusted(std::string_view part, size_t from) const {
  if (part.empty()) return npos;
  while (from < text_.size()) {
    const int at = PosNoCase(std::string_view(text_).substr(from), part);
    if (at == 0) return npos;
    const size_t pos = from + static_cast<size_t>(at - 1);
    if (Trusted(pos, part.size())) return pos;
    from = pos + 1;
  }
  return npos;
}

std::vector<TaintedText> TaintedText::SplitAtTrusted(std::string_view marker) const {
  std::vector<TaintedText> pieces;
  size_t from = 0;
  for (size_t at = FindTrusted(marker); at != npos; at = FindTrusted(marker, from)) {
    pieces.push_back(Substr(from, at - from));
    from = at + marker.size();
  }
  pieces.push_back(Substr(from));
  return pieces;
}

void TaintedText::Mark(size_t begin, size_t end) {
  if (begin >= end) return;
  // Merge with a range that ends where this one begins, keeping the list sorted and apart.
  if (!untrusted_.empty() && untrusted_.back().second >= begin &&
      untrusted_.back().first <= begin) {
    untrusted_.back().second = std::max(untrusted_.back().second, end);
    return;
  }
  untrusted_.emplace_back(begin, end);
  std::sort(untrusted_.begin(), untrusted_.end());
}

void TaintedText::Append(const TaintedText& more) {
  const size_t base = text_.size();
  text_ += more.text_;
  for (const auto& [b, e] : more.untrusted_) Mark(base + b, base + e);
}

void TaintedText::AppendUntrusted(std::string_view more) {
  const size_t base = text_.size();
  text_ += more;
  Mark(base, text_.size());
}

void TaintedText::Replace(size_t pos, size_t length, const TaintedText& with) {
  pos = std::min(pos, text_.size());
  length = std::min(length, text_.size() - pos);
  TaintedText out = Substr(0, pos);
  out.Append(with);
  out.Append(Substr(pos + length));
  *this = std::move(out);
}

TaintedText TaintedText::Substr(size_t pos, size_t length) const {
  TaintedText out;
  if (pos >= text_.size()) return out;
  length = std::min(length, text_.size() - pos);
  out.text_ = text_.substr(pos, length);
  const size_t end = pos + length;
  for (const auto& [b, e] : untrusted_) {
    const size_t cb = std::max(b, pos);
    const size_t ce = std::min(e, end);
    if (cb < ce) out.Mark(cb - pos, ce - pos);
  }
  return out;
}

}  // namespace tc
