// PLACEHOLDER: replaced by the real implementation.
#include "persistence/tc_database.h"

namespace tc {

struct TC_DataBase::Impl {
  UserRecord empty;
  std::array<std::string, 6> empty_cache;
};

TC_DataBase::TC_DataBase(const Clock&, Frontend&) : impl_(std::make_unique<Impl>()) {}
TC_DataBase::~TC_DataBase() = default;
void TC_DataBase::LoadUserDatabase(const std::filesystem::path& folder, bool use) {
  folder_ = folder;
  open_ = use;
}
void TC_DataBase::SaveUserDatabase() { open_ = false; }
int TC_DataBase::FindUser(std::string_view) const { return 0; }
void TC_DataBase::AddUser(std::string_view) {}
void TC_DataBase::UpdateUser(std::string_view, const UserUpdate&) {}
std::string TC_DataBase::GetUserField(std::string_view, std::string_view) const { return "0"; }
std::string TC_DataBase::GetUserField(std::string_view, UserField) const { return "0"; }
void TC_DataBase::IncTimesSeen(std::string_view) {}
void TC_DataBase::ClearUserRecord(int) {}
int TC_DataBase::CountUsers() const { return 0; }
void TC_DataBase::SecondTick() {}
void TC_DataBase::ChannelEntered() {}
void TC_DataBase::Disconnected() {}
const UserRecord& TC_DataBase::Slot(int) const { return impl_->empty; }
const std::array<std::string, 6>& TC_DataBase::CacheEntry(int) const { return impl_->empty_cache; }
std::string_view UserFieldName(UserField) { return ""; }
std::string FormatUserRecord(const UserRecord&) { return ""; }
UserRecord ParseUserRecord(std::string_view) { return {}; }

}  // namespace tc
