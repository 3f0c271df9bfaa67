#include "frmHelp.h"

#include "dialogs/PlainText.h"

#include <QFont>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace dialogs {

namespace {
constexpr int kWidth = 480;
constexpr int kHeight = 514;

// One line of the picture: what to do, and what it does.
struct HelpRow {
    const char* gesture;
    const char* effect;
};

constexpr HelpRow kMouseRows[] = {
    {"左クリック", "次のファイル"},
    {"右クリック", "前のファイル"},
    {"中クリック / Shift+クリック", "一時停止・再開"},
    {"Ctrl+クリック", "スライドショーの終了"},
    {"ダブルクリック", "直前のクリックをもう一度"},
    {"押したまま左右へ", "ムービーを10秒ずつ戻す・進める"},
    {"押したまま上下へ", "音量を上げる・下げる"},
    {"押したまま別のボタン", "最初から表示し直す"},
    {"画面の左上の隅を押す", "スライドショーの終了"},
};

constexpr HelpRow kKeyRows[] = {
    {"F1", "ヘルプ文書を開く"},
    {"F2", "このウィンドウ"},
    {"F6 / F8 (変更可)", "前のファイル / 次のファイル"},
    {"F5 / F7 (変更可)", "一時停止・再開 / 最初から"},
    {"Esc / Alt+F4", "スライドショーの終了"},
};

void drawArrow(QPainter& p, QPointF from, QPointF to) {
    p.drawLine(from, to);
    const QPointF d = to - from;
    const double len = std::hypot(d.x(), d.y());
    if (len <= 0) return;
    const QPointF u = d / len;
    const QPointF n(-u.y(), u.x());
    QPainterPath head;
    head.moveTo(to);
    head.lineTo(to - u * 9 + n * 5);
    head.lineTo(to - u * 9 - n * 5);
    head.closeSubpath();
    p.fillPath(head, p.pen().color());
}

void drawMouse(QPainter& p, QPointF centre) {
    p.save();
    p.setPen(QPen(QColor(240, 240, 255), 2));
    const QRectF body(centre.x() - 18, centre.y() - 28, 36, 56);
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(body, 16, 16);
    p.drawLine(QPointF(centre.x(), body.top()), QPointF(centre.x(), centre.y() - 6));
    p.drawLine(QPointF(body.left() + 2, centre.y() - 6), QPointF(body.right() - 2, centre.y() - 6));
    p.setPen(QPen(QColor(255, 210, 90), 3));
    drawArrow(p, centre + QPointF(-26, 0), centre + QPointF(-52, 0));
    drawArrow(p, centre + QPointF(26, 0), centre + QPointF(52, 0));
    drawArrow(p, centre + QPointF(0, -34), centre + QPointF(0, -56));
    drawArrow(p, centre + QPointF(0, 34), centre + QPointF(0, 56));
    p.restore();
}

int drawRows(QPainter& p, const HelpRow* rows, int count, int top) {
    QFont gestureFont = p.font();
    gestureFont.setPixelSize(13);
    gestureFont.setBold(true);
    QFont effectFont = gestureFont;
    effectFont.setBold(false);
    for (int i = 0; i < count; ++i) {
        const int y = top + i * 22;
        p.setFont(gestureFont);
        p.setPen(QColor(255, 230, 150));
        p.drawText(QRect(28, y, 200, 20), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(rows[i].gesture));
        p.setFont(effectFont);
        p.setPen(Qt::white);
        p.drawText(QRect(232, y, 230, 20), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(rows[i].effect));
    }
    return top + count * 22;
}
}  // namespace

