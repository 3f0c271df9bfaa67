#pragma once
// The editor's command surface as data: the menu bar, the two tool bars, the
// sort direction rule, the colour value and the messages of the screen-saver
// installation. No widgets. A tool bar button runs the menu item of its
// command: the window gives both one QAction.

#include "ScreenSaver.h"
#include "shared/Outcome.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace editor {

enum class Command {
    None,
    // File menu.
    ListNext, ListBack, PageNext, PageBack, FileSave, FileDelete, FileRun, FileClose,
    // Edit menu.
    EditAdd, EditAddAll, EditDelete, EditDeleteAll, EditUp, EditDown, EditSelectAll, EditInvertSelection,
    // View menu.
    ViewToolbar, ViewCustombar, ViewStatusBar, ViewPre,
    ViewLarge, ViewSmall, ViewList, ViewDetails,
    SortByName, SortByType, SortByDate, ViewRefresh, ViewOptions,
    // Custom and Help menus.
    CustomScreen, CustomColor, CustomOption, HelpContents, HelpAbout,
};

// Kinds of rows of the menu table.
enum class MenuKind {
    Menu,       // a top-level menu; the rows below it up to the next Menu are its items
    Submenu,    // opens a submenu; the following rows with `sub` set belong to it
    Item,       // a plain command
    Check,      // a show/hide toggle, checked at the start
    Mode,       // one of the four view modes, checked while it is the current mode
    Separator,
};

struct MenuRow {
    std::string_view name;      // element name, "mnuFileSave"
    MenuKind kind;
    std::string_view caption;   // with its "&" mnemonic
    std::string_view shortcut;  // QKeySequence text ("Ctrl+S", "F5"), empty for none
    Command command;
    bool sub = false;           // inside the submenu opened by the row before the run
    bool enabled = true;
};

// The menu bar from top to bottom.
std::span<const MenuRow> menuTable();

enum class ButtonKind { Button, Group, Separator };

struct ButtonRow {
    std::string_view key;      // button key, compared case-sensitively
    std::string_view tooltip;
    int icon;                  // position in the editor's icon set; -1 for a separator
    ButtonKind kind;
    Command command;
    bool arrange = false;      // arranges the icons along the left edge after the command
};

// tbToolBar: 22 buttons, separators included; tbCustomBar: 4.
std::span<const ButtonRow> toolBarTable();
std::span<const ButtonRow> customBarTable();

// The view mode 0..3 a command selects, or -1.
int viewModeOf(Command command);
// The sort column 0..2 a command sorts by, or -1.
int sortColumnOf(Command command);

// Sorting: the column becomes `column` and the direction flips on every sort
// command, also when the column changes. Direction 0 ascending, 1 descending.
struct SortState {
    int column = 0;
    int order = 0;
    bool operator==(const SortState&) const = default;
};
SortState sortAfter(SortState now, int column);

// Arrangement value of the file view's icon modes: 0 none, 1 along the left edge.
inline constexpr int kArrangeLeft = 1;

// Colour values are 0x00BBGGRR, red in the low byte.
struct Rgb {
    int red, green, blue;
};
std::int32_t colourValue(Rgb c);
Rgb rgbOf(std::int32_t value);
// The 16 custom colours offered on every opening of the colour dialog.
std::span<const Rgb> customColours();

// Texts of the background colour and screen-saver commands.
std::string_view installPrompt();
std::string_view colourStoredText();
// Shown in its place when the settings file could not be written.
std::string_view colourNotStoredText();

// An installation as the user learns of it: a failure is the box to show.
errors::Outcome<> installOutcome(const screensaver::Result& result);
// A registration in the xscreensaver configuration at `configPath`: a failure
// unless it was added, already there or there is no configuration.
errors::Outcome<> registrationOutcome(screensaver::Registration registration, std::string_view configPath);

}  // namespace editor
