#pragma once
// The about window: name, version, description, the maker's addresses.

#include <QDialog>

class QLabel;
class QPushButton;

namespace dialogs {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* owner = nullptr);

    // "Version " + major.minor.revision, without padding.
    static QString versionText(int major, int minor, int revision);

    // Shows the window modally over `owner`; the window is discarded on closing.
    static void showModal(QWidget* owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void StartSysInfo();
    void lblMail_Click();
    void lblURL_Click();

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QLabel* lblMail;
    QLabel* lblURL;
    QWidget* line1;
    QWidget* line2;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;
    double m_tpp;  // twips per pixel
};

}  // namespace dialogs

