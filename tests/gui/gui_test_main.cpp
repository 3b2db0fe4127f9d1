#include "mainwin/app.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    appInstance = GetModuleHandleA(nullptr);
    RegisterDriverViewClass();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
