// The Variables page: the variable list with its two edits, "Add" and "Remove", and the names the
// program itself uses.
#include <QLineEdit>
#include <QListWidget>
#include <QTreeView>

#include "ui/main_window.h"
#include "ui/owned.h"
#include "ui/text_conv.h"

namespace tc::ui {

void MainWindow::BuildVariablesPage(QWidget* page) {
  variables_view_ = Owned<QTreeView>(page);
  variables_view_->setObjectName(QStringLiteral("Variables_ListView1"));
  variables_view_->setGeometry(6, 6, 400, 300);
  variables_view_->setRootIsDecorated(false);
  variables_view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  variable_edit_ = Owned<QLineEdit>(page);
  variable_edit_->setObjectName(QStringLiteral("Variable_Edit1"));
  variable_edit_->setGeometry(6, 312, 150, 20);
  value_edit_ = Owned<QLineEdit>(page);
  value_edit_->setObjectName(QStringLiteral("Value_Edit1"));
  value_edit_->setGeometry(160, 312, 246, 20);

  SkinButton* add =
      MakeButton(page, QStringLiteral("AddVar_Image1"), QStringLiteral("Add"), {6, 338, 80, 20});
  add->setToolTip(QStringLiteral("Add or Save a variable"));
  connect(add, &QAbstractButton::clicked, this, [this] {
    const QModelIndex index = variables_view_->currentIndex();
    const int selected = index.isValid() ? index.row() : -1;
    const std::string name = CoreText(variable_edit_->text());
    const std::string value = CoreText(value_edit_->text());
    Call([&](Client& c) { c.AddVariable(selected, name, value); });
  });
  SkinButton* remove = MakeButton(page, QStringLiteral("RemoveVar_Image1"),
                                  QStringLiteral("Remove"), {90, 338, 80, 20});
  remove->setToolTip(QStringLiteral("Remove the selected variable"));
  connect(remove, &QAbstractButton::clicked, this, [this] {
    const QModelIndex index = variables_view_->currentIndex();
    if (!index.isValid()) return;
    std::optional<VariableRow> removed;
    Call([&](Client& c) { removed = c.RemoveVariable(index.row()); });
    if (!removed) return;
    variable_edit_->setText(QtText(removed->name));
    value_edit_->setText(QtText(removed->value));
  });

  QLabel* heading = Owned<QLabel>(QStringLiteral("System Variables:"), page);
  heading->setGeometry(414, 6, 212, 18);
  QListWidget* system = Owned<QListWidget>(page);
  system->setObjectName(QStringLiteral("SystemVariables_ListBox1"));
  system->setGeometry(414, 26, 212, 280);
  for (const std::string_view name : Variables::kSystemNames) {
    system->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
  }
  connect(system, &QListWidget::itemDoubleClicked, this,
          [this](const QListWidgetItem* item) { variable_edit_->setText(item->text()); });
}

void MainWindow::AttachVariables() {
  variables_model_ =
      std::make_unique<TableModel<Table<VariableRow>>>(core_->variables(), VariableColumns());
  variables_view_->setModel(variables_model_.get());
  // Selecting a row puts it into the edits.
  connect(variables_view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (!current.isValid() || core_ == nullptr) return;
            const Table<VariableRow>& table = core_->variables();
            if (current.row() >= table.RowCount()) return;
            variable_edit_->setText(QtText(table.RowAt(current.row()).name));
            value_edit_->setText(QtText(table.RowAt(current.row()).value));
          });
  // The quick buttons' hints follow the macros.
  const auto show_hint = [this](int n) {
    const QString hint = QtText(core_->macros().Hint(n));
    quick_images_[static_cast<size_t>(n - 1)]->setToolTip(hint);
    quick_labels_[static_cast<size_t>(n - 1)]->setToolTip(hint);
  };
  for (int n = 1; n <= Macros::kCount; ++n) show_hint(n);
  macro_listener_ = core_->macros().AddListener(
      [show_hint](const TableChange& change) { show_hint(change.first + 1); });
}

void MainWindow::DetachVariables() {
  if (variables_view_ != nullptr) variables_view_->setModel(nullptr);
  variables_model_.reset();
  if (core_ != nullptr && macro_listener_ != 0) core_->macros().RemoveListener(macro_listener_);
  macro_listener_ = 0;
}

}  // namespace tc::ui
