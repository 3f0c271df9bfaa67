#include "frmMain.h"

#include "Fit.h"
#include "platform/KeyCodes.h"
#include "PicturePipeline.h"
#include "dialogs/frmHelp.h"
#include "dialogs/mdlMessage.h"
#include "platform/DesktopOpen.h"
#include "platform/KeyRepeat.h"
#include "platform/MpvElement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMovie>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace player {

// `imgPct`: shows its picture stretched to whatever size it is given.
class PictureView final : public QWidget {
public:
    explicit PictureView(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }
    void setPicture(QImage image) {
        m_image = std::move(image);
        update();
    }
    void clear() {
        m_image = QImage();
        m_movie.reset();
    }
    // Plays the frames of an animated picture at the size of the still one.
    void animate(const QString& path) {
        m_movie = std::make_unique<QMovie>(path);
        m_movie->setScaledSize(m_image.size());
        m_movie->setCacheMode(QMovie::CacheNone);
        connect(m_movie.get(), &QMovie::frameChanged, this, [this] { update(); });
        m_movie->start();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (m_image.isNull()) return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (m_movie && m_movie->currentImage().size() == m_image.size()) {
            QImage frame = m_movie->currentImage();
            frame.setDevicePixelRatio(m_image.devicePixelRatio());
            painter.drawImage(rect(), frame);
            return;
        }
        painter.drawImage(rect(), m_image);
    }

private:
    QImage m_image;
    std::unique_ptr<QMovie> m_movie;
};

// A QTimer seen through the core's timer interface. Enabling an enabled timer
// keeps its count running, as switching a timer on twice does.
class QtTimer final : public ITimer {
public:
    explicit QtTimer(const char* name) { m_timer.setObjectName(QLatin1String(name)); }
    void setEnabled(bool on) override {
        if (!on) {
            m_timer.stop();
        } else if (!m_timer.isActive()) {
            m_timer.start();
        }
    }
    bool isEnabled() const override { return m_timer.isActive(); }
    void setInterval(int ms) override { m_timer.setInterval(ms); }
    int interval() const override { return m_timer.interval(); }
    QTimer& timer() { return m_timer; }

private:
    QTimer m_timer;
};

namespace {
QColor colorOf(std::int32_t bgr) {
    const mdlPublic::Rgb c = mdlPublic::rgbOf(bgr);
    return QColor(c.red, c.green, c.blue);
}

int buttonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton: return kButtonLeft;
    case Qt::RightButton: return kButtonRight;
    case Qt::MiddleButton: return kButtonMiddle;
    default: return 0;
    }
}
}  // namespace

frmMain::frmMain(QWidget* owner, mdlPublic::PublicState& state)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_public(state) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vistrova!!"));
    setFocusPolicy(Qt::StrongFocus);
    // Only the first press of a key and the release of a key pressed here act:
    // not the Esc or Enter that closed the help window or a box over the player.
    new platform::HeldKeyFilter(this, platform::HeldKeyFilter::Presses::Once);

    m_pctFrame = new QWidget(this);
    m_pctFrame->setObjectName(QStringLiteral("pctFrame"));
    m_pctFrame->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pctFrame->setFocusPolicy(Qt::NoFocus);
    m_pctFrame->setAutoFillBackground(true);

    m_imgPct = new PictureView(m_pctFrame);
    m_imgPct->setObjectName(QStringLiteral("imgPct"));
    m_imgPct->hide();
    m_pipeline = std::make_unique<PicturePipeline>();

    m_mplMedia = new platform::MpvElement(m_pctFrame);
    m_mplMedia->setObjectName(QStringLiteral("mplMedia"));
    m_mplMedia->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_mplMedia->hide();

    m_tmrImage = std::make_unique<QtTimer>("tmrImage");
    m_tmrMovie = std::make_unique<QtTimer>("tmrMovie");
    m_tmrMove = std::make_unique<QtTimer>("tmrMove");
    m_tmrAction = std::make_unique<QtTimer>("tmrAction");
    connect(&m_tmrImage->timer(), &QTimer::timeout, this, &frmMain::tmrImage_Timer);
    connect(&m_tmrMovie->timer(), &QTimer::timeout, this, &frmMain::tmrMovie_Timer);
    connect(&m_tmrMove->timer(), &QTimer::timeout, this, &frmMain::tmrMove_Timer);
    connect(&m_tmrAction->timer(), &QTimer::timeout, this, &frmMain::tmrAction_Timer);
    connect(m_mplMedia, &platform::MpvElement::endOfStream, this, &frmMain::mplMedia_EndOfStream);
    connect(m_mplMedia, &platform::MpvElement::refused, this, &frmMain::mplMedia_Refused);
    connect(m_mplMedia, &platform::MpvElement::naturalSizeChanged, this, &frmMain::mplMedia_SizeChanged);

    IPlayerHost& host = *this;
    m_core = std::make_unique<PlayerCore>(m_public, host, *m_mplMedia, platform::systemMixer(),
                                          Timers{*m_tmrImage, *m_tmrMovie, *m_tmrMove, *m_tmrAction});
    Form_Load();
}

