// Any key text through the keyboard map and any frame bytes through the log's text, on a real
// main window. A key text sends at most one frame, the one its keypad key's code makes, and the
// handler always answers false; str2hex gives two upper-case hexadecimal digits and a blank per
// byte, which read back as the very bytes; a shown log puts that text on its top row and a hidden
// one keeps nothing.
//
// The first input byte steers: its low 6 bits give the key text's length, bit 6 the protocol,
// bit 7 whether the log shows. The key text follows, then the frame bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "controls/cbbevil.h"
#include "framework/listbox.h"
#include "framework/runtime.h"
#include "panel/startup.h"
#include "panel/zq8.h"
#include "tests/support/frames.h"

namespace {

using zq8test::CommandFrame;

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

zq8& MainWindow() {
    static const std::shared_ptr<zq8> window = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // No port: frames are built, logged and dropped, and the user's settings stay out of it.
        ::unsetenv("ZQ8_SERIAL_PORTS");
        std::string pattern = (std::filesystem::temp_directory_path() / "zq8-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        ::setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
        fw::RuntimeInit();
        entry::initialize();
        entry::Startup();
        // libFuzzer ends with exit(): the windows go, then the toolkit, as at the program's end.
        std::atexit([] {
            entry::finalize();
            fw::RuntimeExit();
        });
        return zq8::zq8_();
    }();
    return *window;
}

// The keypad key each mapped character presses; -1 for any other first byte.
int MappedKey(unsigned char first) {
    switch (first) {
        case 13:
            return 27;
        case 28:
            return 26;
        case 29:
            return 28;
        case 30:
            return 25;
        case 31:
            return 29;
        case 32:
            return 38;
        case '0':
            return 9;
        default:
            return first >= '1' && first <= '9' ? first - '1' : -1;
    }
}

int Digit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

void CheckHexText(const std::string& bytes, const std::string& text) {
    if (text.size() != 3 * bytes.size()) {
        Fail("str2hex length",
             std::to_string(text.size()) + " for " + std::to_string(bytes.size()) + " bytes");
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const int high = Digit(text[3 * i]);
        const int low = Digit(text[3 * i + 1]);
        if (high < 0 || low < 0 || text[3 * i + 2] != ' ') {
            Fail("str2hex form", text.substr(3 * i, 3));
        }
        if (high * 16 + low != static_cast<unsigned char>(bytes[i])) {
            Fail("str2hex value", text.substr(3 * i, 3));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    zq8& window = MainWindow();
    fw::Listbox& log = window.Listbox1();
    const std::uint8_t steer = data[0];
    const std::size_t keyLength = std::min<std::size_t>(steer & 0x3F, size - 1);
    const std::string key(reinterpret_cast<const char*>(data + 1), keyLength);
    const std::string frame(reinterpret_cast<const char*>(data + 1 + keyLength),
                            size - 1 - keyLength);
    const bool shown = (steer & 0x80) != 0;

    if ((steer & 0x40) != 0) {
        window.init_rc6();
    } else {
        window.init_sirc();
    }
    window.SetHeight(shown ? 584 : 474);
    if (log.ListCount() > 256) {
        log.DeleteAllRows();
    }

    const std::int32_t rowsBefore = log.ListCount();
    const int index = key.empty() ? -1 : MappedKey(static_cast<unsigned char>(key[0]));
    const std::int32_t code = index < 0 ? -1 : window.ZQ8k(index).tag;
    if (window.Event_KeyDown(key)) {
        Fail("KeyDown", "answered true for '" + key + "'");
    }
    const std::int32_t added = log.ListCount() - rowsBefore;
    const bool sends = code != -1;
    if (added != (shown && sends ? 1 : 0)) {
        Fail("KeyDown rows", std::to_string(added) + " rows for '" + key + "'");
    }
    if (added == 1) {
        const std::string expected = window.str2hex(CommandFrame(code));
        if (log.Cell(0) != expected) {
            Fail("KeyDown frame", log.Cell(0) + " instead of " + expected);
        }
    }

    const std::string text = window.str2hex(frame);
    CheckHexText(frame, text);
    const std::int32_t rowsBeforeDisplay = log.ListCount();
    window.display(frame);
    if (log.ListCount() - rowsBeforeDisplay != (shown ? 1 : 0)) {
        Fail("display", "rows added with the log " + std::string(shown ? "shown" : "hidden"));
    }
    if (shown && log.Cell(0) != text) {
        Fail("display row", log.Cell(0) + " instead of " + text);
    }
    return 0;
}
