#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <system_error>

#include "common/text.h"
#include "ui/art.h"
#include "ui/fonts.h"
#include "ui/owned.h"
#include "ui/profile_window.h"
#include "ui/progress_window.h"
#include "ui/text_conv.h"

namespace tc::ui {

namespace {

constexpr int kClientWidth = 640;
constexpr int kClientHeight = 470;
const QRect kPageArea(4, 52, 632, 414);

struct PageTab {
  Page page;
  const char* name;
  const char* caption;
};
constexpr std::array<PageTab, 6> kPageTabs = {{{Page::kChat, "Chat", "Chat"},
                                               {Page::kBrowser, "Browser", "Browser"},
                                               {Page::kChannels, "Channels", "Channels"},
                                               {Page::kMonitor, "Monitor", "Monitor"},
                                               {Page::kOptions, "Options", "Options"},
                                               {Page::kSetup, "Setup", "Setup"}}};

const char* PanelName(Page page) {
  switch (page) {
    case Page::kChat:
      return "Chat_Panel1";
    case Page::kBrowser:
      return "Browser_Panel1";
    case Page::kChannels:
      return "Channels_Panel1";
    case Page::kMonitor:
      return "Special_Panel1";
    case Page::kOptions:
      return "Options_Panel1";
    case Page::kSetup:
      return "Setup_Panel1";
  }
  return "";
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::Window),
      tray_available_(QSystemTrayIcon::isSystemTrayAvailable()) {
  setObjectName(QStringLiteral("TalvexChat_Form"));
  setWindowTitle(QStringLiteral("Talvex Chat 2000"));
  setFixedSize(kClientWidth, kClientHeight);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  pal.setColor(QPalette::WindowText, Qt::white);
  setPalette(pal);
  setAutoFillBackground(true);
  QFont base(QStringLiteral("Arial"));
  base.setPixelSize(12);
  setFont(base);
  setWindowIcon(ProgramIcon());
  ApplyDialogColors();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
  }

  progress_ = std::make_unique<ProgressWindow>();
  profile_ = std::make_unique<ProfileWindow>();
  BuildFrame();

  tray_menu_ = std::make_unique<QMenu>();
  QAction* restore = tray_menu_->addAction(QStringLiteral("Restore"));
  restore->setObjectName(QStringLiteral("Restore1"));
  connect(restore, &QAction::triggered, this, [this] { Restore1Click(); });
  QAction* exit = tray_menu_->addAction(QStringLiteral("Exit"));
  exit->setObjectName(QStringLiteral("Exit1"));
  connect(exit, &QAction::triggered, this, [this] { Exit_Image1Click(); });
  tray_.setContextMenu(tray_menu_.get());
  tray_.setToolTip(QStringLiteral("Talvex Chat 2000"));
  tray_.setIcon(QIcon(QPixmap::fromImage(StatePicture(0, 32))));
  connect(&tray_, &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick) Restore1Click();
          });
}

MainWindow::~MainWindow() {
  Detach();
}

void MainWindow::Detach() {
  // The models listen to the core's tables: they go before the core does.
  const std::array<QAbstractItemView*, 5> views = {users_view_, recipients_view_, cc_view_,
                                                   tray_list_, timers_view_};
  for (QAbstractItemView* view : views) {
    if (view != nullptr) view->setModel(nullptr);
  }
  users_model_.reset();
  recipients_model_.reset();
  custom_colors_model_.reset();
  tray_model_.reset();
  if (keys_view_ != nullptr) keys_view_->setModel(nullptr);
  keys_model_.reset();
  DetachVariables();
  timers_model_.reset();
  profile_->Attach(nullptr);
  core_ = nullptr;
}

void MainWindow::Attach(Client& core, Caller caller, std::function<void()> shutdown) {
  core_ = &core;
  caller_ = std::move(caller);
  shutdown_ = std::move(shutdown);
  profile_->Attach(core, [this](const Action& action) { Call(action); });
  AttachModels();
}

