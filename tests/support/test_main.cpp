// The test programs' entry: an offscreen display, one framework runtime per process, a system
// without serial ports of its own, and a fresh, empty settings folder for every test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "framework/runtime.h"
#include "tests/support/fake_system_ports.h"
#include "tests/support/temp_config.h"

namespace {

class FreshSettingsFolder : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { folder_ = zq8test::UseFreshConfigHome(); }
    // Some tests leave megabytes of settings files behind: repeated runs must not fill the disk.
    void OnTestEnd(const testing::TestInfo&) override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::filesystem::path folder_;
};

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // This machine's own ports would shift every row and index the tests expect.
    const zq8test::FakeSystemPorts noPortsOfItsOwn;
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshSettingsFolder);
    fw::RuntimeInit();
    const int result = RUN_ALL_TESTS();
    // The display connection must go before static destruction, which is too late for it.
    fw::RuntimeExit();
    return result;
}
