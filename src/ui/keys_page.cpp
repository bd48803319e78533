// The Keys/Events page: the keys list, the key editor with its applies-to check boxes, and the
// Test dialog that tells why each key would fire or not. Every change goes through the core's key
// editor calls; the fields here are only what the person is typing.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>
#include <array>
#include <optional>

#include "automation/events.h"
#include "automation/key_editor.h"
#include "common/token_text.h"
#include "ui/main_window.h"
#include "ui/owned.h"
#include "ui/text_conv.h"

namespace tc::ui {

namespace {

// The applies-to boxes in the order a click rewrites the text, each in its group of the page.
struct AppliesBox {
  const char* name;
  const char* caption;
  std::string_view token;
  int group;
};
constexpr std::array<AppliesBox, 21> kAppliesBoxes = {{
    {"AppliesFriends_CheckBox1", "Friends", "Friends;", 0},
    {"AppliesEnemies_CheckBox1", "Enemies", "Enemies;", 0},
    {"AppliesOperators_CheckBox1", "Operators", "Operators;", 0},
    {"AppliesOther_CheckBox1", "Other", "Other;", 0},
    {"AppliesAll_CheckBox1", "All", "All;", 0},
    {"AppliesMe_CheckBox1", "Me", "Me;", 0},
    {"AppliesMessages_CheckBox1", "Messages", "Messages;", 1},
    {"AppliesWhispers_CheckBox1", "Whispers", "Whispers;", 1},
    {"AppliesEmotes_CheckBox1", "Emotes", "Emotes;", 1},
    {"StateOperator_CheckBox1", "Operator", "State:Operator;", 2},
    {"StateAway_CheckBox1", "Away", "State:Away;", 2},
    {"StateDND_CheckBox1", "DND", "State:DND;", 2},
    {"StateAvailable_CheckBox1", "Available", "State:Available;", 2},
    {"ProductSTAR_CheckBox1", "StarCraft", "Product:[STAR];", 3},
    {"ProductJSTR_CheckBox1", "Japanese StarCraft", "Product:[JSTR];", 3},
    {"ProductSSHR_CheckBox1", "StarCraft Shareware", "Product:[SSHR];", 3},
    {"ProductSEXP_CheckBox1", "StarCraft Brood-War", "Product:[SEXP];", 3},
    {"ProductDRTL_CheckBox1", "Diablo", "Product:[DRTL];", 3},
    {"ProductDSHR_CheckBox1", "Diablo Shareware", "Product:[DSHR];", 3},
    {"ProductW2BN_CheckBox1", "WarCraft II BNE", "Product:[W2BN];", 3},
    {"ProductCHAT_CheckBox1", "Gateway", "Product:[CHAT];", 3},
}};

// The groups of boxes: caption, place on the page, and how many boxes share one line.
struct AppliesGroup {
  const char* name;
  const char* caption;
  QRect geometry;
  int per_line;
};
constexpr std::array<AppliesGroup, 4> kAppliesGroups = {{
    {"AppliesUsers_GroupBox1", "User types", {324, 136, 110, 130}, 1},
    {"AppliesKinds_GroupBox1", "Message kinds", {324, 270, 110, 78}, 1},
    {"AppliesStates_GroupBox1", "States", {440, 136, 186, 60}, 2},
    {"AppliesProducts_GroupBox1", "Products", {440, 200, 186, 166}, 1},
}};

// The editor's one-line fields, in the order of the key's columns.
struct KeyField {
  const char* name;
  const char* caption;
};
constexpr std::array<KeyField, 5> kKeyFields = {{
    {"Key_Edit1", "Key Word:"},
    {"Action_Edit1", "Action:"},
    {"AppliesTo_Edit1", "Applies To:"},
    {"AppliesOn_Edit1", "Applies On:"},
    {"History_Edit1", "History:"},
}};
constexpr size_t kAppliesToField = 2;

constexpr int kRowHeight = 18;

}  // namespace

void MainWindow::BuildKeysPage(QWidget* page) {
  keys_view_ = Owned<QTreeView>(page);
  keys_view_->setObjectName(QStringLiteral("Keys_ListView1"));
  keys_view_->setGeometry(6, 6, 620, 124);
  keys_view_->setRootIsDecorated(false);
  keys_view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  keys_view_->setSelectionMode(QAbstractItemView::SingleSelection);
  keys_view_->setContextMenuPolicy(Qt::CustomContextMenu);
  // Only a click selects a key for the editor: a selection that moves by itself (after a
  // removal) must not overwrite what the editor holds.
  connect(keys_view_, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
    if (!index.isValid() || core_ == nullptr || index.row() >= core_->keys().RowCount()) return;
    ShowKeyInEditor(core_->keys().RowAt(index.row()));
  });

