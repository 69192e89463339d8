// Test entry point that creates the QApplication widget tests need. Tests run
// on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <gmock/gmock.h>

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
