#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "framework/property_list_reader.h"
#include "link/selectport_properties.h"
#include "link/serialc_properties.h"
#include "panel/colour_key_properties.h"
#include "panel/keypad_key_properties.h"
#include "panel/listbox1_properties.h"
#include "panel/main_window_properties.h"
#include "tests/support/main_window_layout.h"

namespace fw {
void PrintTo(const Color& colour, std::ostream* out) {
    *out << "RGB " << std::hex << colour.Value();
}
}  // namespace fw

namespace {

using fw::PropertyType;
using fw::PropertyValue;
using testing::ElementsAreArray;

constexpr auto b = PropertyType::Boolean;
constexpr auto i4 = PropertyType::Integer;
constexpr auto c = PropertyType::Color;
constexpr auto s = PropertyType::Text;

// Every name the system's lists use, spelled as they spell it, with the type its class declares.
// Matched exactly here, so a list that drifts from these spellings fails too.
const std::map<std::string, PropertyType, std::less<>>& DeclaredTypes() {
    static const std::map<std::string, PropertyType, std::less<>> types = {
        {"Placement", i4},
        {"Width", i4},
        {"Height", i4},
        {"MinWidth", i4},
        {"MinHeight", i4},
        {"MaxWidth", i4},
        {"MaxHeight", i4},
        {"Frame", i4},
        {"Composite", b},
        {"HasBackColor", b},
        {"BackColor", c},
        {"Title", s},
        {"Visible", b},
        {"FullScreen", b},
        {"MenuBarVisible", b},
        {"CloseButton", b},
        {"Resizeable", b},
        {"LiveResize", b},
        {"MaximizeButton", b},
        {"MinimizeButton", b},
        {"MacProcID", i4},
        {"Name", s},
        {"Index", i4},
        {"TabPanelIndex", i4},
        {"Left", i4},
        {"Top", i4},
        {"LockLeft", b},
        {"LockTop", b},
        {"LockRight", b},
        {"LockBottom", b},
        {"TabIndex", i4},
        {"TabStop", b},
        {"InitialParent", s},
        {"HelpTag", s},
        {"AutoDeactivate", b},
        {"Enabled", b},
        {"Caption", s},
        {"CaptionAlign", i4},
        {"CaptionPlacement", i4},
        {"CaptionDelta", i4},
        {"IconAlign", i4},
        {"IconDX", i4},
        {"IconDY", i4},
        {"Bevel", i4},
        {"HasMenu", i4},
        {"MenuValue", i4},
        {"ButtonType", i4},
        {"Value", b},
        {"AcceptFocus", b},
        {"TextFont", s},
        {"Bold", b},
        {"Italic", b},
        {"Underline", b},
        {"UseFocusRing", b},
        {"AcceptTabs", b},
        {"EraseBackground", b},
        {"textsize", i4},
        {"litcolor", c},
        {"Textfont", s},
        {"deltay", i4},
        {"Border", b},
        {"ColumnCount", i4},
        {"ColumnWidths", s},
        {"HasHeading", b},
        {"HeadingIndex", i4},
        {"ScrollbarHorizontal", b},
        {"ScrollBarVertical", b},
        {"GridLinesHorizontal", i4},
        {"GridLinesVertical", i4},
        {"DefaultRowHeight", i4},
        {"_ScrollWidth", i4},
        {"Hierarchical", b},
        {"EnableDrag", b},
        {"EnableDragReorder", b},
        {"RequiresSelection", b},
        {"ColumnsResizable", b},
        {"AutoHideScrollbars", b},
        {"SelectionType", i4},
        {"InitialValue", s},
        {"DataSource", s},
        {"DataField", s},
        {"ListIndex", i4},
        {"Baud", i4},
        {"Bits", i4},
        {"Parity", i4},
        {"Stop", i4},
        {"XON", b},
        {"CTS", b},
        {"DTR", b},
    };
    return types;
}

struct Decoded {
    std::vector<std::string> names;
    std::map<std::string, PropertyValue> values;

