// The Timer page (the timer list and its editing panel) and the General page's anti-idle and
// auto-away rows. The panel's fields are only what is being typed: every operation is the core's.
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSpinBox>
#include <QTreeView>

#include "ui/main_window.h"
#include "ui/owned.h"
#include "ui/text_conv.h"

namespace tc::ui {

namespace {

struct StateBoxName {
  const char* name;
  const char* caption;
};
// In the order TimerPanel and the state text list them.
constexpr std::array<StateBoxName, 4> kStateBoxNames = {{
    {"TimerOperator_CheckBox1", "Operator"},
    {"TimerAway_CheckBox1", "Away"},
    {"TimerDND_CheckBox1", "DND"},
    {"TimerAvailable_CheckBox1", "Available"},
}};

// A minutes field of the General page: 1 to 30, changed by its arrows only.
QSpinBox* MinutesSpin(QWidget* page, const char* name, const QRect& geometry) {
  QSpinBox* spin = Owned<QSpinBox>(page);
  spin->setObjectName(QString::fromLatin1(name));
  spin->setRange(1, 30);
  spin->setSuffix(QStringLiteral(" min"));
  spin->setGeometry(geometry);
  if (auto* edit = spin->findChild<QLineEdit*>()) edit->setReadOnly(true);
  return spin;
}

}  // namespace

void MainWindow::BuildTimerPage(QWidget* page) {
  timers_view_ = Owned<QTreeView>(page);
  timers_view_->setObjectName(QStringLiteral("Timer_ListView1"));
  timers_view_->setGeometry(6, 6, 620, 240);
  timers_view_->setRootIsDecorated(false);
  timers_view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  timers_view_->setSelectionMode(QAbstractItemView::SingleSelection);
  // Select: a click loads the row into the panel.
  connect(timers_view_, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
    if (core_ == nullptr || !index.isValid()) return;
    const TimerPanel panel = core_->user_timers().Select(index.row());
    timer_interval_->setValue(panel.interval);
    timer_action_->setText(QtText(panel.action));
    timer_switch_->setChecked(panel.on);
    const std::array<bool, 4> states = {panel.operator_state, panel.away, panel.dnd,
                                        panel.available};
    for (size_t i = 0; i < states.size(); ++i) timer_states_[i]->setChecked(states[i]);
  });

  timer_interval_ = Owned<QSpinBox>(page);
  timer_interval_->setObjectName(QStringLiteral("Timer_SpinEdit1"));
  timer_interval_->setRange(Timers::kMinInterval, Timers::kMaxInterval);
  timer_interval_->setSingleStep(Timers::kIntervalStep);
  timer_interval_->setValue(Timers::kDefaultInterval);
  timer_interval_->setToolTip(QStringLiteral("Delay between each action (Seconds)"));
  timer_interval_->setGeometry(6, 254, 100, 22);
  timer_action_ = Owned<QLineEdit>(page);
  timer_action_->setObjectName(QStringLiteral("OnTimer_Edit1"));
  timer_action_->setToolTip(QStringLiteral("The action in which will occur."));
  timer_action_->setGeometry(112, 254, 514, 22);

  timer_switch_ = Owned<QCheckBox>(QStringLiteral("On/Off"), page);
  timer_switch_->setObjectName(QStringLiteral("TimerState_CheckBox1"));
  timer_switch_->setToolTip(QStringLiteral("Turn on the timer"));
  timer_switch_->setGeometry(6, 284, 90, 20);
  int x = 112;
  for (size_t i = 0; i < kStateBoxNames.size(); ++i) {
    QCheckBox* box = Owned<QCheckBox>(QString::fromLatin1(kStateBoxNames[i].caption), page);
    box->setObjectName(QString::fromLatin1(kStateBoxNames[i].name));
    box->setGeometry(x, 284, 100, 20);
    timer_states_[i] = box;
    x += 106;
  }

