#include <QCoreApplication>

#include <gtest/gtest.h>

// The settings store watches its file through Qt's event loop, so the tests need an
// application object; tests that wait for a delivery spin the loop themselves.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