frmMain::~frmMain() {
    // The native window is a child of the host's: drop it before the host's
    // wrapper goes, which would otherwise take it along. The movie element's
    // window goes with it, so mpv ends first.
    if (m_hostWindow) {
        m_mplMedia->release();
        destroy();
    }
}

bool frmMain::embedInto(WId host, QSize size) {
    if (host == 0 || size.isEmpty()) return false;
    std::unique_ptr<QWindow> foreign(QWindow::fromWinId(host));
    if (!foreign) return false;
    setWindowState(Qt::WindowNoState);
    setGeometry(0, 0, size.width(), size.height());
    m_pctFrame->setGeometry(0, 0, size.width(), size.height());
    winId();  // the native window must exist to be given a parent
    windowHandle()->setParent(foreign.get());
    m_hostWindow = std::move(foreign);
    return true;
}

QWidget* frmMain::imgPct() const { return m_imgPct; }

void frmMain::Form_Load() {
    const QColor back = colorOf(m_public.backColor);
    QPalette palette = m_pctFrame->palette();
    palette.setColor(QPalette::Window, back);
    m_pctFrame->setPalette(palette);
    m_mplMedia->setBackgroundColor(back);

    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect screenRect = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    if (mdlPublic::hasFixedSize(m_public)) {
        // A normal window of the fixed size, centred on the screen and no larger than it.
        const Rect r = playerWindow({screenRect.x(), screenRect.y(), screenRect.width(), screenRect.height()},
                                    m_public.fixedWidth, m_public.fixedHeight);
        setGeometry(r.left, r.top, r.width, r.height);
        m_pctFrame->setGeometry(0, 0, r.width, r.height);
    } else {
        // The geometry covers the screen without a window manager; the state
        // asks one, where there is one, to keep its panels below.
        setGeometry(screenRect);
        setWindowState(windowState() | Qt::WindowFullScreen);
        m_pctFrame->setGeometry(0, 0, screenRect.width(), screenRect.height());
    }
}

void frmMain::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    focusPlayer();
    if (m_loaded) return;
    m_loaded = true;
    // The first entry is shown once the window is up, so a "Can't open!!"
    // box appears over the player rather than before it.
    QTimer::singleShot(0, this, [this] { m_core->Vistrova(); });
}

void frmMain::keyPressEvent(QKeyEvent* event) {
    event->accept();
    const bool keypad = event->modifiers().testFlag(Qt::KeypadModifier);
    m_core->KeyDown(keycodes::virtualKeyOf(event->key(), keypad), keycodes::shiftStateOf(event->modifiers()));
}

void frmMain::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
    const bool keypad = event->modifiers().testFlag(Qt::KeypadModifier);
    m_core->KeyUp(keycodes::virtualKeyOf(event->key(), keypad), keycodes::shiftStateOf(event->modifiers()));
}

void frmMain::mousePressEvent(QMouseEvent* event) {
    event->accept();
    m_core->MouseDown();
}

void frmMain::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    m_core->MouseUp(buttonOf(event->button()), keycodes::shiftStateOf(event->modifiers()));
}

void frmMain::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    m_core->MouseDblClick();
}

void frmMain::closeEvent(QCloseEvent* event) {
    m_core->closeRequested();
    QDialog::closeEvent(event);
}

