// The preview pane: emptying it, previewing one file, re-fitting after a
// layout, and the selection rule.
#include "frmFileListEx.h"

#include "shared/FileKinds.h"
#include "shared/MediaTypes.h"

#include <QComboBox>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>

namespace editor {

void frmFileListEx::PreClear() {
    for (QLabel* l : {lblName, lblType, lblTime, lblNum}) l->hide();
    for (QLabel* l : {lblName, lblType, lblTime, lblNum}) l->clear();
    imgPre->hide();
    imgPre->clear();
    m_picture = QImage();
    m_pictureNatural = QSize();
    mplPre->widget()->hide();
    mplPre->unload();
}

void frmFileListEx::SelectionRule(const QStringList& names, const QString& singlePath) {
    if (names.isEmpty()) {
        PreClear();
    } else if (names.size() == 1) {
        PreView(singlePath);
    } else {
        PreClear();
        lblNum->setText(SelectionSummary(names));
        lblNum->adjustSize();
        lblNum->show();
    }
}

void frmFileListEx::PreView(const QString& path) {
    PreClear();
    // A pipe or a device named like a picture or a clip would block the editor
    // for good once opened: it shows nothing.
    if (!files::IsOpenableFile(ToRawName(path)) && QFileInfo::exists(path)) return;
    const std::string type(media::TypeName(media::Extension(path.toStdString())));
    const QFileInfo info(path);
    const bool exists = info.exists();
    // The name as stored on disk; nothing for a file that is gone.
    lblName->setText(exists ? info.fileName() : QString());
    lblType->setText(QString::fromStdString(type));
    lblTime->setText(exists ? PreviewTimeText(info.lastModified()) : QString());

    const double boxLeft = m_layout.previewLeft;

    switch (KindOf(type)) {
    case PreviewKind::Movie:
        // The clip does not play before it has been fitted, and its size is
        // known only once the element has opened it.
        if (exists && mplPre->load(path, lblType->text())) {
            mplPre->whenReady([this, boxLeft] {
                const QSize natural = mplPre->naturalSize();
                const FitSize fit = FitPreview(natural.width() * m_tppX, natural.height() * m_tppY,
                                               m_layout.cols.webHeight, m_layout.cboType.width);
                // A clip without a picture (sound only) is not shown.
                if (!fit.ok) return;
                QWidget* w = mplPre->widget();
                w->setGeometry(px(boxLeft), pxY(kPreviewMargin), px(fit.width), pxY(fit.height));
                w->show();
                mplPre->play();
                placeNameRightOf(boxLeft, fit.width);
                placeLabelsUnderName();
            });
        }
        break;
    case PreviewKind::Image: {
        QImageReader reader(path);
        const QSize natural = reader.size();
        const FitSize fit = FitPreview(natural.width() * m_tppX, natural.height() * m_tppY,
                                       m_layout.cols.webHeight, m_layout.cboType.width);
        if (fit.ok) {
            // Decode at the size that will be shown.
            reader.setScaledSize(QSize(qMax(1, px(fit.width)), qMax(1, pxY(fit.height))));
            const QImage image = reader.read();
            if (!image.isNull()) {
                m_picture = image;
                m_pictureNatural = natural;
                imgPre->setPixmap(QPixmap::fromImage(image));
                imgPre->setGeometry(px(boxLeft), pxY(kPreviewMargin), px(fit.width), pxY(fit.height));
                imgPre->show();
                placeNameRightOf(boxLeft, fit.width);
            }
        }
        break;
    }
    case PreviewKind::Other:
        break;
    }
    placeLabelsUnderName();
    for (QLabel* l : {lblName, lblType, lblTime}) l->show();
}

void frmFileListEx::placeNameRightOf(double left, double width) {
    const double nameLeft = left + width + kPreviewMargin;
    lblName->move(px(nameLeft), lblName->y());
    lblName->resize(qMax(0, px(twX(m_client->width()) - nameLeft - kPreviewMargin)), lblName->height());
}

void frmFileListEx::placeLabelsUnderName() {
    const int w = lblName->width();
    lblName->resize(w, qMax(lblName->heightForWidth(w), lblName->fontMetrics().height()));
    lblType->setGeometry(lblName->x(), lblName->y() + lblName->height() + pxY(30), w,
                         qMax(lblType->heightForWidth(w), lblType->fontMetrics().height()));
    lblTime->setGeometry(lblName->x(), lblType->y() + lblType->height() + pxY(180), w,
                         qMax(lblTime->heightForWidth(w), lblTime->fontMetrics().height()));
}

void frmFileListEx::WebReSize() {
    const std::string type = lblType->text().toStdString();
    QWidget* shown = nullptr;
    QSize current;
    switch (KindOf(type)) {
    case PreviewKind::Movie:
        shown = mplPre->widget();
        break;
    case PreviewKind::Image:
        shown = imgPre;
        break;
    case PreviewKind::Other:
        break;
    }
    if (shown && !shown->isHidden()) {
        // Fitting from the natural size gives the same scale without rounding drift.
        current = shown == imgPre ? m_pictureNatural : mplPre->naturalSize();
        if (current.isEmpty()) current = shown->size();
        const FitSize fit = FitPreview(current.width() * m_tppX, current.height() * m_tppY, m_layout.cols.webHeight,
                                       m_layout.cboType.width);
        if (fit.ok) {
            shown->hide();
            shown->setGeometry(px(m_layout.previewLeft), pxY(kPreviewMargin), qMax(1, px(fit.width)),
                               qMax(1, pxY(fit.height)));
            shown->show();
            placeNameRightOf(m_layout.previewLeft, fit.width);
        }
    }
    placeLabelsUnderName();
}

}  // namespace editor