  int y = 136;
  for (size_t i = 0; i < kKeyFields.size(); ++i) {
    QLabel* label = Owned<QLabel>(QString::fromLatin1(kKeyFields[i].caption), page);
    label->setGeometry(6, y, 74, 20);
    QLineEdit* edit = Owned<QLineEdit>(page);
    edit->setObjectName(QString::fromLatin1(kKeyFields[i].name));
    edit->setGeometry(80, y, 236, 20);
    key_edits_[i] = edit;
    y += 24;
  }
  key_state_ = Owned<QCheckBox>(QStringLiteral("State (On/Off)"), page);
  key_state_->setObjectName(QStringLiteral("State_CheckBox2"));
  key_state_->setGeometry(80, y, 236, 20);
  key_state_->setChecked(true);

  const auto remove_key = [this] {
    const int selected = SelectedKey();
    std::optional<KeyRow> removed;
    Call([selected, &removed](Client& c) { removed = RemoveKey(c.keys(), selected); });
    if (!removed) return;
    // The removed key stays in the editor, so that Add puts it back unchanged.
    ShowKeyInEditor(*removed);
    keys_view_->selectionModel()->clear();
  };
  struct Command {
    const char* name;
    const char* caption;
    const char* hint;
    std::function<void()> run;
  };
  const std::array<Command, 6> commands = {{
      {"KeyAdd_Image1", "Add", "Add new key word",
       [this] {
         const KeyRow fields = KeyEditorFields();
         Call([&fields](Client& c) { AddKey(c.keys(), fields); });
       }},
      {"KeySave_Image1", "Save", "Save changes to current key word",
       [this] {
         const KeyRow fields = KeyEditorFields();
         const int selected = SelectedKey();
         Call([&fields, selected](Client& c) { SaveKey(c.keys(), selected, fields); });
       }},
      {"KeyRemove_Image1", "Remove", "Remove selected key word from list", remove_key},
      {"KeyAll_Image1", "All", "Turn on all key words",
       [this] { Call([](Client& c) { SetAllKeys(c.keys(), OnOff::kOn); }); }},
      {"KeyNone_Image1", "None", "Turn off all key words",
       [this] { Call([](Client& c) { SetAllKeys(c.keys(), OnOff::kOff); }); }},
      {"KeyTest_Button1", "Test", "Why does a key fire or not?",
       [this] {
         auto* user = key_test_->findChild<QLineEdit*>(QStringLiteral("KeyTestUser_Edit1"));
         user->setText(QtText(SelectedUser()));
         key_test_->show();
         key_test_->raise();
       }},
  }};
  y += 28;
  for (size_t i = 0; i < commands.size(); ++i) {
    const Command& command = commands[i];
    const int column = static_cast<int>(i % 3);
    const int line = static_cast<int>(i / 3);
    SkinButton* button =
        MakeButton(page, QString::fromLatin1(command.name), QString::fromLatin1(command.caption),
                   {80 + column * 80, y + line * 26, 76, 20});
    button->setToolTip(QString::fromLatin1(command.hint));
    connect(button, &QAbstractButton::clicked, this, command.run);
  }

