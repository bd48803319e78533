// The options pages as data: one field per control with the control's default, and the closed
// choices of its radio groups. Plain values below every module, so that the settings codec, the
// client and the front ends share them without knowing each other.
#pragma once

#include <array>
#include <string>

#include "common/colors.h"
#include "common/house.h"
#include "common/text.h"

namespace tc {

// The thirteen category colours of the chat output, in the order of the colours page.
enum class Category : int {
  kMessageSent = 0,  // MS_Colors_Label1
  kChannelOperator,  // OPT_Colors_Label1
  kSpeakerEmote,     // SE_Colors_Label1
  kUserJoins,        // UJ_Colors_Label1
  kUserLeaves,       // UL_Colors_Label1
  kJoiningChannel,   // JC_Colors_Label1
  kErrorMessage,     // EM_Colors_Label1
  kServerMessage,    // SM_Colors_Label1
  kWhisperSent,      // WS_Colors_Label1
  kWhisperReceived,  // WR_Colors_Label1
  kSystemMessage,    // SyM_Colors_Label1
  kPersonalMessage,  // PM_Colors_Label1
  kOtherText,        // OT_Colors_Label1
};
inline constexpr int kCategoryCount = 13;

enum class CloseOnDisconnect { kAlways, kNever, kOnlyWhenRequested };
enum class ChannelChoice { kHome, kLastVisited, kDefault };
enum class ViewJoinParts { kAlways, kNever, kIfLessOrEqual };
enum class OnBanJoin { kStayInTheVoid, kHomeChannel, kChannel };
enum class KeepLog { kOneFile, kPerChannel, kNone };

// The options pages, one field per control, with the controls' defaults.
struct Options {
  // Setup page
  std::string account_name = "guest";                                 // AccountName_Edit1
  std::string password;                                               // Password_Edit1
  std::string server = "127.0.0.1";                                   // Servers_ComboBox1
  std::string port = "6112";                                          // Port_Edit1
  SendEncoding send_text_as = SendEncoding::kUtf8;                    // "Send text as:"
  bool auto_connect = true;                                           // AutoConnect_CheckBox1
  bool reconnect = true;                                              // Reconnect_CheckBox1
  bool auto_server = true;                                            // AutoServer_CheckBox1
  CloseOnDisconnect close_on_disconnect = CloseOnDisconnect::kNever;  // Close_RadioGroup1
  ChannelChoice channel_choice = ChannelChoice::kHome;
  std::string home_channel{kHouseName};  // HomeChannel_Edit1
  std::string last_channel;              // Last_Edit1
  // General page
  ViewJoinParts view_join_parts = ViewJoinParts::kAlways;  // ViewJP_RadioGroup1
  int view_join_parts_number = 15;                         // ViewJP_SpinEdit1
  bool account_tracking = true;                            // Account_Tracking_CheckBox1
  bool channel_hit_counter = true;                         // Channel_Hit_Counter_CheckBox1
  bool auto_rejoin_when_kicked = true;                     // AutoReJoin_CheckBox1
  OnBanJoin on_ban = OnBanJoin::kHomeChannel;              // OnBan_RadioGroup1
  std::string on_ban_channel;                              // OnBan_Edit1
  bool auto_ops = true;                                    // AutoOps_CheckBox1
  bool auto_operator = true;                               // AutoOperator_CheckBox1
  KeepLog keep_log = KeepLog::kPerChannel;                 // KeepLF_RadioGroup1
  bool use_database = true;                                // UseDatabase_CheckBox1
  bool dont_save_public = true;                            // DataBase_PublicChan_CheckBox1
  bool tray = true;                                        // Tray_CheckBox1
  bool random_theme = false;                               // RandomTheme_CheckBox1
  bool anti_flood = true;                                  // AntiFlood_CheckBox1
  // The server's flood quota, for servers configured otherwise (see SendQuota).
  int quota_units = 4;
  int quota_window_ms = 5000;
  int quota_bytes_per_unit = 40;
  int quota_emote_factor = 2;
  // Talk, whispers and emotes longer than this many bytes leave as several lines; 0 = never.
  int split_long_lines_at = 160;  // SplitLongLines_Edit1
  // Settings profile: options of the Setup, General and Database pages not held above
  bool save_password = false;  // SavePassword_CheckBox1
  bool anti_idle = true;       // AntiIdle_CheckBox1 (AntiIdle_SpinEdit1 enabled with it)
  int anti_idle_minutes = 10;  // AntiIdle_SpinEdit1, 1 to 30
  bool auto_away = false;      // AutoAway_CheckBox1 (AutoAway_SpinEdit1 enabled with it)
  int auto_away_minutes = 10;  // AutoAway_SpinEdit1, 1 to 30
  std::string database_tags;   // DataBase_Tags_Edit1
  int database_days = 0;       // DataBase_Days_SpinEdit1, 0 = never
  bool database_acib = false;  // DataBase_ACIB_CheckBox1
  int chat_height = 240;       // Chat_RichTextBox1 height in pixels
  // A changed user database is saved this often, in minutes; 0 = only at shutdown.
  int database_save_minutes = 10;
  // Colours page
  std::array<Color, kCategoryCount> colors = {
      kClYellow, kClWhite, kClAqua,  kClFuchsia, kClFuchsia, kClFuchsia, kClRed,
      kClWhite,  kClGreen, kClGreen, kClFuchsia, kClLime,    kClSilver};
};

}  // namespace tc
