// TEMPORARY: bodies still being written.
#include "app/tc_main.h"

namespace tc {
void TC_Main::OnConnected() {}
void TC_Main::OnRead(std::string_view) {}
void TC_Main::OnDisconnected() {}
void TC_Main::OnError(int) {}
void TC_Main::Connect_Image1Click() {}
void TC_Main::DisplayText(std::string_view, int) {}
void TC_Main::InsertCustom(std::string&) const {}
StyledLine TC_Main::AddText(std::string_view) const { return {}; }
void TC_Main::ClearChatBuffer1Click() {}
void TC_Main::ClearWhisperBuffer1Click() {}
void TC_Main::SendText(std::string_view) {}
void TC_Main::PerformEvent(std::string_view, std::string_view, std::string_view) {}
std::string TC_Main::User_Info(std::string_view, std::string_view) const { return "None"; }
int TC_Main::GetImage(std::string_view, std::string_view, std::string_view, std::string_view,
                      std::string_view) { return 0; }
void TC_Main::UsersChange(std::string_view, std::string_view) {}
void TC_Main::CO_Change(std::string_view) {}
void TC_Main::StateChange(std::string_view) {}
bool TC_Main::IsPublicChannel(std::string_view) const { return false; }
int TC_Main::ChannelHit(std::string_view, std::string_view) { return 0; }
void TC_Main::Add_LastTen(std::string_view) {}
void TC_Main::OneSecondTick() {}
void TC_Main::ConnectTimeoutTick() {}
void TC_Main::ReconnectTick() {}
std::filesystem::path TC_Main::LogDirectory() const { return {}; }
std::filesystem::path TC_Main::LogFileFor(std::string_view) const { return {}; }
}  // namespace tc