void MainWindow::Call(const Action& action) {
  if (core_ == nullptr || closed_) return;
  const bool outer = !in_call_;
  in_call_ = true;
  caller_(action);
  if (outer) {
    in_call_ = false;
    AfterCall();
  }
}

void MainWindow::AfterCall() {
  SyncInputsFromCore();
  if (recipients_view_ != nullptr && core_ != nullptr) {
    send_edit2_->setEnabled(!core_->whisper_recipients().Empty());
  }
}

SkinButton* MainWindow::MakeButton(QWidget* parent, const QString& name, const QString& caption,
                                   const QRect& geometry) {
  SkinButton* button = Owned<SkinButton>(name, caption, parent);
  button->setGeometry(geometry);
  skinned_.push_back(button);
  return button;
}

QWidget* MainWindow::MakePage(const QString& name) {
  QWidget* page = Owned<QWidget>(this);
  page->setObjectName(name);
  page->setGeometry(kPageArea);
  page->hide();
  return page;
}

void MainWindow::BuildFrame() {
  QLabel* title = Owned<QLabel>(QStringLiteral("Talvex Chat 2000"), this);
  title->setObjectName(QStringLiteral("Title_Label1"));
  title->setGeometry(10, 3, 300, 20);
  title->setAttribute(Qt::WA_TransparentForMouseEvents);
  QFont title_font = font();
  title_font.setBold(true);
  title_font.setPixelSize(14);
  title->setFont(title_font);

  SkinButton* minimize =
      MakeButton(this, QStringLiteral("Minimize_Image1"), QStringLiteral("_"), {588, 3, 22, 18});
  connect(minimize, &QAbstractButton::clicked, this, [this] { Minimize_Image1Click(); });
  SkinButton* exit =
      MakeButton(this, QStringLiteral("Exit_Image1"), QStringLiteral("X"), {614, 3, 22, 18});
  connect(exit, &QAbstractButton::clicked, this, [this] { Exit_Image1Click(); });

  int x = 4;
  for (const PageTab& tab : kPageTabs) {
    SkinButton* button = MakeButton(this, QString::fromLatin1(tab.name) + "_Image1",
                                    QString::fromLatin1(tab.caption), {x, 28, 72, 20});
    const Page page = tab.page;
    connect(button, &QAbstractButton::clicked, this, [this, page] { DisplayPanel(page); });
    x += 76;
  }
  // The bar's own Exit entry, beside the page tabs: the same shutdown as the "X".
  SkinButton* exit_entry =
      MakeButton(this, QStringLiteral("Script_Image1"), QStringLiteral("Exit"), {x, 28, 72, 20});
  connect(exit_entry, &QAbstractButton::clicked, this, [this] { Exit_Image1Click(); });
  connect_button_ = MakeButton(this, QStringLiteral("Connect_Image1"), QStringLiteral("Connect"),
                               {546, 28, 90, 20});
  connect(connect_button_, &QAbstractButton::clicked, this,
          [this] { Call([](Client& core) { core.ToggleConnection(); }); });

  for (const PageTab& tab : kPageTabs) pages_[tab.page] = MakePage(PanelName(tab.page));
  BuildChatPage(pages_[Page::kChat]);
  BuildSetupPage(pages_[Page::kSetup]);
  BuildOptionsPage(pages_[Page::kOptions]);
  DisplayPanel(Page::kChat);
  DisplayOptionPanel(OptionPage::kGeneral);
}

void MainWindow::DisplayPanel(Page page) {
  page_ = page;
  for (const auto& [p, widget] : pages_) widget->setVisible(p == page);
}

void MainWindow::DisplayOptionPanel(OptionPage page) {
  for (const auto& [p, widget] : option_pages_) widget->setVisible(p == page);
}