  keys_menu_ = Owned<QMenu>(this);
  keys_menu_->setObjectName(QStringLiteral("Keys_PopupMenu1"));
  QAction* up = keys_menu_->addAction(QStringLiteral("Move Up"));
  up->setObjectName(QStringLiteral("MoveUp1"));
  connect(up, &QAction::triggered, this, [this] { RunKeyCommand(MoveKeyUp); });
  QAction* down = keys_menu_->addAction(QStringLiteral("Move Down"));
  down->setObjectName(QStringLiteral("MoveDown1"));
  connect(down, &QAction::triggered, this, [this] { RunKeyCommand(MoveKeyDown); });
  QAction* remove = keys_menu_->addAction(QStringLiteral("Delete Key"));
  remove->setObjectName(QStringLiteral("DeleteKey1"));
  connect(remove, &QAction::triggered, this, remove_key);
  connect(keys_view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    keys_menu_->popup(keys_view_->viewport()->mapToGlobal(pos));
  });

  BuildAppliesToBoxes(page);
  BuildKeyTestDialog();
}

void MainWindow::BuildAppliesToBoxes(QWidget* page) {
  std::array<QGroupBox*, kAppliesGroups.size()> groups{};
  std::array<int, kAppliesGroups.size()> filled{};
  for (size_t g = 0; g < kAppliesGroups.size(); ++g) {
    groups[g] = Owned<QGroupBox>(QString::fromLatin1(kAppliesGroups[g].caption), page);
    groups[g]->setObjectName(QString::fromLatin1(kAppliesGroups[g].name));
    groups[g]->setGeometry(kAppliesGroups[g].geometry);
  }
  QLineEdit* applies_to = key_edits_[kAppliesToField];
  for (const AppliesBox& entry : kAppliesBoxes) {
    const auto g = static_cast<size_t>(entry.group);
    const AppliesGroup& group = kAppliesGroups[g];
    const int width = (group.geometry.width() - 12) / group.per_line;
    const int n = filled[g]++;
    QCheckBox* box = Owned<QCheckBox>(QString::fromLatin1(entry.caption), groups[g]);
    box->setObjectName(QString::fromLatin1(entry.name));
    box->setGeometry(6 + (n % group.per_line) * width, 18 + (n / group.per_line) * kRowHeight,
                     width, kRowHeight);
    // Only a person's click writes the text; the read-back below sets the boxes quietly.
    connect(box, &QCheckBox::clicked, this, [this, applies_to] {
      std::vector<TokenTick> ticks;
      ticks.reserve(kAppliesBoxes.size());
      for (size_t i = 0; i < kAppliesBoxes.size(); ++i) {
        ticks.push_back({kAppliesBoxes[i].token, applies_boxes_[i]->isChecked()});
      }
      applies_to->setText(QtText(RewriteTokens(CoreText(applies_to->text()), ticks)));
    });
    applies_boxes_.push_back(box);
  }
  connect(applies_to, &QLineEdit::textChanged, this, [this](const QString& text) {
    const std::string value = CoreText(text);
    for (size_t i = 0; i < kAppliesBoxes.size(); ++i) {
      const QSignalBlocker block(applies_boxes_[i]);
      applies_boxes_[i]->setChecked(HasToken(value, kAppliesBoxes[i].token));
    }
  });
}

