#pragma once
// The key dialog: binds the four player keys and stores them.

#include "dialogs/KeyAssign.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace mdlPublic {
struct PublicState;
}

namespace dialogs {

class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(mdlPublic::PublicState& state, QWidget* owner = nullptr);

    // Shows the dialog modally over `owner`; it is discarded on closing.
    static void showModal(mdlPublic::PublicState& state, QWidget* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void txtKey_GotFocus(int index);
    void txtKey_KeyDown(int index, int keyCode);
    void txtKey_Change(int index);
    void cmdApply_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void apply();

    mdlPublic::PublicState& m_state;
    keyassign::Codes m_pending{};
    std::array<QLabel*, 5> lblKey{};
    std::array<QLineEdit*, 4> txtKey{};
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdApply;
};

}  // namespace dialogs

