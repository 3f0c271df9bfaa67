// The main of the widget tests that need nothing but an application object,
// set up as the programs set up theirs.
#include "platform/AppStart.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::prepareApplication(app);
    // A test's last window closing must not end the event loops of the next.
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
