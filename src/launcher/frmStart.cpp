#include "frmStart.h"

#include "PctRegion.h"
#include "ShowSequence.h"
#include "StartupRules.h"
#include "dialogs/frmAbout.h"
#include "dialogs/mdlMessage.h"
#include "editor/RunEditor.h"
#include "platform/DesktopOpen.h"
#include "platform/KeyRepeat.h"
#include "platform/Mixer.h"
#include "shared/mdlPublic.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QImageReader>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <memory>
#include <vector>

// Resources of a static library must be registered by hand, outside any namespace.
static void initLauncherResources() { Q_INIT_RESOURCE(launcher); }

namespace launcher {

namespace {

const QString kMsgStartFailed = QStringLiteral("起動に失敗しました。");
const QString kMsgSelectList = QStringLiteral("ファイルリストを選択してください。");

const char* const kButtonNames[4] = {"NoSelect", "Start", "List", "Exit"};

}  // namespace

const QString frmStart::kPicturePath = QStringLiteral(":/launcher/launcher.png");

QImage frmStart::loadPicture(const QString& path) {
    QImageReader reader(path);
    QImage image = reader.read();
    return image;  // null when missing or undecodable
}

std::optional<QRegion> frmStart::CreatePctRgnX(const QImage& picture) {
    if (picture.isNull()) return std::nullopt;
    const QImage pixels = picture.convertToFormat(QImage::Format_BGR888);
    if (pixels.isNull()) return std::nullopt;
    const launcher::PixelView view{pixels.constBits(), pixels.width(), pixels.height(), pixels.bytesPerLine()};

    QRegion region;
    std::vector<QRect> rects;
    rects.reserve(launcher::kRectsPerBatch);
    const auto combine = [&](std::span<const launcher::KeyRect> batch) {
        rects.clear();
        for (const launcher::KeyRect& r : batch) {
            if (r.x1 > r.x0) rects.emplace_back(r.x0, r.y, r.x1 - r.x0, 1);
        }
        if (rects.empty()) return;
        // The runs come sorted by row then column, one pixel high and never
        // touching, which is the banded form QRegion takes directly.
        QRegion keyRuns;
        keyRuns.setRects(rects.data(), static_cast<int>(rects.size()));
        region ^= keyRuns;
    };
    launcher::ScanSize size;
    // The full rectangle has to exist before the first batch arrives.
    region = QRegion(0, 0, launcher::scanWidthOf(pixels.width()), pixels.height());
    if (!launcher::scanKeyRects(view, combine, size)) return std::nullopt;
    return region;
}

frmStart::frmStart(mdlPublic::PublicState& state, platform::IMixer& mixer, const QString& picture, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_state(state), m_mixer(mixer) {
    initLauncherResources();
    // A held key acts once; a key that closed a box over the launcher does not act here.
    new platform::HeldKeyFilter(this, platform::HeldKeyFilter::Presses::Once);
    // Back from a modal window the launcher takes the keyboard again, also
    // where no window manager hands it back.
    const auto regainKeyboard = [](QWidget* owner) {
        if (owner && owner->isVisible()) owner->activateWindow();
    };
    m_actions.showSequence = [this, regainKeyboard](QWidget* owner) {
        launcher::showSequence(m_state, owner, m_hostWindow);
        regainKeyboard(owner);
    };
    m_actions.runEditor = [this, regainKeyboard](QWidget* owner) {
        // The editor's run command starts a show of its own, never inside a host window.
        editor::runEditor(m_state, owner, [this](QWidget* editorWindow) { launcher::showSequence(m_state, editorWindow); });
        regainKeyboard(owner);
    };
    m_actions.showAbout = [](QWidget* owner) { dialogs::frmAbout::showModal(owner); };
    m_actions.openHelp = [] { platform::openHelpDocument(); };
    setWindowTitle(mdlMessage::kTitleVistrova);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_picture = loadPicture(picture);
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        m_buttons[i] = loadPicture(QStringLiteral(":/launcher/%1.png").arg(QLatin1String(kButtonNames[i])));
    }
}

frmStart::~frmStart() = default;

bool frmStart::Form_Load() {
    setFixedSize(kWidth, kHeight);
    const std::optional<QRegion> region = CreatePctRgnX(m_picture);
    if (!region) {
        mdlMessage::msgBox(kMsgStartFailed, mdlMessage::kExclamation);
        return false;
    }
    // An empty mask would mean "no mask" to the window system; a picture all in
    // the key colour must leave the window invisible instead.
    setMask(region->isEmpty() ? QRegion(-1, -1, 1, 1) : *region);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kWidth / 2, kHeight / 2));
    }

    if (m_state.startMode == mdlPublic::kStartNormal) {
        show();
        // Take the keyboard at once, also where no window manager hands it over.
        activateWindow();
    } else {
        // The screen-saver modes never show the launcher; their run starts
        // once the event loop is there to carry the modal windows.
        QTimer::singleShot(0, this, &frmStart::runStartMode);
    }
    return true;
}