void MainWindow::ActivateOnce() {
  if (activated_ || core_ == nullptr) return;
  activated_ = true;
  UpdateGUI(true);
  UpdateGUI(false);
  UpdateFonts();
  ApplyChatHeight();
  Call([](Client& core) { core.Activate(); });
  LoadControls();
}

bool MainWindow::event(QEvent* event) {
  // The first activation loads the database and may connect: it waits for the first paint, so
  // that the window is on screen before that work begins.
  if (event->type() == QEvent::WindowActivate && painted_) ActivateOnce();
  if (event->type() == QEvent::Show && !activated_) {
    // A window that is never painted (fully covered) or never activated still gets its first
    // activation.
    QTimer::singleShot(kActivationFallbackMs, this, [this] { ActivateOnce(); });
  }
  return QWidget::event(event);
}

void MainWindow::changeEvent(QEvent* event) {
  // Minimised from outside (task bar, window menu): to the tray when that is the option.
  if (event->type() == QEvent::WindowStateChange && isMinimized() && core_ != nullptr &&
      core_->options().tray && tray_available_) {
    QTimer::singleShot(0, this, [this] {
      ShowTray(true);
      hide();
    });
  }
  QWidget::changeEvent(event);
}

void MainWindow::Minimize_Image1Click() {
  if (!tray_available_) {
    // Nowhere to come back from: a normal minimise.
    showMinimized();
    return;
  }
  ShowTray(true);
  hide();
}

void MainWindow::ShowTray(bool shown) {
  tray_shown_ = shown;
  // Only a real tray gets the icon; without one the window never hides (see Minimize_Image1Click).
  if (QSystemTrayIcon::isSystemTrayAvailable()) tray_.setVisible(shown);
}

void MainWindow::Restore1Click() {
  ShowTray(false);
  showNormal();
  raise();
  activateWindow();
}

void MainWindow::Exit_Image1Click() {
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!closed_) {
    chat_view_->Flush();
    if (shutdown_) shutdown_();
    closed_ = true;
    ShowTray(false);
    profile_->close();
    progress_->hide();
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  }
  event->accept();
}

void MainWindow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor back =
      core_ != nullptr ? ToQColor(core_->appearance().settings().background) : QColor(Qt::black);
  p.fillRect(rect(), back);
  if (!background_.isNull()) p.drawPixmap(0, 0, background_);
  if (!painted_) {
    painted_ = true;
    // Also the first activation where a platform never activates windows (offscreen, no WM);
    // the sync hands the painted window to the display before the work starts.
    QTimer::singleShot(0, this, [this] {
      QGuiApplication::sync();
      ActivateOnce();
    });
  }
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    dragging_ = true;
    drag_offset_ = event->position();
  }
  QWidget::mousePressEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) {
    const QPointF delta = event->position() - drag_offset_;
    move(pos() + delta.toPoint());
  }
  QWidget::mouseMoveEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
  dragging_ = false;
  QWidget::mouseReleaseEvent(event);
}

void MainWindow::Update_Buttons(const std::string& background_path,
                                const std::string& buttons_path) {
  if (core_ == nullptr) return;
  const std::filesystem::path dir = core_->program_dir();
  const auto resolve = [&dir](const std::string& path, const char* folder) {
    std::error_code ec;
    if (!path.empty() && std::filesystem::exists(path, ec)) return std::filesystem::path(path);
    return dir / "Skins" / folder / "Default.bmp";
  };
  const std::filesystem::path background = resolve(background_path, "Backgrounds");
  const std::filesystem::path buttons = resolve(buttons_path, "Buttons");
  QPixmap picture;
  if (picture.load(QString::fromStdString(background.string()))) {
    background_ = picture;
    update();
  } else {
    ShowMessage("Unable to open file: " + background.string());
  }
  if (picture.load(QString::fromStdString(buttons.string()))) {
    button_skin_ = picture;
    for (SkinButton* button : skinned_) button->SetSkin(button_skin_);
  } else {
    ShowMessage("Unable to open file: " + buttons.string());
  }
}

