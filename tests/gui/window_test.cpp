// The window driven as a person drives it: typing, clicking, right-clicking, picking colours,
// switching pages, minimising. Colours are read from the documents, not from pictures.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTreeView>

#include "common/code_text.h"
#include "gui/clicks.h"
#include "gui/window_fixture.h"
#include "persistence/list_lines.h"
#include "ui/art.h"
#include "ui/chat_view.h"
#include "ui/presenters.h"
#include "ui/profile_window.h"
#include "ui/progress_window.h"
#include "ui/skin_button.h"
#include "ui/table_model.h"

namespace tc::gui {
namespace {

QColor Q(Color c) {
  return ui::ToQColor(c);
}

void TypeInto(QComboBox* box, const QString& text) {
  box->lineEdit()->setFocus();
  QTest::keyClicks(box->lineEdit(), text);
}

// Selects the row showing `name` in a list view the way a click does.
QPoint SelectRow(QListView* view, const QString& name) {
  const QPoint at = view->visualRect(RowOf(view, name)).center();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
  return at;
}

// Drags the splitter's handle `dy` pixels down (up when negative), as a hand on the mouse does.
void DragHandle(QSplitter* split, int dy) {
  QWidget* handle = split->handle(1);
  const QPointF at(handle->width() / 2.0, handle->height() / 2.0);
  const QPointF to = at + QPointF(0, dy);
  const QPointF global_at = handle->mapToGlobal(at);
  const QPointF global_to = handle->mapToGlobal(to);
  QMouseEvent press(QEvent::MouseButtonPress, at, global_at, Qt::LeftButton, Qt::LeftButton, {});
  QApplication::sendEvent(handle, &press);
  QMouseEvent move(QEvent::MouseMove, to, global_to, Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(handle, &move);
  QMouseEvent release(QEvent::MouseButtonRelease, to, global_to, Qt::LeftButton, Qt::NoButton, {});
  QApplication::sendEvent(handle, &release);
}

// The decoded line of a profile file that begins with `key`; empty when there is none.
std::string ProfileLine(const std::filesystem::path& file, std::string_view key) {
  const std::string bytes = test::ReadFile(file);
  size_t begin = 0;
  while (begin < bytes.size()) {
    size_t end = bytes.find("\r\n", begin);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = CodeText("Decode", bytes.substr(begin, end - begin));
    if (line.rfind(key, 0) == 0) return line;
    begin = end + 2;
  }
  return {};
}

TEST(WindowTest, AFreshWindowItsWelcomeItsSkinsAndClearingTheChat) {
  WindowRig rig;
  EXPECT_EQ(rig.window->windowTitle(), "Talvex Chat 2000");
  EXPECT_EQ(rig.window->size(), QSize(640, 470));
  EXPECT_TRUE(rig.window->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_FALSE(rig.window->windowIcon().isNull());
  // First activation: the welcome lines, once.
  QWidget* chat = rig.Chat();
  EXPECT_EQ(BlockText(chat, 0), "System ( Welcome to Talvex Chat 2000 Build 1515 )");
  EXPECT_TRUE(rig.core->first_activated());
  rig.window->hide();
  rig.window->show();
  rig.Settle();
  EXPECT_EQ(BlockCount(chat), 2);
  // A fresh start writes the default skins and shows no box.
  EXPECT_TRUE(std::filesystem::exists(rig.temp.path() / "Skins/Backgrounds/Default.bmp"));
  EXPECT_TRUE(std::filesystem::exists(rig.temp.path() / "Skins/Buttons/Default.bmp"));
  EXPECT_TRUE(rig.window->messages().empty());
  // A missing chosen skin falls back to the default one quietly.
  rig.window->Update_Buttons((rig.temp.path() / "nope.bmp").string(), "");
  EXPECT_TRUE(rig.window->messages().empty());
  std::filesystem::remove(rig.temp.path() / "Skins/Buttons/Default.bmp");
  rig.window->Update_Buttons("", "");
  ASSERT_EQ(rig.window->messages().size(), 1u);
  EXPECT_TRUE(rig.window->messages()[0].startsWith("Unable to open file: "));
  rig.window->findChild<QAction*>("ClearChatBuffer1")->trigger();
  rig.Settle();
  EXPECT_EQ(BlockText(chat, 0), "");
  EXPECT_EQ(BlockCount(chat), 1);
}

// Notes, at the main window's first paint, whether the first activation (welcome lines, database
// load, auto-connect) had already run: it must wait, so that the window shows first.
class FirstPaintProbe : public QObject {
 public:
  bool painted = false;
  bool activated_before = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!painted && event->type() == QEvent::Paint &&
        watched->objectName() == QStringLiteral("TalvexChat_Form")) {
      painted = true;
      auto* chat = watched->findChild<ui::ChatView*>(QStringLiteral("Chat_RichTextBox1"));
      activated_before = chat->pending_lines() > 0 || !BlockText(chat, 0).isEmpty();
    }
    return false;
  }
};

TEST(WindowTest, FirstActivationWaitsForTheFirstPaint) {
  FirstPaintProbe probe;
  QApplication::instance()->installEventFilter(&probe);
  WindowRig rig;
  QApplication::instance()->removeEventFilter(&probe);
  EXPECT_TRUE(probe.painted);
  EXPECT_FALSE(probe.activated_before);
  EXPECT_TRUE(rig.core->first_activated());
}

TEST(WindowTest, TheSendButtonAndEnterSendTheTypedLine) {
  WindowRig rig(kLoggedIn);
  rig.Sent();
  auto* input = rig.Find<QComboBox>("Send_Edit1");
  TypeInto(input, "hello there");
  Click(rig.Find<QWidget>("Send_Image1"));
  EXPECT_EQ(rig.Sent(), "hello there\r\n");
  EXPECT_EQ(input->currentText(), "");
  ASSERT_EQ(input->count(), 1);
  EXPECT_EQ(input->itemText(0), "hello there");
  TypeInto(input, "/time");
  QTest::keyClick(input->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(rig.Sent(), "/time\r\n");
}

TEST(WindowTest, UserDraggedToTheWhisperBoxBecomesARecipient) {
  WindowRig rig(kLoggedIn);
  rig.Server("1001 USER bob 0010 [CHAT]");
  auto* users = rig.Find<QListView>("Users_ListView1");
  ASSERT_TRUE(RowOf(users, "bob").isValid());
  std::unique_ptr<QMimeData> mime(users->model()->mimeData({RowOf(users, "bob")}));
  auto* box = rig.Find<QListView>("WhisperBox_ListBox1");
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime.get(), Qt::LeftButton, {});
  QApplication::sendEvent(box->viewport(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime.get(), Qt::LeftButton, {});
  QApplication::sendEvent(box->viewport(), &drop);
  ASSERT_EQ(rig.core->whisper_recipients().RowCount(), 1);
  EXPECT_EQ(rig.core->whisper_recipients().Cell(0, 0), "bob");
  EXPECT_EQ(box->model()->rowCount(), 1);
  // Dragged text that names no channel user is not a recipient.
  for (const char* text : {"mallory", "talvexbot", "BOB"}) {
    QMimeData other;
    other.setText(QString::fromLatin1(text));
    QDropEvent stray(QPointF(5, 5), Qt::CopyAction, &other, Qt::LeftButton, {});
    QApplication::sendEvent(box->viewport(), &stray);
  }
  EXPECT_EQ(rig.core->whisper_recipients().RowCount(), 1);
  // The same name again, in other letters, is not added twice; the own name never.
  rig.AddWhisperUser("BOB");
  rig.AddWhisperUser("talvexbot");
  EXPECT_EQ(rig.core->whisper_recipients().RowCount(), 1);
  box->setCurrentIndex(box->model()->index(0, 0));
  rig.Find<QAction>("RemoveUser1")->trigger();
  EXPECT_EQ(rig.core->whisper_recipients().RowCount(), 0);
  EXPECT_FALSE(rig.Find<QComboBox>("Send_Edit2")->isEnabled());
}

TEST(WindowTest, RightClickAUserAndBanOrDoubleClickForTheName) {
  WindowRig rig(kLoggedIn);
  rig.Server("1001 USER bob 0010 [CHAT]");
  rig.Sent();
  auto* users = rig.Find<QListView>("Users_ListView1");
  emit users->customContextMenuRequested(SelectRow(users, "bob"));
  auto* menu = rig.window->findChild<QMenu*>("Users_PopupMenu1");
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(menu->isVisible());
  menu->findChild<QAction*>("/ban")->trigger();
  menu->hide();
  EXPECT_EQ(rig.Sent(), "/ban bob\r\n");
  // A double click puts the name into the input.
  QTest::mouseDClick(users->viewport(), Qt::LeftButton, {}, SelectRow(users, "bob"));
  rig.Settle();
  EXPECT_TRUE(rig.Find<QComboBox>("Send_Edit1")->currentText().contains("bob"));
}

TEST(WindowTest, UserListShowsIconsAndTheChannelField) {
  WindowRig rig;
  rig.LogIn("talvexbot", "Lobby");
  rig.Server("1001 USER carol 0000 [STAR]");
  const QModelIndex carol = RowOf(rig.Find<QListView>("Users_ListView1"), "carol");
  ASSERT_TRUE(carol.isValid());
  const QIcon icon = carol.data(Qt::DecorationRole).value<QIcon>();
  EXPECT_EQ(icon.pixmap(28, 14).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
            ui::UserIcon(0));
  EXPECT_EQ(rig.Find<QLabel>("Channel_Edit1")->text(), "Lobby (2)");
}

TEST(WindowTest, TabButtonsSwitchPages) {
  WindowRig rig;
  const struct {
    const char* button;
    const char* shown;
    const char* hidden;
  } steps[] = {
      {"Setup_Image1", "Setup_Panel1", "Chat_Panel1"},
      {"Options_Image1", "General_Panel1", "Setup_Panel1"},
      {"Colors_Image1", "Colors_Panel1", "General_Panel1"},
      {"Chat_Image1", "Chat_Panel1", "Options_Panel1"},
  };
  for (const auto& step : steps) {
    Click(rig.Find<QWidget>(step.button));
    EXPECT_TRUE(rig.Find<QWidget>(step.shown)->isVisible()) << step.button;
    EXPECT_FALSE(rig.Find<QWidget>(step.hidden)->isVisible()) << step.button;
  }
}

TEST(WindowTest, PickedCategoryColourColoursTheNextLine) {
  WindowRig rig;
  const QColor chosen(0x12, 0x34, 0x56);
  rig.window->hooks().pick_color = [chosen](const QColor&) { return std::optional(chosen); };
  rig.OpenOptions("Colors_Image1");
  auto* label = rig.Find<QLabel>("SyM_Colors_Label1");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), "System Message");
  Click(label);
  EXPECT_EQ(label->palette().color(QPalette::WindowText), chosen);
  rig.window->Call([](Client& c) { c.ShowLocal("System ( colours ) and more"); });
  rig.Settle();
  QWidget* chat = rig.Chat();
  const int last = BlockCount(chat) - 1;
  EXPECT_EQ(LastLine(chat), "System ( colours ) and more");
  EXPECT_EQ(ColorAt(chat, last, 0), chosen);
  EXPECT_EQ(ColorAt(chat, last, 20), Q(kClSilver));
}

TEST(WindowTest, CustomWordColourEditor) {
  WindowRig rig;
  rig.window->hooks().pick_color = [](const QColor&) { return std::optional(QColor(Qt::red)); };
  auto* text = rig.Find<QLineEdit>("CCText_Edit1");
  text->setText("hi");
  Click(rig.Find<QWidget>("CCColor_Image1"));
  Click(rig.Find<QWidget>("CCAdd_Image1"));
  ASSERT_EQ(rig.core->custom_colors().RowCount(), 1);
  EXPECT_EQ(rig.core->custom_colors().RowAt(0).color, "clRed");
  rig.window->hooks().pick_color = [](const QColor&) { return std::optional(QColor(Qt::blue)); };
  text->setText("HI");
  Click(rig.Find<QWidget>("CCColor_Image1"));
  Click(rig.Find<QWidget>("CCAdd_Image1"));
  ASSERT_EQ(rig.core->custom_colors().RowCount(), 1);
  EXPECT_EQ(rig.core->custom_colors().RowAt(0).color, "clBlue");
  auto* view = rig.Find<QTreeView>("CustomColors_ListView1");
  EXPECT_EQ(view->model()->rowCount(), 1);
  EXPECT_EQ(view->model()->headerData(1, Qt::Horizontal).toString(), "Color");
  view->setCurrentIndex(view->model()->index(0, 0));
  Click(rig.Find<QWidget>("CCRemove_Image1"));
  EXPECT_EQ(rig.core->custom_colors().RowCount(), 0);
  EXPECT_EQ(text->text(), "hi");
  // New words take their sorted place, as a profile read would put them.
  for (const char* word : {"zeta", "alpha", "Mid"}) {
    text->setText(QString::fromLatin1(word));
    Click(rig.Find<QWidget>("CCAdd_Image1"));
  }
  ASSERT_EQ(view->model()->rowCount(), 3);
  EXPECT_EQ(view->model()->index(0, 0).data().toString(), "alpha");
  EXPECT_EQ(view->model()->index(1, 0).data().toString(), "Mid");
  EXPECT_EQ(view->model()->index(2, 0).data().toString(), "zeta");
}

TEST(WindowTest, TrayPictureCaptionsStayUnique) {
  WindowRig rig;
  auto* list = rig.Find<QListView>("Icons_ListView1");
  auto* combo = rig.Find<QComboBox>("IconsStats_ComboBox1");
  list->setCurrentIndex(list->model()->index(5, 0));
  EXPECT_EQ(combo->currentText(), "-----");
  const int away = combo->findText("Away");
  combo->setCurrentIndex(away);
  emit combo->activated(away);
  const TextTable& table = rig.core->appearance().tray_icons().table();
  EXPECT_EQ(table.Cell(5, 0), "Away");
  EXPECT_EQ(table.Cell(2, 0), "-----");
  EXPECT_EQ(rig.core->appearance().tray_icons().PictureFor("Away"), 5);
  for (const bool reread : {false, true}) {
    if (reread) {
      rig.Reread();
      rig.window->ReloadProfile();
    }
    ASSERT_EQ(list->model()->rowCount(), 12) << reread;
    for (int row = 0; row < 12; ++row) {
      const QIcon icon = list->model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>();
      EXPECT_FALSE(icon.isNull()) << row << " " << reread;
    }
  }
  EXPECT_EQ(rig.core->appearance().tray_icons().PictureFor("Away"), 5);
}

TEST(WindowTest, SetupAndGeneralControlsAreBoundToTheOptions) {
  WindowRig rig;
  Click(rig.Find<QWidget>("Setup_Image1"));
  auto* account = rig.Find<QLineEdit>("AccountName_Edit1");
  EXPECT_EQ(account->text(), "guest");
  EXPECT_EQ(account->maxLength(), 15);
  account->selectAll();
  QTest::keyClicks(account, "someone");
  EXPECT_EQ(rig.core->options().account_name, "someone");
  EXPECT_EQ(rig.Find<QLineEdit>("Password_Edit1")->echoMode(), QLineEdit::Password);
  EXPECT_FALSE(rig.Find<QLineEdit>("Port_Edit1")->isEnabled());
  EXPECT_EQ(rig.Find<QComboBox>("Servers_ComboBox1")->currentText(), "127.0.0.1");
  EXPECT_TRUE(rig.Find<QRadioButton>("SendTextAs_RadioGroup1_Item0")->isChecked());
  Click(rig.Find<QCheckBox>("Reconnect_CheckBox1"));
  EXPECT_FALSE(rig.core->options().reconnect);
  Click(rig.Find<QWidget>("Close_RadioGroup1_Item0"));
  EXPECT_EQ(rig.core->options().close_on_disconnect, CloseOnDisconnect::kAlways);
  Click(rig.Find<QWidget>("LVChannel_RadioButton1"));
  EXPECT_EQ(rig.core->options().channel_choice, ChannelChoice::kLastVisited);
  Click(rig.Find<QWidget>("SendTextAs_RadioGroup1_Item1"));
  EXPECT_EQ(rig.core->options().send_text_as, SendEncoding::kWindows1252);
  rig.OpenOptions();
  Click(rig.Find<QCheckBox>("AntiFlood_CheckBox1"));
  EXPECT_FALSE(rig.core->options().anti_flood);
  Click(rig.Find<QCheckBox>("Tray_CheckBox1"));
  EXPECT_FALSE(rig.core->options().tray);
  Click(rig.Find<QWidget>("KeepLF_RadioGroup1_Item2"));
  EXPECT_EQ(rig.core->options().keep_log, KeepLog::kNone);
  Click(rig.Find<QWidget>("ViewJP_RadioGroup1_Item2"));
  EXPECT_EQ(rig.core->options().view_join_parts, ViewJoinParts::kIfLessOrEqual);
  Click(rig.Find<QCheckBox>("UseDatabase_CheckBox1"));
  EXPECT_FALSE(rig.core->options().use_database);
  EXPECT_FALSE(rig.core->database().IsOpen());
  Click(rig.Find<QCheckBox>("UseDatabase_CheckBox1"));
  EXPECT_TRUE(rig.core->database().IsOpen());
  // Nothing logged makes no Logs folder, neither in the channel nor across a profile read.
  const auto logs = rig.temp.path() / "Users" / "Default" / "Logs";
  std::filesystem::remove_all(logs);
  rig.LogIn();
  rig.Server("1005 TALK bob 0010 \"hello\"");
  rig.Reread();
  rig.Server("1005 TALK bob 0010 \"again\"");
  EXPECT_EQ(rig.core->options().keep_log, KeepLog::kNone);
  EXPECT_FALSE(std::filesystem::exists(logs));
}

TEST(WindowTest, StateMenuAsksTheServerAndTheStateShows) {
  WindowRig rig(kLoggedIn);
  EXPECT_EQ(rig.Find<QLabel>("State_Label1")->text(), "Available");
  EXPECT_EQ(rig.Find<QLabel>("Icons_Image1")->toolTip(), "Available (Right click to change)");
  rig.Sent();
  rig.window->findChild<QAction*>("Away2")->trigger();
  EXPECT_EQ(rig.Sent(), "/away I am currently away from Talvex Chat 2000 Build 1515\r\n");
  rig.window->findChild<QAction*>("Operator2")->trigger();
  EXPECT_EQ(rig.Find<QLabel>("State_Label1")->text(), "Operator");
  EXPECT_FALSE(rig.Find<QLabel>("Icons_Image1")->pixmap().isNull());
}

TEST(WindowTest, MinimiseToTheTrayAndRestoreOrStayWithoutOne) {
  for (const bool tray : {false, true}) {
    WindowRig rig(tray);
    Click(rig.Find<QWidget>("Minimize_Image1"));
    rig.Settle();
    EXPECT_EQ(rig.window->isVisible(), !tray);
    EXPECT_EQ(rig.window->tray_shown(), tray);
    if (!tray) continue;
    rig.window->tray_menu().findChild<QAction*>("Restore1")->trigger();
    rig.Settle();
    EXPECT_TRUE(rig.window->isVisible());
    EXPECT_FALSE(rig.window->tray_shown());
  }
}

TEST(WindowTest, ExitRunsTheShutdown) {
  // The "X" and the bar's Exit entry.
  for (const char* exit : {"Exit_Image1", "Script_Image1"}) {
    WindowRig rig;
    Click(rig.Find<QWidget>(QString::fromLatin1(exit)));
    rig.Settle();
    EXPECT_TRUE(rig.shut_down) << exit;
  }
}

TEST(WindowTest, ALineWhileScrolledUpLeavesTheViewWhereItIs) {
  WindowRig rig;
  rig.LogIn();
  std::string burst;
  for (int i = 0; i < 200; ++i)
    burst += "1005 TALK bob 0010 \"line " + std::to_string(i) + "\"\r\n";
  rig.Receive(burst);
  QScrollBar* bar = rig.window->chat_view().verticalScrollBar();
  ASSERT_GT(bar->maximum(), 20);
  EXPECT_EQ(bar->value(), bar->maximum());
  bar->setValue(10);
  rig.Server("1005 TALK bob 0010 \"while you read\"");
  EXPECT_EQ(bar->value(), 10);
  bar->setValue(bar->maximum());
  const int before = bar->maximum();
  rig.Server("1005 TALK bob 0010 \"at the end\"");
  EXPECT_GT(bar->maximum(), before);
  EXPECT_EQ(bar->value(), bar->maximum());
}

// The whisper input opens with the first partner; the partner's whispers show only in the whisper
// view; Enter there is the whisper button, which needs a user picked in the channel list.
TEST(WindowTest, WhisperInputAndViewFollowTheWhisperBox) {
  WindowRig rig(kLoggedIn);
  rig.Server("1001 USER bob 0010 [CHAT]");
  auto* input = rig.Find<QComboBox>("Send_Edit2");
  EXPECT_FALSE(input->isEnabled());
  rig.window->hooks().ask_text = [](const QString& title, const QString& prompt) {
    EXPECT_EQ(title, "Add whisper user.");
    EXPECT_EQ(prompt, "User Name:");
    return std::optional<QString>("alice");
  };
  rig.Find<QAction>("AddUser1")->trigger();
  EXPECT_TRUE(input->isEnabled());
  QWidget* chat = rig.Chat();
  QWidget* whisper = rig.Find<QWidget>("WhisperBox_RichTextBox1");
  const int chat_lines = BlockCount(chat);
  rig.Server("1004 WHISPER alice 0010 \"psst, over here\"");
  EXPECT_EQ(BlockCount(chat), chat_lines);
  EXPECT_EQ(BlockText(whisper, 0), "<alice> psst, over here");
  EXPECT_EQ(ColorAt(whisper, 0, 0), Q(rig.core->options().colors[2]));  // speaker colour
  EXPECT_EQ(ColorAt(whisper, 0, 10), Q(kClSilver));                     // the rest

  rig.Sent();
  // No user picked: the text stays for the next try.
  TypeInto(input, "psst");
  QTest::keyClick(input->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(rig.Sent(), "");
  EXPECT_EQ(input->currentText(), "psst");
  SelectRow(rig.Find<QListView>("Users_ListView1"), "bob");
  input->lineEdit()->setFocus();
  QTest::keyClick(input->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(rig.Sent(), "/w bob psst\r\n");
  EXPECT_EQ(input->currentText(), "");
}

TEST(WindowTest, DialogsWearTheWindowsColours) {
  WindowRig rig;
  rig.window->hooks().message = nullptr;
  rig.window->ShowMessage("Unable to open file: x");
  auto* box = rig.window->findChild<QMessageBox*>();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->palette().color(QPalette::Window), QColor(Qt::black));
  EXPECT_EQ(box->palette().color(QPalette::WindowText), QColor(Qt::white));
  EXPECT_LT(box->palette().color(QPalette::Button).lightness(), 80);
  box->close();
}

TEST(WindowTest, EnterInThePasswordConnectsAndARefusalComesBackToIt) {
  WindowRig rig;
  Click(rig.Find<QWidget>("Setup_Image1"));
  auto* account = rig.Find<QLineEdit>("AccountName_Edit1");
  auto* password = rig.Find<QLineEdit>("Password_Edit1");
  account->selectAll();
  QTest::keyClicks(account, "someone");
  QTest::keyClicks(password, "wrong");
  QTest::keyClick(password, Qt::Key_Return);
  EXPECT_EQ(rig.socket.opens, 1);
  EXPECT_EQ(rig.window->current_page(), Page::kChat);
  rig.socket.state = test::FakeSocket::State::kOpen;
  rig.window->Call([](Client& c) { c.OnConnected(); });
  rig.Receive("Username: ");
  rig.Receive("someone\r\nPassword: ");
  rig.Receive("\r\nLogin failed.\r\n\r\nUsername: ");
  EXPECT_EQ(rig.window->current_page(), Page::kSetup);
  EXPECT_EQ(rig.window->focusWidget(), password);
  EXPECT_EQ(password->selectedText(), "wrong");
}

TEST(WindowTest, ProfileCommandsReloadTheWholeWindow) {
  WindowRig rig;
  const std::filesystem::path users = rig.temp.path() / "Users";
  QString chosen;
  rig.window->hooks().ask_file = [&chosen](const QString&, const QString&, const QString& folder) {
    return folder + "/" + chosen;
  };
  QColor picked;
  rig.window->hooks().pick_color = [&picked](const QColor&) { return std::optional(picked); };
  auto* user = rig.Find<QLineEdit>("User_Edit1");
  auto* account = rig.Find<QLineEdit>("AccountName_Edit1");
  auto* password = rig.Find<QLineEdit>("Password_Edit1");
  auto* save = rig.Find<QCheckBox>("SavePassword_CheckBox1");
  auto* split = rig.Find<QSplitter>("Chat_Splitter1");
  auto* label = rig.Find<QLabel>("SyM_Colors_Label1");
  auto* split_at = rig.Find<QSpinBox>("SplitLongLines_Edit1");
  EXPECT_EQ(user->text(), "Default");
  EXPECT_EQ(split_at->value(), 160);
  EXPECT_TRUE(user->isReadOnly());
  EXPECT_EQ(split->sizes().value(0), 240);

  // Each profile gets its own account, password choice, colours and chat pane height.
  struct Setting {
    QString account;
    bool save_password;
    Color background;
    QColor category;
    int drag;
    int split_at;
  };
  const Setting first{"worker", true, kClNavy, QColor(Qt::red), -40, 120};
  const Setting second{"other", false, kClMaroon, QColor(Qt::blue), 30, 0};
  const auto apply = [&](const Setting& s) {
    Click(rig.Find<QWidget>("Setup_Image1"));
    account->selectAll();
    QTest::keyClicks(account, s.account);
    if (save->isChecked() != s.save_password) Click(save);
    password->selectAll();
    QTest::keyClicks(password, "pw");
    const Color background = s.background;
    rig.window->Call(
        [background](Client& c) { c.appearance().settings().background = background; });
    picked = s.category;
    Click(label);
    DragHandle(split, s.drag);
    rig.OpenOptions();
    split_at->setValue(s.split_at);
    EXPECT_EQ(rig.core->options().split_long_lines_at, s.split_at);
  };
  const auto shows = [&](const Setting& s, const QString& profile, int height) {
    EXPECT_EQ(user->text(), profile);
    EXPECT_EQ(account->text(), s.account);
    EXPECT_EQ(save->isChecked(), s.save_password);
    EXPECT_EQ(password->text(), s.save_password ? "pw" : "");
    EXPECT_EQ(label->palette().color(QPalette::WindowText), s.category);
    EXPECT_EQ(rig.window->chat_view().palette().color(QPalette::Base), Q(s.background));
    EXPECT_EQ(split->sizes().value(0), height);
    EXPECT_EQ(split_at->value(), s.split_at);
    EXPECT_EQ(split_at->text(), s.split_at == 0 ? "Off" : QString::number(s.split_at) + " bytes");
  };
  apply(first);
  EXPECT_EQ(rig.core->options().chat_height, 200);
  chosen = "Work.usr";
  Click(rig.Find<QWidget>("New_Image1"));
  EXPECT_EQ(user->text(), "Work");
  EXPECT_TRUE(std::filesystem::exists(users / "Work.usr"));
  apply(second);
  chosen = "Default.usr";
  Click(rig.Find<QWidget>("Open_Image1"));
  shows(first, "Default", 200);
  chosen = "Work.usr";
  Click(rig.Find<QWidget>("Open_Image1"));
  shows(second, "Work", 230);
  EXPECT_EQ(ProfileLine(users / "Work.usr", "s1="), "s1=230");
  EXPECT_EQ(ProfileLine(users / "Work.usr", "ql="), "ql=0");
  EXPECT_EQ(ProfileLine(users / "Work.usr", "ac="), "ac=");
  EXPECT_EQ(ProfileLine(users / "Default.usr", "ac="), "ac=pw");
  Click(rig.Find<QWidget>("Delete_Image1"));
  EXPECT_FALSE(std::filesystem::exists(users / "Work.usr"));
  shows(first, "Default", 200);
}

TEST(WindowTest, DraggingTheBackgroundMovesTheWindow) {
  WindowRig rig;
  const QPoint before = rig.window->pos();
  QTest::mousePress(rig.window.get(), Qt::LeftButton, {}, QPoint(320, 10));
  QMouseEvent move(QEvent::MouseMove, QPointF(350, 30), rig.window->mapToGlobal(QPointF(350, 30)),
                   Qt::NoButton, Qt::LeftButton, {});
  QApplication::sendEvent(rig.window.get(), &move);
  QTest::mouseRelease(rig.window.get(), Qt::LeftButton, {}, QPoint(350, 30));
  EXPECT_EQ(rig.window->pos(), before + QPoint(30, 20));
}

TEST(WindowTest, ABurstOfLinesIsPutInAndPaintedOnce) {
  WindowRig rig(kLoggedIn);
  auto& view = rig.window->chat_view();
  int paints = 0;
  struct Counter : QObject {
    int& count;
    explicit Counter(int& c) : count(c) {}
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++count;
      return false;
    }
  } counter(paints);
  view.viewport()->installEventFilter(&counter);
  rig.Settle();
  paints = 0;
  const int flushes = view.flush_count();
  std::string burst;
  for (int i = 0; i < 1000; ++i)
    burst += "1005 TALK bob 0010 \"line " + std::to_string(i) + "\"\r\n";
  rig.Receive(burst);
  EXPECT_EQ(view.flush_count(), flushes + 1);
  EXPECT_LE(paints, 1);
  EXPECT_EQ(LastLine(&view), "<bob> line 999");
  view.viewport()->removeEventFilter(&counter);
}

TEST(WindowTest, ProgressWindowFollowsTheCore) {
  WindowRig rig;
  rig.window->ShowProgress("Saving user database...", 3);
  rig.window->StepProgress();
  rig.window->StepProgress();
  EXPECT_TRUE(rig.window->progress_window().isVisible());
  EXPECT_EQ(rig.window->progress_window().value(), 2);
  rig.window->HideProgress();
  EXPECT_FALSE(rig.window->progress_window().isVisible());
}

TEST(WindowTest, ProfileWindowLimitsAndStores) {
  WindowRig rig(kLoggedIn);
  rig.window->ShowProfile("talvexbot", "talvexbot");
  ui::ProfileWindow& profile = rig.window->profile_window();
  EXPECT_EQ(profile.windowTitle(), "Information for talvexbot");
  auto* name = profile.findChild<QLineEdit*>("Name_Edit1");
  EXPECT_EQ(name->maxLength(), 20);
  EXPECT_EQ(profile.findChild<QLineEdit*>("Age_Edit1")->maxLength(), 3);
  EXPECT_FALSE(name->isReadOnly());
  name->setText("Tal");
  profile.findChild<QPlainTextEdit*>("Notes_Memo1")->setPlainText("one\ntwo");
  profile.findChild<QPlainTextEdit*>("Description_Memo1")->setPlainText(QString(300, 'x'));
  EXPECT_EQ(profile.findChild<QPlainTextEdit*>("Description_Memo1")->toPlainText().size(), 250);
  profile.close();
  EXPECT_EQ(rig.core->database().GetUserField("talvexbot", UserField::kNotes), "one<#>two");
  EXPECT_EQ(rig.core->database().GetUserField("talvexbot", UserField::kInformation).substr(0, 9),
            "Name=Tal;");
  rig.window->ShowProfile("bob", "talvexbot");
  EXPECT_TRUE(profile.findChild<QLineEdit*>("Name_Edit1")->isReadOnly());
  EXPECT_FALSE(profile.findChild<QPlainTextEdit*>("Notes_Memo1")->isReadOnly());
  profile.close();
}

TEST(WindowTest, AllUserIconsAreDrawnAndDistinct) {
  for (int i = 0; i < ui::kUserIconCount; ++i) {
    const QImage icon = ui::UserIcon(i);
    EXPECT_EQ(icon.size(), QSize(28, 14));
    for (int j = 0; j < i; ++j) EXPECT_NE(icon, ui::UserIcon(j)) << i << " " << j;
  }
  for (int i = 0; i < ui::kStatePictureCount; ++i) {
    for (int j = 0; j < i; ++j)
      EXPECT_NE(ui::StatePicture(i), ui::StatePicture(j)) << i << " " << j;
  }
}

// The adapters over every kind of change (rows put in before others, changed, taken out, the
// table replaced), checked by Qt's own model tester.
TEST(TableModelTest, TheWindowsAdaptersPassTheTester) {
  WindowRig rig(kLoggedIn);
  std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
  for (const char* name : {"Users_ListView1", "WhisperBox_ListBox1", "Icons_ListView1",
                           "CustomColors_ListView1", "Variables_ListView1"}) {
    auto* view = rig.Find<QAbstractItemView>(name);
    ASSERT_NE(view, nullptr) << name;
    testers.push_back(std::make_unique<QAbstractItemModelTester>(
        view->model(), QAbstractItemModelTester::FailureReportingMode::Fatal));
  }
  rig.Server("1001 USER bob 0010 [CHAT]");
  rig.Server("1002 JOIN carol 0000 [STAR]");
  rig.Server("1009 USER bob 0002 [CHAT]");
  rig.Server("1003 LEAVE bob 0002");
  rig.window->Call([](Client& c) {
    c.whisper_recipients().Append({"dave"});
    c.whisper_recipients().Insert(0, {"erin"});
    c.whisper_recipients().SetCell(1, 0, "frank");
    AddCustomColor(c.custom_colors(), "word", kClRed);
    AddCustomColor(c.custom_colors(), "WORD", kClBlue);  // a changed row
    c.appearance().tray_icons().SetCaption(6, "DND");
  });
  rig.window->Call([](Client& c) {
    c.custom_colors().Remove(0);
    c.whisper_recipients().Remove(0);
    c.custom_colors().Assign({{"p", "clRed"}, {"r", "clBlue"}});
  });
  const QAbstractItemModel* box = rig.Find<QAbstractItemView>("WhisperBox_ListBox1")->model();
  ASSERT_EQ(box->rowCount(), 1);
  EXPECT_EQ(box->index(0, 0).data().toString(), "frank");
  EXPECT_EQ(rig.Find<QAbstractItemView>("CustomColors_ListView1")->model()->rowCount(), 2);
  rig.Server("1007 CHANNEL \"Elsewhere\"");
  EXPECT_EQ(rig.Find<QAbstractItemView>("Users_ListView1")->model()->rowCount(),
            rig.core->users().RowCount());
}

}  // namespace
}  // namespace tc::gui
