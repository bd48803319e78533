#include "harness/fakes.h"

#include <ctime>

namespace tc::test {

DateTime VirtualClock::LocalNow() const {
  std::tm tm{};
  tm.tm_year = start_.year - 1900;
  tm.tm_mon = start_.month - 1;
  tm.tm_mday = start_.day;
  tm.tm_hour = start_.hour;
  tm.tm_min = start_.minute;
  tm.tm_sec = start_.second + static_cast<int>(now_ms_ / 1000);
  const time_t t = timegm(&tm);
  std::tm out{};
  gmtime_r(&t, &out);
  return {out.tm_year + 1900, out.tm_mon + 1, out.tm_mday, out.tm_hour, out.tm_min, out.tm_sec};
}

void FakeSocket::Open(const std::string& h, uint16_t p) {
  host = h;
  port = p;
  opened_hosts.push_back(h);
  ++opens;
  state = State::kOpening;
  disconnect_pending = false;
}

void FakeSocket::Close() {
  ++closes;
  if (state != State::kClosed) disconnect_pending = true;
  state = State::kClosed;
}

void FakeSocket::Write(std::string_view bytes) {
  if (before_write) before_write(bytes);
  if (state == State::kOpen) written.append(bytes);
}

std::string FakeSocket::TakeWritten() {
  std::string out;
  out.swap(written);
  return out;
}

Color ShownLine::ColorAt(size_t pos) const {
  for (const ColorRun& run : line.runs) {
    if (pos >= run.begin && pos < run.begin + run.length) return run.color;
  }
  return 0xFFFFFFFF;
}

std::vector<std::pair<std::string, Color>> ShownLine::Pieces() const {
  std::vector<std::pair<std::string, Color>> out;
  for (size_t i = 0; i < text().size(); ++i) {
    if (out.empty() || out.back().second != ColorAt(i)) out.emplace_back("", ColorAt(i));
    out.back().first += text()[i];
  }
  return out;
}

void FakeFrontend::AppendLine(View view, const StyledLine& line) {
  lines.push_back({view, line});
}

void FakeFrontend::ClearView(View view) {
  if (view == View::kChat) {
    ++chat_clears;
  } else {
    ++whisper_clears;
  }
}

void FakeFrontend::ShowProgress(const std::string& caption, int maximum) {
  progress_caption = caption;
  progress_maximum = maximum;
  progress_steps = 0;
  progress_visible = true;
}

std::vector<std::string> FakeFrontend::Texts(View view) const {
  std::vector<std::string> out;
  for (const ShownLine& l : lines) {
    if (l.view == view) out.push_back(l.line.text);
  }
  return out;
}

std::vector<ShownLine> FakeFrontend::TakeLines() {
  std::vector<ShownLine> out;
  out.swap(lines);
  return out;
}

bool FakeFrontend::Showed(const std::string& text, View view) const {
  for (const ShownLine& l : lines) {
    if (l.view == view && l.line.text == text) return true;
  }
  return false;
}

}  // namespace tc::test
