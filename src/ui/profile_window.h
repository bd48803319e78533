// The profile window: a user's information and notes, editable fields for the own account only.
// It reads the record each time it is activated and stores it when it closes.
#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "app/client.h"

namespace tc::ui {

class ProfileWindow : public QWidget {
 public:
  using Action = std::function<void(Client&)>;
  using Caller = std::function<void(const Action&)>;

  ProfileWindow();
  void Attach(Client& core, Caller caller);
  void Attach(std::nullptr_t) { core_ = nullptr; }
  // Captioned "Information for " + account, told the own account name, shown.
  void Open(const std::string& account, const std::string& own_account);
  // The target account: the caption after "Information for ".
  std::string Target() const;

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Load();
  void Store();

  Client* core_ = nullptr;
  Caller caller_;
  std::string own_account_;
  std::array<QLineEdit*, 7> fields_{};  // Name, Age, Gender, Location, E-Mail, Icq #, URL
  QPlainTextEdit* description_ = nullptr;
  QPlainTextEdit* notes_ = nullptr;
  QPlainTextEdit* summary_ = nullptr;
};

}  // namespace tc::ui
