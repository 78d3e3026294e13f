#include "framework/property_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "framework/exceptions.h"
#include "framework/property_list_builder.h"
#include "framework/property_list_reader.h"

namespace {

using fw::PropertyListBuilder;
using fw::PropertyListFault;
using fw::PropertyType;
using testing::ElementsAre;
using testing::HasSubstr;

// A small class pair standing in for a window or control: the base declares what every control
// has, the derived class a few properties of awkward types and spellings. Each setter records its
// name, so the order in which a list reaches them shows.
class ProbeBase : public fw::Object {
public:
    static const fw::ClassInfo& Class() {
        static const fw::ClassInfo info{"ProbeBase",
                                        &fw::Object::Class(),
                                        {
                                            fw::Property("Name", &ProbeBase::SetName),
                                            fw::Property("Index", &ProbeBase::SetIndex),
                                        }};
        return info;
    }
    const fw::ClassInfo& GetClassInfo() const override { return Class(); }

    void SetName(const fw::String& value) {
        Record("Name");
        name = value;
    }
    void SetIndex(std::int32_t value) {
        Record("Index");
        index = value;
    }

    fw::String name = "unset";
    std::int32_t index = 7;
    std::vector<std::string> applied;

protected:
    void Record(const char* property) { applied.emplace_back(property); }
};

class Probe : public ProbeBase {
public:
    static const fw::ClassInfo& Class() {
        static const fw::ClassInfo info{
            "Probe",
            &ProbeBase::Class(),
            {
                fw::Property("MacProcId", &Probe::SetMacProcId),
                fw::Property("ScrollBarHorizontal", &Probe::SetScrollBarHorizontal),
                fw::Property("ScrollBarVertical", &Probe::SetScrollBarVertical),
                fw::Property("HelpTag", &Probe::SetHelpTag),
                fw::Property("litcolor", &Probe::SetLitColor),
                fw::Property("deltay", &Probe::SetDeltaY),
            }};
        return info;
    }
    const fw::ClassInfo& GetClassInfo() const override { return Class(); }

    void SetMacProcId(std::int32_t value) {
        Record("MacProcId");
        macProcId = value;
    }
    void SetScrollBarHorizontal(bool value) {
        Record("ScrollBarHorizontal");
        scrollBarHorizontal = value;
    }
    void SetScrollBarVertical(bool value) {
        Record("ScrollBarVertical");
        scrollBarVertical = value;
    }
    void SetHelpTag(const fw::String& value) {
        Record("HelpTag");
        helpTag = value;
    }
    void SetLitColor(fw::Color value) {
        Record("litcolor");
        litColor = value;
    }
    void SetDeltaY(std::int32_t value) {
        Record("deltay");
        deltaY = value;
    }

