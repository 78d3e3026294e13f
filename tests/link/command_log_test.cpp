// The command log's text: a row per frame while the log shows, newest on top, two upper-case
// digits and a blank per byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "framework/exceptions.h"
#include "framework/listbox.h"
#include "framework/serial.h"
#include "tests/link/link_fixture.h"

namespace {

using zq8test::Bytes;
using zq8test::CommandFrame;
using zq8test::HexRow;
using zq8test::kReadTimeout;

using CommandLogTest = zq8test::ControllerLinkTest;

TEST_F(CommandLogTest, ARowOnlyWhileTheWindowIsTallerThan500) {
    const struct {
        std::int32_t height;
        bool logged;
    } cases[] = {
        {zq8test::kLogHidden, false}, {500, false}, {501, true}, {zq8test::kLogShown, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.height);
        Log().DeleteAllRows();
        window->SetHeight(c.height);
        // No port is open: the frames are logged all the same.
        window->cmdout(0x0C);
        window->write2eeprom(1, 5, 0);
        if (c.logged) {
            ASSERT_EQ(Log().ListCount(), 2);
            EXPECT_EQ(Log().Cell(0), "03 B1 01 05 00 BA ");
            EXPECT_EQ(Log().Cell(1), "02 BA 0C 00 C8 ");
        } else {
            EXPECT_EQ(Log().ListCount(), 0);
        }
    }
}

TEST_F(CommandLogTest, EachByteIsTwoUpperCaseDigits) {
    for (int b = 0; b < 256; ++b) {
        const std::string digits = HexRow(std::string(1, char(b)));
        EXPECT_EQ(window->byte2hex(std::uint8_t(b)), digits.substr(0, 2)) << b;
    }
}

TEST_F(CommandLogTest, ARowIsTheRawBytesEachFollowedByABlank) {
    const std::string cases[] = {
        "",
        Bytes({0x02, 0xBA, 0x0C, 0x00, 0xC8}),
        Bytes({0x00}),
        // Taken as bytes, not as the two-byte character they spell in UTF-8.
        "\xC3\xA9",
        Bytes({0x03, 0xB1, 0xFF, 0xFF, 0xFF, 0xB1}),
    };
    for (const std::string& bytes : cases) {
        EXPECT_EQ(window->str2hex(bytes), HexRow(bytes)) << HexRow(bytes);
    }
    EXPECT_EQ(window->str2hex(Bytes({0x02, 0xBA, 0x0C, 0x00, 0xC8})), "02 BA 0C 00 C8 ");
}

TEST_F(CommandLogTest, NewestFrameOnTopAndAnEmptyFrameGivesAnEmptyRow) {
    window->SetHeight(zq8test::kLogShown);
    Log().InsertRow(0, "Key 15", 0);
    window->cmdout(-126);
    window->write2eeprom(1, 6, 1);
    window->display("");

    ASSERT_EQ(Log().ListCount(), 4);
    EXPECT_EQ(Log().Cell(0), "");
    EXPECT_EQ(Log().Cell(1), "03 B1 01 06 01 BC ");
    EXPECT_EQ(Log().Cell(2), "02 BA 82 00 3E ");
    EXPECT_EQ(Log().Cell(3), "Key 15");
}

TEST_F(CommandLogTest, WhileHiddenFramesGoOutUnloggedAndAreNotKeptForLater) {
    window->SetHeight(zq8test::kLogHidden);
    window->opencontrollerport(BoxIndex());
    window->cmdout(1);
    window->cmdout(2);
    const std::string sent = CommandFrame(1) + CommandFrame(2);
    EXPECT_EQ(HexRow(box.ReadExactly(sent.size(), kReadTimeout)), HexRow(sent));
    EXPECT_EQ(Log().ListCount(), 0);

    window->SetHeight(zq8test::kLogShown);
    window->cmdout(3);
    ASSERT_EQ(Log().ListCount(), 1);
    EXPECT_EQ(Log().Cell(0), HexRow(CommandFrame(3)));
}

// A window that was never built holds no controls at all.
TEST(CommandLogControlsTest, AMissingControlRaisesNilObjectException) {
    auto bare = std::make_shared<zq8>();
    bare->SetHeight(zq8test::kLogShown);
    EXPECT_THROW(bare->cmdout(0x0C), fw::NilObjectException);
    EXPECT_THROW(bare->write2eeprom(1, 5, 0), fw::NilObjectException);
    EXPECT_THROW(bare->opencontrollerport(-1), fw::NilObjectException);
    EXPECT_THROW(bare->display(CommandFrame(0)), fw::NilObjectException);
    // While the log is hidden nothing is looked up.
    bare->SetHeight(zq8test::kLogHidden);
    EXPECT_NO_THROW(bare->display(CommandFrame(0)));

    // A control under the name but of another class is no better.
    bare->AddControl("Listbox1", bare->New<fw::Serial>());
    bare->SetHeight(zq8test::kLogShown);
    EXPECT_THROW(bare->display(CommandFrame(0)), fw::NilObjectException);
}

}  // namespace
