#include "PreviewPane.h"

#include "EditorRules.h"
#include "dialogs/PlainText.h"
#include "platform/PictureDecode.h"
#include "shared/FileKinds.h"
#include "shared/MediaTypes.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QtMath>

namespace editor {

PreviewPane::PreviewPane(const TwipsScale& scale, QWidget* parent) : QWidget(parent), m_scale(scale) {
    setObjectName(QStringLiteral("pctWeb"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);

    // Folder names, file names and list titles: shown literally.
    lblFolder = plaintext::plain(new QLabel(this));
    lblFolder->setObjectName(QStringLiteral("lblFolder"));
    QFont bold = lblFolder->font();
    bold.setBold(true);
    bold.setPointSize(12);
    lblFolder->setFont(bold);
    lblFolder->setWordWrap(true);
    lblFolder->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblFolder->setGeometry(m_scale.rect({120, 0, 2040, 300}));

    linWebBar = new QFrame(this);
    linWebBar->setObjectName(QStringLiteral("linWebBar"));
    linWebBar->setAutoFillBackground(true);
    QPalette linePal = linWebBar->palette();
    linePal.setColor(QPalette::Window, QColor(102, 153, 204));
    linWebBar->setPalette(linePal);

    imgPre = new QLabel(this);
    imgPre->setObjectName(QStringLiteral("imgPre"));
    imgPre->setScaledContents(true);
    imgPre->hide();
    mplPre = createPreviewMovie(this);
    mplPre->widget()->setObjectName(QStringLiteral("mplPre"));
    mplPre->widget()->hide();

    lblName = new QLabel(this);
    QFont nameFont = lblName->font();
    nameFont.setBold(true);
    nameFont.setPointSize(9);
    lblName->setFont(nameFont);
    lblType = new QLabel(this);
    lblTime = new QLabel(this);
    lblNum = new QLabel(this);
    const char* names[] = {"lblName", "lblType", "lblTime", "lblNum"};
    int i = 0;
    for (QLabel* l : {lblName, lblType, lblTime, lblNum}) {
        l->setObjectName(QLatin1String(names[i++]));
        plaintext::plain(l);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setWordWrap(l != lblNum);
        l->hide();
    }
    lblName->setGeometry(m_scale.rect({3120, 120, 585, 240}));
    lblType->setGeometry(m_scale.rect({3120, 480, 495, 240}));
    lblTime->setGeometry(m_scale.rect({3120, 840, 495, 240}));
    lblNum->setGeometry(m_scale.rect({3120, 120, 2000, 240}));
}

PreviewPane::~PreviewPane() = default;

void PreviewPane::setTitleTop(int pixels) {
    m_titleTop = m_scale.twY(pixels);
    lblFolder->move(lblFolder->x(), pixels);
}

double PreviewPane::titleHeight() const { return m_scale.twY(lblFolder->height()); }

void PreviewPane::placeLine() {
    m_layout.lineY = m_titleTop + titleHeight() + kTitleLineOffset;
    linWebBar->setGeometry(0, m_scale.pxY(m_layout.lineY), qMax(0, m_scale.px(m_layout.lineRight)), 1);
}

void PreviewPane::setTitle(const QString& text) {
    if (lblFolder->text() == text) return;
    plaintext::setText(lblFolder, text);
    // Title change: the line follows the grown label, the pane below it empties.
    const int w = lblFolder->width();
    lblFolder->resize(w, qMax(lblFolder->heightForWidth(w), lblFolder->fontMetrics().height()));
    if (m_laidOut) placeLine();
    PreClear();
}

void PreviewPane::applyLayout(const Layout& layout) {
    m_layout = layout;
    m_laidOut = true;
    if (layout.lblFolderWidth >= 0) {
        const int w = m_scale.px(layout.lblFolderWidth);
        lblFolder->setGeometry(lblFolder->x(), m_scale.pxY(m_titleTop), w,
                               qMax(lblFolder->heightForWidth(w), lblFolder->fontMetrics().height()));
    }
    placeLine();
    for (QWidget* w : {static_cast<QWidget*>(imgPre), mplPre->widget(), static_cast<QWidget*>(lblNum)})
        w->move(m_scale.px(layout.previewLeft), w->y());
    if (!imgPre->isHidden() || !mplPre->widget()->isHidden()) WebReSize();
}

void PreviewPane::PreClear() {
    for (QLabel* l : {lblName, lblType, lblTime, lblNum}) l->hide();
    for (QLabel* l : {lblName, lblType, lblTime, lblNum}) l->clear();
    imgPre->hide();
    imgPre->clear();
    ++m_pictureRequest;
    m_pictureNatural = QSize();
    mplPre->widget()->hide();
    mplPre->unload();
}

void PreviewPane::SelectionRule(const QStringList& names, const QString& singlePath) {
    if (names.isEmpty()) {
        PreClear();
    } else if (names.size() == 1) {
        PreView(singlePath);
    } else {
        PreClear();
        lblNum->setText(selectionSummary(names));
        lblNum->adjustSize();
        lblNum->show();
    }
}

void PreviewPane::PreView(const QString& path) {
    PreClear();
    // A pipe or a device named like a picture or a clip would block the editor
    // for good once opened: it shows nothing.
    if (!files::isOpenableFile(toRawName(path)) && QFileInfo::exists(path)) return;
    const std::string type(media::typeName(media::extension(path.toStdString())));
    const QFileInfo info(path);
    const bool exists = info.exists();
    // The name as stored on disk; nothing for a file that is gone.
    lblName->setText(exists ? info.fileName() : QString());
    lblType->setText(QString::fromStdString(type));
    lblTime->setText(exists ? previewTimeText(info.lastModified()) : QString());

    const double boxLeft = m_layout.previewLeft;
    const auto fitted = [this](QSize natural) {
        return fitPreview(m_scale.twX(natural.width()), m_scale.twY(natural.height()), m_layout.cols.webHeight,
                          m_layout.cboType.width);
    };

    switch (kindOf(type)) {
    case PreviewKind::Movie:
        // The clip does not play before it has been fitted, and its size is
        // known only once the element has opened it.
        if (exists && mplPre->load(path, lblType->text())) {
            mplPre->whenReady([this, boxLeft, fitted] {
                const FitSize fit = fitted(mplPre->naturalSize());
                // A clip without a picture (sound only) is not shown.
                if (!fit.ok) return;
                QWidget* w = mplPre->widget();
                w->setGeometry(m_scale.px(boxLeft), m_scale.pxY(kPreviewMargin), m_scale.px(fit.width),
                               m_scale.pxY(fit.height));
                w->show();
                mplPre->play();
                placeNameRightOf(boxLeft, fit.width);
                placeLabelsUnderName();
            });
        }
        break;
    case PreviewKind::Image: {
        // The player's decoder: every format it shows, turned as it is shown,
        // decoded at the size that will be shown.
        const QSize natural = platform::pictureSize(path);
        const FitSize fit = fitted(natural);
        if (fit.ok) {
            // Decoded on a worker, so a large picture never holds the editor;
            // one that arrives after the selection moved on is dropped.
            platform::decodePictureLater(path, QSize(qMax(1, m_scale.px(fit.width)), qMax(1, m_scale.pxY(fit.height))))
                .then(this, [this, request = m_pictureRequest, natural, fit, boxLeft](QFuture<QImage> done) {
                    if (request != m_pictureRequest || done.resultCount() == 0 || done.result().isNull()) return;
                    m_pictureNatural = natural;
                    imgPre->setPixmap(QPixmap::fromImage(done.result()));
                    imgPre->setGeometry(m_scale.px(boxLeft), m_scale.pxY(kPreviewMargin), m_scale.px(fit.width),
                                        m_scale.pxY(fit.height));
                    imgPre->show();
                    placeNameRightOf(boxLeft, fit.width);
                    placeLabelsUnderName();
                });
        }
        break;
    }
    case PreviewKind::Other:
        break;
    }
    placeLabelsUnderName();
    for (QLabel* l : {lblName, lblType, lblTime}) l->show();
}

void PreviewPane::placeNameRightOf(double left, double width) {
    const double nameLeft = left + width + kPreviewMargin;
    lblName->move(m_scale.px(nameLeft), lblName->y());
    lblName->resize(qMax(0, m_scale.px(m_scale.twX(this->width()) - nameLeft - kPreviewMargin)), lblName->height());
}

void PreviewPane::placeLabelsUnderName() {
    // The labels grow to fit their texts, up to the pane's right margin, and
    // wrap there; a picture or clip shown left of them has already set them
    // the room beside it.
    int w = lblName->width();
    int widest = 0;
    for (const QLabel* l : {lblName, lblType, lblTime})
        widest = qMax(widest, qCeil(QFontMetricsF(l->font()).horizontalAdvance(l->text())) + 1);
    if (widest > w) {
        const int room = m_scale.px(m_scale.twX(this->width()) - m_scale.twX(lblName->x()) - kPreviewMargin);
        w = qMax(w, qMin(widest, room));
    }
    lblName->resize(w, qMax(lblName->heightForWidth(w), lblName->fontMetrics().height()));
    lblType->setGeometry(lblName->x(), lblName->y() + lblName->height() + m_scale.pxY(30), w,
                         qMax(lblType->heightForWidth(w), lblType->fontMetrics().height()));
    lblTime->setGeometry(lblName->x(), lblType->y() + lblType->height() + m_scale.pxY(180), w,
                         qMax(lblTime->heightForWidth(w), lblTime->fontMetrics().height()));
}

void PreviewPane::WebReSize() {
    const std::string type = lblType->text().toStdString();
    QWidget* shown = nullptr;
    switch (kindOf(type)) {
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
        QSize current = shown == imgPre ? m_pictureNatural : mplPre->naturalSize();
        if (current.isEmpty()) current = shown->size();
        const FitSize fit = fitPreview(m_scale.twX(current.width()), m_scale.twY(current.height()),
                                       m_layout.cols.webHeight, m_layout.cboType.width);
        if (fit.ok) {
            shown->hide();
            shown->setGeometry(m_scale.px(m_layout.previewLeft), m_scale.pxY(kPreviewMargin),
                               qMax(1, m_scale.px(fit.width)), qMax(1, m_scale.pxY(fit.height)));
            shown->show();
            placeNameRightOf(m_layout.previewLeft, fit.width);
        }
    }
    placeLabelsUnderName();
}

}  // namespace editor
