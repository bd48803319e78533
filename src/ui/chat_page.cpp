// The chat page: the two views, the user list, the whisper box, the inputs and their buttons,
// the state icon and its menu.
#include <QAction>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSplitter>
#include <QTreeView>
#include <algorithm>

#include "common/text.h"
#include "send/user_popup.h"
#include "ui/main_window.h"
#include "ui/owned.h"
#include "ui/text_conv.h"

namespace tc::ui {

namespace {

// The chat column above the quick buttons' strip.
constexpr int kSplitHeight = 306;
constexpr int kSplitHandle = 4;
constexpr int kMinPane = 30;

void StyleList(QAbstractItemView* view) {
  QPalette pal = view->palette();
  pal.setColor(QPalette::Base, Qt::black);
  pal.setColor(QPalette::Text, QColor(0xC0, 0xC0, 0xC0));
  view->setPalette(pal);
}

QComboBox* MakeInput(QWidget* page, const QString& name, const QRect& geometry) {
  QComboBox* box = Owned<QComboBox>(page);
  box->setObjectName(name);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setMaxCount(25);
  box->setGeometry(geometry);
  box->lineEdit()->setObjectName(name + QStringLiteral("_Line"));
  return box;
}

}  // namespace

void MainWindow::BuildChatPage(QWidget* page) {
  // The chat and whisper panes share their column; the chat pane's height is the profile's.
  chat_split_ = Owned<QSplitter>(Qt::Vertical, page);
  chat_split_->setObjectName(QStringLiteral("Chat_Splitter1"));
  chat_split_->setGeometry(0, 0, 446, kSplitHeight);
  chat_split_->setHandleWidth(kSplitHandle);
  chat_split_->setChildrenCollapsible(false);
  chat_view_ = Owned<ChatView>(chat_split_);
  chat_view_->setObjectName(QStringLiteral("Chat_RichTextBox1"));
  chat_view_->setMinimumHeight(kMinPane);
  whisper_view_ = Owned<ChatView>(chat_split_);
  whisper_view_->setObjectName(QStringLiteral("WhisperBox_RichTextBox1"));
  whisper_view_->setMinimumHeight(kMinPane);
  chat_split_->addWidget(chat_view_);
  chat_split_->addWidget(whisper_view_);
  chat_split_->setSizes({240, kSplitHeight - kSplitHandle - 240});
  connect(chat_split_, &QSplitter::splitterMoved, this, [this](int, int) {
    const int height = chat_split_->sizes().value(0);
    Call([height](Client& core) { core.options().chat_height = height; });
  });

  BuildQuickButtons(page);
  send_edit2_ = MakeInput(page, QStringLiteral("Send_Edit2"), {0, 334, 366, 22});
  send_edit2_->setEnabled(false);
  SkinButton* whisper2 = MakeButton(page, QStringLiteral("Whisper_Image2"),
                                    QStringLiteral("Whisper"), {370, 335, 76, 20});
  connect(whisper2, &QAbstractButton::clicked, this, [this] {
    SyncInputToCore(2);
    const std::string user = SelectedUser();
    Call([&user](Client& core) { core.WhisperBoxTo(user); });
  });
  send_edit1_ = MakeInput(page, QStringLiteral("Send_Edit1"), {0, 360, 446, 22});

  SkinButton* send =
      MakeButton(page, QStringLiteral("Send_Image1"), QStringLiteral("Send"), {0, 388, 90, 22});
  connect(send, &QAbstractButton::clicked, this, [this] {
    SyncInputToCore(1);
    SyncInputToCore(2);
    Call([](Client& core) { core.SendActiveInput(); });
  });
  SkinButton* whisper = MakeButton(page, QStringLiteral("Whisper_Image1"),
                                   QStringLiteral("Whisper"), {94, 388, 90, 22});
  connect(whisper, &QAbstractButton::clicked, this, [this] {
    SyncInputToCore(1);
    SyncInputToCore(2);
    const std::string user = SelectedUser();
    Call([&user](Client& core) { core.WhisperActiveInputTo(user); });
  });
  SkinButton* emote =
      MakeButton(page, QStringLiteral("Emote_Image1"), QStringLiteral("Emote"), {188, 388, 90, 22});
  connect(emote, &QAbstractButton::clicked, this, [this] {
    SyncInputToCore(1);
    SyncInputToCore(2);
    Call([](Client& core) { core.EmoteActiveInput(); });
  });
  enter_buttons_ = {send, whisper2};
  for (QComboBox* box : {send_edit1_, send_edit2_}) {
    box->lineEdit()->installEventFilter(this);
    box->installEventFilter(this);
  }

  channel_edit_ = Owned<QLabel>(page);
  channel_edit_->setObjectName(QStringLiteral("Channel_Edit1"));
  channel_edit_->setGeometry(450, 0, 182, 20);
  channel_edit_->setAlignment(Qt::AlignCenter);
  channel_edit_->setStyleSheet(QStringLiteral("border: 1px solid #40486a; color: white;"));

  users_view_ = Owned<QListView>(page);
  users_view_->setObjectName(QStringLiteral("Users_ListView1"));
  users_view_->setGeometry(450, 22, 182, 226);
  users_view_->setIconSize(QSize(28, 14));
  users_view_->setDragEnabled(true);
  users_view_->setDragDropMode(QAbstractItemView::DragOnly);
  users_view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  users_view_->setContextMenuPolicy(Qt::CustomContextMenu);
  StyleList(users_view_);
  connect(users_view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    const QModelIndex index = users_view_->indexAt(pos);
    if (index.isValid()) users_view_->setCurrentIndex(index);
    ShowUsersMenu(users_view_->viewport()->mapToGlobal(pos));
  });
  connect(users_view_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex&) {
    SyncInputToCore(1);
    SyncInputToCore(2);
    const std::string user = SelectedUser();
    Call([&user](Client& core) { core.InsertUserName(user); });
  });

  users_menu_ = Owned<QMenu>(this);
  users_menu_->setObjectName(QStringLiteral("Users_PopupMenu1"));
  for (const UserPopupEntry& entry : kUserPopupEntries) {
    const std::string caption(entry.caption);
    QAction* action = users_menu_->addAction(QString::fromStdString(caption));
    action->setObjectName(QString::fromStdString(caption));
    connect(action, &QAction::triggered, this, [this, caption] {
      const std::string user = SelectedUser();
      Call([&](Client& core) { core.UsersPopupCommand(caption, user); });
    });
  }
  users_menu_->addSeparator();
  QAction* clear_chat = users_menu_->addAction(QStringLiteral("Clear Chat Buffer"));
  clear_chat->setObjectName(QStringLiteral("ClearChatBuffer1"));
  connect(clear_chat, &QAction::triggered, this,
          [this] { Call([](Client& core) { core.ClearChatView(); }); });
  QAction* clear_whisper = users_menu_->addAction(QStringLiteral("Clear Whisper Buffer"));
  clear_whisper->setObjectName(QStringLiteral("ClearWhisperBuffer1"));
  connect(clear_whisper, &QAction::triggered, this,
          [this] { Call([](Client& core) { core.ClearWhisperView(); }); });

  state_icon_ = Owned<QLabel>(page);
  state_icon_->setObjectName(QStringLiteral("Icons_Image1"));
  state_icon_->setGeometry(450, 252, 16, 16);
  state_icon_->setContextMenuPolicy(Qt::CustomContextMenu);
  state_label_ = Owned<QLabel>(QStringLiteral("Disconnected"), page);
  state_label_->setObjectName(QStringLiteral("State_Label1"));
  state_label_->setGeometry(470, 251, 162, 18);
  state_menu_ = Owned<QMenu>(this);
  state_menu_->setObjectName(QStringLiteral("State_PopupMenu1"));
  const std::array<ClientState, 4> states = {ClientState::kAvailable, ClientState::kAway,
                                             ClientState::kDoNotDisturb, ClientState::kOperator};
  for (size_t i = 0; i < states.size(); ++i) {
    const QString caption = QString::fromLatin1(ToText(states[i]));
    QAction* action = state_menu_->addAction(caption);
    action->setObjectName(caption + QStringLiteral("2"));
    const ClientState state = states[i];
    connect(action, &QAction::triggered, this,
            [this, state] { Call([state](Client& core) { core.RequestState(state); }); });
    state_actions_[i] = action;
  }
  connect(state_icon_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& pos) { state_menu_->popup(state_icon_->mapToGlobal(pos)); });

  recipients_view_ = Owned<QListView>(page);
  recipients_view_->setObjectName(QStringLiteral("WhisperBox_ListBox1"));
  recipients_view_->setGeometry(450, 272, 182, 138);
  recipients_view_->setAcceptDrops(true);
  recipients_view_->viewport()->setAcceptDrops(true);
  recipients_view_->setDragDropMode(QAbstractItemView::DropOnly);
  recipients_view_->viewport()->installEventFilter(this);
  recipients_view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  recipients_view_->setContextMenuPolicy(Qt::CustomContextMenu);
  StyleList(recipients_view_);
  recipients_menu_ = Owned<QMenu>(this);
  recipients_menu_->setObjectName(QStringLiteral("WhisperBox_PopupMenu1"));
  QAction* add_user = recipients_menu_->addAction(QStringLiteral("Add User"));
  add_user->setObjectName(QStringLiteral("AddUser1"));
  connect(add_user, &QAction::triggered, this, [this] {
    const auto ask = hooks_.ask_text ? hooks_.ask_text
                                     : [this](const QString& title,
                                              const QString& prompt) -> std::optional<QString> {
      bool ok = false;
      const QString text = QInputDialog::getText(this, title, prompt, QLineEdit::Normal, {}, &ok);
      if (!ok) return std::nullopt;
      return text;
    };
    if (const auto name = ask(QStringLiteral("Add whisper user."), QStringLiteral("User Name:"))) {
      AddWhisperUser(*name, Client::RecipientSource::kTyped);
    }
  });
  QAction* remove_user = recipients_menu_->addAction(QStringLiteral("Remove User"));
  remove_user->setObjectName(QStringLiteral("RemoveUser1"));
  connect(remove_user, &QAction::triggered, this, [this] {
    const QModelIndex index = recipients_view_->currentIndex();
    if (!index.isValid()) return;
    const int row = index.row();
    Call([row](Client& core) { core.whisper_recipients().Remove(row); });
  });
  connect(recipients_view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    recipients_menu_->popup(recipients_view_->viewport()->mapToGlobal(pos));
  });
}

