#pragma once
// The file list editor window. It composes the folder browser, the list pane,
// the preview pane and the interval bar, orders the opening and the close
// (each pane reads and stores its own part of the view), owns the commands,
// the bars and the splitters, and wires the panes together. Built afresh at
// each opening; GUI thread only.

#include "EditorCommands.h"
#include "EditorLayout.h"
#include "EditorRules.h"
#include "FolderPane.h"
#include "IntervalBar.h"
#include "ListPane.h"
#include "PreviewPane.h"
#include "TwipsScale.h"

#include <QDialog>
#include <QHash>
#include <QMargins>

#include <functional>
#include <map>
#include <optional>

class QAction;
class QActionGroup;
class QLabel;
class QMenuBar;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;

namespace mdlPublic {
struct PublicState;
}

namespace editor {

// Heights of the tool bars and of the heading strip, in pixels.
inline constexpr int kBarPixels = 28;
inline constexpr int kTitlesPixels = 24;

class frmFileListEx : public QDialog {
    Q_OBJECT
public:
    explicit frmFileListEx(mdlPublic::PublicState& state, QWidget* owner = nullptr);
    ~frmFileListEx() override;

    // Runs the opening sequence; call once before showing.
    void Form_Load();

    FolderPane* folders() const { return m_folders; }
    ListPane* lists() const { return m_list; }
    PreviewPane* preview() const { return m_preview; }
    IntervalBar* intervalBar() const { return m_interval; }
    const Layout& layoutNow() const { return m_layout; }

    // The command surface: one action per command, by its menu element name,
    // shared by the menu item and the tool bar button; the buttons by key.
    QMenuBar* menuBar() const { return m_menuBar; }
    QAction* menuItem(const QString& name) const { return m_items.value(name); }
    QToolButton* toolButton(const QString& key) const { return m_buttons.value(key); }
    QToolBar* toolBar() const { return tbToolBar; }
    QToolBar* customBar() const { return tbCustomBar; }
    // The show the run command starts over this window.
    void setShowSequence(std::function<void(QWidget*)> show) { m_showSequence = std::move(show); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void reject() override;

private:
    // Construction.
    void buildMenus();
    void buildToolBars();
    void buildPanes();
    void buildSplitters();
    void buildStatusBar();
    void buildCommandButtons();
    void bindCommands();
    void wirePanes();

    // Commands.
    QAction* commandAction(Command command) const;
    void mnuListViewMode_Click(int mode);
    void mnuCustomScreen_Click();
    void mnuCustomColor_Click();
    // Shows or hides a bar or the preview as its toggle now says.
    void toggleElement(QWidget* element, const QAction* item);
    void syncViewModeMarks();

    // Lifecycle.
    bool closeSequence();
    CloseView currentView() const;

    // Layout and splitters.
    void SizeControls(double position, int index);
    LayoutEnv layoutEnv() const;
    void applyLayout();
    void resizeHandling();
    // Makes the outer frame the stored one once the frame's margins are known.
    void fitWantedFrame();
    void noteNormalFrame();
    QRect restoredFrame() const;
    void splitterPress(int bar);
    void splitterMove(int bar, const QPoint& pos);
    void splitterRelease(int bar);

    // The program's state, which the opening reads and the close hands the list to.
    mdlPublic::PublicState& m_state;
    TwipsScale m_scale;
    Columns m_cols;
    Layout m_layout;
    bool m_dragging = false;
    bool m_closing = false;
    bool m_loaded = false;
    bool m_inResize = false;
    double m_feedbackLeft = 0;    // picSplitter(0) left, twips
    double m_feedbackTop = 3840;  // picSplitter(1) top, twips
    // The outer frame asked for on opening, applied again once the frame is known.
    std::optional<QRect> m_wantedFrame;
    // The frame margins the window was last fitted to the stored frame with.
    std::optional<QMargins> m_fittedMargins;
    // The outer frame the window last had in the normal state: the one it
    // comes back to from maximised or minimised, and what a close then stores.
    std::optional<QRect> m_normalFrame;

    QMenuBar* m_menuBar = nullptr;
    QWidget* m_client = nullptr;
    QAction* mnuViewToolbar = nullptr;
    QAction* mnuViewCustombar = nullptr;
    QAction* mnuViewStatusBar = nullptr;
    QAction* mnuViewPre = nullptr;
    QAction* mnuListViewMode[4] = {};
    QActionGroup* m_modeGroup = nullptr;
    QHash<QString, QAction*> m_items;        // menu items by element name
    std::map<Command, QAction*> m_commands;  // the same actions by command
    QHash<QString, QToolButton*> m_buttons;  // tool bar buttons by key

    QToolBar* tbToolBar = nullptr;
    QToolBar* tbCustomBar = nullptr;
    IntervalBar* m_interval = nullptr;
    PreviewPane* m_preview = nullptr;
    FolderPane* m_folders = nullptr;
    ListPane* m_list = nullptr;
    QWidget* pctSplitUD = nullptr;
    QWidget* imgSplitter[2] = {};
    QWidget* picSplitter[2] = {};
    QStatusBar* sbStatusBar = nullptr;
    QLabel* m_panelPath = nullptr;
    QLabel* m_panelDate = nullptr;
    QLabel* m_panelTime = nullptr;
    QTimer* m_clock = nullptr;
    std::function<void(QWidget*)> m_showSequence;
};

}  // namespace editor
