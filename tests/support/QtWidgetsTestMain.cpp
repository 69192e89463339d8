// Test entry point that creates the QApplication widget tests need. Tests run
// on the offscreen platform unless QT_QPA_PLATFORM names another one.
//
// The offscreen platform's own screen is 800 × 600: a tablet window (768 ×
// 1024) would reach below it, and input at points off every screen finds no
// window. The tests' screen is large enough for the tablet at 2×.
#include <gmock/gmock.h>

#include <QApplication>

#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!platform || std::strcmp(platform, "offscreen") == 0) {
        const std::string configured = std::string("offscreen:configfile=") + QP_OFFSCREEN_SCREEN;
        setenv("QT_QPA_PLATFORM", configured.c_str(), 1);
    }
    QApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
