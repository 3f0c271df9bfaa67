#include "editor/EditorCommands.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace {

using editor::ButtonKind;
using editor::Command;
using editor::MenuKind;

TEST(ToolBars, HoldTheirButtonsInOrderAndOnlyTheIconModesArrange) {
    // The keys in order, "|" a separator, "*" a button that arranges the icons after its command.
    const auto keys = [](std::span<const editor::ButtonRow> bar) {
        std::string out;
        for (const auto& b : bar) out += (b.kind == ButtonKind::Separator ? "|" : std::string(b.key) + (b.arrange ? "*" : "")) + " ";
        return out;
    };
    EXPECT_EQ(keys(editor::toolBarTable()), "PageBack ListBack ListNext PageNext | FileSave FileDelete | DeleteAll Delete Add "
                                            "AddAll | Up Down | ViewLarge* ViewSmall* ViewList ViewDetails | FileRun ");
    EXPECT_EQ(keys(editor::customBarTable()), "Screen Color | Option ");
    for (const auto& b : editor::toolBarTable())
        EXPECT_EQ(b.kind == ButtonKind::Group, editor::viewModeOf(b.command) >= 0) << b.key;
    EXPECT_EQ(editor::toolBarTable()[0].icon, 9);
    EXPECT_EQ(editor::toolBarTable()[21].icon, 28);
    EXPECT_EQ(editor::customBarTable()[3].icon, 25);
}

TEST(MenuTable, EveryButtonCommandHasItsMenuItem) {
    std::set<Command> menuCommands;
    for (const auto& row : editor::menuTable()) menuCommands.insert(row.command);
    for (auto table : {editor::toolBarTable(), editor::customBarTable()})
        for (const auto& b : table)
            if (b.kind != ButtonKind::Separator) {
                EXPECT_EQ(menuCommands.count(b.command), 1u) << b.key << " runs a command no menu item runs";
            }
}

TEST(MenuTable, NamesShortcutsAndMnemonicsAreUniqueWhereTheyMustBe) {
    std::set<std::string_view> names, shortcuts;
    // Mnemonic letters per menu (a submenu counts as a menu of its own).
    std::map<std::string, std::set<char>> mnemonics;
    std::string menu, sub;
    int checks = 0, modes = 0;
    for (const auto& row : editor::menuTable()) {
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
        if (!row.shortcut.empty()) {
            EXPECT_TRUE(shortcuts.insert(row.shortcut).second) << row.shortcut;
        }
        if (row.kind == MenuKind::Menu) menu = std::string(row.name), sub.clear();
        if (row.kind == MenuKind::Separator) {
            EXPECT_TRUE(row.caption.empty());
            continue;
        }
        const std::size_t amp = row.caption.find('&');
        ASSERT_NE(amp, std::string_view::npos) << row.name << " has no mnemonic";
        const std::string owner = row.kind == MenuKind::Menu ? "bar" : row.sub ? sub : menu;
        EXPECT_TRUE(mnemonics[owner].insert(row.caption[amp + 1]).second) << row.name << " repeats a mnemonic";
        if (row.kind == MenuKind::Submenu) sub = std::string(row.name);
        checks += row.kind == MenuKind::Check;
        modes += row.kind == MenuKind::Mode;
    }
    EXPECT_EQ(checks, 4);
    EXPECT_EQ(modes, 4);
    EXPECT_EQ(shortcuts, (std::set<std::string_view>{"Ctrl+U", "Ctrl+Y", "Ctrl+I", "Ctrl+T", "Ctrl+S", "Ctrl+D", "F5",
                                                     "Ctrl+E", "Ctrl+R", "Ctrl+W", "Ctrl+Q", "Ctrl+A", "F1"}));
}