    const PropertyValue& operator[](const std::string& name) const { return values.at(name); }
};

// Reads a list with the declared types; a list that does not read to its last byte fails.
Decoded Decode(std::string_view list) {
    Decoded decoded;
    auto error = fw::ReadPropertyList(
        list,
        [](std::string_view name) -> std::optional<PropertyType> {
            auto found = DeclaredTypes().find(name);
            if (found == DeclaredTypes().end()) {
                return std::nullopt;
            }
            return found->second;
        },
        [&](fw::PropertyListEntry entry) {
            decoded.names.emplace_back(entry.name);
            decoded.values.emplace(std::string(entry.name), std::move(entry.value));
        });
    EXPECT_FALSE(error) << (error ? fw::DescribePropertyListError(*error) : "");
    return decoded;
}

PropertyValue I(std::int32_t value) {
    return value;
}
PropertyValue T(const char* value) {
    return fw::String(value);
}
const PropertyValue kTrue = true;
const PropertyValue kFalse = false;

// The entry orders, one per kind of list.
const std::vector<std::string> kWindowNames = {
    "Placement",   "Width",      "Height",     "MinWidth",       "MinHeight",
    "MaxWidth",    "MaxHeight",  "Frame",      "Composite",      "HasBackColor",
    "BackColor",   "Title",      "Visible",    "FullScreen",     "MenuBarVisible",
    "CloseButton", "Resizeable", "LiveResize", "MaximizeButton", "MinimizeButton",
    "MacProcID"};
const std::vector<std::string> kBevelButtonNames = {
    "Name",         "Index",          "Left",
    "Top",          "Width",          "Height",
    "LockLeft",     "LockTop",        "LockRight",
    "LockBottom",   "TabPanelIndex",  "TabIndex",
    "TabStop",      "InitialParent",  "Visible",
    "HelpTag",      "AutoDeactivate", "Enabled",
    "Caption",      "CaptionAlign",   "CaptionPlacement",
    "CaptionDelta", "IconAlign",      "IconDX",
    "IconDY",       "Bevel",          "HasMenu",
    "Value",        "MenuValue",      "ButtonType",
    "AcceptFocus",  "TextFont",       "Bold",
    "Italic",       "Underline"};
const std::vector<std::string> kColourKeyNames = {
    "TabStop",     "Name",       "Index",           "Left",           "Top",        "Width",
    "Height",      "LockLeft",   "LockTop",         "LockRight",      "LockBottom", "TabPanelIndex",
    "TabIndex",    "Visible",    "HelpTag",         "AutoDeactivate", "Enabled",    "UseFocusRing",
    "AcceptFocus", "AcceptTabs", "EraseBackground", "InitialParent",  "textsize",   "litcolor",
    "Textfont",    "Bold",       "deltay"};
const std::vector<std::string> kSerialNames = {"Baud", "Bits", "Parity", "Stop",
                                               "XON",  "CTS",  "DTR"};
const std::vector<std::string> kListboxNames = {"Name",
                                                "Index",
                                                "Left",
                                                "Top",
                                                "Width",
                                                "Height",
                                                "LockLeft",
                                                "LockTop",
                                                "LockRight",
                                                "LockBottom",
                                                "TabPanelIndex",
                                                "TabIndex",
                                                "TabStop",
                                                "Visible",
                                                "HelpTag",
                                                "AutoDeactivate",
                                                "Enabled",
                                                "Border",
                                                "ColumnCount",
                                                "ColumnWidths",
                                                "HasHeading",
                                                "UseFocusRing",
                                                "InitialValue",
                                                "HeadingIndex",
                                                "ScrollbarHorizontal",
                                                "ScrollBarVertical",
                                                "GridLinesHorizontal",
                                                "GridLinesVertical",
                                                "DefaultRowHeight",
                                                "_ScrollWidth",
                                                "TextFont",
                                                "Bold",
                                                "Italic",
                                                "Underline",
                                                "Hierarchical",
                                                "EnableDrag",
                                                "EnableDragReorder",
                                                "RequiresSelection",
                                                "SelectionType",
                                                "ColumnsResizable",
                                                "AutoHideScrollbars",
                                                "DataSource",
                                                "DataField",
                                                "InitialParent"};
const std::vector<std::string> kPopupNames = {
    "Name",           "Index",        "Left",         "Top",        "Width",         "Height",
    "LockLeft",       "LockTop",      "LockRight",    "LockBottom", "TabPanelIndex", "TabIndex",
    "TabStop",        "Enabled",      "InitialValue", "ListIndex",  "Visible",       "HelpTag",
    "AutoDeactivate", "TextFont",     "Bold",         "Italic",     "Underline",     "DataSource",
    "DataField",      "InitialParent"};

struct SystemList {
    const char* label;
    const fw::String& (*list)();
    std::size_t bytes;
    const std::vector<std::string>* names;
};

const SystemList kSystemLists[] = {
    {"main window", MainWindowProperties, 270, &kWindowNames},
    {"keypad key 0", []() -> const fw::String& { return KeypadKeyProperties(0); }, 426,
     &kBevelButtonNames},
    {"keypad key 17", []() -> const fw::String& { return KeypadKeyProperties(17); }, 437,
     &kBevelButtonNames},
    {"colour key 102", []() -> const fw::String& { return ColourKeyProperties(102); }, 326,
     &kColourKeyNames},
    {"colour key 103", []() -> const fw::String& { return ColourKeyProperties(103); }, 326,
     &kColourKeyNames},
    {"colour key 104", []() -> const fw::String& { return ColourKeyProperties(104); }, 326,
     &kColourKeyNames},
    {"colour key 105", []() -> const fw::String& { return ColourKeyProperties(105); }, 326,
     &kColourKeyNames},
    {"Serialc", SerialcProperties, 53, &kSerialNames},
    {"Listbox1", Listbox1Properties, 629, &kListboxNames},
    {"port dialog", SelectPortProperties, 278, &kWindowNames},
    {"SerialPopup", SerialPopupProperties, 322, &kPopupNames},
    {"BevelButton1", BevelButton1Properties, 435, &kBevelButtonNames},
    {"refresh", RefreshProperties, 435, &kBevelButtonNames},
};

void PrintTo(const SystemList& list, std::ostream* out) {
    *out << list.label;
}

class SystemListTest : public testing::TestWithParam<SystemList> {};

TEST_P(SystemListTest, ReadsToItsLastByteWithItsEntriesInOrder) {
    const SystemList& param = GetParam();
    const fw::String& list = param.list();
    EXPECT_EQ(list.size(), param.bytes);
    Decoded decoded = Decode(list);
    EXPECT_THAT(decoded.names, ElementsAreArray(*param.names));
}

INSTANTIATE_TEST_SUITE_P(AllLists, SystemListTest, testing::ValuesIn(kSystemLists),
                         [](const testing::TestParamInfo<SystemList>& instance) {
                             std::string name;
                             for (char ch : std::string_view(instance.param.label)) {
                                 if (std::isalnum(static_cast<unsigned char>(ch))) {
                                     name.push_back(ch);
                                 }
                             }
                             return name;
                         });

TEST(WindowLists, CarryTheirWindowsDesignTimeValues) {
    struct Row {
        const char* name;
        PropertyValue mainWindow;
        PropertyValue portDialog;
    };
    const PropertyValue white = fw::RGB(255, 255, 255);
    const Row rows[] = {
        {"Placement", I(0), I(4)},          {"Width", I(260), I(204)},
        {"Height", I(474), I(104)},         {"MinWidth", I(64), I(64)},
        {"MinHeight", I(64), I(64)},        {"MaxWidth", I(32000), I(32000)},
        {"MaxHeight", I(32000), I(32000)},  {"Frame", I(0), I(1)},
        {"Composite", kFalse, kFalse},      {"HasBackColor", kFalse, kFalse},
        {"BackColor", white, white},        {"Title", T("ZQ8"), T("Select Port")},
        {"Visible", kTrue, kTrue},          {"FullScreen", kFalse, kFalse},
        {"MenuBarVisible", kTrue, kFalse},  {"CloseButton", kTrue, kFalse},
        {"Resizeable", kFalse, kFalse},     {"LiveResize", kTrue, kFalse},
        {"MaximizeButton", kFalse, kFalse}, {"MinimizeButton", kTrue, kFalse},
        {"MacProcID", I(0), I(0)},
    };
    Decoded mainWindow = Decode(MainWindowProperties());
    Decoded portDialog = Decode(SelectPortProperties());
    for (const Row& row : rows) {
        EXPECT_EQ(mainWindow[row.name], row.mainWindow) << row.name;
        EXPECT_EQ(portDialog[row.name], row.portDialog) << row.name;
    }
}

TEST(KeypadKeyLists, EachKeyCarriesItsPlaceAndCaptionAndOtherwiseMatchesTheRest) {
    const std::vector<std::string> perKey = {"Index",  "Left",     "Top",    "Width",
                                             "Height", "TabIndex", "Caption"};
    const Decoded first = Decode(KeypadKeyProperties(17));
    for (const zq8test::PlacedControl& key : zq8test::kMainWindowLayout) {
        if (!key.IsKeypadKey()) {
            continue;
        }
        SCOPED_TRACE("key " + std::to_string(key.index));
        const fw::String& list = KeypadKeyProperties(key.index);
        EXPECT_EQ(list.size(), 425 + std::string_view(key.caption).size());
        Decoded decoded = Decode(list);
        EXPECT_EQ(decoded["Index"], I(key.index));
        EXPECT_EQ(decoded["Left"], I(key.left));
        EXPECT_EQ(decoded["Top"], I(key.top));
        EXPECT_EQ(decoded["Width"], I(key.width));
        EXPECT_EQ(decoded["Height"], I(key.height));
        EXPECT_EQ(decoded["TabIndex"], I(key.tabIndex));
        EXPECT_EQ(decoded["Caption"], T(key.caption));
        for (const auto& [name, value] : first.values) {
            if (std::find(perKey.begin(), perKey.end(), name) == perKey.end()) {
                EXPECT_EQ(decoded[name], value) << name;
            }
        }
    }
}

TEST(KeypadKeyLists, SharedValuesAreThoseOfABevelButtonKey) {
    Decoded key = Decode(KeypadKeyProperties(8));
    EXPECT_EQ(key["Name"], T("ZQ8k"));
    EXPECT_EQ(key["Left"], I(99));
    EXPECT_EQ(key["CaptionAlign"], I(3));
    EXPECT_EQ(key["CaptionPlacement"], I(1));
    EXPECT_EQ(key["TextFont"], T("System"));
    EXPECT_EQ(key["InitialParent"], T(""));
    EXPECT_EQ(key["HelpTag"], T(""));
    EXPECT_EQ(key["TabStop"], kTrue);
    EXPECT_EQ(key["AcceptFocus"], kFalse);
    EXPECT_EQ(key["Value"], kFalse);
}

TEST(KeypadKeyLists, IndicesWithoutAKeyAreRefused) {
    for (std::int32_t index : {-1, 10, 12, 14, 43, INT32_MIN}) {
        EXPECT_THROW(KeypadKeyProperties(index), std::out_of_range) << index;
    }
}

TEST(ColourKeyLists, DifferOnlyInIndexAndLeft) {
    const Decoded reference = Decode(ColourKeyProperties(103));
    for (const zq8test::PlacedControl& placed : zq8test::kMainWindowLayout) {
        if (!placed.IsColourKey()) {
            continue;
        }
        SCOPED_TRACE("colour key " + std::to_string(placed.index));
        Decoded key = Decode(ColourKeyProperties(placed.index));
        EXPECT_EQ(key["Index"], I(placed.index));
        EXPECT_EQ(key["Left"], I(placed.left));
        for (const auto& [name, value] : reference.values) {
            if (name != "Index" && name != "Left") {
                EXPECT_EQ(key[name], value) << name;
            }
        }
    }
    EXPECT_EQ(reference["Name"], T("colork"));
    EXPECT_EQ(reference["Top"], I(176));
    EXPECT_EQ(reference["Width"], I(32));
    EXPECT_EQ(reference["Height"], I(20));
    EXPECT_EQ(reference["TabIndex"], I(0));
    EXPECT_EQ(reference["textsize"], I(14));
    EXPECT_EQ(reference["litcolor"], PropertyValue(fw::RGB(0x80, 0xFF, 0x80)));
    EXPECT_EQ(reference["Textfont"], T("System"));
    EXPECT_EQ(reference["Bold"], kTrue);
    EXPECT_EQ(reference["deltay"], I(-5));
    EXPECT_THROW(ColourKeyProperties(101), std::out_of_range);
    EXPECT_THROW(ColourKeyProperties(106), std::out_of_range);
}

TEST(Listbox1List, CarriesTheCommandLogsValues) {
    Decoded log = Decode(Listbox1Properties());
    EXPECT_EQ(log["Name"], T("Listbox1"));
    EXPECT_EQ(log["Index"], I(INT32_MIN));
    EXPECT_EQ(log["Left"], I(9));
    EXPECT_EQ(log["Top"], I(476));
    EXPECT_EQ(log["Width"], I(242));
    EXPECT_EQ(log["Height"], I(100));
    EXPECT_EQ(log["TabIndex"], I(42));
    EXPECT_EQ(log["Border"], kTrue);
    EXPECT_EQ(log["ColumnCount"], I(1));
    EXPECT_EQ(log["ColumnWidths"], T(""));
    EXPECT_EQ(log["HasHeading"], kFalse);
    EXPECT_EQ(log["HeadingIndex"], I(-1));
    EXPECT_EQ(log["ScrollbarHorizontal"], kFalse);
    EXPECT_EQ(log["ScrollBarVertical"], kTrue);
    EXPECT_EQ(log["DefaultRowHeight"], I(-1));
    EXPECT_EQ(log["_ScrollWidth"], I(-1));
    EXPECT_EQ(log["AutoHideScrollbars"], kTrue);
    EXPECT_EQ(log["InitialValue"], T(""));
    EXPECT_EQ(log["DataSource"], T(""));
    EXPECT_EQ(log["DataField"], T(""));
}

TEST(NoArrayIndex, IsWrittenAsTheSmallestInteger) {
    using namespace std::string_literals;
    const fw::String bytes = "Index \x80\x00\x00\x00"s;
    for (const fw::String* list : {&Listbox1Properties(), &SerialPopupProperties(),
                                   &BevelButton1Properties(), &RefreshProperties()}) {
        EXPECT_NE(list->find(bytes), fw::String::npos);
    }
    EXPECT_NE(KeypadKeyProperties(17).find("Index \x00\x00\x00\x11"s), fw::String::npos);
}

TEST(SerialcList, FixesTheLineSettings) {
    Decoded serial = Decode(SerialcProperties());
    EXPECT_EQ(serial["Baud"], I(12));
    EXPECT_EQ(serial["Bits"], I(3));
    EXPECT_EQ(serial["Parity"], I(1));
    EXPECT_EQ(serial["Stop"], I(0));
    EXPECT_EQ(serial["XON"], kFalse);
    EXPECT_EQ(serial["CTS"], kFalse);
    EXPECT_EQ(serial["DTR"], kFalse);
}

TEST(PortDialogControlLists, CarryTheirValues) {
    Decoded popup = Decode(SerialPopupProperties());
    EXPECT_EQ(popup["Name"], T("SerialPopup"));
    EXPECT_EQ(popup["Left"], I(20));
    EXPECT_EQ(popup["Top"], I(14));
    EXPECT_EQ(popup["Width"], I(164));
    EXPECT_EQ(popup["Height"], I(20));
    EXPECT_EQ(popup["TabIndex"], I(0));
    EXPECT_EQ(popup["InitialValue"], T("none"));
    EXPECT_EQ(popup["ListIndex"], I(0));
    EXPECT_EQ(popup["TextFont"], T("System"));

    struct Row {
        const char* name;
        PropertyValue ok;
        PropertyValue refresh;
    };
    const Row rows[] = {
        {"Name", T("BevelButton1"), T("refresh")},
        {"Left", I(117), I(20)},
        {"Top", I(57), I(57)},
        {"Width", I(67), I(67)},
        {"Height", I(27), I(27)},
        {"TabIndex", I(1), I(2)},
        {"Caption", T("OK"), T("Refresh")},
        {"CaptionAlign", I(3), I(3)},
        {"CaptionPlacement", I(1), I(1)},
        {"TextFont", T("System"), T("System")},
    };
    Decoded ok = Decode(BevelButton1Properties());
    Decoded refresh = Decode(RefreshProperties());
    for (const Row& row : rows) {
        EXPECT_EQ(ok[row.name], row.ok) << row.name;
        EXPECT_EQ(refresh[row.name], row.refresh) << row.name;
    }
}

}  // namespace