void MainWindow::UpdateGUI(bool buttons) {
  if (core_ == nullptr) return;
  const AppearanceSettings& look = core_->appearance().settings();
  if (buttons) {
    const QFont font = ToQFont(look.buttons_font);
    for (SkinButton* button : skinned_) {
      button->setFont(font);
      button->SetColors(ToQColor(look.buttons_text), ToQColor(look.buttons_hover));
    }
  } else {
    QFont font = ToQFont(look.text_font);
    for (QWidget* widget : findChildren<QLabel*>()) widget->setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, ToQColor(look.text));
    setPalette(pal);
    ApplyDialogColors();
  }
  const QFont text_font = ToQFont(look.text_font);
  chat_view_->SetTextFont(text_font);
  whisper_view_->SetTextFont(text_font);
  chat_view_->SetBackground(ToQColor(look.background));
  whisper_view_->SetBackground(ToQColor(look.background));
  update();
  UpdateFonts();
}

QPalette DialogPalette(const QColor& back, const QColor& text) {
  const auto mix = [&back, &text](int percent) {
    const auto part = [percent](int b, int t) { return b + (t - b) * percent / 100; };
    return QColor(part(back.red(), text.red()), part(back.green(), text.green()),
                  part(back.blue(), text.blue()));
  };
  QPalette pal;
  for (const auto role : {QPalette::Window, QPalette::Base, QPalette::AlternateBase}) {
    pal.setColor(role, role == QPalette::Window ? back : mix(8));
  }
  pal.setColor(QPalette::Button, mix(18));
  pal.setColor(QPalette::ToolTipBase, mix(18));
  for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                          QPalette::BrightText, QPalette::ToolTipText, QPalette::HighlightedText}) {
    pal.setColor(role, text);
  }
  pal.setColor(QPalette::Highlight, QColor(0x40, 0x48, 0x6a));
  pal.setColor(QPalette::PlaceholderText, mix(50));
  for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
    pal.setColor(QPalette::Disabled, role, mix(45));
  }
  return pal;
}

void MainWindow::ApplyDialogColors() {
  // Message boxes, the file, colour and text dialogs and the plain controls wear the window's
  // colours instead of the desktop's light ones.
  const QColor back =
      core_ != nullptr ? ToQColor(core_->appearance().settings().background) : QColor(Qt::black);
  const QColor text =
      core_ != nullptr ? ToQColor(core_->appearance().settings().text) : QColor(Qt::white);
  QApplication::setPalette(DialogPalette(back, text));
}

void MainWindow::RunProfileCommand(const Action& command) {
  Call(command);
  ReloadProfile();
}

void MainWindow::ReloadProfile() {
  if (core_ == nullptr) return;
  const AppearanceSettings& look = core_->appearance().settings();
  Update_Buttons(look.background_skin, look.buttons_skin);
  UpdateGUI(true);
  UpdateGUI(false);
  ApplyChatHeight();
  RefreshStatePictures();
  LoadControls();
}

// Frontend --------------------------------------------------------------------------------------

void MainWindow::AppendLine(View view, const StyledLine& line) {
  (view == View::kChat ? chat_view_ : whisper_view_)->AppendStyled(line);
}

void MainWindow::ClearView(View view) {
  (view == View::kChat ? chat_view_ : whisper_view_)->ClearAll();
}

