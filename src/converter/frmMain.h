#pragma once
// The converter's one window: an explanation, a progress bar and two buttons.
// GUI thread only.

#include "Converter.h"
#include "FormLayout.h"

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;

namespace converter {

// The explanation: wrapped text without a frame.
class InfoLabel : public QWidget {
public:
    InfoLabel(const QString& text, QWidget* parent);
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};

// A rectangle drawn like a form's shape element: outline only, or filled.
class Shape : public QWidget {
public:
    Shape(const QColor& border, const QColor& fill, bool filled, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_border;
    QColor m_fill;
    bool m_filled;
};

class frmMain : public QWidget {
public:
    explicit frmMain(QWidget* parent = nullptr);

    const converter::Paths& paths() const { return m_paths; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Initialize();
    void cmdButton_Click(int index);
    void ChgINI();
    void showProgress(int index);
    void setButtonsEnabled(bool enabled);

    InfoLabel* lblInfo = nullptr;
    Shape* shpBase = nullptr;
    Shape* shpBar = nullptr;
    QLabel* lblPar = nullptr;
    std::array<QPushButton*, 2> cmdButton{};

    converter::Paths m_paths;
    converter::PixelRect m_bar{};
    int m_trackPixels = converter::kTrackPixels;
    bool m_busy = false;
};

}  // namespace converter