QImage frmHelp::helpPicture() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0.0, QColor(18, 32, 84));
    sky.setColorAt(0.6, QColor(30, 86, 130));
    sky.setColorAt(1.0, QColor(12, 40, 60));
    p.fillRect(image.rect(), sky);
    // A faint film strip along the top: the show's pictures passing by.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRect(0, 10, kWidth, 46);
    p.setBrush(QColor(255, 255, 255, 50));
    for (int x = 6; x < kWidth; x += 24) {
        p.drawRect(x, 13, 12, 6);
        p.drawRect(x, 47, 12, 6);
    }
    for (int i = 0; i < 6; ++i) {
        p.setBrush(QColor::fromHsv((i * 47 + 180) % 360, 90, 200, 120));
        p.drawRect(14 + i * 78, 22, 66, 22);
    }

    QFont title = p.font();
    title.setPixelSize(26);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(24, 64, 300, 36), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vistrova!!"));
    QFont sub = title;
    sub.setPixelSize(14);
    sub.setBold(false);
    p.setFont(sub);
    p.setPen(QColor(200, 220, 255));
    p.drawText(QRect(24, 98, 300, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8("スライドショーの操作"));
    drawMouse(p, QPointF(400, 96));

    p.setPen(QColor(255, 255, 255, 110));
    p.drawLine(24, 128, kWidth - 24, 128);
    int y = drawRows(p, kMouseRows, static_cast<int>(std::size(kMouseRows)), 134);
    p.setPen(QColor(255, 255, 255, 110));
    p.drawLine(24, y + 4, kWidth - 24, y + 4);
    drawRows(p, kKeyRows, static_cast<int>(std::size(kKeyRows)), y + 10);
    return image;
}

QString frmHelp::infoText(const mdlPublic::PlayList& playList) {
    const int position = playList.position;
    QString title;
    if (position >= 0 && position < mdlPublic::kPlayListSlots) {
        title = QString::fromStdString(playList.titles[static_cast<std::size_t>(position)]);
    }
    return QStringLiteral("%1/%2 %3").arg(position + 1).arg(playList.count).arg(title);
}

frmHelp::frmHelp(const mdlPublic::PlayList& playList, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QString());
    setFixedSize(kWidth, kHeight);

    m_imgPct = new QLabel(this);
    m_imgPct->setObjectName(QStringLiteral("imgPct"));
    m_imgPct->setScaledContents(true);

    m_lblInfo = plaintext::plain(new QLabel(this));  // carries the entry's title
    m_lblInfo->setObjectName(QStringLiteral("lblInfo"));
    m_lblInfo->setGeometry(16, 480, 358, 20);
    QFont bold = m_lblInfo->font();
    bold.setPointSize(12);
    bold.setBold(true);
    m_lblInfo->setFont(bold);
    m_lblInfo->setAutoFillBackground(true);
    QPalette palette = m_lblInfo->palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 192));
    palette.setColor(QPalette::WindowText, Qt::white);
    m_lblInfo->setPalette(palette);

    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setGeometry(384, 480, 81, 21);
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &frmHelp::cmdOK_Click);

    m_imgPct->installEventFilter(this);
    m_lblInfo->installEventFilter(this);
    Form_Load(playList);
}

void frmHelp::Form_Load(const mdlPublic::PlayList& playList) {
    m_imgPct->setPixmap(QPixmap::fromImage(helpPicture()));
    m_imgPct->setGeometry(0, 0, width(), height());
    m_imgPct->lower();
    m_lblInfo->setText(infoText(playList));
}

void frmHelp::cmdOK_Click() { accept(); }

void frmHelp::DragWindow(const QPoint& globalPress) {
    // Followed here, as the launcher is: a move handed to the window manager
    // starts from where Qt last believed the window was, and a dialog just
    // placed by the manager can jump across the screen.
    m_manualDrag = true;
    m_dragOffset = globalPress - pos();
}

bool frmHelp::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_imgPct && watched != m_lblInfo) return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) DragWindow(mouse->globalPosition().toPoint());
        return true;
    }
    case QEvent::MouseMove:
        if (m_manualDrag) {
            move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - m_dragOffset);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (m_manualDrag && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_manualDrag = false;
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace dialogs
