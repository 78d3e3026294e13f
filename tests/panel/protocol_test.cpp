// The protocol switch at start and from the menu: the frame sent, the number stored, the title,
// and the codes and captions of the keys.
#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include <map>

#include "controls/cbbevil.h"
#include "controls/cbkey2.h"
#include "framework/listbox.h"
#include "tests/support/frames.h"
#include "tests/support/panel_fixture.h"

namespace zq8test {
namespace {

// Key index, Sony SIRC code, Philips RC6 code (-1: none), caption under Philips RC6 (nullptr:
// the layout's stays).
struct Codes {
    int key;
    int sirc;
    int rc6;
    const char* rc6Caption;
};

constexpr Codes kKeys[] = {
    {0, 0, 1, nullptr},      {1, 1, 2, nullptr},        {2, 2, 3, nullptr},
    {3, 3, 4, nullptr},      {4, 4, 5, nullptr},        {5, 5, 6, nullptr},
    {6, 6, 7, nullptr},      {7, 7, 8, nullptr},        {8, 8, 9, nullptr},
    {9, 9, 0, nullptr},      {15, 15, -1, ""},          {16, 40, -1, ""},
    {17, 21, 12, nullptr},   {18, 22, 66, nullptr},     {19, 100, 78, nullptr},
    {20, 99, 75, nullptr},   {21, 101, 238, "Live TV"}, {22, 65, 195, "Camera"},
    {23, 44, 67, "SDI I/P"}, {24, 41, 209, "Disc"},     {25, 57, 88, nullptr},
    {26, 59, 90, nullptr},   {27, 61, 92, "OK"},        {28, 60, 91, nullptr},
    {29, 58, 89, nullptr},   {30, 67, 131, "Back"},     {31, 66, 146, nullptr},
    {32, 63, 130, nullptr},  {33, 87, 33, nullptr},     {34, 118, -1, ""},
    {35, 117, -1, ""},       {36, 86, 32, nullptr},     {37, 27, 41, nullptr},
    {38, 26, 44, "> ||"},    {39, 28, 40, nullptr},     {40, 85, -1, ""},
    {41, 25, 55, "Rec"},     {42, 24, 49, nullptr},
};
constexpr Codes kColours[] = {
    {102, 102, 112, nullptr},
    {103, 103, 109, nullptr},
    {104, 104, 110, nullptr},
    {105, 105, 111, nullptr},
};

class ProtocolTest : public PanelTest {
protected:
    std::map<int, std::string> LayoutCaptions() {
        std::map<int, std::string> captions;
        for (const Codes& key : kKeys) {
            captions[key.key] = window->ZQ8k(key.key).Caption();
        }
        return captions;
    }
    void ExpectSirc() {
        for (const Codes& key : kKeys) {
            EXPECT_EQ(window->ZQ8k(key.key).tag, key.sirc) << "key " << key.key;
        }
        for (const Codes& key : kColours) {
            EXPECT_EQ(window->colork(key.key).Tag, key.sirc) << "colour key " << key.key;
        }
    }
    void ExpectRc6(const std::map<int, std::string>& layout) {
        for (const Codes& key : kKeys) {
            EXPECT_EQ(window->ZQ8k(key.key).tag, key.rc6) << "key " << key.key;
            EXPECT_EQ(window->ZQ8k(key.key).Caption(),
                      key.rc6Caption ? key.rc6Caption : layout.at(key.key))
                << "key " << key.key;
        }
        for (const Codes& key : kColours) {
            EXPECT_EQ(window->colork(key.key).Tag, key.rc6) << "colour key " << key.key;
        }
    }
};

TEST_F(ProtocolTest, AFirstStartAppliesSonySircAndWritesTheSettingsFile) {
    StartPanel();
    EXPECT_EQ(window->Title(), "Sony SIRC");
    EXPECT_EQ(window->zq8lang, 0);
    ExpectSirc();
    const auto lines = SettingsLines();
    ASSERT_EQ(lines.size(), 256u);
    EXPECT_EQ(lines[0], "zq8lang");
    EXPECT_EQ(lines[1], "0");
    for (std::size_t i = 2; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], "") << "line " << i + 1;
    }
}

