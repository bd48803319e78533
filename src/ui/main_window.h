// The main window: a borderless, skinned 640 x 470 window that is the core's Frontend. Every
// widget shows core state and every action goes to the core through Call(); nothing here is the
// only copy of anything the program keeps.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPalette>
#include <QPixmap>
#include <QPointF>
#include <QSystemTrayIcon>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/client.h"
#include "ports/ports.h"
#include "ui/chat_view.h"
#include "ui/presenters.h"
#include "ui/skin_button.h"
#include "ui/table_model.h"

class QCheckBox;
class QDialog;
class QLineEdit;
class QSpinBox;
class QSplitter;
class QTreeView;

namespace tc::ui {

class ProfileWindow;
class ProgressWindow;

// Choices a person makes in a dialog; tests replace them so that nothing blocks.
struct DialogHooks {
  std::function<std::optional<QColor>(const QColor& initial)> pick_color;
  std::function<std::optional<QString>(const QString& title, const QString& prompt)> ask_text;
  // A message box; when set, replaces the box.
  std::function<void(const QString& text)> message;
  std::function<bool(const QString& text, const QString& title)> ok_cancel;
  std::function<QString(const QString& title, const QString& filter, const QString& folder)>
      ask_file;
  std::function<void(const QString& path, const QString& folder)> open_file;
};

// The colours of every dialog and plain control: the window's background and text, with the
// fields and buttons a shade towards the text.
QPalette DialogPalette(const QColor& background, const QColor& text);

enum class OptionPage {
  kGeneral,
  kColors,
  kVariables,
  kGui,
  kKeysEvents,
  kTimer,
  kUsers,
  kDataBase
};

class MainWindow : public QWidget, public Frontend {
 public:
  using Action = std::function<void(Client&)>;
  using Caller = std::function<void(const Action&)>;

  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // Connects the window to its core. `caller` runs an action on the core (the driver's Call);
  // `shutdown` runs Shutdown once. Call before the window is shown.
  void Attach(Client& core, Caller caller, std::function<void()> shutdown);
  void Call(const Action& action);
  // Lets go of the core's tables; call before the core goes away.
  void Detach();

  DialogHooks& hooks() { return hooks_; }
  const std::vector<QString>& messages() const { return messages_; }
  ChatView& chat_view() { return *chat_view_; }
  ChatView& whisper_view() { return *whisper_view_; }
  ProfileWindow& profile_window() { return *profile_; }
  ProgressWindow& progress_window() { return *progress_; }
  QSystemTrayIcon& tray_icon() { return tray_; }
  bool tray_shown() const { return tray_shown_; }
  QMenu& tray_menu() { return *tray_menu_; }
  bool tray_available() const { return tray_available_; }
  void set_tray_available(bool available) { tray_available_ = available; }

  // Page switching.
  void DisplayPanel(Page page);
  void DisplayOptionPanel(OptionPage page);
  Page current_page() const { return page_; }

  // Part of the window's own behaviour.
  void Minimize_Image1Click();
  void Restore1Click();
  void Exit_Image1Click();
  void Update_Buttons(const std::string& background_path, const std::string& buttons_path);
  void UpdateFonts();
  void UpdateGUI(bool buttons);
  // Controls show the core's options (after the settings were read, or a run's overrides).
  void LoadControls();
  // After a profile read: every control, the skins, fonts and colours and the chat pane's height.
  void ReloadProfile();
  // The chat pane takes the height the profile holds ("s1=").
  void ApplyChatHeight();

  // Frontend
  void AppendLine(View view, const StyledLine& line) override;
  void ClearView(View view) override;
  void ShowMessage(const std::string& text) override;
  void ShowPage(Page page) override;
  void ShowProgress(const std::string& caption, int maximum) override;
  void StepProgress() override;
  void HideProgress() override;
  void ShowClientState(const std::string& state) override;
  void ShowProfile(const std::string& account, const std::string& own_account) override;
  void ConnectCaptionChanged(const std::string& caption) override;
  void ChannelFieldChanged(const std::string& text) override;
  void Beep() override;
  void CloseMainWindow() override;
  void OpenFile(const std::string& path, const std::string& folder) override;
  std::string AskFileName(const std::string& title, const std::string& filter,
                          const std::filesystem::path& folder) override;
  bool AskOkCancel(const std::string& text, const std::string& title) override;
  // The message box or the Setup page has said it; the window waits for the user.
  void LoginStopped(LoginStop) override {}

