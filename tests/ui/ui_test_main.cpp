#include <gtest/gtest.h>

#include <QApplication>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

// The screens need a QApplication; the tests run on the offscreen platform.
int main(int argc, char** argv) {
#if defined(__SANITIZE_ADDRESS__)
    // Qt keeps caches (fonts, chart items) to the end of the process, which read as
    // leaks; the screens' tests check memory errors, the core's tests check leaks too.
    __lsan_disable();
#endif
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
