// The command and EEPROM write frames as the controller box receives them on a real
// pseudo-terminal, byte for byte, and what becomes of them when the line closes or hangs up.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <thread>

#include "tests/link/link_fixture.h"

namespace {

using zq8test::Bytes;
using zq8test::CommandFrame;
using zq8test::HexRow;
using zq8test::kReadTimeout;

struct FrameCase {
    std::string label;
    std::function<void(zq8&)> send;
    std::string line;
};

void PrintTo(const FrameCase& c, std::ostream* out) {
    *out << c.label;
}

FrameCase Key(std::string label, std::int8_t cmd, std::initializer_list<int> line) {
    return {std::move(label), [cmd](zq8& w) { w.cmdout(cmd); }, Bytes(line)};
}

FrameCase Eeprom(std::string label, std::int8_t a, std::int8_t b, std::int8_t c,
                 std::initializer_list<int> line) {
    return {std::move(label), [a, b, c](zq8& w) { w.write2eeprom(a, b, c); }, Bytes(line)};
}

const FrameCase kFrames[] = {
    Key("Key0C", 0x0C, {0x02, 0xBA, 0x0C, 0x00, 0xC8}),
    Key("Key0", 0, {0x02, 0xBA, 0x00, 0x00, 0xBC}),
    // The sum is 256: the checksum wraps to zero.
    Key("Key68", 68, {0x02, 0xBA, 0x44, 0x00, 0x00}),
    // Codes above 127 arrive as their low 8 bits, negative.
    Key("Key130", -126, {0x02, 0xBA, 0x82, 0x00, 0x3E}),
    Key("Key238", -18, {0x02, 0xBA, 0xEE, 0x00, 0xAA}),
    Key("KeyMinus1", -1, {0x02, 0xBA, 0xFF, 0x00, 0xBB}),
    // The two ends of the signed byte, where 8-bit signed arithmetic would overflow.
    Key("Key127", 127, {0x02, 0xBA, 0x7F, 0x00, 0x3B}),
    Key("Key128", -128, {0x02, 0xBA, 0x80, 0x00, 0x3C}),
    Eeprom("EnableRemote", 1, 5, 0, {0x03, 0xB1, 0x01, 0x05, 0x00, 0xBA}),
    Eeprom("DisableRemote", 1, 5, 1, {0x03, 0xB1, 0x01, 0x05, 0x01, 0xBB}),
    Eeprom("SonySirc", 1, 6, 0, {0x03, 0xB1, 0x01, 0x06, 0x00, 0xBB}),
    Eeprom("PhilipsRc6", 1, 6, 1, {0x03, 0xB1, 0x01, 0x06, 0x01, 0xBC}),
    // Every partial sum wraps: 180 + 3 * 255 is 945, 0xB1 modulo 256.
    Eeprom("AllOnes", -1, -1, -1, {0x03, 0xB1, 0xFF, 0xFF, 0xFF, 0xB1}),
    Eeprom("HighValues", 127, -128, 127, {0x03, 0xB1, 0x7F, 0x80, 0x7F, 0x32}),
};

class FrameTest : public zq8test::ControllerLinkTest,
                  public testing::WithParamInterface<FrameCase> {};

TEST_P(FrameTest, ReachesTheBoxByteForByteAndTopsTheLog) {
    const FrameCase& c = GetParam();
    window->SetHeight(zq8test::kLogShown);
    window->opencontrollerport(BoxIndex());

    c.send(*window);
    // A frame sent behind it shows that nothing more, and nothing less, went out.
    window->cmdout(0);
    const std::string expected = c.line + CommandFrame(0);
    EXPECT_EQ(HexRow(box.ReadExactly(expected.size(), kReadTimeout)), HexRow(expected));
    EXPECT_EQ(box.Available(), 0u);

    ASSERT_EQ(Log().ListCount(), 2);
    EXPECT_EQ(Log().Cell(1), HexRow(c.line));
}

INSTANTIATE_TEST_SUITE_P(Frames, FrameTest, testing::ValuesIn(kFrames),
                         [](const testing::TestParamInfo<FrameCase>& instance) {
                             return instance.param.label;
                         });

using FrameLineTest = zq8test::ControllerLinkTest;

// Far more than a pseudo-terminal buffers, so that most of the burst still waits in the line's
// queue when the port is closed.
constexpr int kBurstFrames = 20000;

TEST_F(FrameLineTest, ABurstSentJustBeforeTheCloseStillArrivesWhole) {
    window->SetHeight(zq8test::kLogHidden);
    window->opencontrollerport(BoxIndex());
    std::string expected;
    for (int i = 0; i < kBurstFrames; ++i) {
        window->cmdout(std::int8_t(i));
        expected += CommandFrame(i);
    }
    ASSERT_LT(box.Available(), expected.size()) << "the burst never had to wait";

    std::string arrived;
    std::thread reader([&] { arrived = box.ReadExactly(expected.size(), kReadTimeout); });
    // "none" in the port dialog.
    window->opencontrollerport(-1);
    reader.join();
    EXPECT_EQ(arrived.size(), expected.size());
    EXPECT_TRUE(arrived == expected);
}

TEST_F(FrameLineTest, AfterAHangUpFramesAreDroppedAndTheBoxIsReachedAgainOnceBack) {
    window->SetHeight(zq8test::kLogShown);
    window->opencontrollerport(BoxIndex());
    window->cmdout(0x0C);
    ASSERT_EQ(HexRow(box.ReadExactly(5, kReadTimeout)), HexRow(CommandFrame(0x0C)));

    testing::internal::CaptureStderr();
    box.CloseMaster();
    for (int i = 0; i < 100; ++i) {
        window->cmdout(std::int8_t(i));
    }
    window->write2eeprom(1, 5, 0);
    // The first write finds the line gone: told once, and the title no longer names the port.
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zq8: lost " + box.SlavePath() + ": hung up\n");
    EXPECT_EQ(window->Title(), "ZQ8");
    // Still logged: the program goes on as if the frames had left.
    EXPECT_EQ(Log().ListCount(), 102);
    EXPECT_EQ(Log().Cell(0), HexRow(Bytes({0x03, 0xB1, 0x01, 0x05, 0x00, 0xBA})));

    box.Reopen();
    List({box.SlavePath()});
    window->opencontrollerport(BoxIndex());
    EXPECT_EQ(window->Title(), "ZQ8-" + box.SlavePath());
    window->write2eeprom(1, 6, 1);
    const std::string frame = Bytes({0x03, 0xB1, 0x01, 0x06, 0x01, 0xBC});
    EXPECT_EQ(HexRow(box.ReadExactly(frame.size(), kReadTimeout)), HexRow(frame));
}

}  // namespace
