// The icon choice alone: products, flags, announced clients and states, as the stored numbers.
#include "appearance/user_icon.h"

#include <gtest/gtest.h>

namespace tc {
namespace {

struct IconCase {
  const char* what;
  IconInputs in;
  int stored;
};

IconInputs User(std::string_view product, std::string_view flags, std::string_view client = "",
                std::string_view state = "", std::string_view name = "someone") {
  return {.name = name,
          .product = product,
          .flags = flags,
          .client_name = client,
          .state = state,
          .own_account = "talvexbot",
          .own_state = "Available",
          .in_house_channel = false};
}

IconInputs InHouse(IconInputs in) {
  in.in_house_channel = true;
  return in;
}

IconInputs OwnState(IconInputs in, std::string_view state) {
  in.own_state = state;
  return in;
}

class ChooseIconTest : public ::testing::TestWithParam<IconCase> {};

TEST_P(ChooseIconTest, GivesTheStoredNumber) {
  EXPECT_EQ(StoredNumber(ChooseIcon(GetParam().in)), GetParam().stored) << GetParam().what;
}

const IconCase kCases[] = {
    {"product", User("[STAR]", "0000"), 0},
    {"product", User("[DRTL]", "0000"), 1},
    {"product", User("[SEXP]", "0000"), 4},
    {"product", User("[W2BN]", "0000"), 9},
    {"product", User("[JSTR]", "0000"), 10},
    {"unknown product", User("[XXXX]", "0000"), 3},
    {"no product", User("", ""), 3},
    {"flags", User("[STAR]", "0001"), 13},
    {"flags", User("[STAR]", "0004"), 14},
    {"flags", User("[STAR]", "0010"), 3},
    {"flags", User("[STAR]", "0110"), 3},
    {"flags", User("[STAR]", "0030"), 7},
    {"flags", User("[STAR]", "0132"), 7},
    {"flags", User("[STAR]", "0200"), 11},
    {"flags", User("[STAR]", "0400"), 12},
    {"flags", User("[STAR]", "0800"), 16},
    {"flags", User("[STAR]", "1000"), 17},
    {"flags compared exactly", User("[STAR]", "2"), 0},
    {"operator", User("[STAR]", "0002"), 2},
    {"operator", User("[STAR]", "0012"), 2},
    {"operator", User("[STAR]", "0112"), 2},
    {"own channel operator on PvPGN", User("[STAR]", "0008"), 2},
    {"operator in the house channel", InHouse(User("[STAR]", "0002")), 0},
    {"operator in the house channel", InHouse(User("[STAR]", "0112")), 0},
    {"operator in the house channel", InHouse(User("[STAR]", "0008")), 0},
    {"our client", User("[CHAT]", "0000", "Talvex Chat", "Away"), 26},
    {"our client", User("[CHAT]", "0000", "talvex chat", "DND"), 24},
    {"our client", User("[CHAT]", "0000", "TALVEX CHAT", "Operator"), 25},
    {"our client, any other state", User("[CHAT]", "0000", "talvex chat", "Whatever"), 8},
    {"our earlier release", User("[CHAT]", "0000", "Talvex Chat 1999", "Away"), 26},
    {"other client", User("[CHAT]", "0000", "Pebble Chat"), 18},
    {"other client", User("[CHAT]", "0000", "foxglove"), 22},
    {"unknown client", User("[CHAT]", "0000", "Unknown Client", "Away"), 3},
    {"client counts only on the chat icon", User("[STAR]", "0000", "Talvex Chat", "Away"), 0},
    {"own row", User("[CHAT]", "0000", "", "", "talvexbot"), 8},
    {"own row", OwnState(User("[STAR]", "0000", "", "", "talvexbot"), "Operator"), 25},
    {"own row", OwnState(User("[STAR]", "0000", "", "", "talvexbot"), "Disconnected"), 0},
    {"own row before any state", OwnState(User("[STAR]", "0000", "", "", "talvexbot"), ""), 0},
    {"own row as operator", OwnState(User("[CHAT]", "0002", "", "", "talvexbot"), "Away"), 2},
    {"house account", User("[STAR]", "0002", "", "", "TalvexChat"), 23},
    {"house account exactly", User("[STAR]", "0000", "", "", "talvexchat"), 0},
};

INSTANTIATE_TEST_SUITE_P(Table, ChooseIconTest, ::testing::ValuesIn(kCases));

}  // namespace
}  // namespace tc
