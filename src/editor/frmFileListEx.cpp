// Construction of the editor window: the panes, the splitters, the tool bars
// and the status bar, and the wiring between the panes. The menus and the
// tool bar buttons are built from the command table (frmFileListEx_menus.cpp).
#include "frmFileListEx.h"

#include "FolderPane.h"
#include "IntervalBar.h"
#include "ListPane.h"
#include "PreviewPane.h"
#include "dialogs/PlainText.h"
#include "platform/KeyRepeat.h"
#include "shared/mdlPublic.h"

#include <QDate>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>

namespace editor {

namespace {
// Designed client area, twips.
constexpr double kDesignedClientWidth = 9660;
constexpr double kDesignedClientHeight = 8580;
}  // namespace

frmFileListEx::frmFileListEx(mdlPublic::PublicState& state, QWidget* owner) : QDialog(owner), m_state(state) {
    setObjectName(QStringLiteral("frmFileListEx"));
    setWindowTitle(QStringLiteral("FileList"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    if (const QScreen* s = screen())
        m_scale = {twips::perPixel(s->logicalDotsPerInchX()), twips::perPixel(s->logicalDotsPerInchY())};

    m_menuBar = new QMenuBar(this);
    m_client = new QWidget(this);
    buildMenus();
    buildToolBars();
    bindCommands();
    buildPanes();
    buildSplitters();
    buildStatusBar();
    wirePanes();
    // The panes act on key releases: only on those of keys pressed here, so
    // the Enter that answered a message box or the key that opened the editor
    // does nothing. A held key still moves through the views.
    new platform::HeldKeyFilter(this, platform::HeldKeyFilter::Presses::Repeat);

    const int menuHeight = m_menuBar->sizeHint().height();
    resize(m_scale.px(kDesignedClientWidth), m_scale.pxY(kDesignedClientHeight) + menuHeight);
}

frmFileListEx::~frmFileListEx() = default;

void frmFileListEx::buildToolBars() {
    tbToolBar = new QToolBar(m_client);
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setIconSize(QSize(16, 16));
    tbToolBar->setMovable(false);

    tbCustomBar = new QToolBar(m_client);
    tbCustomBar->setObjectName(QStringLiteral("tbCustomBar"));
    tbCustomBar->setIconSize(QSize(16, 16));
    tbCustomBar->setMovable(false);
    m_interval = new IntervalBar(m_scale, kBarPixels);
    // The command buttons first, then the interval controls.
    buildCommandButtons();
    tbCustomBar->addWidget(m_interval);
}

void frmFileListEx::buildPanes() {
    m_preview = new PreviewPane(m_scale, m_client);
    m_folders = new FolderPane(m_client);
    m_list = new ListPane(m_state, m_client);
    m_list->setFilter(m_folders->filter());
}

void frmFileListEx::buildSplitters() {
    pctSplitUD = new QWidget(m_client);
    pctSplitUD->setObjectName(QStringLiteral("pctSplitUD"));
    pctSplitUD->setCursor(Qt::SizeVerCursor);
    pctSplitUD->installEventFilter(this);
    for (int i = 0; i < 2; ++i) {
        // Above the panes, whose frames span the bars between their elements.
        imgSplitter[i] = new QWidget(m_client);
        imgSplitter[i]->setObjectName(QStringLiteral("imgSplitter(%1)").arg(i));
        imgSplitter[i]->setCursor(Qt::SizeHorCursor);
        imgSplitter[i]->installEventFilter(this);
        picSplitter[i] = new QWidget(m_client);
        picSplitter[i]->setObjectName(QStringLiteral("picSplitter(%1)").arg(i));
        picSplitter[i]->setAutoFillBackground(true);
        QPalette pal = picSplitter[i]->palette();
        pal.setColor(QPalette::Window, QColor(128, 128, 128));
        picSplitter[i]->setPalette(pal);
        picSplitter[i]->hide();
    }
}

void frmFileListEx::buildStatusBar() {
    sbStatusBar = new QStatusBar(m_client);
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    sbStatusBar->setSizeGripEnabled(false);
    m_panelPath = plaintext::plain(new QLabel);
    m_panelDate = new QLabel;
    m_panelTime = new QLabel;
    sbStatusBar->addWidget(m_panelPath, 1);
    sbStatusBar->addPermanentWidget(m_panelDate);
    sbStatusBar->addPermanentWidget(m_panelTime);
    m_clock = new QTimer(this);
    const auto tick = [this] {
        const QDateTime now = QDateTime::currentDateTime();
        m_panelDate->setText(now.date().toString(QStringLiteral("yyyy/MM/dd")));
        m_panelTime->setText(now.time().toString(QStringLiteral("HH:mm")));
    };
    connect(m_clock, &QTimer::timeout, this, tick);
    tick();
    m_clock->start(1000);
}

void frmFileListEx::wirePanes() {
    // A selection feeds the preview only while the pane is shown and the window is open.
    const auto select = [this](const QStringList& names, const QString& singlePath) {
        if (!m_preview->isHidden() && isVisible()) m_preview->SelectionRule(names, singlePath);
    };
    connect(m_folders, &FolderPane::folderChanged, m_panelPath, &QLabel::setText);
    connect(m_folders, &FolderPane::titleWanted, m_preview, &PreviewPane::setTitle);
    connect(m_folders, &FolderPane::selected, this, select);
    connect(m_folders, &FolderPane::filterChanged, m_list, &ListPane::setFilter);
    connect(m_folders, &FolderPane::chosen, this,
            [this](const QList<PaneEntry>& entries) { m_list->addEntries(AddKind::ViewDoubleClick, entries); });
    connect(m_list, &ListPane::titleWanted, m_preview, &PreviewPane::setTitle);
    connect(m_list, &ListPane::selected, this, select);
    connect(m_list, &ListPane::previewStale, m_preview, &PreviewPane::PreClear);
    connect(m_list, &ListPane::showWanted, this, [this] {
        if (m_showSequence) m_showSequence(this);
    });
    connect(m_interval, &IntervalBar::intervalChanged, this,
            [this](int value) { m_state.interval = static_cast<std::int16_t>(value); });
    connect(m_interval, &IntervalBar::unitChanged, this,
            [this](int unit) { m_state.unit = static_cast<std::int16_t>(unit); });
}

}  // namespace editor
