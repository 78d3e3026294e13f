// The settings store: 128 key/value text pairs kept in memory and in the file "zq8.ini", which is
// loaded once at start and written again, whole, at every store. A file that cannot be read or
// written never ends the run: one line on stderr says why, and the table lives on in memory.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "framework/object.h"
#include "framework/text.h"

namespace fw {
class Window;
}

namespace config {

// Pair k holds its key in entry 2k and its value in entry 2k+1. The first empty key ends the
// part in use: pairs after it are kept and written back, but never found.
extern std::array<fw::String, 256> parray;
// The name given to initconfig; none before it ran.
extern std::optional<fw::String> filename;
// Whether the last lookup found its key.
extern bool cfound;

// What findconfig gives when all 128 pairs hold other keys: no pair is free.
inline constexpr std::int32_t kNoFreePair = 128;

// Empties the table, remembers fname and loads the first 256 lines of that file, if it exists.
// A file that exists but cannot be read (a FIFO, a device, a folder, no permission, a read that
// fails) leaves the table empty, and is then never replaced in this run: what it holds is not
// lost. Reading stops, with a line on stderr, where no more of the 256 lines can lie.
void initconfig(const fw::String& fname);
// The pair holding key (cfound set), else the first free pair, else kNoFreePair. The empty key
// is never found.
std::int32_t findconfig(const fw::String& key);
// The value of key, or "" when it is absent.
fw::String getstring(const fw::String& key);
// The value of key read as a number, or 0 when it is absent.
std::int32_t getint(const fw::String& key);
// Stores the value's text under key, in place or in the first free pair, then writes the file.
// A new key finds no room in a full table: nothing changes then, and a line on stderr says so,
// once per key. A key or value holding a line end is refused, table and file unchanged, with a
// line on stderr.
void putconfig(const fw::String& key, const fw::Variant& value);
// Writes all 256 entries to the file; nothing before initconfig gave it a name. A write that
// fails leaves the old file whole and says why on stderr, once until a write succeeds; the next
// store tries again.
void saveconfig();
// Moves w to the position stored under its title, each coordinate on its own.
void getwindowpoz(fw::Window& w);
// Stores w's position under its title: two stores, two writes.
void putwindowpoz(fw::Window& w);

}  // namespace config