TEST_F(ProtocolTest, AStoredPortThatOpensGetsTheProtocolFrameAndTheProtocolsTitle) {
    ListPorts();
    WriteSettings({"controlport", pty.SlavePath()});
    StartPanel();
    EXPECT_EQ(HexBytes(Received(6)), "03 B1 01 06 00 BB");
    EXPECT_EQ(window->Title(), "Sony SIRC");
    const auto lines = SettingsLines();
    ASSERT_EQ(lines.size(), 256u);
    EXPECT_EQ(lines[0], "controlport");
    EXPECT_EQ(lines[1], pty.SlavePath());
    EXPECT_EQ(lines[2], "zq8lang");
    EXPECT_EQ(lines[3], "0");
}

TEST_F(ProtocolTest, AStoredOneStartsInPhilipsRc6WithItsCaptionsAndFiveSilentKeys) {
    ListPorts();
    WriteSettings({"controlport", pty.SlavePath(), "zq8lang", "1"});
    StartPanel();
    EXPECT_EQ(HexBytes(Received(6)), "03 B1 01 06 01 BC");
    EXPECT_EQ(window->Title(), "Phillips RC6");
    for (int key : {15, 16, 34, 35, 40}) {
        EXPECT_EQ(window->ZQ8k(key).Caption(), "") << key;
        EXPECT_EQ(window->ZQ8k(key).tag, -1) << key;
    }
    EXPECT_EQ(window->ZQ8k(21).Caption(), "Live TV");
    EXPECT_EQ(window->ZQ8k(38).Caption(), "> ||");
}

TEST_F(ProtocolTest, AnUnknownNumberIsSentAndStoredButLoadsNoTable) {
    ListPorts();
    WriteSettings({"controlport", pty.SlavePath(), "zq8lang", "7"});
    StartPanel();
    EXPECT_EQ(HexBytes(Received(6)), "03 B1 01 06 07 C2");
    EXPECT_EQ(window->Title(), "ZQ8-" + pty.SlavePath());
    EXPECT_EQ(SettingsLines()[3], "7");
    for (const Codes& key : kKeys) {
        EXPECT_EQ(window->ZQ8k(key.key).tag, -1) << key.key;
    }
    for (const Codes& key : kColours) {
        EXPECT_EQ(window->colork(key.key).Tag, 0) << key.key;
    }
}

TEST_F(ProtocolTest, SwitchingToPhilipsAndBackRestoresCodesAndCaptions) {
    ListPorts();
    WriteSettings({"controlport", pty.SlavePath()});
    StartPanel();
    Received(6);
    const auto layout = LayoutCaptions();
    ASSERT_NO_FATAL_FAILURE(Choose(window->ProtocolPhillipsRC6()));
    EXPECT_EQ(HexBytes(Received(6)), "03 B1 01 06 01 BC");
    EXPECT_EQ(window->Title(), "Phillips RC6");
    EXPECT_EQ(SettingsLines()[3], "1");
    ExpectRc6(layout);
    ASSERT_NO_FATAL_FAILURE(Choose(window->ProtocolSonySirc()));
    EXPECT_EQ(HexBytes(Received(6)), "03 B1 01 06 00 BB");
    EXPECT_EQ(window->Title(), "Sony SIRC");
    ExpectSirc();
    EXPECT_EQ(LayoutCaptions(), layout);
}

TEST_F(ProtocolTest, ColourKeysAreSilentUntilAKeyCodeTableGivesThemTheirCodes) {
    ListPorts();
    WriteSettings({"controlport", pty.SlavePath(), "zq8lang", "7"});
    StartPanel();
    EXPECT_EQ(HexBytes(Received(6)), "03 B1 01 06 07 C2");
    window->SetHeight(584);  // with the log shown, a frame sent would also leave its row
    const auto press = [this](int index) {
        QWidget* key = window->colork(index).Widget();
        QTest::mousePress(key, Qt::LeftButton, {}, key->rect().center());
        QTest::mouseRelease(key, Qt::LeftButton, {}, key->rect().center());
    };
    for (const Codes& key : kColours) {
        press(key.key);
    }
    EXPECT_TRUE(NothingMoreArrives()) << "the red key's 0 from creation must not go out";
    EXPECT_EQ(window->Listbox1().ListCount(), 0);

    ASSERT_NO_FATAL_FAILURE(Choose(window->ProtocolSonySirc()));
    EXPECT_EQ(HexBytes(Received(6)), "03 B1 01 06 00 BB");
    for (const Codes& key : kColours) {
        press(key.key);
        EXPECT_EQ(HexBytes(Received(5)), HexBytes(CommandFrame(key.sirc))) << key.key;
    }
}

}  // namespace
}  // namespace zq8test
