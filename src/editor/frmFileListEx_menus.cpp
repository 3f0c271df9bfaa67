// The editor's command surface: the menu bar and the tool bar buttons built
// from the command table as one action per command, the handlers of the
// commands, the screen-saver installation and the background colour.
#include "frmFileListEx.h"

#include "EditorIcons.h"
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
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

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

// Keeps a tool bar button's icon. The action it shares with a menu item
// carries none, so the menu keeps the width of one without icons; the
// button takes the action's state on every change and then its icon again.
class ButtonIcon : public QObject {
public:
    ButtonIcon(QToolButton* button, QIcon icon) : QObject(button), m_icon(std::move(icon)) {
        button->setIcon(m_icon);
        button->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ActionChanged) return false;
        watched->event(event);
        static_cast<QToolButton*>(watched)->setIcon(m_icon);
        return true;
    }

private:
    QIcon m_icon;
};

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
        if (row.command != Command::None) m_commands.emplace(row.command, a);
        if (row.kind == MenuKind::Check) {
            a->setCheckable(true);
            a->setChecked(true);
        } else if (row.kind == MenuKind::Mode) {
            a->setCheckable(true);
            m_modeGroup->addAction(a);
            mnuListViewMode[viewModeOf(row.command)] = a;
        }
    }
    mnuViewToolbar = menuItem(QStringLiteral("mnuViewToolbar"));
    mnuViewCustombar = menuItem(QStringLiteral("mnuViewCustombar"));
    mnuViewStatusBar = menuItem(QStringLiteral("mnuViewStatusBar"));
    mnuViewPre = menuItem(QStringLiteral("mnuViewPre"));
}

QAction* frmFileListEx::commandAction(Command command) const {
    const auto it = m_commands.find(command);
    return it == m_commands.end() ? nullptr : it->second;
}

// A button carries its command's menu item, so the check marks and the
// enabling stay in one place; the action gains the button's tool tip.
void frmFileListEx::buildCommandButtons() {
    const auto add = [&](QToolBar* bar, std::span<const ButtonRow> table) {
        for (const ButtonRow& row : table) {
            if (row.kind == ButtonKind::Separator) {
                bar->addSeparator();
                continue;
            }
            QAction* a = commandAction(row.command);
            a->setToolTip(text(row.tooltip));
            bar->addAction(a);
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(a));
            new ButtonIcon(button, commandIcon(row.icon));
            const QString key = text(row.key);
            button->setObjectName(key);
            m_buttons.insert(key, button);
            // The button runs the action first, then arranges.
            if (row.arrange) connect(button, &QToolButton::clicked, this, [this] { m_folders->arrangeAlongLeft(); });
        }
    };
    add(tbToolBar, toolBarTable());
    add(tbCustomBar, customBarTable());
}

// The one place where the commands meet their handlers.
void frmFileListEx::bindCommands() {
    const std::pair<Command, std::function<void()>> handlers[] = {
        {Command::ListNext, [this] { m_list->step(Step::NextList); }},
        {Command::ListBack, [this] { m_list->step(Step::PrevList); }},
        {Command::PageNext, [this] { m_list->step(Step::NextPage); }},
        {Command::PageBack, [this] { m_list->step(Step::PrevPage); }},
        {Command::FileSave, [this] { m_list->store(); }},
        {Command::FileDelete, [this] { m_list->deleteListFile(); }},
        {Command::FileRun, [this] { m_list->run(); }},
        {Command::FileClose, [this] { close(); }},
        {Command::EditAdd, [this] { m_list->addEntries(AddKind::Selected, m_folders->fileRows(true)); }},
        {Command::EditAddAll, [this] { m_list->addEntries(AddKind::All, m_folders->fileRows(false)); }},
        {Command::EditDelete, [this] { m_list->removeSelected(); }},
        {Command::EditDeleteAll, [this] { m_list->removeAll(); }},
        {Command::EditUp, [this] { m_list->moveCurrent(true); }},
        {Command::EditDown, [this] { m_list->moveCurrent(false); }},
        {Command::EditSelectAll, [this] { m_folders->selectAll(); }},
        {Command::EditInvertSelection, [this] { m_folders->invertSelection(); }},
        {Command::ViewToolbar, [this] { toggleElement(tbToolBar, mnuViewToolbar); }},
        {Command::ViewCustombar, [this] { toggleElement(tbCustomBar, mnuViewCustombar); }},
        {Command::ViewStatusBar, [this] { toggleElement(sbStatusBar, mnuViewStatusBar); }},
        {Command::ViewPre, [this] { toggleElement(m_preview, mnuViewPre); }},
        {Command::ViewRefresh, [this] { m_folders->refresh(); }},
        {Command::CustomScreen, [this] { mnuCustomScreen_Click(); }},
        {Command::CustomColor, [this] { mnuCustomColor_Click(); }},
        {Command::CustomOption, [this] { dialogs::frmOptions::showModal(m_state, this); }},
        // A missing help document shows nothing from here.
        {Command::HelpContents, [] { platform::openHelpDocument(); }},
        {Command::HelpAbout, [this] { dialogs::frmAbout::showModal(this); }},
    };
    for (const auto& [command, handler] : handlers) connect(commandAction(command), &QAction::triggered, this, handler);
    // The view modes and the sorts carry their mode or column in the command table.
    for (const auto& [command, action] : m_commands) {
        if (const int mode = viewModeOf(command); mode >= 0)
            connect(action, &QAction::triggered, this, [this, mode] { mnuListViewMode_Click(mode); });
        else if (const int column = sortColumnOf(command); column >= 0)
            connect(action, &QAction::triggered, this, [this, column] { m_folders->sortBy(column); });
    }
}

void frmFileListEx::mnuCustomScreen_Click() {
    if (mdlMessage::msgBox(text(installPrompt()), mdlMessage::kQuestion + mdlMessage::kOkCancel, mdlMessage::kTitleVistrova, this) != mdlMessage::kOk) return;
    const std::string target = screensaver::targetFolder();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const screensaver::Result result =
        screensaver::install(runningProgramPath(), m_state.settingsPath, m_state.listPrefix, target);
    QApplication::restoreOverrideCursor();
    if (const auto installed = installOutcome(result); !installed) {
        mdlMessage::show(installed.failure(), mdlMessage::kTitleVistrova, this);
        return;
    }
    const std::string config = QDir::homePath().toStdString() + "/.xscreensaver";
    const screensaver::Registration registration =
        screensaver::registerProgram(config, target + "/" + std::string(screensaver::kProgramName));
    if (const auto registered = registrationOutcome(registration, config); !registered)
        mdlMessage::show(registered.failure(), mdlMessage::kTitleVistrova, this);
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
    if (settings::write(m_state.settingsPath, settings::entry(settings::kBackColor, value))) {
        mdlMessage::msgBox(text(colourStoredText()), mdlMessage::kInformation + mdlMessage::kOkOnly,
                           mdlMessage::kTitleVistrova, this);
    } else {
        // The colour still holds for this run; the user learns it was not stored.
        mdlMessage::msgBox(text(colourNotStoredText()) + QStringLiteral("\r\n") +
                               QString::fromStdString(m_state.settingsPath),
                           mdlMessage::kExclamation + mdlMessage::kOkOnly, mdlMessage::kTitleVistrova, this);
    }
    m_state.backColor = value;
}

}  // namespace editor
