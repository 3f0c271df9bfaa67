#include "frmOptions.h"

#include "dialogs/mdlMessage.h"
#include "platform/KeyCodes.h"
#include "platform/KeyRepeat.h"
#include "shared/Settings.h"
#include "shared/Twips.h"
#include "shared/mdlPublic.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <string>
#include <utility>

namespace dialogs {

namespace {
const char* const kLabels[4] = {"前のファイル", "次のファイル", "再生/一時停止", "巻き戻し"};

keyassign::Codes codesOf(const mdlPublic::KeyTable& k) { return {k.left, k.right, k.up, k.down}; }
}  // namespace

frmOptions::frmOptions(mdlPublic::PublicState& state, QWidget* owner) : QDialog(owner), m_state(state) {
    setWindowTitle(QStringLiteral("オプション"));
    const QScreen* screen = owner ? owner->screen() : this->screen();
    const double tpp = twips::perPixel(screen ? screen->logicalDotsPerInchX() : 96.0);
    const auto px = [tpp](double t) { return twips::toPixels(t, tpp); };

    QFont big = font();
    big.setPointSize(12);

    lblKey[4] = new QLabel(QStringLiteral("割り当てるキーを入力してください。"), this);
    lblKey[4]->move(px(240), px(240));
    lblKey[4]->adjustSize();

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cmdApply = new QPushButton(QStringLiteral("更新"), this);
    cmdOK->setGeometry(px(240), px(2895), px(1095), px(375));
    cmdCancel->setGeometry(px(1440), px(2895), px(1095), px(375));
    cmdApply->setGeometry(px(2640), px(2895), px(1095), px(375));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdApply->setObjectName(QStringLiteral("cmdApply"));
    for (QPushButton* b : {cmdOK, cmdCancel, cmdApply}) b->setAutoDefault(false);

    for (int i = 0; i < 4; ++i) {
        const int top = px(720 + 480 * i);
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtKey%1").arg(i));
        box->setFont(big);
        box->setGeometry(px(2400), top, px(1335), px(375));
        // Only the assignment rule changes a box: no typing, pasting or input method.
        box->setReadOnly(true);
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->setAcceptDrops(false);
        box->setAttribute(Qt::WA_InputMethodEnabled, false);
        box->installEventFilter(this);
        txtKey[static_cast<std::size_t>(i)] = box;

        auto* label = new QLabel(QString::fromUtf8(kLabels[i]), this);
        label->setFont(big);
        label->adjustSize();
        label->move(px(2235) - label->width(), top + px(90));
        lblKey[static_cast<std::size_t>(i)] = label;
        connect(box, &QLineEdit::textChanged, this, [this, i] { txtKey_Change(i); });
    }

    setTabOrder(cmdOK, cmdCancel);
    setTabOrder(cmdCancel, cmdApply);
    setTabOrder(cmdApply, txtKey[0]);
    for (std::size_t i = 0; i + 1 < txtKey.size(); ++i) setTabOrder(txtKey[i], txtKey[i + 1]);

    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cmdCancel_Click);
    connect(cmdApply, &QPushButton::clicked, this, &frmOptions::cmdApply_Click);

    setFixedSize(px(3975), px(3495));
    // A held key is judged once, not once per repeat.
    new platform::HeldKeyFilter(this, platform::HeldKeyFilter::Presses::Once);
    Form_Load();
}

void frmOptions::showModal(mdlPublic::PublicState& state, QWidget* owner) {
    frmOptions dialog(state, owner);
    dialog.exec();
}

void frmOptions::Form_Load() {
    const keyassign::Codes live = codesOf(m_state.keys);
    for (std::size_t i = 0; i < 4; ++i) txtKey[i]->setText(QString::fromStdString(keyassign::ChrKeyCord(live[i])));
    m_pending = live;
    // Setting the texts enabled it; loading leaves nothing to apply.
    cmdApply->setEnabled(false);
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event) {
    for (int i = 0; i < 4; ++i) {
        if (watched != txtKey[static_cast<std::size_t>(i)]) continue;
        if (event->type() == QEvent::FocusIn) {
            txtKey_GotFocus(i);
        } else if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            // Tab keeps moving the focus between the controls.
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) return false;
            if (!key->isAutoRepeat()) {
                const int code = keycodes::virtualKeyOf(key->key(), key->modifiers().testFlag(Qt::KeypadModifier));
                if (code != 0) txtKey_KeyDown(i, code);
            }
            return true;
        } else if (event->type() == QEvent::KeyRelease || event->type() == QEvent::ShortcutOverride) {
            // Keep Esc and Enter from reaching the dialog while a box has the focus.
            event->accept();
            return event->type() == QEvent::KeyRelease;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmOptions::txtKey_GotFocus(int index) { txtKey[static_cast<std::size_t>(index)]->selectAll(); }

void frmOptions::txtKey_KeyDown(int index, int keyCode) {
    switch (keyassign::assign(m_pending, index, keyCode)) {
    case keyassign::Verdict::Reserved:
        mdlMessage::msgBox(QStringLiteral("F1,F2,Escキーは使用できません。"), mdlMessage::kCritical,
                           mdlMessage::kTitleVistrova, this);
        break;
    case keyassign::Verdict::Duplicate:
        mdlMessage::msgBox(QStringLiteral("設定が重複しています。"), mdlMessage::kCritical, mdlMessage::kTitleVistrova,
                           this);
        break;
    case keyassign::Verdict::Accepted:
        txtKey[static_cast<std::size_t>(index)]->setText(QString::fromStdString(keyassign::ChrKeyCord(keyCode)));
        break;
    }
}

void frmOptions::txtKey_Change(int) { cmdApply->setEnabled(true); }

void frmOptions::apply() {
    m_state.keys = {m_pending[0], m_pending[1], m_pending[2], m_pending[3]};
    settings::Entry values[4];
    for (std::size_t i = 0; i < 4; ++i) values[i] = settings::entry(*keyassign::kSettingsKeys[i], m_pending[i]);
    // The keys hold for this run even when the file cannot take them.
    if (!settings::writeMany(m_state.settingsPath, values)) mdlMessage::settingsNotStored(m_state.settingsPath, this);
    cmdApply->setEnabled(false);
}

void frmOptions::cmdApply_Click() { apply(); }

void frmOptions::cmdOK_Click() {
    apply();
    accept();
}

void frmOptions::cmdCancel_Click() { reject(); }

}  // namespace dialogs