void MainWindow::ShowMessage(const std::string& text) {
  const QString message = QtText(text);
  messages_.push_back(message);
  if (hooks_.message) {
    hooks_.message(message);
    return;
  }
  // Not modal: the core goes on, as after an OK box.
  QMessageBox* box = Owned<QMessageBox>(QMessageBox::NoIcon, QStringLiteral("Talvex Chat 2000"),
                                        message, QMessageBox::Ok, isVisible() ? this : nullptr);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void MainWindow::ShowPage(Page page) {
  DisplayPanel(page);
  // The core shows the Setup page for a missing or refused login: the field to fix takes the keys.
  if (page != Page::kSetup || account_edit_ == nullptr) return;
  QLineEdit* fix = account_edit_->text().isEmpty() ? account_edit_ : password_edit_;
  fix->selectAll();
  fix->setFocus(Qt::OtherFocusReason);
}

void MainWindow::ShowProgress(const std::string& caption, int maximum) {
  progress_->Start(QtText(caption), maximum);
}

void MainWindow::StepProgress() {
  progress_->Step();
}

void MainWindow::HideProgress() {
  progress_->hide();
}

QPixmap MainWindow::StatePixmap(const std::string& state) const {
  const int picture = core_ != nullptr ? core_->appearance().tray_icons().PictureFor(state) : -1;
  if (picture < 0) return {};
  return QPixmap::fromImage(StatePicture(picture, 16));
}

void MainWindow::ShowClientState(const std::string& state) {
  client_state_ = state;
  RefreshStatePictures();
  state_label_->setText(QtText(state));
  state_icon_->setToolTip(QtText(state) + QStringLiteral(" (Right click to change)"));
}

void MainWindow::RefreshStatePictures() {
  state_icon_->setPixmap(StatePixmap(client_state_));
  const int picture =
      core_ != nullptr ? core_->appearance().tray_icons().PictureFor(client_state_) : -1;
  if (picture >= 0) tray_.setIcon(QIcon(QPixmap::fromImage(StatePicture(picture, 32))));
  static constexpr std::array<const char*, 4> kStates = {"Available", "Away", "DND", "Operator"};
  for (size_t i = 0; i < kStates.size(); ++i) {
    state_actions_[i]->setIcon(QIcon(StatePixmap(kStates[i])));
  }
}

void MainWindow::ShowProfile(const std::string& account, const std::string& own_account) {
  profile_->Open(account, own_account);
}

void MainWindow::ConnectCaptionChanged(const std::string& caption) {
  connect_button_->setText(QtText(caption));
}

void MainWindow::ChannelFieldChanged(const std::string& text) {
  channel_edit_->setText(QtText(text));
}

void MainWindow::Beep() {
  QApplication::beep();
}

void MainWindow::CloseMainWindow() {
  QTimer::singleShot(0, this, [this] { close(); });
}

void MainWindow::OpenFile(const std::string& path, const std::string& folder) {
  if (hooks_.open_file) {
    hooks_.open_file(QtText(path), QtText(folder));
    return;
  }
  // The desktop's own opener, as the shell's default verb.
  QProcess::startDetached(QStringLiteral("xdg-open"), {QtText(path)}, QtText(folder));
}

// The desktop's own dialogs would ignore the window's colours.
constexpr QFileDialog::Options kOwnDialog = QFileDialog::DontUseNativeDialog;

std::string MainWindow::AskFileName(const std::string& title, const std::string& filter,
                                    const std::filesystem::path& folder) {
  // "User Files (*.usr)|*.usr": the part before "|" is the Qt form.
  QString qt_filter = QtText(filter);
  if (const qsizetype bar = qt_filter.indexOf(QLatin1Char('|')); bar >= 0) {
    qt_filter.truncate(bar);
  }
  const QString start = QString::fromStdString(folder.string());
  const QString chosen = hooks_.ask_file
                             ? hooks_.ask_file(QtText(title), qt_filter, start)
                             : QFileDialog::getOpenFileName(this, QtText(title), start, qt_filter,
                                                            nullptr, kOwnDialog);
  return chosen.toStdString();
}

bool MainWindow::AskOkCancel(const std::string& text, const std::string& title) {
  if (hooks_.ok_cancel) return hooks_.ok_cancel(QtText(text), QtText(title));
  return QMessageBox::question(this, QtText(title), QtText(text),
                               QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

}  // namespace tc::ui