    std::int32_t macProcId = 99;
    bool scrollBarHorizontal = true;
    bool scrollBarVertical = false;
    fw::String helpTag = "tip";
    fw::Color litColor;
    std::int32_t deltaY = 0;
};

// The type lookup SetProperties uses, for driving the reader directly.
std::optional<PropertyType> ProbeType(std::string_view name) {
    const fw::PropertyDecl* property = Probe::Class().FindProperty(name);
    if (property == nullptr) {
        return std::nullopt;
    }
    return property->type;
}

std::optional<fw::PropertyListError> Read(std::string_view list,
                                          std::vector<fw::PropertyListEntry>* entries = nullptr) {
    return fw::ReadPropertyList(list, ProbeType, [&](fw::PropertyListEntry entry) {
        if (entries != nullptr) {
            entries->push_back(entry);
        }
    });
}

// Every value type, with the system's own awkward cases: names in another letter case, negative
// numbers, the lit colour, an empty text, a text holding a blank, and properties of the base.
const fw::String& MixedList() {
    static const fw::String list = PropertyListBuilder()
                                       .Text("HelpTag", "")
                                       .Integer("MacProcID", -1)
                                       .Boolean("ScrollbarHorizontal", false)
                                       .Boolean("scrollbarvertical", true)
                                       .Colour("litcolor", fw::RGB(0x80, 0xFF, 0x80))
                                       .Integer("deltay", -5)
                                       .Text("Name", "Power On/Off")
                                       .Integer("Index", INT32_MIN)
                                       .Build();
    return list;
}

struct Encoding {
    const char* what;
    fw::String built;
    fw::String bytes;
};

TEST(PropertyListBuilder, EncodesEachTypeBigEndianAfterNameAndBlank) {
    using namespace std::string_literals;
    const Encoding cases[] = {
        {"260", PropertyListBuilder().Integer("Width", 260).Build(), "Width \x00\x00\x01\x04"s},
        {"-1", PropertyListBuilder().Integer("HeadingIndex", -1).Build(),
         "HeadingIndex \xFF\xFF\xFF\xFF"s},
        {"-5", PropertyListBuilder().Integer("deltay", -5).Build(), "deltay \xFF\xFF\xFF\xFB"s},
        {"no array", PropertyListBuilder().Integer("Index", INT32_MIN).Build(),
         "Index \x80\x00\x00\x00"s},
        {"true", PropertyListBuilder().Boolean("Visible", true).Build(), "Visible \x01"s},
        {"false", PropertyListBuilder().Boolean("Bold", false).Build(), "Bold \x00"s},
        {"colour red first", PropertyListBuilder().Colour("c", fw::RGB(1, 2, 3)).Build(),
         "c \x01\x02\x03"s},
        {"text", PropertyListBuilder().Text("TextFont", "System").Build(),
         "TextFont \x00\x00\x00\x06System"s},
        {"empty text", PropertyListBuilder().Text("HelpTag", "").Build(),
         "HelpTag \x00\x00\x00\x00"s},
        {"entries follow each other",
         PropertyListBuilder().Boolean("A", true).Integer("B", 1).Build(),
         "A \x01"
         "B \x00\x00\x00\x01"s},
    };
    for (const Encoding& encoding : cases) {
        EXPECT_EQ(encoding.built, encoding.bytes) << encoding.what;
    }
}

TEST(SetProperties, SetsEveryNamedPropertyInListOrder) {
    Probe probe;
    fw::SetProperties(&probe, MixedList());

    EXPECT_THAT(probe.applied,
                ElementsAre("HelpTag", "MacProcId", "ScrollBarHorizontal", "ScrollBarVertical",
                            "litcolor", "deltay", "Name", "Index"));
    EXPECT_EQ(probe.helpTag, "");
    EXPECT_EQ(probe.macProcId, -1);
    EXPECT_FALSE(probe.scrollBarHorizontal);
    EXPECT_TRUE(probe.scrollBarVertical);
    EXPECT_EQ(probe.litColor, fw::RGB(0x80, 0xFF, 0x80));
    EXPECT_EQ(probe.deltaY, -5);
    EXPECT_EQ(probe.name, "Power On/Off");
    EXPECT_EQ(probe.index, INT32_MIN);
}

TEST(SetProperties, LeavesPropertiesTheListDoesNotName) {
    Probe probe;
    fw::SetProperties(&probe, PropertyListBuilder().Integer("deltay", 3).Build());
    EXPECT_THAT(probe.applied, ElementsAre("deltay"));
    EXPECT_EQ(probe.helpTag, "tip");
    EXPECT_EQ(probe.index, 7);

    fw::SetProperties(&probe, "");
    EXPECT_EQ(probe.applied.size(), 1u);
}

TEST(ReadPropertyList, HandsOverNamesAsWrittenWithTheirOffsets) {
    std::vector<fw::PropertyListEntry> entries;
    ASSERT_FALSE(Read(MixedList(), &entries));
    ASSERT_EQ(entries.size(), 8u);
    EXPECT_EQ(entries[1].name, "MacProcID");
    EXPECT_EQ(entries[1].offset, 12u);  // after "HelpTag " and an empty text
    EXPECT_EQ(entries[2].name, "ScrollbarHorizontal");
    EXPECT_EQ(entries[2].offset, 26u);
    EXPECT_EQ(entries[3].offset, 47u);
}

// Cutting a list anywhere but between two entries must be noticed: inside a name the blank is
// missing, after the blank the value is short. Either way the error points at the cut entry.
TEST(ReadPropertyList, ReportsAListCutAtAnyByte) {
    const fw::String& list = MixedList();
    std::vector<fw::PropertyListEntry> entries;
    ASSERT_FALSE(Read(list, &entries));
    std::set<std::size_t> boundaries{0, list.size()};
    for (const auto& entry : entries) {
        boundaries.insert(entry.offset);
    }

    for (std::size_t cut = 0; cut <= list.size(); ++cut) {
        std::vector<fw::PropertyListEntry> read;
        std::optional<fw::PropertyListError> error =
            Read(std::string_view(list).substr(0, cut), &read);
        if (boundaries.count(cut) != 0) {
            EXPECT_FALSE(error) << "cut at " << cut;
            continue;
        }
        ASSERT_TRUE(error) << "cut at " << cut;
        const std::size_t start = *std::prev(boundaries.upper_bound(cut));
        EXPECT_EQ(error->offset, start) << "cut at " << cut;
        EXPECT_EQ(read.size(),
                  std::size_t(std::distance(boundaries.begin(), boundaries.find(start))))
            << "entries before the cut are still handed over, cut at " << cut;
        const auto& entry = *std::find_if(entries.begin(), entries.end(),
                                          [&](const auto& e) { return e.offset == start; });
        const bool inName = cut <= start + entry.name.size();
        EXPECT_EQ(error->fault,
                  inName ? PropertyListFault::MissingBlank : PropertyListFault::ShortValue)
            << "cut at " << cut;
    }
}

TEST(SetProperties, RaisesOnACutListAndSetsNothing) {
    const fw::String& list = MixedList();
    std::set<std::size_t> boundaries{0};
    std::vector<fw::PropertyListEntry> entries;
    ASSERT_FALSE(Read(list, &entries));
    for (const auto& entry : entries) {
        boundaries.insert(entry.offset);
    }
    for (std::size_t cut = 1; cut < list.size(); ++cut) {
        if (boundaries.count(cut) != 0) {
            continue;
        }
        Probe probe;
        EXPECT_THROW(fw::SetProperties(&probe, std::string_view(list).substr(0, cut)),
                     fw::PropertyListException)
            << "cut at " << cut;
        EXPECT_TRUE(probe.applied.empty()) << "cut at " << cut;
    }
}

struct Malformed {
    const char* what;
    fw::String list;
    PropertyListFault fault;
    std::size_t offset;
    std::string_view name;
};

TEST(ReadPropertyList, ReportsMalformedEntries) {
    using namespace std::string_literals;
    const Malformed cases[] = {
        {"undeclared name after a good entry",
         "deltay \x00\x00\x00\x01"
         "Bogus \x01"s,
         PropertyListFault::UnknownName, 11, "Bogus"},
        {"a name the class lacks", "Caption \x00\x00\x00\x00"s, PropertyListFault::UnknownName, 0,
         "Caption"},
        {"empty name", " \x01"s, PropertyListFault::UnknownName, 0, ""},
        {"text longer than the list",
         "HelpTag \xFF\xFF\xFF\xFF"
         "abc"s,
         PropertyListFault::ShortValue, 0, "HelpTag"},
        {"text one byte short",
         "HelpTag \x00\x00\x00\x04"
         "abc"s,
         PropertyListFault::ShortValue, 0, "HelpTag"},
        {"no blank at all", "deltay"s, PropertyListFault::MissingBlank, 0, "deltay"},
    };
    for (const Malformed& c : cases) {
        std::optional<fw::PropertyListError> error = Read(c.list);
        ASSERT_TRUE(error) << c.what;
        EXPECT_EQ(error->fault, c.fault) << c.what;
        EXPECT_EQ(error->offset, c.offset) << c.what;
        EXPECT_EQ(error->name, c.name) << c.what;
    }
}

TEST(SetProperties, UnknownNameRaisesNamingClassEntryAndOffset) {
    using namespace std::string_literals;
    Probe probe;
    try {
        fw::SetProperties(&probe,
                          "deltay \x00\x00\x00\x01"
                          "Bogus \x01"s);
        FAIL() << "no exception";
    } catch (const fw::PropertyListException& e) {
        EXPECT_THAT(e.what(), HasSubstr("Probe"));
        EXPECT_THAT(e.what(), HasSubstr("\"Bogus\""));
        EXPECT_THAT(e.what(), HasSubstr("byte 11"));
    }
    EXPECT_EQ(probe.deltaY, 0) << "the good entry before it is not applied either";
}

TEST(SetProperties, MessageShowsStrayBytesAsHex) {
    using namespace std::string_literals;
    Probe probe;
    try {
        fw::SetProperties(&probe,
                          "\x01\xFF"
                          "a \x00"s);
        FAIL() << "no exception";
    } catch (const fw::PropertyListException& e) {
        EXPECT_THAT(e.what(), HasSubstr("\"\\x01\\xFFa\""));
    }
}

TEST(SetProperties, NoObjectRaises) {
    EXPECT_THROW(fw::SetProperties(nullptr, MixedList()), fw::PropertyListException);
    EXPECT_THROW(fw::SetProperties(nullptr, ""), fw::PropertyListException);
}

}  // namespace
