#include "dialogs/KeyAssign.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using keyassign::assign;
using keyassign::ChrKeyCord;
using keyassign::Verdict;

TEST(ChrKeyCord, NamesOfTheTable) {
    const std::pair<int, const char*> rows[] = {
        {1, "マウスの左ボタン"}, {2, "マウスの右ボタン"}, {4, "マウスの中央ボタン"}, {8, "BackSpace"},
        {13, "Enter"},          {108, "Enter"},          {16, "Shift"},             {17, "Ctrl"},
        {18, "Menu"},           {27, "Esc"},             {32, "Space"},             {37, "←"},
        {38, "↑"},              {39, "→"},               {40, "↓"},                 {47, "Help"},
        {48, "0"},              {57, "9"},               {65, "A"},                 {90, "Z"},
        {96, "0"},              {101, "5"},              {105, "9"},                {106, "*"},
        {111, "/"},             {112, "F1"},             {117, "F6"},               {127, "F16"},
        {144, "NumLock"},       {0, ""},                 {5, ""},                   {58, ""},
        {64, ""},               {91, ""},                {128, ""},                 {186, ""},
        {-1, ""},               {32767, ""},
    };
    for (const auto& [code, name] : rows) EXPECT_EQ(ChrKeyCord(code), name) << code;
}

TEST(ChrKeyCord, EveryCodeOfAByteHasItsNameOrNone) {
    // Codes with a name: the table's single rows and its ranges; all others are "".
    const std::set<int> single = {1, 2, 3, 4, 8, 9, 12, 13, 16, 17, 18, 19, 20, 27, 32, 33, 34, 35, 36,
                                  37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 106, 107, 108, 109, 110, 111, 144};
    for (int code = 0; code <= 255; ++code) {
        const bool ranged = (code >= 48 && code <= 57) || (code >= 65 && code <= 90) ||
                            (code >= 96 && code <= 105) || (code >= 112 && code <= 127);
        EXPECT_EQ(ChrKeyCord(code).empty(), !(ranged || single.count(code))) << code;
    }
}

TEST(AssignKey, RefusalsLeaveThePendingCodes) {
    const keyassign::Codes start = {117, 119, 116, 118};
    struct Row {
        const char* what;
        int index;
        int code;
        Verdict verdict;
    };
    const Row rows[] = {
        {"F1 is kept for help", 0, 112, Verdict::Reserved},
        {"F2 is kept for the help window", 1, 113, Verdict::Reserved},
        {"Esc ends the show", 2, 27, Verdict::Reserved},
        {"box 1 may not take box 0's key", 1, 117, Verdict::Duplicate},
        {"box 3 may not take box 2's key", 3, 116, Verdict::Duplicate},
        {"a box may take its own key again", 0, 117, Verdict::Accepted},
        {"a key without a name is accepted", 0, 186, Verdict::Accepted},
        {"modifiers are keys too", 2, 16, Verdict::Accepted},
        {"keypad 5 is not main-row 5", 3, 101, Verdict::Accepted},
    };
    for (const Row& r : rows) {
        keyassign::Codes pending = start;
        EXPECT_EQ(assign(pending, r.index, r.code), r.verdict) << r.what;
        keyassign::Codes expected = start;
        if (r.verdict == Verdict::Accepted) expected[static_cast<std::size_t>(r.index)] = static_cast<std::int16_t>(r.code);
        EXPECT_EQ(pending, expected) << r.what;
    }
}

TEST(AssignKey, DuplicatesAreCheckedAgainstPendingCodes) {
    keyassign::Codes pending = {117, 119, 116, 118};
    ASSERT_EQ(assign(pending, 0, 65), Verdict::Accepted);
    EXPECT_EQ(assign(pending, 1, 117), Verdict::Accepted);  // box 0's old key is free now
    EXPECT_EQ(assign(pending, 2, 65), Verdict::Duplicate);
    EXPECT_EQ(assign(pending, 3, 53), Verdict::Accepted);
    EXPECT_EQ(assign(pending, 2, 101), Verdict::Accepted);  // same name "5", other code
    EXPECT_EQ(assign(pending, 1, 13), Verdict::Accepted);
    EXPECT_EQ(assign(pending, 0, 108), Verdict::Accepted);  // "Enter" twice, two codes
    EXPECT_EQ(pending, (keyassign::Codes{108, 13, 101, 53}));
}

}  // namespace
