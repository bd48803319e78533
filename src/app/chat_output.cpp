// Chat output: the category colour of a line's leading part, custom word colours over the rest,
// and the chat log.
#include <array>
#include <string>

#include "app/client.h"
#include "common/text.h"
#include "protocol/chat_output_log.h"

namespace tc {

namespace {

struct Prefix {
  std::string_view begins;
  std::string_view ends;  // the leading part runs up to and including this
  Category category;
};

constexpr std::array<Prefix, 9> kPrefixes = {{
    {"Joins ( ", " )", Category::kUserJoins},
    {"Parts ( ", " )", Category::kUserLeaves},
    {"Joining Channel ( ", " )", Category::kJoiningChannel},
    {"Error ( ", " )", Category::kErrorMessage},
    {"Info ( ", " )", Category::kServerMessage},
    {"\u00BB( ", " )\u00BB ", Category::kWhisperSent},
    {"\u00AB( ", " )\u00AB ", Category::kWhisperReceived},
    {"System ( ", " )", Category::kSystemMessage},
    {"Display ( ", " )", Category::kPersonalMessage},
}};

// Length of the leading part that ends with the first `marker`. Without the marker the original
// cut still took the marker's length less one.
size_t LeadingLength(std::string_view line, std::string_view marker) {
  const size_t at = line.find(marker);
  const size_t length = at == std::string_view::npos ? marker.size() - 1 : at + marker.size();
  return std::min(line.size(), length);
}

void AddRun(StyledLine& out, size_t begin, size_t length, Color color) {
  if (length == 0) return;
  if (!out.runs.empty()) {
    ColorRun& last = out.runs.back();
    if (last.color == color && last.begin + last.length == begin) {
      last.length += length;
      return;
    }
  }
  out.runs.push_back({begin, length, color});
}

}  // namespace

StyledLine Client::StyleLine(std::string_view line) const {
  const auto color = [this](Category c) { return options_.colors[static_cast<size_t>(c)]; };
  size_t leading = 0;
  Category category = Category::kOtherText;
  const auto speaker = [&](std::string_view name) {
    const std::string head = "<" + std::string(name) + ">";
    return StartsWith(line, head);
  };
  if (speaker(own_account_)) {
    leading = line.find('>') + 1;
    category = Category::kMessageSent;
  } else if (speaker(recorded_operator_)) {
    leading = line.find('>') + 1;
    category = Category::kChannelOperator;
  } else if (!line.empty() && line[0] == '<' && line.find('>') != std::string_view::npos) {
    leading = line.find('>') + 1;
    category = Category::kSpeakerEmote;
  } else {
    for (const Prefix& p : kPrefixes) {
      if (StartsWith(line, p.begins)) {
        leading = LeadingLength(line, p.ends);
        category = p.category;
        break;
      }
    }
  }

  StyledLine out;
  out.text = std::string(line);
  AddRun(out, 0, leading, color(category));
  const std::string_view rest = std::string_view(out.text).substr(leading);
  const Color other = color(Category::kOtherText);
  if (custom_colors_.Empty() || rest.empty()) {
    AddRun(out, leading, rest.size(), other);
    return out;
  }
  // Later rows win where words overlap, so paint a colour per byte of the rest in row order.
  std::vector<Color> paint(rest.size(), other);
  const std::string lower_rest = LowerCase1252(rest);
  for (const CustomColorRow& row : custom_colors_.Rows()) {
    if (row.text.empty()) continue;
    const auto word_color = ColorFromText(row.color);
    if (!word_color) continue;  // a colour that is no colour paints nothing
    const std::string word = LowerCase1252(row.text);
    for (size_t at = lower_rest.find(word); at != std::string::npos;
         at = lower_rest.find(word, at + word.size())) {
      std::fill(paint.begin() + static_cast<long>(at),
                paint.begin() + static_cast<long>(at + word.size()), *word_color);
    }
  }
  for (size_t i = 0; i < paint.size(); ++i) AddRun(out, leading + i, 1, paint[i]);
  return out;
}

void Client::ShowAndLog(std::string_view text) {
  frontend_.AppendLine(View::kChat, StyleLine(text));
  WriteLog(text);
}

std::filesystem::path Client::LogDirectory() const {
  return ChatOutputLog::Directory(program_dir_, profile_name_);
}

std::filesystem::path Client::LogFileFor(std::string_view channel) const {
  return ChatOutputLog::FileFor(LogDirectory(), options_.keep_log == KeepLog::kPerChannel, channel);
}

void Client::WriteLog(std::string_view text) {
  if (options_.keep_log == KeepLog::kNone) return;
  // Once per failure, not once per line: every shown line would otherwise raise a box.
  if (const std::optional<std::filesystem::path> failed =
          chat_log_->Append(program_dir_, profile_name_, options_.keep_log == KeepLog::kPerChannel,
                            current_channel_, text, clock_.NowMs())) {
    frontend_.ShowMessage("Unable to open file: " + failed->string());
  }
}

void Client::ClearChatView() {
  frontend_.ClearView(View::kChat);
}

void Client::ClearWhisperView() {
  frontend_.ClearView(View::kWhisper);
}

}  // namespace tc
