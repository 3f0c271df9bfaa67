#include "dialogs/frmAbout.h"
#include "dialogs/Version.h"

#include "MessageBoxes.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <gtest/gtest.h>

#include <cstdlib>

using dialogs::frmAbout;

namespace {

TEST(frmAbout, VersionWithoutPadding) {
    EXPECT_EQ(frmAbout::versionText(2, 10, 3), "Version 2.10.3");
    EXPECT_EQ(frmAbout::versionText(1, 2, 0), "Version 1.2.0");
}

TEST(frmAbout, LabelsAndAddressesFollowTheDescription) {
    frmAbout about;
    EXPECT_EQ(about.windowTitle(), "バージョン情報");
    auto* version = about.findChild<QLabel*>("lblVersion");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), frmAbout::versionText(version::kMajor, version::kMinor, version::kRevision));
    auto* mail = about.findChild<QLabel*>("lblMail");
    auto* url = about.findChild<QLabel*>("lblURL");
    ASSERT_TRUE(mail && url);
    EXPECT_GT(url->y(), mail->y() + mail->height() - 1);
    EXPECT_EQ(url->y(), mail->y() + mail->height() + 4);  // 60 twips at 15 twips per pixel
    auto* pic = about.findChild<QLabel*>("picIcon");
    ASSERT_NE(pic, nullptr);
    EXPECT_FALSE(pic->pixmap().isNull());  // the compiled-in picture was found
    // Each caption fits inside its button, with the style's margin on both
    // sides; the right edges stay where the design has them (5505 twips).
    for (const char* name : {"cmdOK", "cmdSysInfo"}) {
        auto* b = about.findChild<QPushButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        const int caption = b->fontMetrics().horizontalAdvance(QString(b->text()).remove(QLatin1Char('&')));
        EXPECT_LE(caption + 2 * b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b), b->width()) << name;
        EXPECT_EQ(b->x() + b->width(), 367) << name;
    }
    if (const char* out = std::getenv("VISTROVA_SHOT")) about.grab().save(QString::fromLocal8Bit(out));
}

TEST(frmAbout, SystemInformationIsNotAvailable) {
    frmAbout about;
    const ModalScript boxes;
    about.findChild<QPushButton*>("cmdSysInfo")->click();
    ASSERT_EQ(boxes.seen().size(), 1u);
    EXPECT_EQ(boxes.seen()[0].text, "現時点ではｼｽﾃﾑ情報を使用できません");
    EXPECT_EQ(boxes.seen()[0].title, "Vistrova!!");
}

}  // namespace
