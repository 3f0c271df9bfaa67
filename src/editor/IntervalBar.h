#pragma once
// The interval controls of the custom bar (picCustomBar): the two-digit box
// with its key filter, the slider that follows it and the unit selector.
// GUI thread only; the window places it on its custom bar.

#include "TwipsScale.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QRadioButton;
class QSlider;

namespace editor {

struct CloseView;

class IntervalBar : public QWidget {
    Q_OBJECT
public:
    IntervalBar(const TwipsScale& scale, int barPixels, QWidget* parent = nullptr);

    // The opening: shows the stored value as read (even outside the slider's
    // range) and the unit; from then on edits are reported.
    void showValues(int interval, int unit);
    // Its part of the view stored on closing: the box's text and the unit.
    void store(CloseView& v) const;

    // For tests: the elements themselves.
    QLineEdit* box() const { return txtTime; }
    QSlider* slider() const { return sldTime; }

signals:
    void intervalChanged(int value);
    void unitChanged(int unit);

private:
    void place(const TwipsScale& scale, int barPixels);
    void txtTime_Change();
    void sldTime_Change();
    void optTime_Click(int index);

    bool m_live = false;
    QLabel* lblText = nullptr;
    QSlider* sldTime = nullptr;
    QLineEdit* txtTime = nullptr;
    QRadioButton* optTime[2] = {};
};

}  // namespace editor