  struct Command {
    const char* name;
    const char* caption;
    const char* hint;
    std::function<void(MainWindow&, Client&)> run;
  };
  const auto selected = [](const MainWindow& window) {
    const QModelIndex index = window.timers_view_->currentIndex();
    return index.isValid() ? index.row() : -1;
  };
  const std::array<Command, 5> commands = {{
      {"TimerAdd_Image1", "Add", "Add a timer.",
       [](MainWindow& w, Client& c) { c.user_timers().Add(w.ReadTimerPanel()); }},
      {"TimerSave_Image1", "Save", "Save the selected timer.",
       [selected](MainWindow& w, Client& c) {
         const int row = selected(w);
         if (row >= 0) c.user_timers().Save(row, w.ReadTimerPanel());
       }},
      {"TimerRemove_Image1", "Remove", "Remove the selected timer.",
       [selected](MainWindow& w, Client& c) {
         const int row = selected(w);
         if (row >= 0) c.user_timers().Remove(row);
       }},
      {"TimerAll_Image1", "All", "Turn on all timers",
       [](MainWindow&, Client& c) { c.user_timers().SwitchAll(true); }},
      {"TimerNone_Image1", "None", "Turn off all timers",
       [](MainWindow&, Client& c) { c.user_timers().SwitchAll(false); }},
  }};
  x = 6;
  for (const Command& command : commands) {
    SkinButton* button = MakeButton(page, QString::fromLatin1(command.name),
                                    QString::fromLatin1(command.caption), {x, 314, 96, 20});
    button->setToolTip(QString::fromLatin1(command.hint));
    connect(button, &QAbstractButton::clicked, this,
            [this, run = command.run] { Call([this, &run](Client& c) { run(*this, c); }); });
    x += 102;
  }
}

TimerPanel MainWindow::ReadTimerPanel() const {
  TimerPanel panel;
  panel.interval = timer_interval_->value();
  panel.action = CoreText(timer_action_->text());
  panel.on = timer_switch_->isChecked();
  panel.operator_state = timer_states_[0]->isChecked();
  panel.away = timer_states_[1]->isChecked();
  panel.dnd = timer_states_[2]->isChecked();
  panel.available = timer_states_[3]->isChecked();
  return panel;
}

void MainWindow::AttachTimerModel() {
  timers_model_ =
      std::make_unique<TableModel<Table<TimerRow>>>(core_->user_timers().table(), TimerColumns());
  timers_view_->setModel(timers_model_.get());
  timers_view_->header()->resizeSection(0, 60);
  timers_view_->header()->resizeSection(1, 70);
  timers_view_->header()->resizeSection(2, 220);
  timers_view_->header()->resizeSection(3, 190);
}

void MainWindow::BuildIdleAwayControls(QWidget* page, QPoint at) {
  struct Row {
    const char* check;
    const char* caption;
    const char* spin;
    bool Options::*on;
    int Options::*minutes;
    void (Client::*set_on)(bool);
    void (Client::*set_minutes)(int);
  };
  static constexpr std::array<Row, 2> kRows = {{
      {"AntiIdle_CheckBox1", "Anti-Idle", "AntiIdle_SpinEdit1", &Options::anti_idle,
       &Options::anti_idle_minutes, &Client::SetAntiIdle, &Client::SetAntiIdleMinutes},
      {"AutoAway_CheckBox1", "Auto-Away", "AutoAway_SpinEdit1", &Options::auto_away,
       &Options::auto_away_minutes, &Client::SetAutoAway, &Client::SetAutoAwayMinutes},
  }};
  for (const Row& row : kRows) {
    QCheckBox* check = Owned<QCheckBox>(QString::fromLatin1(row.caption), page);
    check->setObjectName(QString::fromLatin1(row.check));
    check->setGeometry(at.x(), at.y(), 110, 20);
    QSpinBox* spin = MinutesSpin(page, row.spin, {at.x() + 130, at.y(), 90, 22});
    at.ry() += 24;
    connect(check, &QCheckBox::toggled, this, [this, spin, set = row.set_on](bool on) {
      spin->setEnabled(on);
      Call([set, on](Client& c) { (c.*set)(on); });
    });
    connect(spin, &QSpinBox::valueChanged, this, [this, set = row.set_minutes](int value) {
      Call([set, value](Client& c) { (c.*set)(value); });
    });
    loaders_.push_back([this, check, spin, row] {
      const QSignalBlocker block_check(check);
      const QSignalBlocker block_spin(spin);
      check->setChecked(core_->options().*row.on);
      spin->setValue(core_->options().*row.minutes);
      spin->setEnabled(check->isChecked());
    });
  }
}

}  // namespace tc::ui