void MainWindow::AttachModels() {
  users_model_ = std::make_unique<TableModel<TextTable>>(core_->users(), UserColumns(), true);
  users_view_->setModel(users_model_.get());
  recipients_model_ =
      std::make_unique<TableModel<TextTable>>(core_->whisper_recipients(), RecipientColumns());
  recipients_view_->setModel(recipients_model_.get());
  custom_colors_model_ = std::make_unique<TableModel<Table<CustomColorRow>>>(core_->custom_colors(),
                                                                             CustomColorColumns());
  cc_view_->setModel(custom_colors_model_.get());
  tray_model_ = std::make_unique<TableModel<TextTable>>(core_->appearance().tray_icons().table(),
                                                        TrayColumns());
  tray_list_->setModel(tray_model_.get());
  AttachVariables();
  AttachTimerModel();
  connect(tray_list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (!current.isValid()) return;
            tray_combo_->setCurrentText(current.data().toString());
          });
  connect(cc_view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (!current.isValid()) return;
            const Table<CustomColorRow>& table = core_->custom_colors();
            if (current.row() >= table.RowCount()) return;
            const CustomColorRow& row = table.RowAt(current.row());
            cc_text_->setText(QtText(row.text));
            cc_color_ = ToQColor(ColorFromText(row.color).value_or(kClWhite));
            QPalette pal = cc_text_->palette();
            pal.setColor(QPalette::Text, cc_color_);
            cc_text_->setPalette(pal);
          });
  AttachKeysModel();
  AfterCall();
}

