#include "frmAbout.h"

#include "dialogs/Version.h"
#include "dialogs/mdlMessage.h"
#include "shared/Twips.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QUrl>

#include <algorithm>

namespace dialogs {

namespace {
const QString kTitle = QStringLiteral("Vistrova!!");
const QString kComments = QStringLiteral("写真と動画のスライドショー");
const QString kDescription = QStringLiteral("Vistrova slideshow and screen saver");
const QString kLegal = QStringLiteral("Copyright (C) 2026 The Vistrova developers");
const QString kMail = QStringLiteral("vistrova@example.org");
const QString kUrl = QStringLiteral("https://vistrova.example.org/");

}  // namespace

frmAbout::frmAbout(QWidget* owner) : QDialog(owner) {
    setWindowTitle(QStringLiteral("バージョン情報"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    const QScreen* screen = owner ? owner->screen() : this->screen();
    m_tpp = twips::perPixel(screen ? screen->logicalDotsPerInchX() : 96.0);
    const auto px = [this](double t) { return twips::toPixels(t, m_tpp); };

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(QPixmap(QStringLiteral(":/icons/vistrova.png"))
                           .scaled(px(720), px(720), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    picIcon->setGeometry(px(240), px(240), px(720), px(720));

    lblTitle = new QLabel(this);
    QFont bold = font();
    bold.setBold(true);
    lblTitle->setFont(bold);
    lblVersion = new QLabel(this);
    lblDescription = new QLabel(this);
    lblMail = new QLabel(this);
    lblURL = new QLabel(this);
    for (QLabel* l : {lblMail, lblURL}) {
        l->setStyleSheet(QStringLiteral("color: blue;"));
        l->setCursor(Qt::PointingHandCursor);
    }
    lblMail->setObjectName(QStringLiteral("lblMail"));
    lblURL->setObjectName(QStringLiteral("lblURL"));
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    // A grey and a white line between the text and the buttons.
    line1 = new QFrame(this);
    line1->setStyleSheet(QStringLiteral("background: #808080;"));
    line1->setGeometry(px(120), px(2480), px(5400), 1);
    line2 = new QFrame(this);
    line2->setStyleSheet(QStringLiteral("background: #ffffff;"));
    line2->setGeometry(px(120), px(2480) + 1, px(5400), 1);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setGeometry(px(4005), px(2625), px(1500), px(375));
    cmdOK->setDefault(true);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdSysInfo = new QPushButton(QStringLiteral("システム情報(&S)..."), this);
    cmdSysInfo->setGeometry(px(4020), px(3075), px(1485), px(375));
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    // A caption wider than its designed button (the Japanese font runs wider)
    // widens both buttons to the left, with some room beside the caption; the
    // two stay one column, their right edges where they were.
    int wanted = 0;
    for (const QPushButton* b : {cmdOK, cmdSysInfo})
        wanted = std::max(wanted, b->sizeHint().width() + style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b));
    for (QPushButton* b : {cmdOK, cmdSysInfo})
        if (wanted > b->width()) b->setGeometry(b->geometry().adjusted(b->width() - wanted, 0, 0, 0));

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    lblMail->installEventFilter(this);
    lblURL->installEventFilter(this);

    Form_Load();
    // Long texts push the lines and the buttons down instead of running under them.
    const int shift = std::max(0, lblURL->y() + lblURL->height() + px(120) - line1->y());
    for (QWidget* w : std::initializer_list<QWidget*>{line1, line2, cmdOK, cmdSysInfo}) w->move(w->x(), w->y() + shift);
    setFixedSize(px(5745), px(3630) + shift);
}

QString frmAbout::versionText(int major, int minor, int revision) {
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

void frmAbout::showModal(QWidget* owner) {
    frmAbout about(owner);
    about.exec();
}

void frmAbout::Form_Load() {
    const auto px = [this](double t) { return twips::toPixels(t, m_tpp); };
    const auto place = [](QLabel* l, int left, int top, int width) {
        l->setWordWrap(true);
        l->setFixedWidth(width);
        l->adjustSize();
        l->move(left, top);
    };
    lblTitle->setText(kTitle + QStringLiteral("\r\n") + kComments);
    place(lblTitle, px(1050), px(240), px(4400));
    lblVersion->setText(versionText(version::kMajor, version::kMinor, version::kRevision));
    place(lblVersion, px(1050), px(780), px(4400));
    lblDescription->setText(kDescription + QStringLiteral("\r\n") + kLegal);
    place(lblDescription, px(1050), px(1125), px(4400));
    // The addresses follow the description however many lines it took.
    lblMail->setText(kMail);
    place(lblMail, px(1050), lblDescription->y() + lblDescription->height() + px(120), px(4400));
    lblURL->setText(kUrl);
    place(lblURL, px(1050), lblMail->y() + lblMail->height() + px(60), px(4400));
}

void frmAbout::cmdOK_Click() { accept(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo() {
    // There is no system-information tool on this platform.
    mdlMessage::msgBox(QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません"), mdlMessage::kOkOnly, mdlMessage::kTitleVistrova, this);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == lblMail) lblMail_Click();
        if (watched == lblURL) lblURL_Click();
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::lblMail_Click() { QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:") + lblMail->text())); }

void frmAbout::lblURL_Click() { QDesktopServices::openUrl(QUrl(lblURL->text())); }

}  // namespace dialogs
