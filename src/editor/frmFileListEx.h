#pragma once
// The file list editor window: browser, preview pane and the list being
// edited. Built afresh at each opening; GUI thread only.

#include "EditorCommands.h"
#include "EditorLayout.h"
#include "EditorRules.h"
#include "ListEditRules.h"
#include "PreviewMovie.h"

#include <QDialog>
#include <QHash>
#include <QImage>
#include <QMargins>

#include <functional>
#include <map>
#include <memory>

class QAction;
class QActionGroup;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMimeData;
class QMenu;
class QMenuBar;
class QRadioButton;
class QSlider;
class QStatusBar;
class QTimer;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace editor {

class FileView;

// Heights of the tool bars and of the heading strip, in pixels.
inline constexpr int kBarPixels = 28;
inline constexpr int kTitlesPixels = 24;

class frmFileListEx : public QDialog {
    Q_OBJECT
public:
    explicit frmFileListEx(QWidget* owner = nullptr);
    ~frmFileListEx() override;

    // Runs the opening sequence; call once before showing.
    void Form_Load();

    // Elements the tests look at.
    QMenuBar* menuBar() const { return m_menuBar; }
    FileView* fileView() const { return lvListView; }
    QTreeWidget* tree() const { return tvTreeView; }
    QTreeWidget* list() const { return lvList; }
    QString currentFolderPath() const;
    bool changed() const { return m_changed; }
    void setChanged(bool changed) { m_changed = changed; }
    const Layout& layoutNow() const { return m_layout; }
    QLabel* summaryLabel() const { return lblNum; }
    QLabel* nameLabel() const { return lblName; }
    QLabel* typeLabel() const { return lblType; }
    QLabel* timeLabel() const { return lblTime; }
    QLabel* picture() const { return imgPre; }
    QWidget* movie() const { return mplPre->widget(); }
    QLabel* titleLabel() const { return lblFolder; }
    QWidget* previewPane() const { return pctWeb; }
    QComboBox* drives() const { return drvList; }
    QComboBox* typeBox() const { return cboType; }

    // Handlers (public so the tests can drive them as a user would).
    void drvList_Change();
    void tvRefresh(const QString& folderPath);
    void tvTreeView_Expand(QTreeWidgetItem* node);
    void tvTreeView_Click();
    void lvListView_Click();
    void lvListView_ColumnClick(int column);
    void mnuListViewMode_Click(int mode);
    void mnuViewToolbar_Click();
    void mnuViewCustombar_Click();
    void mnuViewStatusBar_Click();
    void mnuViewPre_Click();
    void mnuViewRefresh_Click();
    void PreClear();
    void PreView(const QString& path);
    void WebReSize();
    void SelectionRule(const QStringList& names, const QString& singlePath);
    void SizeControls(double position, int index);

    // Command surface (frmFileListEx_menus.cpp).
    QAction* menuItem(const QString& name) const { return m_items.value(name); }
    QAction* toolButton(const QString& key) const { return m_buttons.value(key); }
    QToolBar* toolBar() const { return tbToolBar; }
    QToolBar* customBar() const { return tbCustomBar; }
    void runCommand(Command command, bool arrange = false);
    void tbToolBar_ButtonClick(const QString& key);
    void tbCustomBar_ButtonClick(const QString& key);
    void mnuVAIByName_Click();
    void mnuVAIByType_Click();
    void mnuVAIByDate_Click();
    void mnuEditDSelectAll_Click();
    void mnuEditInvertSelection_Click();
    void mnuHelpContents_Click();
    void mnuHelpAbout_Click();
    void mnuCustomOption_Click();
    void mnuCustomScreen_Click();
    void mnuCustomColor_Click();
    // Replaces the handler of a command whose handler lives outside this file.
    void setCommandHandler(Command command, std::function<void()> handler);
    // List editing, navigation, store, delete and run (frmFileListEx_list.cpp,
    // frmFileListEx_store.cpp).
    void mnuEditAdd_Click();
    void mnuEditAddAll_Click();
    void mnuEditDelete_Click();
    void mnuEditDeleteAll_Click();
    void mnuEditUp_Click();
    void mnuEditDown_Click();
    void lvListView_DblClick();
    void lvList_DblClick();
    void lvList_OLEDragDrop(const QMimeData* dropped);
    void lvList_Click();
    void lvList_GotFocus();
    void lvList_ColumnClick();
    void txtListName_Change();
    void mnuFileListNext_Click();
    void mnuFileListBack_Click();
    void mnuFilePageNext_Click();
    void mnuFilePageBack_Click();
    void mnuFileSave_Click();
    void mnuFileDelete_Click();
    void mnuFileRun_Click();
    QLineEdit* listName() const { return txtListName; }
    // The show the run command starts; the tests put a stand-in here.
    void setShowSequence(std::function<void(QWidget*)> show) { m_showSequence = std::move(show); }

    // Interval controls (frmFileListEx_interval.cpp).
    void txtTime_Change();
    void sldTime_Change();
    void optTime_Click(int index);
    QLineEdit* intervalBox() const { return txtTime; }
    QSlider* intervalSlider() const { return sldTime; }

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
    // Construction (frmFileListEx.cpp).
    void buildMenus();
    void buildToolBars();
    void buildPreview();
    void buildColumns();
    void buildStatusBar();
    void buildCommandButtons();  // frmFileListEx_menus.cpp
    void bindListCommands();     // frmFileListEx_menus.cpp

