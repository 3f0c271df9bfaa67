// The editor's command surface: the menu bar and the tool bar buttons built
// from the command table, their dispatch, the view modes, sorting, help,
// about, the key dialog, the screen-saver installation and the background colour.
#include "frmFileListEx.h"

#include "EditorIcons.h"
#include "FileView.h"
#include "FolderPane.h"
#include "ListPane.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmOptions.h"
#include "dialogs/mdlMessage.h"
#include "platform/DesktopOpen.h"
#include "shared/Settings.h"
#include "shared/mdlPublic.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <filesystem>
#include <span>
#include <string>

namespace editor {
namespace {

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The file of the running program, symbolic links resolved: the installed copy
// must be the program itself, not a link to where it was built.
std::string runningProgramPath() {
    const QString path = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    if (!path.isEmpty()) return path.toStdString();
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).string();
}

}  // namespace

void frmFileListEx::buildMenus() {
    m_modeGroup = new QActionGroup(this);
    QMenu* menu = nullptr;
    QMenu* submenu = nullptr;
    for (const MenuRow& row : menuTable()) {
        const QString name = text(row.name);
        if (row.kind == MenuKind::Menu) {
            menu = m_menuBar->addMenu(text(row.caption));
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            m_items.insert(name, menu->menuAction());
            submenu = nullptr;
            continue;
        }
        QMenu* target = row.sub && submenu ? submenu : menu;
        if (row.kind == MenuKind::Submenu) {
            submenu = menu->addMenu(text(row.caption));
            submenu->setObjectName(name);
            submenu->menuAction()->setObjectName(name);
            m_items.insert(name, submenu->menuAction());
            continue;
        }
        if (row.kind == MenuKind::Separator) {
            target->addSeparator()->setObjectName(name);
            continue;
        }
        QAction* a = target->addAction(text(row.caption));
        a->setObjectName(name);
        a->setEnabled(row.enabled);
        if (!row.shortcut.empty()) a->setShortcut(QKeySequence(text(row.shortcut)));
        m_items.insert(name, a);
        const Command command = row.command;
        if (row.kind == MenuKind::Check) {
            a->setCheckable(true);
            a->setChecked(true);
            // The toggle decides from the check mark as it was before the click.
            connect(a, &QAction::triggered, this, [this, a, command] {
                a->setChecked(!a->isChecked());
                runCommand(command);
            });
            continue;
        }
        if (row.kind == MenuKind::Mode) {
            a->setCheckable(true);
            m_modeGroup->addAction(a);
            mnuListViewMode[viewModeOf(command)] = a;
        }
        connect(a, &QAction::triggered, this, [this, command] { runCommand(command); });
    }
    mnuViewToolbar = menuItem(QStringLiteral("mnuViewToolbar"));
    mnuViewCustombar = menuItem(QStringLiteral("mnuViewCustombar"));
    mnuViewStatusBar = menuItem(QStringLiteral("mnuViewStatusBar"));
    mnuViewPre = menuItem(QStringLiteral("mnuViewPre"));
}

void frmFileListEx::buildCommandButtons() {
    auto* viewGroup = new QActionGroup(this);
    const auto add = [&](QToolBar* bar, std::span<const ButtonRow> table, void (frmFileListEx::*click)(const QString&)) {
        for (const ButtonRow& row : table) {
            if (row.kind == ButtonKind::Separator) {
                bar->addSeparator();
                continue;
            }
            const QString key = text(row.key);
            QAction* a = bar->addAction(commandIcon(row.icon), text(row.tooltip));
            a->setObjectName(key);
            a->setToolTip(text(row.tooltip));
            m_buttons.insert(key, a);
            if (row.kind == ButtonKind::Group) {
                a->setCheckable(true);
                viewGroup->addAction(a);
                m_viewButtons[viewModeOf(row.command)] = a;
            }
            connect(a, &QAction::triggered, this, [this, click, key] { (this->*click)(key); });
        }
    };
    add(tbToolBar, toolBarTable(), &frmFileListEx::tbToolBar_ButtonClick);
    add(tbCustomBar, customBarTable(), &frmFileListEx::tbCustomBar_ButtonClick);
}