void MainWindow::ApplyChatHeight() {
  if (core_ == nullptr) return;
  // A hand-edited height still leaves both panes on screen.
  const int height =
      std::clamp(core_->options().chat_height, kMinPane, kSplitHeight - kSplitHandle - kMinPane);
  chat_split_->setSizes({height, kSplitHeight - kSplitHandle - height});
}

std::string MainWindow::SelectedUser() const {
  const QModelIndex index = users_view_->currentIndex();
  if (!index.isValid() || !users_view_->selectionModel()->isSelected(index)) return {};
  return CoreText(index.data().toString());
}

void MainWindow::ShowUsersMenu(const QPoint& global) {
  users_menu_->popup(global);
}

void MainWindow::AddWhisperUser(const QString& name, Client::RecipientSource source) {
  const std::string user = CoreText(name.trimmed());
  Call([&user, source](Client& core) { core.AddWhisperRecipient(user, source); });
}

void MainWindow::SyncInputToCore(int box) {
  QComboBox* edit = box == 1 ? send_edit1_ : send_edit2_;
  const std::string text = CoreText(edit->currentText());
  Call([box, &text](Client& core) {
    (box == 1 ? core.main_input() : core.whisper_input()).text = text;
  });
}

void MainWindow::SyncInputsFromCore() {
  if (core_ == nullptr || send_edit1_ == nullptr) return;
  const std::array<std::pair<QComboBox*, const InputBox*>, 2> boxes = {
      {{send_edit1_, &core_->main_input()}, {send_edit2_, &core_->whisper_input()}}};
  for (const auto& [edit, input] : boxes) {
    QStringList history;
    for (const std::string& entry : input->history) history.push_back(QtText(entry));
    QStringList shown;
    for (int i = 0; i < edit->count(); ++i) shown.push_back(edit->itemText(i));
    const QString text = QtText(input->text);
    if (shown != history) {
      const QSignalBlocker block(edit);
      edit->clear();
      edit->addItems(history);
      edit->setCurrentIndex(-1);
      edit->setEditText(text);
    } else if (edit->currentText() != text) {
      edit->setEditText(text);
    }
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    // Enter in the chat input is the Send button, in the whisper input the Whisper button beside
    // it. Taken here, once: the line edit passes an Enter it has seen on to its combo box, which
    // hands it back, and a second press would send the emptied box.
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      for (size_t box = 0; box < 2; ++box) {
        QComboBox* edit = box == 0 ? send_edit1_ : send_edit2_;
        if (watched != edit && watched != edit->lineEdit()) continue;
        if (edit->isEnabled()) enter_buttons_[box]->click();
        return true;
      }
    }
  }
  if (event->type() == QEvent::FocusIn) {
    if (watched == send_edit1_ || watched == send_edit1_->lineEdit()) {
      Call([](Client& core) { core.FocusMainInput(); });
    } else if (watched == send_edit2_ || watched == send_edit2_->lineEdit()) {
      Call([](Client& core) { core.FocusWhisperInput(); });
    }
  }
  if (watched == recipients_view_->viewport()) {
    // Any text may be dragged here; the core adds it only when it names a channel user.
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
      auto* drag = static_cast<QDropEvent*>(event);
      if (drag->mimeData()->hasText()) {
        drag->acceptProposedAction();
        return true;
      }
    } else if (event->type() == QEvent::Drop) {
      auto* drop = static_cast<QDropEvent*>(event);
      if (drop->mimeData()->hasText()) {
        AddWhisperUser(drop->mimeData()->text(), Client::RecipientSource::kChannelUser);
        drop->acceptProposedAction();
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tc::ui
