#pragma once
// The help window shown over the player: the help picture, the bar with the
// shown entry ("n/count title") and "OK". It has no title bar; dragging the
// picture or the bar moves it. GUI thread only.

#include "shared/mdlPublic.h"

#include <QDialog>
#include <QPoint>

class QLabel;
class QPushButton;

namespace dialogs {

class frmHelp final : public QDialog {
    Q_OBJECT
public:
    explicit frmHelp(const mdlPublic::PlayList& playList, QWidget* owner = nullptr);

    // The bar's text: position + 1, "/", count, " ", title of the shown entry.
    static QString infoText(const mdlPublic::PlayList& playList);
    // The help picture, 480 x 514 pixels.
    static QImage helpPicture();

    QLabel* lblInfo() const { return m_lblInfo; }
    QPushButton* cmdOK() const { return m_cmdOK; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load(const mdlPublic::PlayList& playList);
    void cmdOK_Click();
    void DragWindow(const QPoint& globalPress);

    QLabel* m_imgPct = nullptr;
    QLabel* m_lblInfo = nullptr;
    QPushButton* m_cmdOK = nullptr;
    bool m_manualDrag = false;
    QPoint m_dragOffset;
};

}  // namespace dialogs
