#pragma once
// The slideshow player window: a borderless window over the primary screen
// (or the fixed-size window), the background `pctFrame`, the picture `imgPct`
// and the movie element `mplMedia`. All decisions are made by PlayerCore; this
// class only carries them out on the widgets. GUI thread only.

#include "PlayerCore.h"

#include <QDialog>

#include <memory>

class QTimer;
class QWindow;

namespace platform {
class MpvElement;
}

namespace player {

class PicturePipeline;
struct FittedPicture;
class PictureView;
class QtTimer;

class frmMain final : public QDialog, private IPlayerHost {
    Q_OBJECT
public:
    frmMain(QWidget* owner, mdlPublic::PublicState& state);
    ~frmMain() override;

    QWidget* pctFrame() const { return m_pctFrame; }
    QWidget* imgPct() const;
    platform::MpvElement* mplMedia() const { return m_mplMedia; }
    const PlayerCore& core() const { return *m_core; }

    // Screen-saver host: the player becomes a child of foreign window `host`
    // and fills its `size`. Call before showing. False when the window cannot
    // be wrapped; the player then stays as it was.
    bool embedInto(WId host, QSize size);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Form_Load();
    void tmrImage_Timer();
    void tmrMovie_Timer();
    void tmrMove_Timer();
    void tmrAction_Timer();
    void mplMedia_EndOfStream(int result);
    void mplMedia_Refused();
    void mplMedia_SizeChanged(int width, int height);
    void placeMovie();
    void prefetchNeighbours();
    bool present(const std::string& path, FittedPicture picture);

    // IPlayerHost
    PictureStart showImage(const std::string& path) override;
    void hideImage() override;
    void showMovie() override;
    void hideMovie() override;
    void closePlayer() override;
    Point cursorPos() override;
    void focusPlayer() override;
    bool coversScreen() override;
    void openHelpFile() override;
    void keepOnTop(bool on) override;
    void showHelp() override;
    int askCantOpen(const std::string& path) override;

    mdlPublic::PublicState& m_public;
    QWidget* m_pctFrame = nullptr;
    PictureView* m_imgPct = nullptr;
    platform::MpvElement* m_mplMedia = nullptr;
    std::unique_ptr<QtTimer> m_tmrImage;
    std::unique_ptr<QtTimer> m_tmrMovie;
    std::unique_ptr<QtTimer> m_tmrMove;
    std::unique_ptr<QtTimer> m_tmrAction;
    std::unique_ptr<PlayerCore> m_core;
    std::unique_ptr<PicturePipeline> m_pipeline;
    bool m_loaded = false;
    quint64 m_pictureRequest = 0;  // a decode finishing for an older one is dropped
    // The host's window while embedded; outlives the player's own window.
    std::unique_ptr<QWindow> m_hostWindow;
};

}  // namespace player
