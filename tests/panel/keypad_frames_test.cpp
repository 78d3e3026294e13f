// Clicks on the real keys of the real main window, with the controller box on a pseudo-terminal:
// the frames that reach it byte for byte, and the log rows they leave.
#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/cbbevil.h"
#include "controls/cbkey2.h"
#include "framework/listbox.h"
#include "framework/serial.h"
#include "framework/window.h"
#include "panel/zq8.h"
#include "tests/support/frames.h"
#include "tests/support/pseudo_terminal.h"

namespace {

constexpr std::chrono::seconds kReadTimeout{10};

class KeypadFrames : public testing::Test {
protected:
    void SetUp() override {
        listed.emplace(std::vector<std::string>{box.SlavePath()});
        window = zq8::zq8_();
        // The keys as before any key code table, whatever the window's Open loaded.
        for (std::int32_t index = 0; index <= 42; ++index) {
            if (index < 10 || index > 14) {
                window->ZQ8k(index).tag = -1;
            }
        }
        fw::Serial& serial = window->Serialc();
        serial.SetSerialPort(fw::System::SerialPort(fw::System::SerialPortCount() - 1));
        ASSERT_TRUE(serial.Open());
    }
    void TearDown() override {
        window->Serialc().Close();
        window.reset();
        fw::ReleaseAllWindows();
    }

    void Click(cbbevil& key) {
        QTest::mouseClick(key.Widget(), Qt::LeftButton, {}, key.Widget()->rect().center());
    }
    std::string Received(std::size_t n) { return box.ReadExactly(n, kReadTimeout); }

    zq8test::PseudoTerminal box;
    std::optional<zq8test::ListedSerialPorts> listed;
    std::shared_ptr<zq8> window;
};

TEST_F(KeypadFrames, AKeyWithACodeSendsItsLowByteAndTheShownLogShowsTheFrame) {
    struct {
        std::int32_t key;
        std::int32_t tag;
        const char* row;
    } const cases[] = {
        {17, 21, "02 BA 15 00 D1 "},
        {0, 0, "02 BA 00 00 BC "},       // only -1 means no code
        {21, 238, "02 BA EE 00 AA "},    // passed on as -18
        {30, 0x1FF, "02 BA FF 00 BB "},  // the low 8 bits alone
    };
    window->SetHeight(584);
    for (const auto& c : cases) {
        window->ZQ8k(c.key).tag = c.tag;
        Click(window->ZQ8k(c.key));
        EXPECT_EQ(Received(5), zq8test::CommandFrame(c.tag)) << "key " << c.key;
        EXPECT_EQ(window->Listbox1().Cell(0), c.row);
    }
    EXPECT_EQ(window->Listbox1().ListCount(), 4);
}

TEST_F(KeypadFrames, AKeyWithoutACodeSendsNothing) {
    window->SetHeight(584);
    Click(window->ZQ8k(15));
    window->ZQ8k(18).tag = 0x2A;
    Click(window->ZQ8k(18));
    // The first bytes to arrive are those of the key with a code.
    EXPECT_EQ(Received(5), zq8test::CommandFrame(0x2A));
    EXPECT_EQ(box.Available(), 0u);
    EXPECT_EQ(window->Listbox1().Cell(1), "Key 15");
}

TEST_F(KeypadFrames, WithTheLogHiddenAFrameStillGoesOutAndNothingIsLogged) {
    window->ZQ8k(17).tag = 21;
    Click(window->ZQ8k(15));
    Click(window->ZQ8k(17));
    EXPECT_EQ(Received(5), zq8test::CommandFrame(21));
    EXPECT_EQ(window->Listbox1().ListCount(), 0);
}

TEST_F(KeypadFrames, AColourKeySendsItsTagOnThePressAndLogsItsFrameNeverAKeyRow) {
    window->SetHeight(584);
    struct {
        std::int32_t key;
        std::int32_t tag;
    } const cases[] = {
        {103, 103}, {103, 109},
        {102, 112}, {104, 0},  // the value of a colour key before any key code table
        {105, -1},             // no "no code" for a colour key: it sends 0xFF
    };
    std::vector<std::string> rows;
    for (const auto& c : cases) {
        window->colork(c.key).Tag = c.tag;
        QTest::mousePress(window->colork(c.key).Widget(), Qt::LeftButton, {}, QPoint(16, 10));
        EXPECT_EQ(Received(5), zq8test::CommandFrame(c.tag)) << "key " << c.key << " tag " << c.tag;
        QTest::mouseRelease(window->colork(c.key).Widget(), Qt::LeftButton, {}, QPoint(16, 10));
        rows.insert(rows.begin(), zq8test::HexRow(zq8test::CommandFrame(c.tag)));
    }
    EXPECT_EQ(box.Available(), 0u);
    const fw::Listbox& log = window->Listbox1();
    std::vector<std::string> logged;
    for (std::int32_t row = 0; row < log.ListCount(); ++row) {
        logged.push_back(log.Cell(row));
    }
    EXPECT_EQ(logged, rows);
}

}  // namespace
