#include "ui/profile_window.h"

#include <QCloseEvent>
#include <QLabel>

#include "common/text.h"
#include "ui/owned.h"
#include "ui/text_conv.h"

namespace tc::ui {

namespace {

struct Field {
  const char* caption;
  const char* name;
  const char* key;  // in the information text
  int max_length;
};
constexpr std::array<Field, 7> kFields = {{{"Name:", "Name_Edit1", "Name=", 20},
                                           {"Age:", "Age_Edit1", "Age=", 3},
                                           {"Gender:", "Gender_Edit1", "Gender=", 6},
                                           {"Location:", "Location_Edit1", "Location=", 20},
                                           {"E-Mail:", "EMail_Edit1", "EMail=", 50},
                                           {"Icq #:", "Icq_Edit1", "Icq=", 10},
                                           {"URL:", "URL_Edit1", "URL=", 50}}};
constexpr int kDescriptionLimit = 250;
constexpr int kNotesLimit = 256;
constexpr std::string_view kCaptionPrefix = "Information for ";

// Keeps a multi-line field within its limit as it is typed into.
void Limit(QPlainTextEdit* edit, int limit) {
  QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, limit] {
    const QString text = edit->toPlainText();
    if (text.size() <= limit) return;
    const QSignalBlocker block(edit);
    edit->setPlainText(text.left(limit));
    edit->moveCursor(QTextCursor::End);
  });
}

std::string Join(const QString& text) {
  std::string out = CoreText(text);
  std::string joined;
  for (char c : out) {
    if (c == '\n') {
      joined += "<#>";
    } else {
      joined += c;
    }
  }
  return joined;
}

QString Split(std::string text) {
  std::string out;
  size_t pos = 0;
  while (true) {
    const size_t at = text.find("<#>", pos);
    if (at == std::string::npos) break;
    out += text.substr(pos, at - pos) + "\n";
    pos = at + 3;
  }
  out += text.substr(pos);
  return QtText(out);
}

}  // namespace

ProfileWindow::ProfileWindow() {
  setObjectName(QStringLiteral("Profile_Form1"));
  setFixedSize(420, 430);
  for (size_t i = 0; i < kFields.size(); ++i) {
    QLabel* caption = Owned<QLabel>(QString::fromLatin1(kFields[i].caption), this);
    caption->setGeometry(8, 8 + static_cast<int>(i) * 24, 70, 20);
    fields_[i] = Owned<QLineEdit>(this);
    fields_[i]->setObjectName(QString::fromLatin1(kFields[i].name));
    fields_[i]->setMaxLength(kFields[i].max_length);
    fields_[i]->setGeometry(80, 8 + static_cast<int>(i) * 24, 200, 20);
  }
  QLabel* description = Owned<QLabel>(QStringLiteral("Description:"), this);
  description->setGeometry(8, 178, 100, 18);
  description_ = Owned<QPlainTextEdit>(this);
  description_->setObjectName(QStringLiteral("Description_Memo1"));
  description_->setGeometry(8, 196, 200, 110);
  Limit(description_, kDescriptionLimit);
  QLabel* notes = Owned<QLabel>(QStringLiteral("Notes:"), this);
  notes->setGeometry(214, 178, 100, 18);
  notes_ = Owned<QPlainTextEdit>(this);
  notes_->setObjectName(QStringLiteral("Notes_Memo1"));
  notes_->setGeometry(214, 196, 198, 110);
  Limit(notes_, kNotesLimit);
  summary_ = Owned<QPlainTextEdit>(this);
  summary_->setObjectName(QStringLiteral("DataBase_Edit1"));
  summary_->setReadOnly(true);
  summary_->setGeometry(8, 312, 404, 110);
}

void ProfileWindow::Attach(Client& core, Caller caller) {
  core_ = &core;
  caller_ = std::move(caller);
}

void ProfileWindow::Open(const std::string& account, const std::string& own_account) {
  own_account_ = own_account;
  setWindowTitle(QtText(std::string(kCaptionPrefix) + account));
  show();
  raise();
  activateWindow();
  Load();
}