void frmMain::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) m_core->activationChanged(isActiveWindow());
}

void frmMain::tmrImage_Timer() { m_core->tmrImage_Timer(); }
void frmMain::tmrMovie_Timer() { m_core->tmrMovie_Timer(); }
void frmMain::tmrMove_Timer() { m_core->tmrMove_Timer(); }
void frmMain::tmrAction_Timer() { m_core->tmrAction_Timer(); }
void frmMain::mplMedia_EndOfStream(int result) { m_core->endOfStream(result); }
void frmMain::mplMedia_Refused() { m_core->mediaRefused(); }

void frmMain::mplMedia_SizeChanged(int, int) {
    if (m_core->state().mediaKind == kMovie && m_mplMedia->isVisible()) placeMovie();
}

void frmMain::placeMovie() {
    const Rect r = fitMovie(m_pctFrame->width(), m_pctFrame->height(), m_mplMedia->naturalWidth(),
                            m_mplMedia->naturalHeight());
    m_mplMedia->setGeometry(r.left, r.top, r.width, r.height);
}

PictureStart frmMain::showImage(const std::string& path) {
    hideMovie();
    hideImage();
    const QSize frame = m_pctFrame->size();
    const qreal dpr = devicePixelRatioF();
    QFuture<FittedPicture> decoding = m_pipeline->request(path, frame, dpr);
    if (decoding.isFinished())
        return present(path, m_pipeline->take(path, frame, dpr)) ? PictureStart::Shown : PictureStart::Failed;
    // Decoded on the worker, so keys and the window's close still answer
    // meanwhile; a request dropped by then (hideImage) is ignored.
    const quint64 request = m_pictureRequest;
    decoding.then(this, [this, request, path, frame, dpr](QFuture<FittedPicture>) {
        if (request != m_pictureRequest) return;
        m_core->pictureDecoded(present(path, m_pipeline->take(path, frame, dpr)));
    });
    return PictureStart::Decoding;
}

bool frmMain::present(const std::string& path, FittedPicture picture) {
    if (picture.image.isNull()) return false;
    m_imgPct->setPicture(std::move(picture.image));
    if (picture.animated) m_imgPct->animate(QString::fromStdString(path));
    m_imgPct->setGeometry(picture.fit.left, picture.fit.top, picture.fit.width, picture.fit.height);
    m_imgPct->show();
    prefetchNeighbours();
    return true;
}

void frmMain::prefetchNeighbours() {
    m_pipeline->prefetch(m_public.playList, m_pctFrame->size(), devicePixelRatioF());
}

void frmMain::hideImage() {
    ++m_pictureRequest;
    m_imgPct->hide();
    m_imgPct->clear();
}

void frmMain::showMovie() {
    placeMovie();
    m_mplMedia->show();
    prefetchNeighbours();
}

void frmMain::hideMovie() { m_mplMedia->hide(); }

void frmMain::closePlayer() { done(QDialog::Accepted); }

Point frmMain::cursorPos() {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

void frmMain::focusPlayer() {
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

bool frmMain::coversScreen() { return !mdlPublic::hasFixedSize(m_public); }

void frmMain::openHelpFile() {
    platform::openHelpDocument();
}

void frmMain::keepOnTop(bool on) {
    // Inside a host's window the host does the stacking.
    QWindow* handle = windowHandle();
    if (m_hostWindow || !handle || handle->flags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
    // Told to the native window alone: QWidget::setWindowFlags would hide and
    // show the window again, which ends its modal loop.
    handle->setFlag(Qt::WindowStaysOnTopHint, on);
    Qt::WindowFlags flags = windowFlags();
    overrideWindowFlags(flags.setFlag(Qt::WindowStaysOnTopHint, on));
}

void frmMain::showHelp() {
    dialogs::frmHelp help(m_public.playList, this);
    help.exec();
}

int frmMain::askCantOpen(const std::string& path) {
    return mdlMessage::msgBox(QString::fromStdString(path) + QStringLiteral(" Can't open!!"),
                              mdlMessage::kCritical + mdlMessage::kAbortRetryIgnore, mdlMessage::kTitleVistrova, this);
}

}  // namespace player