void frmStart::runStartMode() {
    hide();
    if (m_state.startMode == mdlPublic::kStartShow) {
        if (m_state.playList.count != 0) {
            m_actions.showSequence(this);
        } else {
            mdlMessage::msgBox(kMsgSelectList, mdlMessage::kExclamation);
        }
    } else if (m_state.startMode == mdlPublic::kStartSettings) {
        m_actions.runEditor(this);
    }
    close();
}

void frmStart::SelectMenu(int index) {
    if (index < 1 || index > static_cast<int>(m_buttons.size())) return;
    m_selected = index;
    update(QRect(kButtonStripAt, m_buttons[static_cast<std::size_t>(index - 1)].size()));
}

void frmStart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
    const QImage& strip = m_buttons[static_cast<std::size_t>(m_selected - 1)];
    if (!strip.isNull()) painter.drawImage(kButtonStripAt, strip);
}

void frmStart::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::AltModifier) {
        close();
        return;
    }
    // The typed character counts, so Ctrl+S or a dead key does nothing.
    const QString text = event->text();
    if (text == QLatin1String("S") || text == QLatin1String("s")) {
        startShow();  // continues where the last show stopped
    } else if (text == QLatin1String("L") || text == QLatin1String("l")) {
        m_actions.runEditor(this);
    } else if (text == QLatin1String("E") || text == QLatin1String("e")) {
        close();
    } else {
        QWidget::keyPressEvent(event);
    }
}

void frmStart::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        m_actions.openHelp();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

int frmStart::buttonAtPoint(QPointF pixels) const {
    return launcher::buttonAtPixel(pixels.x(), pixels.y(), logicalDpiX(), logicalDpiY());
}

void frmStart::startShow() {
    if (m_state.playList.count == 0) {
        refuseStart();
        return;
    }
    m_actions.showSequence(this);
}

void frmStart::refuseStart() {
    mdlMessage::msgBox(kMsgSelectList, mdlMessage::kExclamation, mdlMessage::kTitleVistrova, this);
    // The box took the pointer off the launcher while it was up; the strip
    // lights the button the pointer is on now, as a move there would.
    SelectMenu(buttonAtPoint(mapFromGlobal(QCursor::pos())));
}

void frmStart::openEditor() {
    // The hourglass covers the editor's building; its own event loop running
    // means it is up, and the pointer goes back to normal there.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Shared: the timer may fire after this returns when no loop ran.
    auto restored = std::make_shared<bool>(false);
    const auto restore = [restored] {
        if (*restored) return;
        *restored = true;
        QApplication::restoreOverrideCursor();
    };
    QTimer::singleShot(0, this, restore);
    m_actions.runEditor(this);
    restore();
}

void frmStart::mouseMoveEvent(QMouseEvent* event) { SelectMenu(buttonAtPoint(event->position())); }

void frmStart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        m_actions.showAbout(this);
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    switch (buttonAtPoint(event->position())) {
    case launcher::kButtonStart:
        m_state.playList.position = 0;
        if (m_state.playList.count == 0) {
            refuseStart();
            return;
        }
        m_actions.showSequence(this);
        break;
    case launcher::kButtonList:
        openEditor();
        break;
    case launcher::kButtonExit:
        close();
        return;
    default:
        break;
    }
    SelectMenu(launcher::kButtonNone);
}

void frmStart::leaveEvent(QEvent*) { SelectMenu(launcher::kButtonNone); }

void frmStart::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmStart::Form_Unload() {
    if (m_unloaded) return;
    m_unloaded = true;
    m_mixer.setVolume(m_state.savedVolume);
    QCoreApplication::quit();
}

void frmStart::closeModalWindows() {
    // The application's quit closes modal windows only when they are
    // top-level; a player inside a host's window is not. A window that
    // refuses stops the walk, and the bound guards against one that
    // closes yet stays modal.
    for (int i = 0; i < 16; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->close()) break;
    }
}

}  // namespace launcher
