// The main of every test program: the isolated environment first, then Qt, then the tests.
#include "TestEnvironment.h"
#include "platform/FontconfigFontSystem.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testenv::setUp();
    // As in the program: the toolkit sees the interface faces, other families are handed to it
    // when drawn.
    FontconfigFontSystem::showToolkitOnlyInterfaceFaces();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
