// Runs GoogleTest inside a QApplication, for tests that make widgets.
#include <gtest/gtest.h>

#include <QApplication>

#include <dlfcn.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Mesa's driver is unloaded with the last GL context; the leak checker can then no longer
    // tell that the memory the driver keeps is its own. Keep it loaded.
    dlopen("/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so", RTLD_LAZY | RTLD_LOCAL | RTLD_NODELETE);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
