#pragma once
// The preview pane (pctWeb): the title with its line, and below it one
// picture or clip with its name, type and time, or the summary of several
// selected files. GUI thread only; the window places it and feeds it.

#include "EditorLayout.h"
#include "PreviewMovie.h"
#include "TwipsScale.h"

#include <QImage>
#include <QWidget>

#include <memory>

class QFrame;
class QLabel;

namespace editor {

class PreviewPane : public QWidget {
    Q_OBJECT
public:
    PreviewPane(const TwipsScale& scale, QWidget* parent = nullptr);
    ~PreviewPane() override;

    void PreClear();
    void PreView(const QString& path);
    void WebReSize();
    // The selection rule: nothing, one file or the summary of several.
    void SelectionRule(const QStringList& names, const QString& singlePath);

    // The title; a change empties the pane below it.
    void setTitle(const QString& text);
    // Where the title sits, in pixels from the pane's top.
    void setTitleTop(int pixels);
    double titleTop() const { return m_titleTop; }  // twips
    double titleHeight() const;                     // twips
    // Places the title, its line and the preview box as laid out.
    void applyLayout(const Layout& layout);

    // For tests: the elements themselves.
    QLabel* titleLabel() const { return lblFolder; }
    QLabel* nameLabel() const { return lblName; }
    QLabel* typeLabel() const { return lblType; }
    QLabel* timeLabel() const { return lblTime; }
    QLabel* summaryLabel() const { return lblNum; }
    QLabel* picture() const { return imgPre; }
    QWidget* movie() const { return mplPre->widget(); }

private:
    void placeLine();
    void placeNameRightOf(double left, double width);
    void placeLabelsUnderName();

    TwipsScale m_scale;
    Layout m_layout;
    bool m_laidOut = false;
    double m_titleTop = 0;
    QLabel* lblFolder = nullptr;
    QFrame* linWebBar = nullptr;
    QLabel* imgPre = nullptr;
    std::unique_ptr<IPreviewMovie> mplPre;
    QLabel* lblName = nullptr;
    QLabel* lblType = nullptr;
    QLabel* lblTime = nullptr;
    QLabel* lblNum = nullptr;
    QSize m_pictureNatural;  // of the picture in imgPre
    quint64 m_pictureRequest = 0;  // a decode finishing for an older one is dropped
};

}  // namespace editor