// The one place where the list commands meet their handlers (list editing,
// list and page navigation, store, delete and run); the tests replace them.
void frmFileListEx::bindListCommands() {
    m_listCommands = {
        {Command::ListNext, [this] { mnuFileListNext_Click(); }},
        {Command::ListBack, [this] { mnuFileListBack_Click(); }},
        {Command::PageNext, [this] { mnuFilePageNext_Click(); }},
        {Command::PageBack, [this] { mnuFilePageBack_Click(); }},
        {Command::FileSave, [this] { mnuFileSave_Click(); }},
        {Command::FileDelete, [this] { mnuFileDelete_Click(); }},
        {Command::FileRun, [this] { mnuFileRun_Click(); }},
        {Command::EditAdd, [this] { mnuEditAdd_Click(); }},
        {Command::EditAddAll, [this] { mnuEditAddAll_Click(); }},
        {Command::EditDelete, [this] { mnuEditDelete_Click(); }},
        {Command::EditDeleteAll, [this] { mnuEditDeleteAll_Click(); }},
        {Command::EditUp, [this] { mnuEditUp_Click(); }},
        {Command::EditDown, [this] { mnuEditDown_Click(); }},
    };
}

void frmFileListEx::setCommandHandler(Command command, std::function<void()> handler) {
    m_listCommands[command] = std::move(handler);
}

void frmFileListEx::runCommand(Command command, bool arrange) {
    if (const int mode = viewModeOf(command); mode >= 0) {
        mnuListViewMode_Click(mode);
        if (arrange) m_folders->fileView()->setArrangement(kArrangeLeft);
        return;
    }
    if (const int column = sortColumnOf(command); column >= 0) {
        m_folders->lvListView_ColumnClick(column);
        return;
    }
    switch (command) {
    case Command::FileClose: close(); return;
    case Command::EditSelectAll: mnuEditDSelectAll_Click(); return;
    case Command::EditInvertSelection: mnuEditInvertSelection_Click(); return;
    case Command::ViewToolbar: mnuViewToolbar_Click(); return;
    case Command::ViewCustombar: mnuViewCustombar_Click(); return;
    case Command::ViewStatusBar: mnuViewStatusBar_Click(); return;
    case Command::ViewPre: mnuViewPre_Click(); return;
    case Command::ViewRefresh: mnuViewRefresh_Click(); return;
    case Command::CustomScreen: mnuCustomScreen_Click(); return;
    case Command::CustomColor: mnuCustomColor_Click(); return;
    case Command::CustomOption: mnuCustomOption_Click(); return;
    case Command::HelpContents: mnuHelpContents_Click(); return;
    case Command::HelpAbout: mnuHelpAbout_Click(); return;
    default: break;
    }
    if (const auto it = m_listCommands.find(command); it != m_listCommands.end() && it->second) it->second();
}

void frmFileListEx::tbToolBar_ButtonClick(const QString& key) {
    const ButtonAction action = toolBarDispatch(key.toStdString());
    runCommand(action.command, action.arrange);
}

void frmFileListEx::tbCustomBar_ButtonClick(const QString& key) {
    const ButtonAction action = customBarDispatch(key.toStdString());
    runCommand(action.command, action.arrange);
}

void frmFileListEx::mnuEditDSelectAll_Click() { m_folders->selectAll(); }
void frmFileListEx::mnuEditInvertSelection_Click() { m_folders->invertSelection(); }

