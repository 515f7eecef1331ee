// The main of every test binary that needs Qt: widgets on the offscreen
// platform unless the caller chose a display, so no test needs an X server,
// and the C locale, as on CI, so that every run sorts alike.
#include "toolkit/testing.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("LC_ALL", "C", 1);
#ifdef TOBREL_TEST_ENVIRONMENT
    // A binary's own settings, as NAME=value|NAME=value.
    std::istringstream settings(TOBREL_TEST_ENVIRONMENT);
    for (std::string setting; std::getline(settings, setting, '|');) {
        auto equals = setting.find('=');
        setenv(setting.substr(0, equals).c_str(), setting.substr(equals + 1).c_str(), 1);
    }
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("Tobrel");
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    // A test that did not wait for its window's reads leaves them on
    // threads of their own, which post to the application when they end:
    // it must outlive them.
    if (!QTest::qWaitFor([] { return toolkit::folders_settled(); }, 30000))
        return 1;
    return result;
}
