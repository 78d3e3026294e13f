// Whose a key press is: a key's repeats are the panel's only while the panel saw that key go
// down; a key the display held down when the panel took the keyboard is another window's until
// it has come up, however Qt marks its repeats.
#include "framework/held_keys.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

enum class Step { TookKeyboard, LostKeyboard, Press, Repeat, Release, RepeatRelease };

struct KeyEvent {
    Step step;
    std::uint32_t key = 0;
    // A press or a repeat: whether it is the panel's. A release: whether the display still holds
    // the key down, asked only of a key held elsewhere (none: must not be asked).
    std::optional<bool> answer = std::nullopt;
};

constexpr std::uint32_t k2 = 11;
constexpr std::uint32_t k3 = 12;

TEST(HeldKeys, APressIsThePanelsOnlyWhenItsKeyWentDownInThePanel) {
    const struct {
        const char* what;
        std::vector<KeyEvent> events;
    } cases[] = {
        {"held in the panel: every repeat, until it comes up",
         {{Step::TookKeyboard},
          {Step::Press, k2, true},
          {Step::RepeatRelease, k2},
          {Step::Repeat, k2, true},
          {Step::RepeatRelease, k2},
          {Step::Repeat, k2, true},
          {Step::Release, k2},
          {Step::Repeat, k2, false}}},
        {"held elsewhere as the panel took the keyboard: nothing until it has come up",
         {{Step::TookKeyboard, k2},
          {Step::RepeatRelease, k2, true},
          {Step::Repeat, k2, false},
          // A repeat that Qt did not see as one, its release and its press unmarked.
          {Step::Release, k2, true},
          {Step::Press, k2, false},
          {Step::Release, k2, false},
          {Step::Press, k2, true},
          {Step::RepeatRelease, k2},
          {Step::Repeat, k2, true}}},
        {"a repeat of a key never seen going down",
         {{Step::TookKeyboard}, {Step::Repeat, k2, false}}},
        {"another key going down in the panel is the panel's, the one held elsewhere is not",
         {{Step::TookKeyboard, k2},
          {Step::Press, k3, true},
          {Step::Repeat, k2, false},
          {Step::Repeat, k3, true},
          {Step::Release, k3},
          {Step::Repeat, k3, false},
          {Step::Repeat, k2, false}}},
        {"losing the keyboard forgets what the panel saw go down",
         {{Step::TookKeyboard},
          {Step::Press, k2, true},
          {Step::LostKeyboard},
          {Step::Repeat, k2, false}}},
        {"taking the keyboard back with the key still down",
         {{Step::TookKeyboard},
          {Step::Press, k2, true},
          {Step::LostKeyboard},
          {Step::TookKeyboard, k2},
          {Step::Repeat, k2, false},
          {Step::Press, k2, false}}},
        {"each delivery of one event counts once",
         {{Step::TookKeyboard},
          {Step::Press, k2, true},
          {Step::Press, k2, true},
          {Step::Release, k2},
          {Step::Release, k2},
          {Step::Repeat, k2, false}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fw::HeldKeys held;
        for (std::size_t i = 0; i < c.events.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "event " << i);
            const KeyEvent& e = c.events[i];
            switch (e.step) {
                case Step::TookKeyboard:
                    held.TookKeyboard(e.key != 0 ? fw::HeldKeys::Keys{e.key}
                                                 : fw::HeldKeys::Keys{});
                    break;
                case Step::LostKeyboard:
                    held.LostKeyboard();
                    break;
                case Step::Press:
                case Step::Repeat: {
                    const bool repeat = e.step == Step::Repeat;
                    held.Pressed(e.key, repeat);
                    EXPECT_EQ(held.Belongs(e.key, repeat), e.answer.value());
                    break;
                }
                case Step::Release:
                case Step::RepeatRelease:
                    held.Released(e.key, e.step == Step::RepeatRelease, [&] {
                        EXPECT_TRUE(e.answer.has_value()) << "the display was asked";
                        return e.answer.value_or(false);
                    });
                    break;
            }
        }
    }
}

}  // namespace
