// The settings profile's single-value keys ("aa=" ...): each reads its value from the options and
// the appearance and applies a stored one back, in the order the profile is written.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "appearance/appearance.h"
#include "options/options.h"

namespace tc {

// How applying one value went: a conversion failure stops the read at its line.
enum class Applied { kDone, kNotInteger, kNotColor };

// The options whose change acts on more than their own field (timers, the user database, the
// controls they enable): the owner of those applies them, the codec only asks.
class OptionChanges {
 public:
  virtual ~OptionChanges() = default;
  virtual void SetAntiIdle(bool on) = 0;
  virtual void SetAntiIdleMinutes(int minutes) = 0;
  virtual void SetAutoAway(bool on) = 0;
  virtual void SetAutoAwayMinutes(int minutes) = 0;
  virtual void SetDatabaseSaveMinutes(int minutes) = 0;
  virtual void SetUseDatabase(bool on) = 0;
  virtual void SetViewJoinParts(ViewJoinParts choice) = 0;
  virtual void SetKeepLog(KeepLog choice) = 0;
  virtual void SetCloseOnDisconnect(CloseOnDisconnect choice) = 0;
  virtual void SetOnBan(OnBanJoin choice) = 0;
};

// What the keys read when the profile is written.
struct SettingsValues {
  const Options& options;
  const AppearanceSettings& appearance;
};

// What they write when it is read: the fields, and the changes that act on others.
struct SettingsTarget {
  Options& options;
  AppearanceSettings& appearance;
  OptionChanges& changes;
};

struct SingleKey {
  std::string_view key;
  std::string (*get)(const SettingsValues&);
  Applied (*set)(const SettingsTarget&, std::string_view value);
};

// Every key in write order; the one named `key` (three characters with "="), or null.
std::span<const SingleKey> SingleKeys();
const SingleKey* FindSingleKey(std::string_view key);

}  // namespace tc
