#include "controls/cbkey2.h"

#include <algorithm>

#include "framework/exceptions.h"
#include "framework/graphics.h"
#include "framework/picture.h"
#include "framework/text.h"

namespace {

constexpr std::int32_t kCornerArc = 6;

// Key geometry is 32-bit arithmetic that wraps rather than overflows, whatever a caller sets.
std::int32_t Wrap(std::int64_t value) {
    return static_cast<std::int32_t>(value);
}

std::int32_t TextSizeFor(std::int32_t height) {
    return Wrap(std::int64_t(height) * 4) / 7;
}

struct Colours {
    const char* name;
    std::uint32_t lit;
    std::uint32_t text;
};

constexpr Colours kNamedColours[] = {
    {"red", 0xFF0000, 0xFFFFFF},
    {"lime", 0x00FF00, 0x000000},
    {"yellow", 0xFFFF00, 0x000000},
    {"blue", 0x0000FF, 0xFFFFFF},
};

}  // namespace

const fw::ClassInfo& cbkey2::Class() {
    static const fw::ClassInfo info{"cbkey2",
                                    &fw::Canvas::Class(),
                                    {
                                        fw::Property("litcolor", &cbkey2::litcolor),
                                        fw::Property("offcolor", &cbkey2::offcolor),
                                        fw::Property("lit", &cbkey2::lit),
                                        fw::Property("Textfont", &cbkey2::Textfont),
                                        fw::Property("TextLitcolor", &cbkey2::TextLitcolor),
                                        fw::Property("TextOffColor", &cbkey2::TextOffColor),
                                        fw::Property("textsize", &cbkey2::textsize),
                                        fw::Property("Bold", &cbkey2::Bold),
                                        fw::Property("underline", &cbkey2::underline),
                                        fw::Property("Italic", &cbkey2::Italic),
                                        fw::Property("deltay", &cbkey2::deltay),
                                        fw::Property("highlight", &cbkey2::highlight),
                                        fw::Property("kursor", &cbkey2::kursor),
                                        fw::Property("Tag", &cbkey2::Tag),
                                    }};
    return info;
}

void cbkey2::Event_Paint(fw::Graphics& /*g*/) {
    redraw();
}

void cbkey2::Event_Open() {
    textsize = TextSizeFor(Height());
}

bool cbkey2::Event_MouseDown(std::int32_t /*x*/, std::int32_t /*y*/) {
    if (HasEventHandler("Action")) {
        RaiseEvent("Action");
    }
    return false;
}

void cbkey2::redraw() {
    const std::int32_t width = Width();
    const std::int32_t height = Height();
    auto picture = fw::NewPicture(width, height, 32);
    fw::Graphics& g =
        fw::Require(fw::Require(picture.get(), "picture").Graphics(), "picture graphics");

    g.SetForeColor(lit ? litcolor : offcolor);
    g.FillRoundRect(0, 0, width - 1, height - 1, kCornerArc, kCornerArc);

    if (highlight) {
        g.SetForeColor(lit ? offcolor : litcolor);
        const std::int32_t cell = Wrap(std::int64_t(textsize) * 9) / 16;
        // In reals: a key narrower than the cursor row gives a negative base, which pins to 0.
        const double realBase = double(width) / 2 - double(Wrap(std::int64_t(21) * cell)) / 4;
        const std::int32_t base = std::max(fw::ToInt32(realBase), 0);
        std::int32_t x = Wrap(base + std::int64_t(kursor) * cell);
        if (kursor > 5) {
            x = Wrap(std::int64_t(x) - cell / 2);
        }
        g.FillRoundRect(x, 0, cell, height - 1, kCornerArc, kCornerArc);
    }

    g.SetForeColor(fw::RGB(0, 0, 0));
    g.DrawRoundRect(0, 0, width - 1, height - 1, kCornerArc, kCornerArc);

    fw::Require(Graphics(), "key graphics")
        .DrawPicture(picture.get(), 0, 0, fw::kSizeNotGiven, fw::kSizeNotGiven, 0, 0,
                     fw::kSizeNotGiven, fw::kSizeNotGiven);
}

void cbkey2::setlit(bool value) {
    if (value == lit) {
        return;
    }
    lit = value;
    redraw();
}

void cbkey2::setkursor(std::int32_t value) {
    if (value == kursor) {
        return;
    }
    kursor = value;
    redraw();
}

void cbkey2::setcolor(const fw::String& name) {
    for (const Colours& colours : kNamedColours) {
        if (fw::StringEquals(name, colours.name)) {
            litcolor = fw::Color::FromValue(colours.lit);
            TextLitcolor = fw::Color::FromValue(colours.text);
            break;
        }
    }
    redraw();
}

void cbkey2::setheight(std::int32_t height) {
    SetHeight(height);
    textsize = TextSizeFor(Height());
}
