// The test programs' entry: an offscreen display, one framework runtime per process, and a
// fresh, empty settings folder for every test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "framework/runtime.h"
#include "tests/support/temp_config.h"

namespace {

class FreshSettingsFolder : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { zq8test::UseFreshConfigHome(); }
};

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshSettingsFolder);
    fw::RuntimeInit();
    return RUN_ALL_TESTS();
}
