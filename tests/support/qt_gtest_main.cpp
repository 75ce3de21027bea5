// Runs GoogleTest inside a QApplication, for tests that make widgets.
#include <gtest/gtest.h>

#include <QApplication>

#include <dlfcn.h>

#include "support/mesa_driver.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    dlopen(kavelo::test::kMesaDriver, RTLD_LAZY | RTLD_LOCAL | RTLD_NODELETE);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