 protected:
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  SkinButton* MakeButton(QWidget* parent, const QString& name, const QString& caption,
                         const QRect& geometry);
  QWidget* MakePage(const QString& name);
  void BuildFrame();
  void BuildChatPage(QWidget* page);
  void BuildSetupPage(QWidget* page);
  void BuildProfileControls(QWidget* page);
  void BuildOptionsPage(QWidget* page);
  void BuildGeneralPage(QWidget* page);
  void BuildColorsPage(QWidget* page);
  void BuildGuiPage(QWidget* page);
  // Keys/Events page (keys_page.cpp).
  void BuildKeysPage(QWidget* page);
  void BuildAppliesToBoxes(QWidget* page);
  void BuildKeyTestDialog();
  void AttachKeysModel();
  KeyRow KeyEditorFields() const;
  void ShowKeyInEditor(const KeyRow& row);
  int SelectedKey() const;
  void SelectKey(int row);
  void RunKeyCommand(const std::function<int(Table<KeyRow>&, int)>& command);
  void BuildVariablesPage(QWidget* page);
  void BuildQuickButtons(QWidget* page);
  // timer_page.cpp: the Timer page, and the anti-idle and auto-away rows of the General page
  // from the top left corner `at`.
  void BuildTimerPage(QWidget* page);
  void AttachTimerModel();
  TimerPanel ReadTimerPanel() const;
  void BuildIdleAwayControls(QWidget* page, QPoint at);
  void AttachModels();
  void AttachVariables();
  void DetachVariables();
  void ActivateOnce();
  void AfterCall();
  void SyncInputsFromCore();
  void SyncInputToCore(int box);
  std::string SelectedUser() const;
  void ShowUsersMenu(const QPoint& global);
  void AddWhisperUser(const QString& name, Client::RecipientSource source);
  void PickCategoryColor(int category);
  void RefreshStatePictures();
  void ApplyDialogColors();
  void RunProfileCommand(const Action& command);
  void ShowTray(bool shown);
  QPixmap StatePixmap(const std::string& state) const;

  Client* core_ = nullptr;
  Caller caller_;
  std::function<void()> shutdown_;
  DialogHooks hooks_;
  std::vector<QString> messages_;
  static constexpr int kActivationFallbackMs = 250;
  bool activated_ = false;
  bool painted_ = false;
  bool closed_ = false;
  bool in_call_ = false;
  bool tray_available_ = false;
  bool tray_shown_ = false;

  // Drag state of the borderless window.
  bool dragging_ = false;
  QPointF drag_offset_;

  QPixmap background_;
  QPixmap button_skin_;
  std::vector<SkinButton*> skinned_;
  Page page_ = Page::kChat;
  std::map<Page, QWidget*> pages_;
  std::map<OptionPage, QWidget*> option_pages_;
  std::string client_state_ = "Disconnected";

  // Chat page
  QSplitter* chat_split_ = nullptr;
  ChatView* chat_view_ = nullptr;
  ChatView* whisper_view_ = nullptr;
  QListView* users_view_ = nullptr;
  QListView* recipients_view_ = nullptr;
  QComboBox* send_edit1_ = nullptr;
  QComboBox* send_edit2_ = nullptr;
  QLabel* channel_edit_ = nullptr;
  QLabel* state_icon_ = nullptr;
  QLabel* state_label_ = nullptr;
  SkinButton* connect_button_ = nullptr;
  // What Enter in each input box presses: Send, and the whisper input's Whisper.
  std::array<SkinButton*, 2> enter_buttons_{};
  QMenu* users_menu_ = nullptr;
  QMenu* state_menu_ = nullptr;
  QMenu* recipients_menu_ = nullptr;
  std::array<QAction*, 4> state_actions_{};

  // Colours page
  std::array<QLabel*, kCategoryCount> color_labels_{};
  QListView* tray_list_ = nullptr;
  QComboBox* tray_combo_ = nullptr;
  QLineEdit* cc_text_ = nullptr;
  QColor cc_color_{Qt::white};
  QTreeView* cc_view_ = nullptr;

  // Keys/Events page: the list, the editor's fields (key text, action, applies to, applies on,
  // history), its state box, the applies-to boxes and the Test dialog.
  QTreeView* keys_view_ = nullptr;
  std::array<QLineEdit*, 5> key_edits_{};
  QCheckBox* key_state_ = nullptr;
  std::vector<QCheckBox*> applies_boxes_;
  QMenu* keys_menu_ = nullptr;
  QDialog* key_test_ = nullptr;
  // Variables page and the quick buttons (Quick_Image1.., Quick_Label1..)
  QTreeView* variables_view_ = nullptr;
  QLineEdit* variable_edit_ = nullptr;
  QLineEdit* value_edit_ = nullptr;
  std::array<QWidget*, Macros::kCount> quick_images_{};
  std::array<QLabel*, Macros::kCount> quick_labels_{};
  int macro_listener_ = 0;
  // Timer page
  QTreeView* timers_view_ = nullptr;
  QSpinBox* timer_interval_ = nullptr;
  QLineEdit* timer_action_ = nullptr;
  QCheckBox* timer_switch_ = nullptr;
  std::array<QCheckBox*, 4> timer_states_{};  // Operator, Away, DND, Available

  // Setup page
  QLineEdit* account_edit_ = nullptr;
  QLineEdit* password_edit_ = nullptr;

  // Setup and General pages: each control with how it reads its option.
  std::vector<std::function<void()>> loaders_;

  QSystemTrayIcon tray_;
  std::unique_ptr<QMenu> tray_menu_;
  std::unique_ptr<ProgressWindow> progress_;
  std::unique_ptr<ProfileWindow> profile_;

  std::unique_ptr<TableModel<TextTable>> users_model_;
  std::unique_ptr<TableModel<TextTable>> recipients_model_;
  std::unique_ptr<TableModel<Table<CustomColorRow>>> custom_colors_model_;
  std::unique_ptr<TableModel<TextTable>> tray_model_;
  std::unique_ptr<TableModel<Table<KeyRow>>> keys_model_;
  std::unique_ptr<TableModel<Table<VariableRow>>> variables_model_;
  std::unique_ptr<TableModel<Table<TimerRow>>> timers_model_;
};

}  // namespace tc::ui
