#include "EditorCommands.h"

#include "dialogs/mdlMessage.h"

#include <array>

namespace editor {
namespace {

using C = Command;
using K = MenuKind;
using B = ButtonKind;

constexpr MenuRow kMenu[] = {
    {"mnuFile", K::Menu, "ファイル(&F)", "", C::None},
    {"mnuFileListNext", K::Item, "次のリスト(&U)", "Ctrl+U", C::ListNext},
    {"mnuFileListBack", K::Item, "前のリスト(&Y)", "Ctrl+Y", C::ListBack},
    {"mnuFileBar1", K::Separator, "", "", C::None},
    {"mnuFilePageNext", K::Item, "次のページ(&I)", "Ctrl+I", C::PageNext},
    {"mnuFilePageBack", K::Item, "前のページ(&T)", "Ctrl+T", C::PageBack},
    {"mnuFileBar2", K::Separator, "", "", C::None},
    {"mnuFileSave", K::Item, "登録(&S)", "Ctrl+S", C::FileSave},
    {"mnuFileDelete", K::Item, "削除(&D)", "Ctrl+D", C::FileDelete},
    {"mnuFileBar3", K::Separator, "", "", C::None},
    {"mnuFileRun", K::Item, "実行(&R)", "F5", C::FileRun},
    {"mnuFileBar4", K::Separator, "", "", C::None},
    {"mnuFileClose", K::Item, "閉じる(&C)", "", C::FileClose},

    {"mnuEdit", K::Menu, "編集(&E)", "", C::None},
    {"mnuEditAdd", K::Item, "リストに追加(&E)", "Ctrl+E", C::EditAdd},
    {"mnuEditAddAll", K::Item, "リストに全て追加(&R)", "Ctrl+R", C::EditAddAll},
    {"mnuEditBar1", K::Separator, "", "", C::None},
    {"mnuEditDelete", K::Item, "リストから削除(&W)", "Ctrl+W", C::EditDelete},
    {"mnuEditDeleteAll", K::Item, "リストから全て削除(&Q)", "Ctrl+Q", C::EditDeleteAll},
    {"mnuEditBar2", K::Separator, "", "", C::None},
    {"mnuEditUp", K::Item, "上に(&U)", "", C::EditUp},
    {"mnuEditDown", K::Item, "下に(&D)", "", C::EditDown},
    {"mnuEditBar3", K::Separator, "", "", C::None},
    {"mnuEditDSelectAll", K::Item, "すべて選択(&A)", "Ctrl+A", C::EditSelectAll},
    {"mnuEditInvertSelection", K::Item, "選択の切り替え(&I)", "", C::EditInvertSelection},

    {"mnuView", K::Menu, "表示(&V)", "", C::None},
    {"mnuViewToolbar", K::Check, "ツール バー(&T)", "", C::ViewToolbar},
    {"mnuViewCustombar", K::Check, "カスタム バー(&C)", "", C::ViewCustombar},
    {"mnuViewStatusBar", K::Check, "ステータス バー(&B)", "", C::ViewStatusBar},
    {"mnuViewBar1", K::Separator, "", "", C::None},
    {"mnuViewPre", K::Check, "プレビュー(&P)", "", C::ViewPre},
    {"mnuViewBar2", K::Separator, "", "", C::None},
    {"mnuListViewMode(0)", K::Mode, "大きいアイコン(&G)", "", C::ViewLarge},
    {"mnuListViewMode(1)", K::Mode, "小さいアイコン(&M)", "", C::ViewSmall},
    {"mnuListViewMode(2)", K::Mode, "一覧(&L)", "", C::ViewList},
    {"mnuListViewMode(3)", K::Mode, "詳細(&D)", "", C::ViewDetails},
    {"mnuViewBar3", K::Separator, "", "", C::None},
    {"mnuViewArrangeIcons", K::Submenu, "アイコンの整列(&I)", "", C::None},
    {"mnuVAIByName", K::Item, "名前順(&N)", "", C::SortByName, true},
    {"mnuVAIByType", K::Item, "種類順(&T)", "", C::SortByType, true},
    {"mnuVAIByDate", K::Item, "日付順(&D)", "", C::SortByDate, true},
    {"mnuViewBar4", K::Separator, "", "", C::None},
    {"mnuViewRefresh", K::Item, "最新の情報に更新(&R)", "", C::ViewRefresh},
    // Carries no command; shown disabled so the key dialog is found under Custom.
    {"mnuViewOptions", K::Item, "オプション(&O)...", "", C::ViewOptions, false, false},

    {"mnuCustom", K::Menu, "カスタム(&C)", "", C::None},
    {"mnuCustomScreen", K::Item, "スクリーンセーバーに設定(&S)", "", C::CustomScreen},
    {"mnuCustomColor", K::Item, "背景色の設定(&C)", "", C::CustomColor},
    {"mnuCustomBar1", K::Separator, "", "", C::None},
    {"mnuCustomOption", K::Item, "オプション(&O)", "", C::CustomOption},

    {"mnuHelp", K::Menu, "ヘルプ(&H)", "", C::None},
    {"mnuHelpContents", K::Item, "Vistrova!!のヘルプ(&H)", "F1", C::HelpContents},
    {"mnuHelpBar1", K::Separator, "", "", C::None},
    {"mnuHelpAbout", K::Item, "バージョン情報(&A)...", "", C::HelpAbout},
};

constexpr ButtonRow kSeparator{"", "", -1, B::Separator, C::None};

constexpr ButtonRow kToolBar[] = {
    {"PageBack", "前のページ", 9, B::Button, C::PageBack},
    {"ListBack", "前のリスト", 10, B::Button, C::ListBack},
    {"ListNext", "次のリスト", 11, B::Button, C::ListNext},
    {"PageNext", "次のページ", 12, B::Button, C::PageNext},
    kSeparator,
    {"FileSave", "登録", 13, B::Button, C::FileSave},
    {"FileDelete", "削除", 14, B::Button, C::FileDelete},
    kSeparator,
    {"DeleteAll", "リストから全て削除", 15, B::Button, C::EditDeleteAll},
    {"Delete", "リストから削除", 16, B::Button, C::EditDelete},
    {"Add", "リストに追加", 17, B::Button, C::EditAdd},
    {"AddAll", "リストに全て追加", 18, B::Button, C::EditAddAll},
    kSeparator,
    {"Up", "上に", 19, B::Button, C::EditUp},
    {"Down", "下に", 20, B::Button, C::EditDown},
    kSeparator,
    {"ViewLarge", "大きいアイコン表示", 21, B::Group, C::ViewLarge, true},
    {"ViewSmall", "小さいアイコン表示", 22, B::Group, C::ViewSmall, true},
    {"ViewList", "一覧表示", 23, B::Group, C::ViewList},
    {"ViewDetails", "詳細表示", 24, B::Group, C::ViewDetails},
    kSeparator,
    {"FileRun", "実行", 28, B::Button, C::FileRun},
};

constexpr ButtonRow kCustomBar[] = {
    {"Screen", "スクリーンセーバーに設定", 26, B::Button, C::CustomScreen},
    {"Color", "背景色の変更", 27, B::Button, C::CustomColor},
    kSeparator,
    {"Option", "オプション", 25, B::Button, C::CustomOption},
};

constexpr Rgb kCustom[16] = {
    {0, 0, 0},     {0, 0, 128},   {0, 128, 0},   {0, 128, 128}, {128, 0, 0},   {128, 0, 128},
    {128, 128, 0}, {192, 192, 192}, {128, 128, 128}, {0, 0, 255}, {0, 255, 0}, {0, 255, 255},
    {255, 0, 0},   {255, 0, 255}, {255, 255, 0}, {255, 255, 255},
};

}  // namespace

std::span<const MenuRow> menuTable() { return kMenu; }
std::span<const ButtonRow> toolBarTable() { return kToolBar; }
std::span<const ButtonRow> customBarTable() { return kCustomBar; }

int viewModeOf(Command command) {
    switch (command) {
    case C::ViewLarge: return 0;
    case C::ViewSmall: return 1;
    case C::ViewList: return 2;
    case C::ViewDetails: return 3;
    default: return -1;
    }
}

int sortColumnOf(Command command) {
    switch (command) {
    case C::SortByName: return 0;
    case C::SortByType: return 1;
    case C::SortByDate: return 2;
    default: return -1;
    }
}

SortState sortAfter(SortState now, int column) { return {column, now.order == 0 ? 1 : 0}; }

std::int32_t colourValue(Rgb c) {
    const auto byte = [](int v) { return static_cast<std::uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    return static_cast<std::int32_t>(byte(c.red) | (byte(c.green) << 8) | (byte(c.blue) << 16));
}

Rgb rgbOf(std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    return {static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF)};
}

std::span<const Rgb> customColours() { return kCustom; }

std::string_view installPrompt() {
    return "[Vistrova]と現在の設定ファイルをシステムフォルダへコピーしてスクリーンセーバーとして使えるように設定します。\r\n"
           "[OK]を選択した後で[画面のプロパティ]を開きスクリーンセーバーを[Vistrova]に変更してください。";
}

std::string_view colourStoredText() { return "背景色を変更しました。"; }
std::string_view colourNotStoredText() { return "背景色を設定ファイルに保存できませんでした。"; }

errors::Outcome<> installOutcome(const screensaver::Result& result) {
    constexpr int kFailed = mdlMessage::kCritical + mdlMessage::kOkOnly;
    using R = screensaver::Result;
    switch (result.status) {
    case R::Done: return {};
    case R::NoTarget: return errors::Failure{"Windowsディレクトリの取得に失敗しました。", kFailed};
    case R::CopyFailed: return errors::Failure{"ファイルをコピーできませんでした。\r\n" + result.path, kFailed};
    case R::NoSettings:
        return errors::Failure{"設定ファイルが作成されていません。\r\n"
                               "設定ファイルを作成してから再度実行するか、スクリーンセーバーの設定を実行して設定ファイルを作成してください。",
                               kFailed};
    }
    return {};
}

errors::Outcome<> registrationOutcome(screensaver::Registration registration, std::string_view configPath) {
    using R = screensaver::Registration;
    if (registration != R::Refused) return {};
    return errors::Failure{"xscreensaverの設定ファイルに登録できませんでした。\r\n" + std::string(configPath), mdlMessage::kExclamation + mdlMessage::kOkOnly};
}

}  // namespace editor