TEST(Sorting, TheDirectionFlipsOnEverySortCommandAlsoWhenTheColumnChanges) {
    struct Row {
        editor::SortState now;
        int column;
        editor::SortState next;
    };
    const Row rows[] = {
        {{0, 0}, 0, {0, 1}},  // same header twice: ascending then descending
        {{0, 1}, 0, {0, 0}},
        {{0, 1}, 1, {1, 0}},  // type after name: flipped once more
        {{0, 0}, 1, {1, 1}},
        {{2, 0}, 0, {0, 1}},
        {{1, 1}, 2, {2, 0}},
    };
    for (const Row& r : rows) EXPECT_EQ(editor::sortAfter(r.now, r.column), r.next) << r.now.column << r.now.order;

    editor::SortState s{0, 0};
    for (int expected : {1, 0, 1, 0}) {
        s = editor::sortAfter(s, editor::sortColumnOf(Command::SortByName));
        EXPECT_EQ(s, (editor::SortState{0, expected}));
    }
    EXPECT_EQ(editor::sortColumnOf(Command::SortByType), 1);
    EXPECT_EQ(editor::sortColumnOf(Command::SortByDate), 2);
    EXPECT_EQ(editor::sortColumnOf(Command::ViewLarge), -1);
}

TEST(Colour, ValuesAreBlueGreenRedWithRedInTheLowByte) {
    struct Row {
        editor::Rgb rgb;
        std::int32_t value;
    };
    const Row rows[] = {
        {{0, 0, 0}, 0},          {{255, 255, 255}, 16777215}, {{255, 0, 0}, 255},
        {{0, 255, 0}, 65280},    {{0, 0, 255}, 16711680},     {{1, 2, 3}, 0x030201},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(editor::colourValue(r.rgb), r.value);
        const editor::Rgb back = editor::rgbOf(r.value);
        EXPECT_EQ(back.red, r.rgb.red);
        EXPECT_EQ(back.green, r.rgb.green);
        EXPECT_EQ(back.blue, r.rgb.blue);
    }
    // Out-of-range parts never spill into a neighbour's byte.
    EXPECT_EQ(editor::colourValue({256, -1, 300}), 0xFF00FF);
}

TEST(Colour, TheSixteenCustomColoursAreTheConsoleColours) {
    const auto c = editor::customColours();
    ASSERT_EQ(c.size(), 16u);
    const std::vector<std::int32_t> expected = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                                0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                                0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    for (std::size_t i = 0; i < c.size(); ++i) EXPECT_EQ(editor::colourValue(c[i]), expected[i]) << i;
}

TEST(InstallMessages, EachOutcomeHasItsTextAndIcon) {
    using R = screensaver::Result;
    EXPECT_TRUE(editor::installOutcome({R::Done, ""}));
    EXPECT_EQ(editor::installOutcome({R::NoTarget, "/t"}).failure(),
              (errors::Failure{"Windowsディレクトリの取得に失敗しました。", 16}));
    EXPECT_EQ(editor::installOutcome({R::CopyFailed, "/home/u/FILE03.INI"}).failure(),
              (errors::Failure{"ファイルをコピーできませんでした。\r\n/home/u/FILE03.INI", 16}));
    const auto missing = editor::installOutcome({R::NoSettings, "/home/u/VISTROVA.INI"});
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.failure().flags, 16);
    EXPECT_EQ(missing.failure().text.find("設定ファイルが作成されていません。\r\n設定ファイルを作成してから"), 0u);

    const std::string prompt(editor::installPrompt());
    const auto crlf = prompt.find("\r\n");
    ASSERT_NE(crlf, std::string::npos);
    EXPECT_EQ(prompt.find("\r\n", crlf + 2), std::string::npos);  // exactly two lines
    EXPECT_EQ(prompt.substr(crlf + 2).rfind("[OK]を選択した後で", 0), 0u);
    EXPECT_EQ(prompt.rfind("[Vistrova]と現在の設定ファイルを", 0), 0u);
}

TEST(InstallMessages, OnlyARefusedRegistrationIsReported) {
    using Reg = screensaver::Registration;
    for (Reg r : {Reg::Added, Reg::AlreadyThere, Reg::NoConfig}) EXPECT_TRUE(editor::registrationOutcome(r, "/h/.x"));
    const auto refused = editor::registrationOutcome(Reg::Refused, "/h/.xscreensaver");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.failure().flags, 48);
    EXPECT_NE(refused.failure().text.find("\r\n/h/.xscreensaver"), std::string::npos);
}

}  // namespace
