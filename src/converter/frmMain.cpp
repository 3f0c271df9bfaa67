#include "frmMain.h"

#include "dialogs/mdlMessage.h"
#include "shared/ProgramFolder.h"
#include "shared/Twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <vector>
#include <QScreen>

namespace converter {

namespace {

const QString kTitle = QStringLiteral("Tarnquell");
const QString kInfo = QStringLiteral(
    "[Vistrova!! Ver1.01]以前で作成した[INIファイル]を[Vistrova!! Ver1.02]以降でも使用できるように変換します。"
    "変換には時間がかかることがあります。");
const QString kFinished = QStringLiteral("変換が終了しました。");

QRect rectOf(const converter::PixelRect& r) { return QRect(r.left, r.top, r.width, r.height); }

}  // namespace

InfoLabel::InfoLabel(const QString& text, QWidget* parent) : QWidget(parent), m_text(text) {}

void InfoLabel::paintEvent(QPaintEvent*) {
    // Lines step by the Latin face's height: a Japanese fallback face would
    // otherwise space them so far apart that the last line falls out of the label.
    const QFontMetrics metrics(font());
    QTextLayout layout(m_text, font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    std::vector<QTextLine> lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width());
        lines.push_back(line);
    }
    layout.endLayout();
    int step = metrics.height();
    if (lines.size() > 1) {
        const int room = height() - static_cast<int>(std::ceil(lines.back().height()));
        step = std::max(metrics.ascent(), std::min(step, room / static_cast<int>(lines.size() - 1)));
    }
    for (std::size_t i = 0; i < lines.size(); ++i) lines[i].setPosition(QPointF(0, static_cast<int>(i) * step));
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    layout.draw(&p, QPointF(0, 0));
}

Shape::Shape(const QColor& border, const QColor& fill, bool filled, QWidget* parent)
    : QWidget(parent), m_border(border), m_fill(fill), m_filled(filled) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    if (m_filled) p.fillRect(r, m_fill);
    p.setPen(m_border);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

frmMain::frmMain(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kTitle);
    // The form was drawn for a 9-point face.
    QFont face = font();
    face.setPointSize(9);
    setFont(face);

    const QScreen* screen = QGuiApplication::primaryScreen();
    const double tppX = twips::perPixel(screen ? screen->logicalDotsPerInchX() : 96.0);
    const double tppY = twips::perPixel(screen ? screen->logicalDotsPerInchY() : 96.0);
    const converter::FormLayout layout;
    const converter::PixelRect client = converter::toPixels(layout.client, tppX, tppY);
    setFixedSize(client.width, client.height);

    lblInfo = new InfoLabel(kInfo, this);
    // A point smaller than the rest: Japanese faces here are taller than the one the
    // form was drawn with, and all three lines have to fit the label.
    QFont small = face;
    small.setPointSize(8);
    lblInfo->setFont(small);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setGeometry(rectOf(converter::toPixels(layout.lblInfo, tppX, tppY)));

    const converter::PixelRect base = converter::toPixels(layout.shpBase, tppX, tppY);
    m_trackPixels = base.width;
    shpBase = new Shape(palette().color(QPalette::WindowText), Qt::transparent, false, this);
    shpBase->setObjectName(QStringLiteral("shpBase"));
    shpBase->setGeometry(rectOf(base));

    const QColor darkBlue(0, 0, 192);
    m_bar = converter::toPixels(layout.shpBar, tppX, tppY);
    shpBar = new Shape(darkBlue, darkBlue, true, this);
    shpBar->setObjectName(QStringLiteral("shpBar"));
    shpBar->setGeometry(rectOf(m_bar));

    lblPar = new QLabel(QStringLiteral("0%"), this);
    lblPar->setAlignment(Qt::AlignCenter);
    lblPar->setObjectName(QStringLiteral("lblPar"));
    // Room for the widest text it will show, "100%".
    lblPar->setGeometry(rectOf(converter::widenedAboutCentre(
        converter::toPixels(layout.lblPar, tppX, tppY), lblPar->fontMetrics().horizontalAdvance(QStringLiteral("100%")) + 2)));
    lblPar->raise();

    cmdButton[0] = new QPushButton(QStringLiteral("変換"), this);
    cmdButton[0]->setGeometry(rectOf(converter::toPixels(layout.cmdConvert, tppX, tppY)));
    cmdButton[1] = new QPushButton(QStringLiteral("閉じる"), this);
    cmdButton[1]->setGeometry(rectOf(converter::toPixels(layout.cmdClose, tppX, tppY)));
    cmdButton[0]->setObjectName(QStringLiteral("cmdButton0"));
    cmdButton[1]->setObjectName(QStringLiteral("cmdButton1"));
    connect(cmdButton[0], &QPushButton::clicked, this, [this] { cmdButton_Click(0); });
    connect(cmdButton[1], &QPushButton::clicked, this, [this] { cmdButton_Click(1); });

    Form_Initialize();
}

void frmMain::Form_Initialize() { m_paths = converter::pathsOf(programfolder::resolve()); }

void frmMain::cmdButton_Click(int index) {
    if (index == 0) {
        ChgINI();
    } else {
        close();
    }
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Closing in the middle would end the program with a message still owed.
    if (m_busy) {
        event->ignore();
        return;
    }
    event->accept();
}

void frmMain::setButtonsEnabled(bool enabled) {
    for (QPushButton* b : cmdButton) b->setEnabled(enabled);
}

void frmMain::showProgress(int index) {
    shpBar->resize(converter::barWidth(index, m_trackPixels), m_bar.height);
    lblPar->setText(QString::fromStdString(converter::percentText(index)));
    shpBar->repaint();
    lblPar->repaint();
    QCoreApplication::processEvents();
}

void frmMain::ChgINI() {
    if (m_busy) return;
    m_busy = true;
    setButtonsEnabled(false);
    setCursor(Qt::WaitCursor);

    const auto result = converter::ChgINI(m_paths, [this](int i) { showProgress(i); });

    setButtonsEnabled(true);
    unsetCursor();
    m_busy = false;

    if (!result) {
        mdlMessage::show(result.failure(), mdlMessage::kTitleTarnquill, this);
        return;
    }
    // Qt 6 decodes file names as UTF-8, as show does.
    if (!result->unwritable.empty())
        mdlMessage::show(converter::unwritableMessage(result->unwritable), mdlMessage::kTitleTarnquill, this);
    mdlMessage::msgBox(kFinished, mdlMessage::kInformation, mdlMessage::kTitleTarnquill, this);
}

}  // namespace converter
