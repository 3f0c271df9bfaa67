#pragma once
// The launcher: a frameless window in the outline of its picture, whose
// buttons and keys open the show, the editor and the about window; its close
// ends the program. GUI thread only.


#include <QImage>
#include <QRegion>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace mdlPublic {
struct PublicState;
}
namespace platform {
class IMixer;
}

namespace launcher {

class frmStart final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 432;
    static constexpr int kHeight = 224;
    static constexpr QPoint kButtonStripAt{206, 154};

    // What the buttons and keys open; the real windows unless a test gives others.
    struct Actions {
        std::function<void(QWidget*)> showSequence;
        std::function<void(QWidget*)> runEditor;
        std::function<void(QWidget*)> showAbout;
        std::function<void()> openHelp;
    };
    void setActions(Actions actions) { m_actions = std::move(actions); }
    // A host window (not 0) carries the show of start mode 1 instead of the screen.
    void setHostWindow(WId hostWindow) { m_hostWindow = hostWindow; }

    // Closes the modal windows open over the launcher, the topmost first, as
    // a termination signal asks; child windows of a host's window included.
    static void closeModalWindows();

    // `state` is the program's, handed on to every window opened from here;
    // `mixer` gets the saved volume back when the launcher closes; `picture`
    // names the artwork (the compiled-in one unless a test gives another).
    frmStart(mdlPublic::PublicState& state, platform::IMixer& mixer, const QString& picture = kPicturePath,
             QWidget* parent = nullptr);
    ~frmStart() override;

    // Size, outline and the start mode's first step. False (after the
    // failure message) when the outline cannot be built.
    bool Form_Load();
    // Sets the saved volume back and ends the event loop; only the first call acts.
    void Form_Unload();

    // Draws button strip picture `index` (1 none lit, 2 Start, 3 List, 4 Exit).
    void SelectMenu(int index);
    int selectedMenu() const { return m_selected; }

    // The outline of a picture: every pixel of the top-left pixel's colour is
    // cut out. Nothing (the design's -1) for a picture with no pixels.
    static std::optional<QRegion> CreatePctRgnX(const QImage& picture);

    // The launcher artwork; a null image when the file is missing or unreadable.
    static QImage loadPicture(const QString& path);
    static const QString kPicturePath;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void runStartMode();
    int buttonAtPoint(QPointF pixels) const;
    void startShow();
    // The empty list's refusal.
    void refuseStart();
    void openEditor();

    Actions m_actions;
    WId m_hostWindow = 0;

    mdlPublic::PublicState& m_state;
    platform::IMixer& m_mixer;
    QImage m_picture;
    std::array<QImage, 4> m_buttons;
    int m_selected = 1;
    bool m_unloaded = false;
};

}  // namespace launcher