void MainWindow::BuildKeyTestDialog() {
  key_test_ = Owned<QDialog>(this, Qt::Dialog);
  key_test_->setObjectName(QStringLiteral("KeyTest_Dialog"));
  key_test_->setWindowTitle(QStringLiteral("Why does a key fire or not?"));
  key_test_->resize(420, 300);
  QLabel* user_label = Owned<QLabel>(QStringLiteral("User:"), key_test_);
  user_label->setGeometry(10, 10, 60, 20);
  QLineEdit* user = Owned<QLineEdit>(key_test_);
  user->setObjectName(QStringLiteral("KeyTestUser_Edit1"));
  user->setGeometry(70, 10, 150, 20);
  QComboBox* kind = Owned<QComboBox>(key_test_);
  kind->setObjectName(QStringLiteral("KeyTestKind_ComboBox1"));
  kind->setGeometry(230, 10, 180, 22);
  kind->addItems(
      {QStringLiteral("Messages;"), QStringLiteral("Whispers;"), QStringLiteral("Emotes;")});
  for (const auto& entry : kEventNames) kind->addItem(QtText(std::string(entry.second)));
  QLabel* text_label = Owned<QLabel>(QStringLiteral("Text:"), key_test_);
  text_label->setGeometry(10, 38, 60, 20);
  QLineEdit* text = Owned<QLineEdit>(key_test_);
  text->setObjectName(QStringLiteral("KeyTestText_Edit1"));
  text->setGeometry(70, 38, 260, 20);
  QPushButton* run = Owned<QPushButton>(QStringLiteral("Test"), key_test_);
  run->setObjectName(QStringLiteral("KeyTestRun_Button1"));
  run->setGeometry(340, 36, 70, 24);
  QPlainTextEdit* result = Owned<QPlainTextEdit>(key_test_);
  result->setObjectName(QStringLiteral("KeyTestResult_Memo1"));
  result->setGeometry(10, 68, 400, 222);
  result->setReadOnly(true);
  result->setLineWrapMode(QPlainTextEdit::NoWrap);
  const auto explain = [this, user, kind, text, result] {
    const std::string who = CoreText(user->text());
    const std::string said = CoreText(text->text());
    const std::string how = CoreText(kind->currentText());
    std::vector<std::string> lines;
    Call([&](Client& c) { lines = c.ExplainKeys(who, said, how); });
    QStringList shown;
    for (const std::string& line : lines) shown << QtText(line);
    result->setPlainText(shown.join(QLatin1Char('\n')));
  };
  connect(run, &QPushButton::clicked, this, explain);
  connect(text, &QLineEdit::returnPressed, this, explain);
}

void MainWindow::AttachKeysModel() {
  keys_model_ = std::make_unique<TableModel<Table<KeyRow>>>(core_->keys(), KeyColumns());
  keys_view_->setModel(keys_model_.get());
}

KeyRow MainWindow::KeyEditorFields() const {
  return {CoreText(key_edits_[0]->text()), CoreText(key_edits_[1]->text()),
          CoreText(key_edits_[2]->text()), CoreText(key_edits_[3]->text()),
          CoreText(key_edits_[4]->text()), key_state_->isChecked() ? OnOff::kOn : OnOff::kOff};
}

void MainWindow::ShowKeyInEditor(const KeyRow& row) {
  const std::array<const std::string*, 5> fields = {&row.key_text, &row.action, &row.applies_to,
                                                    &row.applies_on, &row.history};
  for (size_t i = 0; i < fields.size(); ++i) key_edits_[i]->setText(QtText(*fields[i]));
  key_state_->setChecked(row.state.on());
}

int MainWindow::SelectedKey() const {
  const QModelIndex index = keys_view_->currentIndex();
  if (!index.isValid() || !keys_view_->selectionModel()->isSelected(index)) return -1;
  return index.row();
}

void MainWindow::SelectKey(int row) {
  if (row < 0 || keys_model_ == nullptr || row >= keys_model_->rowCount()) return;
  keys_view_->setCurrentIndex(keys_model_->index(row, 0));
}

void MainWindow::RunKeyCommand(const std::function<int(Table<KeyRow>&, int)>& command) {
  const int selected = SelectedKey();
  if (selected < 0) return;
  int now = selected;
  Call([&](Client& c) { now = command(c.keys(), selected); });
  SelectKey(now);
}

}  // namespace tc::ui
