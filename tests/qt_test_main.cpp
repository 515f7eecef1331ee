// The main of every test binary that needs Qt: widgets on the offscreen
// platform unless the caller chose a display, so no test needs an X server.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("Tobrel");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
