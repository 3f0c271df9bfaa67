#include "platform/KeyCodes.h"

#include <gtest/gtest.h>

using keycodes::shiftStateOf;
using keycodes::virtualKeyOf;

namespace {

struct KeyRow {
    int qtKey;
    bool keypad;
    int code;
};

const KeyRow kRows[] = {
    {Qt::Key_A, false, 65},        {Qt::Key_Z, false, 90},         {Qt::Key_0, false, 48},
    {Qt::Key_9, false, 57},        {Qt::Key_0, true, 96},          {Qt::Key_9, true, 105},
    {Qt::Key_5, true, 101},        {Qt::Key_F1, false, 112},       {Qt::Key_F2, false, 113},
    {Qt::Key_F4, false, 115},      {Qt::Key_F6, false, 117},       {Qt::Key_F16, false, 127},
    {Qt::Key_Escape, false, 27},   {Qt::Key_Left, false, 37},      {Qt::Key_Up, false, 38},
    {Qt::Key_Right, false, 39},    {Qt::Key_Down, false, 40},      {Qt::Key_Shift, false, 16},
    {Qt::Key_Control, false, 17},  {Qt::Key_Alt, false, 18},       {Qt::Key_Return, false, 13},
    {Qt::Key_Enter, true, 13},     {Qt::Key_Space, false, 32},     {Qt::Key_Plus, true, 107},
    {Qt::Key_Minus, true, 109},    {Qt::Key_Asterisk, true, 106},  {Qt::Key_Slash, true, 111},
    {Qt::Key_Period, true, 110},   {Qt::Key_Minus, false, 189},    {Qt::Key_Left, true, 37},
    {Qt::Key_Home, true, 36},      {Qt::Key_Delete, false, 46},    {Qt::Key_PageDown, false, 34},
    {Qt::Key_Exclam, false, 49},   {Qt::Key_MediaPlay, false, 0},  {Qt::Key_unknown, false, 0},
};

class VirtualKey : public ::testing::TestWithParam<KeyRow> {};

TEST_P(VirtualKey, MapsQtKey) {
    const KeyRow& r = GetParam();
    EXPECT_EQ(virtualKeyOf(r.qtKey, r.keypad), r.code) << std::hex << r.qtKey << " keypad " << r.keypad;
}

INSTANTIATE_TEST_SUITE_P(Rows, VirtualKey, ::testing::ValuesIn(kRows));

TEST(VirtualKey, LettersAndFunctionKeysAreContiguous) {
    for (int i = 0; i < 26; ++i) EXPECT_EQ(virtualKeyOf(Qt::Key_A + i, false), 65 + i);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(virtualKeyOf(Qt::Key_F1 + i, false), 112 + i);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(virtualKeyOf(Qt::Key_0 + i, true), 96 + i);
}

TEST(ShiftState, BitsOfModifiers) {
    EXPECT_EQ(shiftStateOf(Qt::NoModifier), 0);
    EXPECT_EQ(shiftStateOf(Qt::ShiftModifier), 1);
    EXPECT_EQ(shiftStateOf(Qt::ControlModifier), 2);
    EXPECT_EQ(shiftStateOf(Qt::AltModifier), 4);
    EXPECT_EQ(shiftStateOf(Qt::ShiftModifier | Qt::ControlModifier), 3);
    EXPECT_EQ(shiftStateOf(Qt::ControlModifier | Qt::AltModifier | Qt::KeypadModifier), 6);
    EXPECT_EQ(shiftStateOf(Qt::MetaModifier | Qt::KeypadModifier), 0);
}

}  // namespace