std::string ProfileWindow::Target() const {
  const std::string caption = CoreText(windowTitle());
  return caption.size() > kCaptionPrefix.size() ? caption.substr(kCaptionPrefix.size()) : "";
}

bool ProfileWindow::event(QEvent* event) {
  // Every activation shows the stored values again.
  if (event->type() == QEvent::WindowActivate) Load();
  return QWidget::event(event);
}

void ProfileWindow::Load() {
  if (core_ == nullptr) return;
  const std::string target = Target();
  const bool own = EqualsNoCase(target, own_account_);
  for (QLineEdit* field : fields_) {
    field->setReadOnly(!own);
    field->setStyleSheet(own ? QStringLiteral("background: white;")
                             : QStringLiteral("background: #C0C0C0;"));
    field->clear();
  }
  description_->setReadOnly(!own);
  description_->setStyleSheet(fields_[0]->styleSheet());
  description_->clear();
  const TC_DataBase& db = core_->database();
  std::string info = db.GetUserField(target, UserField::kInformation);
  bool complete = true;
  for (const Field& f : kFields) complete = complete && ContainsNoCase(info, f.key);
  complete = complete && ContainsNoCase(info, "Description=");
  if (complete) {
    // Each key in turn: drop everything to its end, take the value to the next ";".
    const auto take = [&info](std::string_view key) {
      const int at = PosNoCase(info, key);
      info.erase(0, static_cast<size_t>(at - 1) + key.size());
      const size_t end = info.find(';');
      std::string value = info.substr(0, end);
      info.erase(0, end == std::string::npos ? info.size() : end + 1);
      return value;
    };
    for (size_t i = 0; i < kFields.size(); ++i) fields_[i]->setText(QtText(take(kFields[i].key)));
    description_->setPlainText(Split(take("Description=")));
  }
  notes_->setPlainText(Split(db.GetUserField(target, UserField::kNotes)));
  static constexpr std::array<std::pair<const char*, UserField>, 15> kSummary = {{
      {"Account_Number", UserField::kAccount_Number},
      {"Product", UserField::kProduct},
      {"Flag", UserField::kFlag},
      {"InterBot_Name", UserField::kInterBot_Name},
      {"Icon", UserField::kIcon},
      {"Status", UserField::kStatus},
      {"Last_Time_Seen", UserField::kLast_Time_Seen},
      {"First_Time_Seen", UserField::kFirst_Time_Seen},
      {"Total_Time_Seen", UserField::kTotal_Time_Seen},
      {"Time_In_Channel", UserField::kTime_In_Channel},
      {"Number_Times_Seen", UserField::kNumber_Times_Seen},
      {"Last_Message_Seen", UserField::kLast_Message_Seen},
      {"Location", UserField::kLocation},
      {"In_Channel", UserField::kIn_Channel},
      {"Alias_Names", UserField::kAlias_Names},
  }};
  std::string summary = "Account_Name: " + target;
  for (const auto& [name, field] : kSummary) {
    summary += "\n" + std::string(name) + ": " + db.GetUserField(target, field);
  }
  summary_->setPlainText(QtText(summary));
}

void ProfileWindow::Store() {
  if (core_ == nullptr) return;
  const std::string target = Target();
  if (target.empty()) return;
  const std::string notes = Join(notes_->toPlainText());
  std::string info;
  const bool own = EqualsNoCase(target, own_account_);
  if (own) {
    for (size_t i = 0; i < kFields.size(); ++i) {
      info += std::string(kFields[i].key) + CoreText(fields_[i]->text()) + ";";
    }
    info += "Description=" + Join(description_->toPlainText()) + ";";
  }
  caller_([&](Client& core) {
    core.database().UpdateUser(target, {{UserField::kNotes, notes}});
    if (own) core.database().UpdateUser(target, {{UserField::kInformation, info}});
  });
}

void ProfileWindow::closeEvent(QCloseEvent* event) {
  if (isVisible()) Store();
  QWidget::closeEvent(event);
}

}  // namespace tc::ui
