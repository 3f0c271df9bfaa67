// Construction of the editor window's elements; the menus and the tool bar
// buttons are built from the command table (frmFileListEx_menus.cpp).
#include "frmFileListEx.h"

#include "EditorIcons.h"
#include "dialogs/PlainText.h"
#include "FileView.h"
#include "platform/KeyRepeat.h"
#include "platform/Volumes.h"
#include "shared/MediaTypes.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

namespace editor {

namespace {
// Designed client area, twips.
constexpr double kDesignedClientWidth = 9660;
constexpr double kDesignedClientHeight = 8580;
}  // namespace

frmFileListEx::frmFileListEx(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmFileListEx"));
    setWindowTitle(QStringLiteral("FileList"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    const QScreen* s = screen();
    if (s) {
        m_tppX = TwipsPerPixel(s->logicalDotsPerInchX());
        m_tppY = TwipsPerPixel(s->logicalDotsPerInchY());
    }

    m_menuBar = new QMenuBar(this);
    m_client = new QWidget(this);
    buildMenus();
    buildToolBars();
    bindListCommands();
    buildPreview();
    buildColumns();
    buildStatusBar();
    CreateListCommands();
    CreateIntervalCommands();
    // The panes act on key releases: only on those of keys pressed here, so
    // the Enter that answered a message box or the key that opened the editor
    // does nothing. A held key still moves through the views.
    new platform::HeldKeyFilter(this, platform::HeldKeyFilter::Presses::Repeat);

    const int menuHeight = m_menuBar->sizeHint().height();
    resize(px(kDesignedClientWidth), pxY(kDesignedClientHeight) + menuHeight);
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
    picCustomBar = new QWidget;
    lblText = new QLabel(QStringLiteral("インターバル"), picCustomBar);
    lblText->setToolTip(QStringLiteral("画像ファイルの更新間隔"));
    sldTime = new QSlider(Qt::Horizontal, picCustomBar);
    sldTime->setRange(0, 99);
    sldTime->setToolTip(QStringLiteral("0～99"));
    txtTime = new QLineEdit(QStringLiteral("0"), picCustomBar);
    txtTime->setToolTip(QStringLiteral("0～99"));
    optTime[0] = new QRadioButton(QStringLiteral("秒"), picCustomBar);
    optTime[1] = new QRadioButton(QStringLiteral("分"), picCustomBar);
    for (QRadioButton* o : optTime) o->setToolTip(QStringLiteral("時間単位"));
    optTime[0]->setChecked(true);
    // Designed places inside the bar, twips.
    setTwipsGeometry(lblText, {120, 90, 840, 180});
    setTwipsGeometry(sldTime, {1080, 90, 2655, 255});
    setTwipsGeometry(txtTime, {3840, 45, 375, 270});
    setTwipsGeometry(optTime[0], {4320, 90, 495, 180});
    setTwipsGeometry(optTime[1], {4920, 90, 495, 180});
    for (QWidget* w : std::initializer_list<QWidget*>{lblText, optTime[0], optTime[1], txtTime})
        w->setMinimumHeight(qMin(w->sizeHint().height(), kBarPixels - 4));
    // The designed places assume the original font; keep the order, make room for the texts.
    lblText->adjustSize();
    int x = qMax(sldTime->x(), lblText->x() + lblText->width() + 6);
    sldTime->move(x, sldTime->y());
    x += sldTime->width() + 6;
    txtTime->setGeometry(x, txtTime->y(), qMax(txtTime->width(), txtTime->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 8), txtTime->height());
    x += txtTime->width() + 6;
    for (QRadioButton* o : optTime) {
        o->adjustSize();
        o->move(x, o->y());
        x += o->width() + 6;
    }
    picCustomBar->setFixedSize(optTime[1]->x() + optTime[1]->width() + 8, kBarPixels - 4);
    for (QWidget* w : std::initializer_list<QWidget*>{lblText, sldTime, txtTime, optTime[0], optTime[1]})
        w->move(w->x(), qMax(0, (picCustomBar->height() - w->height()) / 2));
    // The command buttons first, then the interval controls.
    buildCommandButtons();
    tbCustomBar->addWidget(picCustomBar);
}

void frmFileListEx::buildPreview() {
    pctWeb = new QWidget(m_client);
    pctWeb->setObjectName(QStringLiteral("pctWeb"));
    pctWeb->setAutoFillBackground(true);
    QPalette pal = pctWeb->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    pctWeb->setPalette(pal);

    // Folder names, file names and list titles: shown literally.
    lblFolder = plaintext::Plain(new QLabel(pctWeb));
    QFont bold = lblFolder->font();
    bold.setBold(true);
    bold.setPointSize(12);
    lblFolder->setFont(bold);
    lblFolder->setWordWrap(true);
    lblFolder->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTwipsGeometry(lblFolder, {120, 0, 2040, 300});

    linWebBar = new QFrame(pctWeb);
    linWebBar->setAutoFillBackground(true);
    QPalette linePal = linWebBar->palette();
    linePal.setColor(QPalette::Window, QColor(102, 153, 204));
    linWebBar->setPalette(linePal);

    imgPre = new QLabel(pctWeb);
    imgPre->setScaledContents(true);
    imgPre->hide();
    mplPre = CreatePreviewMovie(pctWeb);
    mplPre->widget()->hide();

    lblName = new QLabel(pctWeb);
    QFont nameFont = lblName->font();
    nameFont.setBold(true);
    nameFont.setPointSize(9);
    lblName->setFont(nameFont);
    lblType = new QLabel(pctWeb);
    lblTime = new QLabel(pctWeb);
    lblNum = new QLabel(pctWeb);
    for (QLabel* l : {lblName, lblType, lblTime, lblNum}) {
        plaintext::Plain(l);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setWordWrap(l != lblNum);
        l->hide();
    }
    setTwipsGeometry(lblName, {3120, 120, 585, 240});
    setTwipsGeometry(lblType, {3120, 480, 495, 240});
    setTwipsGeometry(lblTime, {3120, 840, 495, 240});
    setTwipsGeometry(lblNum, {3120, 120, 2000, 240});

    pctSplitUD = new QWidget(m_client);
    pctSplitUD->setObjectName(QStringLiteral("pctSplitUD"));
    pctSplitUD->setCursor(Qt::SizeVerCursor);
    pctSplitUD->installEventFilter(this);
}

void frmFileListEx::buildColumns() {
    picTitles = new QWidget(m_client);
    drvList = new QComboBox(picTitles);
    drvList->setToolTip(QStringLiteral("ドライブの変更"));
    drvList->addItems(platform::MountRoots());
    cboType = new QComboBox(picTitles);
    cboType->setToolTip(QStringLiteral("ファイルの種類"));
    for (std::string_view name : media::kFilterNames) cboType->addItem(QString::fromLatin1(name.data(), int(name.size())));
    cboType->setCurrentIndex(media::kFilterAll);
    txtListName = new QLineEdit(picTitles);
    txtListName->setToolTip(QStringLiteral("ファイルリストのタイトル"));
    connect(drvList, &QComboBox::currentIndexChanged, this, [this] { drvList_Change(); });

    tvTreeView = new QTreeWidget(m_client);
    tvTreeView->setObjectName(QStringLiteral("tvTreeView"));
    tvTreeView->setHeaderHidden(true);
    tvTreeView->setToolTip(QStringLiteral("フォルダの選択"));
    tvTreeView->installEventFilter(this);
    connect(tvTreeView, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* n) { tvTreeView_Expand(n); });
    connect(tvTreeView, &QTreeWidget::itemClicked, this, [this] { tvTreeView_Click(); });

    lvListView = new FileView(m_client);
    lvListView->setToolTip(QStringLiteral("ダブルクリックでファイルリストに追加"));
    connect(lvListView, &FileView::clicked, this, [this] { lvListView_Click(); });
    connect(lvListView, &FileView::keyReleased, this, [this] { lvListView_Click(); });
    connect(lvListView, &FileView::gotFocus, this, [this] {
        if (QTreeWidgetItem* n = tvTreeView->currentItem()) setFolderTitle(n->text(0));
    });
    connect(lvListView, &FileView::columnClicked, this, [this](int c) { lvListView_ColumnClick(c); });

    lvList = new QTreeWidget(m_client);
    lvList->setObjectName(QStringLiteral("lvList"));
    lvList->setColumnCount(2);
    lvList->setHeaderLabels({QStringLiteral("FileList"), QStringLiteral("Path")});
    lvList->setRootIsDecorated(false);
    lvList->setSelectionMode(QAbstractItemView::ExtendedSelection);

    for (int i = 0; i < 2; ++i) {
        imgSplitter[i] = new QWidget(m_client);
        imgSplitter[i]->setCursor(Qt::SizeHorCursor);
        imgSplitter[i]->installEventFilter(this);
        picSplitter[i] = new QWidget(m_client);
        picSplitter[i]->setAutoFillBackground(true);
        QPalette pal = picSplitter[i]->palette();
        pal.setColor(QPalette::Window, QColor(128, 128, 128));
        picSplitter[i]->setPalette(pal);
        picSplitter[i]->hide();
    }
}

void frmFileListEx::buildStatusBar() {
    sbStatusBar = new QStatusBar(m_client);
    sbStatusBar->setSizeGripEnabled(false);
    m_panelPath = plaintext::Plain(new QLabel);
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

QString frmFileListEx::currentFolderPath() const { return m_panelPath->text(); }

void frmFileListEx::setCurrentFolderPath(const QString& path) { m_panelPath->setText(path); }

}  // namespace editor