    // Lifecycle (frmFileListEx_lifecycle.cpp).
    bool closeSequence();
    CloseView currentView() const;
    void loadCurrentList();

    // List commands (frmFileListEx_list.cpp, frmFileListEx_store.cpp).
    enum class StoreOutcome { Stored, Declined, Failed };
    void CreateListCommands();
    void CreateIntervalCommands();
    StoreOutcome storeCurrentList();
    bool leaveCurrentList();
    void moveTo(Step step);
    void appendPlanned(AddKind kind, const QList<PaneEntry>& candidates);
    QList<PaneEntry> paneEntries() const;
    void appendPaneEntry(const PaneEntry& e);
    void removePaneRows(const QList<int>& rows);
    void moveCurrent(bool up);
    void toggleElement(QWidget* element, QAction* item);
    void syncViewModeMarks();

    // Browser (frmFileListEx_browser.cpp).
    QTreeWidgetItem* addFolderNode(QTreeWidgetItem* parent, const QString& name);
    void folderScan(QTreeWidgetItem* node);
    QString folderPathOf(QTreeWidgetItem* node) const;
    QString currentDrive() const;
    void setCurrentFolderPath(const QString& path);
    void setFolderTitle(const QString& text);

    // Preview (frmFileListEx_preview.cpp).
    void placeNameRightOf(double left, double width);
    void placeLabelsUnderName();
    void fitShown();

    // Layout (frmFileListEx_layout.cpp).
    LayoutEnv layoutEnv() const;
    void applyLayout();
    void resizeHandling();
    // Makes the outer frame the stored one once the frame's margins are known.
    void fitWantedFrame();
    int px(double twips) const;
    int pxY(double twips) const;
    double twX(int pixels) const;
    double twY(int pixels) const;
    void setTwipsGeometry(QWidget* w, const Rect& r) const;
    void splitterPress(int bar, const QPoint& pos);
    void splitterMove(int bar, const QPoint& pos);
    void splitterRelease(int bar);

    double m_tppX = 15, m_tppY = 15;
    Columns m_cols;
    Layout m_layout;
    bool m_laidOut = false;
    bool m_changed = false;
    bool m_dragging = false;
    bool m_closing = false;
    bool m_loaded = false;
    bool m_inResize = false;
    long m_nodeCounter = 1;
    double m_lblFolderTop = 0;
    double m_feedbackLeft = 0;  // picSplitter(0) left, twips
    double m_feedbackTop = 3840;  // picSplitter(1) top, twips
    // The outer frame asked for on opening, applied again once the frame is known.
    std::optional<QRect> m_wantedFrame;
    // The frame margins the window was last fitted to the stored frame with.
    std::optional<QMargins> m_fittedMargins;

    QMenuBar* m_menuBar = nullptr;
    QWidget* m_client = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileClose = nullptr;
    QAction* mnuViewToolbar = nullptr;
    QAction* mnuViewCustombar = nullptr;
    QAction* mnuViewStatusBar = nullptr;
    QAction* mnuViewPre = nullptr;
    QAction* mnuListViewMode[4] = {};
    QAction* mnuViewRefresh = nullptr;
    QActionGroup* m_modeGroup = nullptr;
    QHash<QString, QAction*> m_items;    // menu items by element name
    QHash<QString, QAction*> m_buttons;  // tool bar buttons by key
    std::map<Command, std::function<void()>> m_listCommands;

    QToolBar* tbToolBar = nullptr;
    QAction* m_viewButtons[4] = {};
    QToolBar* tbCustomBar = nullptr;
    QWidget* picCustomBar = nullptr;
    QLabel* lblText = nullptr;
    QSlider* sldTime = nullptr;
    QLineEdit* txtTime = nullptr;
    QRadioButton* optTime[2] = {};

    QWidget* pctWeb = nullptr;
    QLabel* lblFolder = nullptr;
    QFrame* linWebBar = nullptr;
    QLabel* imgPre = nullptr;
    std::unique_ptr<IPreviewMovie> mplPre;
    QLabel* lblName = nullptr;
    QLabel* lblType = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblNum = nullptr;
    QImage m_picture;  // decoded picture of imgPre
    QSize m_pictureNatural;

    QWidget* pctSplitUD = nullptr;
    QWidget* picTitles = nullptr;
    QComboBox* drvList = nullptr;
    QComboBox* cboType = nullptr;
    QLineEdit* txtListName = nullptr;
    QTreeWidget* tvTreeView = nullptr;
    QWidget* imgSplitter[2] = {};
    FileView* lvListView = nullptr;
    QTreeWidget* lvList = nullptr;
    QWidget* picSplitter[2] = {};
    QStatusBar* sbStatusBar = nullptr;
    QLabel* m_panelPath = nullptr;
    QLabel* m_panelDate = nullptr;
    QLabel* m_panelTime = nullptr;
    QTimer* m_clock = nullptr;
    std::function<void(QWidget*)> m_showSequence;
};

}  // namespace editor
