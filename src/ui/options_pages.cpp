// The Setup page and the options area with its General, Colors and GUI pages. Each control reads
// its core option (LoadControls) and writes it back through the core on every change.
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeView>

#include "common/text.h"
#include "persistence/list_lines.h"
#include "ui/click_label.h"
#include "ui/main_window.h"
#include "ui/owned.h"
#include "ui/text_conv.h"

namespace tc::ui {

namespace {

// The desktop's own colour dialog would ignore the window's colours.
constexpr QColorDialog::ColorDialogOptions kOwnColorDialog = QColorDialog::DontUseNativeDialog;

struct CategoryLabel {
  const char* name;
  const char* caption;
};
constexpr std::array<CategoryLabel, kCategoryCount> kCategoryLabels = {{
    {"MS_Colors_Label1", "Message Sent Text"},
    {"OPT_Colors_Label1", "Channel Operator"},
    {"SE_Colors_Label1", "Speaker and Emote Text"},
    {"UJ_Colors_Label1", "User Joins Text"},
    {"UL_Colors_Label1", "User Leaves Text"},
    {"JC_Colors_Label1", "Joining Channel Text"},
    {"EM_Colors_Label1", "Error Message Text"},
    {"SM_Colors_Label1", "Server Message Text"},
    {"WS_Colors_Label1", "Whisper Sent Text"},
    {"WR_Colors_Label1", "Whisper Recieved Text"},
    {"SyM_Colors_Label1", "System Message"},
    {"PM_Colors_Label1", "Personal Message"},
    {"OT_Colors_Label1", "Other Text"},
}};

struct OptionTab {
  OptionPage page;
  const char* name;
  const char* caption;
  const char* panel;
};
constexpr std::array<OptionTab, 8> kOptionTabs = {{
    {OptionPage::kGeneral, "General_Image1", "General", "General_Panel1"},
    {OptionPage::kColors, "Colors_Image1", "Colors", "Colors_Panel1"},
    {OptionPage::kVariables, "Variables_Image1", "Variables", "Variables_Panel1"},
    {OptionPage::kGui, "GUI_Image1", "GUI", "GUI_Panel1"},
    {OptionPage::kKeysEvents, "KeysEvents_Image1", "Keys/ Events", "KeysEvents_Panel1"},
    {OptionPage::kTimer, "Timer_Image1", "Timer", "Timer_Panel1"},
    {OptionPage::kUsers, "Users_Image1", "Users", "Friends_Panel1"},
    {OptionPage::kDataBase, "DataBase_Image1", "DataBase", "DataBase_Panel1"},
}};

QLabel* Caption(QWidget* page, const QString& text, const QRect& geometry) {
  QLabel* label = Owned<QLabel>(text, page);
  label->setGeometry(geometry);
  return label;
}

}  // namespace

// A check box bound to a flag of the options; `after` runs what the change sets going.
static QCheckBox* BoundCheck(MainWindow& window, std::vector<std::function<void()>>& loaders,
                             Client*& core, QWidget* page, const char* name, const QString& caption,
                             const QRect& geometry, bool Options::*flag,
                             std::function<void(Client&, bool)> after = {}) {
  QCheckBox* box = Owned<QCheckBox>(caption, page);
  box->setObjectName(QString::fromLatin1(name));
  box->setGeometry(geometry);
  QObject::connect(box, &QCheckBox::toggled, &window, [&window, flag, after](bool on) {
    window.Call([flag, on, &after](Client& c) {
      if (c.options().*flag == on) return;
      c.options().*flag = on;
      if (after) after(c, on);
    });
  });
  loaders.push_back([box, &core, flag] {
    const QSignalBlocker block(box);
    box->setChecked(core->options().*flag);
  });
  return box;
}

// A radio group bound to an enumerated option.
template <typename E>
static QGroupBox* BoundRadios(MainWindow& window, std::vector<std::function<void()>>& loaders,
                              Client*& core, QWidget* page, const char* name,
                              const QString& caption, const QRect& geometry,
                              const QStringList& items, E Options::*field) {
  QGroupBox* group = Owned<QGroupBox>(caption, page);
  group->setObjectName(QString::fromLatin1(name));
  group->setGeometry(geometry);
  QButtonGroup* buttons = Owned<QButtonGroup>(group);
  for (int i = 0; i < items.size(); ++i) {
    QRadioButton* radio = Owned<QRadioButton>(items[i], group);
    radio->setObjectName(QString::fromLatin1(name) + QStringLiteral("_Item") + QString::number(i));
    radio->setGeometry(8, 18 + i * 20, geometry.width() - 16, 18);
    buttons->addButton(radio, i);
  }
  QObject::connect(buttons, &QButtonGroup::idToggled, &window, [&window, field](int id, bool on) {
    if (!on) return;
    window.Call([field, id](Client& c) { c.options().*field = static_cast<E>(id); });
  });
  loaders.push_back([buttons, &core, field] {
    const QSignalBlocker block(buttons);
    if (QAbstractButton* b = buttons->button(static_cast<int>(core->options().*field))) {
      const QSignalBlocker block_button(b);
      b->setChecked(true);
    }
  });
  return group;
}

// A one-line field bound to a text option.
static QLineEdit* BoundEdit(MainWindow& window, std::vector<std::function<void()>>& loaders,
                            Client*& core, QWidget* page, const char* name, const QRect& geometry,
                            std::string Options::*field) {
  QLineEdit* edit = Owned<QLineEdit>(page);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(geometry);
  QObject::connect(edit, &QLineEdit::textChanged, &window, [&window, field](const QString& text) {
    const std::string value = CoreText(text);
    window.Call([field, &value](Client& c) { c.options().*field = value; });
  });
  loaders.push_back([edit, &core, field] {
    const QSignalBlocker block(edit);
    edit->setText(QtText(core->options().*field));
  });
  return edit;
}

void MainWindow::BuildSetupPage(QWidget* page) {
  Caption(page, QStringLiteral("Account:"), {10, 10, 110, 20});
  account_edit_ = BoundEdit(*this, loaders_, core_, page, "AccountName_Edit1", {120, 10, 180, 20},
                            &Options::account_name);
  account_edit_->setMaxLength(15);
  Caption(page, QStringLiteral("Password:"), {10, 36, 110, 20});
  password_edit_ = BoundEdit(*this, loaders_, core_, page, "Password_Edit1", {120, 36, 180, 20},
                             &Options::password);
  password_edit_->setEchoMode(QLineEdit::Password);
  // Enter after the password connects; while connected it leaves the connection alone.
  connect(password_edit_, &QLineEdit::returnPressed, this, [this] {
    Call([](Client& c) {
      if (c.connect_caption() == "Connect") c.ToggleConnection();
    });
  });
  Caption(page, QStringLiteral("Server:"), {10, 62, 110, 20});
  QComboBox* server = Owned<QComboBox>(page);
  server->setObjectName(QStringLiteral("Servers_ComboBox1"));
  server->setGeometry(120, 62, 180, 22);
  loaders_.push_back([this, server] {
    server->clear();
    server->addItem(QtText(core_->options().server));
  });
  Caption(page, QStringLiteral("Port:"), {10, 90, 110, 20});
  QLineEdit* port =
      BoundEdit(*this, loaders_, core_, page, "Port_Edit1", {120, 90, 80, 20}, &Options::port);
  port->setEnabled(false);

  BoundCheck(*this, loaders_, core_, page, "AutoConnect_CheckBox1", QStringLiteral("Auto Connect:"),
             {10, 120, 200, 20}, &Options::auto_connect);
  BoundCheck(*this, loaders_, core_, page, "Reconnect_CheckBox1", QStringLiteral("Auto-Reconnect"),
             {10, 142, 200, 20}, &Options::reconnect);
  BoundCheck(*this, loaders_, core_, page, "AutoServer_CheckBox1",
             QStringLiteral("Auto Select Server:"), {10, 164, 200, 20}, &Options::auto_server);
  BoundRadios(*this, loaders_, core_, page, "Close_RadioGroup1",
              QStringLiteral("Close program on disconnect"), {10, 192, 290, 82},
              {QStringLiteral("Always"), QStringLiteral("Never"),
               QStringLiteral("Only when requested by user")},
              &Options::close_on_disconnect);

  QGroupBox* channels =
      BoundRadios(*this, loaders_, core_, page, "Channel_RadioGroup1",
                  QStringLiteral("Join after login"), {320, 10, 300, 90},
                  {QStringLiteral("Home channel:"), QStringLiteral("Last visited channel:"),
                   QStringLiteral("Default Channel:")},
                  &Options::channel_choice);
  const std::array<const char*, 3> radio_names = {
      "HomeChannel_RadioButton1", "LVChannel_RadioButton1", "DefaultChannel_RadioButton1"};
  for (int i = 0; i < 3; ++i) {
    auto* radio = channels->findChild<QRadioButton*>(QStringLiteral("Channel_RadioGroup1_Item") +
                                                     QString::number(i));
    radio->setObjectName(QString::fromLatin1(radio_names[static_cast<size_t>(i)]));
    radio->setGeometry(8, 18 + i * 22, 140, 18);
  }
  BoundEdit(*this, loaders_, core_, channels, "HomeChannel_Edit1", {150, 16, 140, 20},
            &Options::home_channel);
  QLineEdit* last = BoundEdit(*this, loaders_, core_, channels, "Last_Edit1", {150, 38, 140, 20},
                              &Options::last_channel);
  last->setReadOnly(true);
  // For servers and peers that expect the old bytes; what the code page lacks goes as "?".
  BoundRadios(*this, loaders_, core_, page, "SendTextAs_RadioGroup1",
              QStringLiteral("Send text as"), {320, 192, 300, 62},
              {QStringLiteral("UTF-8"), QStringLiteral("Windows-1252")}, &Options::send_text_as);
  BuildProfileControls(page);
}

void MainWindow::BuildProfileControls(QWidget* page) {
  // Only the profile commands change the name; the field shows which profile a save goes to.
  Caption(page, QStringLiteral("Talvex Chat User:"), {320, 110, 110, 20});
  QLineEdit* user = Owned<QLineEdit>(page);
  user->setObjectName(QStringLiteral("User_Edit1"));
  user->setGeometry(430, 110, 190, 20);
  user->setReadOnly(true);
  loaders_.push_back([this, user] { user->setText(QtText(core_->profile_name())); });
  struct Command {
    const char* name;
    const char* caption;
    void (Client::*run)();
  };
  static constexpr std::array<Command, 3> kCommands = {
      {{"Open_Image1", "Open", &Client::OpenProfile},
       {"New_Image1", "New", &Client::NewProfile},
       {"Delete_Image1", "Delete", &Client::DeleteProfile}}};
  int x = 320;
  for (const Command& command : kCommands) {
    SkinButton* button = MakeButton(page, QString::fromLatin1(command.name),
                                    QString::fromLatin1(command.caption), {x, 136, 96, 20});
    const auto run = command.run;
    connect(button, &QAbstractButton::clicked, this,
            [this, run] { RunProfileCommand([run](Client& c) { (c.*run)(); }); });
    x += 102;
  }
  BoundCheck(*this, loaders_, core_, page, "SavePassword_CheckBox1",
             QStringLiteral("Save Password:"), {320, 164, 200, 20}, &Options::save_password);
}

void MainWindow::BuildOptionsPage(QWidget* page) {
  int x = 0;
  for (const OptionTab& tab : kOptionTabs) {
    SkinButton* button = MakeButton(page, QString::fromLatin1(tab.name),
                                    QString::fromLatin1(tab.caption), {x, 0, 77, 20});
    const OptionPage target = tab.page;
    connect(button, &QAbstractButton::clicked, this,
            [this, target] { DisplayOptionPanel(target); });
    x += 79;
    QWidget* panel = Owned<QWidget>(page);
    panel->setObjectName(QString::fromLatin1(tab.panel));
    panel->setGeometry(0, 24, 632, 390);
    option_pages_[tab.page] = panel;
  }
  BuildGeneralPage(option_pages_[OptionPage::kGeneral]);
  BuildColorsPage(option_pages_[OptionPage::kColors]);
  BuildGuiPage(option_pages_[OptionPage::kGui]);
  BuildKeysPage(option_pages_[OptionPage::kKeysEvents]);
  BuildVariablesPage(option_pages_[OptionPage::kVariables]);
  BuildTimerPage(option_pages_[OptionPage::kTimer]);
}

void MainWindow::BuildGeneralPage(QWidget* page) {
  QGroupBox* view_jp = BoundRadios(
      *this, loaders_, core_, page, "ViewJP_RadioGroup1", QStringLiteral("View Join/Parts"),
      {6, 4, 200, 84},
      {QStringLiteral("Always"), QStringLiteral("Never"), QStringLiteral("If less or equal to:")},
      &Options::view_join_parts);
  QSpinBox* number = Owned<QSpinBox>(view_jp);
  number->setObjectName(QStringLiteral("ViewJP_SpinEdit1"));
  number->setRange(0, 100);
  number->setGeometry(140, 56, 54, 22);
  connect(number, &QSpinBox::valueChanged, this, [this](int value) {
    Call([value](Client& c) { c.options().view_join_parts_number = value; });
  });
  loaders_.push_back([this, number] {
    const QSignalBlocker block(number);
    number->setValue(core_->options().view_join_parts_number);
  });

  QGroupBox* on_ban =
      BoundRadios(*this, loaders_, core_, page, "OnBan_RadioGroup1", QStringLiteral("On ban join"),
                  {6, 94, 200, 84},
                  {QStringLiteral("Stay in The Void"), QStringLiteral("Home Channel"), QString()},
                  &Options::on_ban);
  BoundEdit(*this, loaders_, core_, on_ban, "OnBan_Edit1", {30, 56, 160, 20},
            &Options::on_ban_channel);

  BoundRadios(*this, loaders_, core_, page, "KeepLF_RadioGroup1",
              QStringLiteral("Keep log of chat sessions"), {6, 184, 200, 84},
              {QStringLiteral("Store all logs in one file"),
               QStringLiteral("Store according to channel"), QStringLiteral("Don't store logs")},
              &Options::keep_log);

  int y = 6;
  const auto next = [&y] {
    const QRect r(220, y, 240, 20);
    y += 24;
    return r;
  };
  BoundCheck(*this, loaders_, core_, page, "Account_Tracking_CheckBox1",
             QStringLiteral("Account Tracking"), next(), &Options::account_tracking);
  BoundCheck(*this, loaders_, core_, page, "Channel_Hit_Counter_CheckBox1",
             QStringLiteral("Channel, Hit Counter"), next(), &Options::channel_hit_counter);
  BoundCheck(*this, loaders_, core_, page, "AutoReJoin_CheckBox1",
             QStringLiteral("Auto rejoin when kicked"), next(), &Options::auto_rejoin_when_kicked);
  BoundCheck(*this, loaders_, core_, page, "AutoOps_CheckBox1",
             QStringLiteral("Auto-Rejoin to gain gravel"), next(), &Options::auto_ops);
  BoundCheck(*this, loaders_, core_, page, "AutoOperator_CheckBox1",
             QStringLiteral("Auto set Operator mode"), next(), &Options::auto_operator);
  BoundCheck(*this, loaders_, core_, page, "AntiFlood_CheckBox1",
             QStringLiteral("Anti-Flood Protection"), next(), &Options::anti_flood);
  // Ticking opens the user database from its file; unticking saves and closes it.
  BoundCheck(*this, loaders_, core_, page, "UseDatabase_CheckBox1", QStringLiteral("Use database"),
             next(), &Options::use_database, [](Client& c, bool on) {
               if (on) {
                 c.database().LoadUserDatabase(c.program_dir(), true);
               } else {
                 c.database().SaveUserDatabase();
               }
             });
  BoundCheck(*this, loaders_, core_, page, "Tray_CheckBox1",
             QStringLiteral("Minimize to System-Tray"), next(), &Options::tray);

  // Bytes on the wire, the prefix counted; 0 shows as "Off".
  const QRect split = next();
  Caption(page, QStringLiteral("Split long lines at:"), {split.x(), split.y() + 1, 130, 20});
  QSpinBox* split_at = Owned<QSpinBox>(page);
  split_at->setObjectName(QStringLiteral("SplitLongLines_Edit1"));
  split_at->setRange(0, 500);
  split_at->setSpecialValueText(QStringLiteral("Off"));
  split_at->setSuffix(QStringLiteral(" bytes"));
  split_at->setToolTip(
      QStringLiteral("Talk, whispers and emotes longer than this leave as several lines"));
  split_at->setGeometry(split.x() + 130, split.y(), 90, 22);
  connect(split_at, &QSpinBox::valueChanged, this, [this](int value) {
    Call([value](Client& c) { c.options().split_long_lines_at = value; });
  });
  loaders_.push_back([this, split_at] {
    const QSignalBlocker block(split_at);
    split_at->setValue(core_->options().split_long_lines_at);
  });
  BuildIdleAwayControls(page, {220, y});
}

void MainWindow::BuildColorsPage(QWidget* page) {
  for (int i = 0; i < kCategoryCount; ++i) {
    const CategoryLabel& entry = kCategoryLabels[static_cast<size_t>(i)];
    const int column = i < 7 ? 0 : 1;
    const int row = i < 7 ? i : i - 7;
    QLabel* label = Owned<ClickLabel>(QString::fromLatin1(entry.caption), page,
                                      [this, i] { PickCategoryColor(i); });
    label->setObjectName(QString::fromLatin1(entry.name));
    label->setGeometry(6 + column * 200, 6 + row * 24, 190, 20);
    label->setAutoFillBackground(true);
    color_labels_[static_cast<size_t>(i)] = label;
  }

  cc_view_ = Owned<QTreeView>(page);
  cc_view_->setObjectName(QStringLiteral("CustomColors_ListView1"));
  cc_view_->setGeometry(410, 6, 216, 220);
  cc_view_->setRootIsDecorated(false);
  cc_view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  cc_text_ = Owned<QLineEdit>(page);
  cc_text_->setObjectName(QStringLiteral("CCText_Edit1"));
  cc_text_->setGeometry(410, 232, 216, 20);
  SkinButton* color = MakeButton(page, QStringLiteral("CCColor_Image1"), QStringLiteral("Color"),
                                 {410, 258, 70, 20});
  color->setToolTip(QStringLiteral("Select a color."));
  connect(color, &QAbstractButton::clicked, this, [this] {
    const auto picked =
        hooks_.pick_color ? hooks_.pick_color(cc_color_) : [this]() -> std::optional<QColor> {
      const QColor c = QColorDialog::getColor(cc_color_, this, {}, kOwnColorDialog);
      if (!c.isValid()) return std::nullopt;
      return c;
    }();
    if (!picked) return;
    cc_color_ = *picked;
    QPalette pal = cc_text_->palette();
    pal.setColor(QPalette::Text, cc_color_);
    cc_text_->setPalette(pal);
  });
  SkinButton* add =
      MakeButton(page, QStringLiteral("CCAdd_Image1"), QStringLiteral("Add"), {483, 258, 70, 20});
  add->setToolTip(QStringLiteral("Add or Save custom color."));
  connect(add, &QAbstractButton::clicked, this, [this] {
    const std::string word = CoreText(cc_text_->text());
    const Color color = FromQColor(cc_color_);
    Call([&word, color](Client& c) { AddCustomColor(c.custom_colors(), word, color); });
  });
  SkinButton* remove = MakeButton(page, QStringLiteral("CCRemove_Image1"), QStringLiteral("Remove"),
                                  {556, 258, 70, 20});
  remove->setToolTip(QStringLiteral("Remove custom color."));
  connect(remove, &QAbstractButton::clicked, this, [this] {
    const QModelIndex index = cc_view_->currentIndex();
    if (!index.isValid()) return;
    const int row = index.row();
    // The row goes back into the editing fields before it is deleted.
    const Table<CustomColorRow>& table = core_->custom_colors();
    if (row >= table.RowCount()) return;
    cc_text_->setText(QtText(table.RowAt(row).text));
    cc_color_ = ToQColor(ColorFromText(table.RowAt(row).color).value_or(kClWhite));
    Call([row](Client& c) { c.custom_colors().Remove(row); });
  });
}

void MainWindow::BuildGuiPage(QWidget* page) {
  Caption(page, QStringLiteral("Tray icons"), {6, 4, 200, 18});
  tray_list_ = Owned<QListView>(page);
  tray_list_->setObjectName(QStringLiteral("Icons_ListView1"));
  tray_list_->setGeometry(6, 24, 400, 150);
  tray_list_->setViewMode(QListView::IconMode);
  tray_list_->setIconSize(QSize(32, 32));
  tray_list_->setGridSize(QSize(90, 60));
  tray_list_->setMovement(QListView::Static);
  tray_list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tray_combo_ = Owned<QComboBox>(page);
  tray_combo_->setObjectName(QStringLiteral("IconsStats_ComboBox1"));
  tray_combo_->setGeometry(412, 24, 140, 22);
  tray_combo_->addItems({QStringLiteral("Disconnected"), QStringLiteral("Available"),
                         QStringLiteral("Away"), QStringLiteral("DND"), QStringLiteral("Operator"),
                         QStringLiteral("-----")});
  // IconsStats_ComboBox1Change: only a person's choice, not the echo of a selection.
  connect(tray_combo_, &QComboBox::activated, this, [this](int) {
    const QModelIndex index = tray_list_->currentIndex();
    if (!index.isValid()) return;
    const int picture = index.row();
    const std::string caption = CoreText(tray_combo_->currentText());
    Call([picture, &caption](Client& c) {
      c.appearance().tray_icons().SetCaption(picture, caption);
    });
    RefreshStatePictures();
  });
  BoundCheck(*this, loaders_, core_, page, "RandomTheme_CheckBox1",
             QStringLiteral("Select random theme on start-up"), {6, 184, 300, 20},
             &Options::random_theme);
}

void MainWindow::PickCategoryColor(int category) {
  if (core_ == nullptr) return;
  const QColor initial = ToQColor(core_->options().colors[static_cast<size_t>(category)]);
  const auto picked =
      hooks_.pick_color ? hooks_.pick_color(initial) : [this, &initial]() -> std::optional<QColor> {
    const QColor c = QColorDialog::getColor(initial, this, {}, kOwnColorDialog);
    if (!c.isValid()) return std::nullopt;
    return c;
  }();
  if (!picked) return;
  const Color color = FromQColor(*picked);
  Call([category, color](Client& c) { c.options().colors[static_cast<size_t>(category)] = color; });
  UpdateFonts();
}

void MainWindow::UpdateFonts() {
  if (core_ == nullptr) return;
  const QColor back = ToQColor(core_->appearance().settings().background);
  for (int i = 0; i < kCategoryCount; ++i) {
    QLabel* label = color_labels_[static_cast<size_t>(i)];
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, back);
    pal.setColor(QPalette::WindowText, ToQColor(core_->options().colors[static_cast<size_t>(i)]));
    label->setPalette(pal);
  }
}

void MainWindow::LoadControls() {
  if (core_ == nullptr) return;
  for (const auto& load : loaders_) load();
  AfterCall();
}

}  // namespace tc::ui