void frmFileListEx::mnuEditAdd_Click() { m_list->addEntries(AddKind::Selected, m_folders->fileRows(true)); }
void frmFileListEx::mnuEditAddAll_Click() { m_list->addEntries(AddKind::All, m_folders->fileRows(false)); }
void frmFileListEx::mnuEditDelete_Click() { m_list->removeSelected(); }
void frmFileListEx::mnuEditDeleteAll_Click() { m_list->removeAll(); }
void frmFileListEx::mnuEditUp_Click() { m_list->moveCurrent(true); }
void frmFileListEx::mnuEditDown_Click() { m_list->moveCurrent(false); }
void frmFileListEx::mnuFileListNext_Click() { m_list->step(Step::NextList); }
void frmFileListEx::mnuFileListBack_Click() { m_list->step(Step::PrevList); }
void frmFileListEx::mnuFilePageNext_Click() { m_list->step(Step::NextPage); }
void frmFileListEx::mnuFilePageBack_Click() { m_list->step(Step::PrevPage); }
void frmFileListEx::mnuFileSave_Click() { m_list->store(); }
void frmFileListEx::mnuFileDelete_Click() { m_list->deleteListFile(); }
void frmFileListEx::mnuFileRun_Click() { m_list->run(); }

void frmFileListEx::mnuHelpContents_Click() {
    // A missing help document shows nothing from here.
    platform::openHelpDocument();
}

void frmFileListEx::mnuHelpAbout_Click() { dialogs::frmAbout::showModal(this); }

void frmFileListEx::mnuCustomOption_Click() { dialogs::frmOptions::showModal(this); }

void frmFileListEx::mnuCustomScreen_Click() {
    if (mdlMessage::msgBox(text(installPrompt()), mdlMessage::kQuestion + mdlMessage::kOkCancel, mdlMessage::kTitleVistrova, this) != mdlMessage::kOk) return;
    const mdlPublic::PublicState& pub = mdlPublic::publicState();
    const std::string target = screensaver::targetFolder();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const screensaver::Result result = screensaver::install(runningProgramPath(), pub.settingsPath, pub.listPrefix, target);
    QApplication::restoreOverrideCursor();
    if (const auto message = installMessage(result)) {
        mdlMessage::msgBox(text(message->text), message->flags, mdlMessage::kTitleVistrova, this);
        return;
    }
    const std::string config = QDir::homePath().toStdString() + "/.xscreensaver";
    const screensaver::Registration registration =
        screensaver::registerProgram(config, target + "/" + std::string(screensaver::kProgramName));
    if (const auto message = registrationMessage(registration, config))
        mdlMessage::msgBox(text(message->text), message->flags, mdlMessage::kTitleVistrova, this);
}

void frmFileListEx::mnuCustomColor_Click() {
    // The custom colours are offered afresh on every opening; changes to them are not kept.
    const std::span<const Rgb> custom = customColours();
    for (std::size_t i = 0; i < custom.size(); ++i)
        QColorDialog::setCustomColor(static_cast<int>(i), QColor(custom[i].red, custom[i].green, custom[i].blue));
    // No colour is preselected: the dialog starts on black.
    QColorDialog dialog(QColor(0, 0, 0), this);
    dialog.setObjectName(QStringLiteral("dlgColor"));
    // Qt's own dialog shows the preset custom colours; a desktop's native one would not.
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setWindowTitle(QStringLiteral("色の設定"));
    if (dialog.exec() != QDialog::Accepted) return;
    const QColor chosen = dialog.selectedColor();
    const std::int32_t value = colourValue({chosen.red(), chosen.green(), chosen.blue()});
    mdlPublic::PublicState& pub = mdlPublic::publicState();
    if (settings::write(pub.settingsPath, settings::entry(settings::kBackColor, value))) {
        mdlMessage::msgBox(text(colourStoredText()), mdlMessage::kInformation + mdlMessage::kOkOnly,
                           mdlMessage::kTitleVistrova, this);
    } else {
        // The colour still holds for this run; the user learns it was not stored.
        mdlMessage::msgBox(text(colourNotStoredText()) + QStringLiteral("\r\n") + QString::fromStdString(pub.settingsPath),
                           mdlMessage::kExclamation + mdlMessage::kOkOnly, mdlMessage::kTitleVistrova, this);
    }
    pub.backColor = value;
}

}  // namespace editor
