#include "settings/config.h"

#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "framework/files.h"

namespace config {

std::array<fw::String, 256> parray;
std::optional<fw::String> filename;
bool cfound = false;

namespace {

constexpr std::int32_t kPairs = 128;
// The most of the file that its 256 lines can take, each at most the longest line kept and
// "\r\n": past that, no line of the table can still be read, and a file without line ends
// would keep the start reading for as long as it is big.
constexpr std::uint64_t kMostRead = 256 * std::uint64_t{fw::TextInputStream::kMaxLine + 2};

// The file could not be read at start: replacing it would lose whatever it holds.
bool leftAsItIs = false;
// The failures told since the last store that reached the file: each is told once, not at
// every click that meets it again.
std::set<fw::String> told;
// The keys a full table had no pair for: a table never frees a pair, so each is told once.
std::set<fw::String> refusedForRoom;

// Byte for byte: a key or a path may hold any byte, NUL included.
void Say(const fw::String& line) {
    const fw::String text = "zq8: " + line + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

void Tell(const fw::String& failure) {
    if (told.insert(failure).second) {
        Say(failure);
    }
}

// The file could not be read: replacing it would lose whatever it holds.
void LeaveAsItIs(const fw::FolderItem& item, const fw::String& reason) {
    leftAsItIs = true;
    Tell("cannot read " + item.Path() + ": " + reason +
         "; it is left as it is, and no setting is saved");
}

fw::String NoFolder(const fw::String& name) {
    return "no settings folder for " + name + ": no home folder";
}

// Nothing in the file escapes a line end: a text holding one would shift every pair after it.
bool HoldsLineBreak(const fw::String& text) {
    return text.find_first_of("\r\n") != fw::String::npos;
}

// The whole table goes to a new file, which takes the old one's place at the commit: until then
// the old file stays whole. False, with the reason, when the file keeps its old bytes.
bool WriteEntries(fw::FolderItem& item, fw::String& reason) {
    const auto stream = item.CreateTextFile();
    if (!stream) {
        reason = item.LastError();
        return false;
    }
    for (const fw::String& entry : parray) {
        stream->WriteLine(entry);
    }
    return stream->Commit(reason);
}

}  // namespace

void initconfig(const fw::String& fname) {
    parray.fill(fw::String());
    filename = fname;
    leftAsItIs = false;
    told.clear();
    refusedForRoom.clear();
    const auto item = fw::GetFolderItem(fname);
    if (!item) {
        Tell(NoFolder(fname));
        return;
    }
    if (!item->Exists()) {
        return;
    }
    const auto input = item->OpenAsTextFile();
    if (!input) {
        LeaveAsItIs(*item, item->LastError());
        return;
    }
    input->ReadAtMost(kMostRead);
    for (std::size_t n = 0; n < parray.size() && !input->Eof(); ++n) {
        parray[n] = input->ReadLine();
    }
    // A read that failed is no end of the file: what followed is unknown.
    if (!input->ReadError().empty()) {
        parray.fill(fw::String());
        LeaveAsItIs(*item, input->ReadError());
    } else if (input->StoppedAtBound()) {
        Tell("stopped reading " + item->Path() + " after " + std::to_string(kMostRead >> 20) +
             " MiB: no more of its first 256 lines can be read");
    }
}

std::int32_t findconfig(const fw::String& key) {
    cfound = false;
    for (std::int32_t k = 0; k < kPairs; ++k) {
        const fw::String& entry = parray[2 * k];
        if (entry.empty()) {
            return k;
        }
        if (fw::StringEquals(entry, key)) {
            cfound = true;
            return k;
        }
    }
    return kNoFreePair;
}

fw::String getstring(const fw::String& key) {
    const std::int32_t k = findconfig(key);
    return cfound ? parray[2 * k + 1] : fw::String();
}

std::int32_t getint(const fw::String& key) {
    return fw::ToInt32(fw::Val(getstring(key)));
}

void putconfig(const fw::String& key, const fw::Variant& value) {
    const fw::String text = value.ToString();
    if (HoldsLineBreak(key) || HoldsLineBreak(text)) {
        Tell(HoldsLineBreak(key) ? fw::String("not stored: a key holds a line break")
                                 : "not stored: the value for \"" + key + "\" holds a line break");
        return;
    }
    const std::int32_t k = findconfig(key);
    if (k == kNoFreePair) {
        if (refusedForRoom.insert(key).second) {
            Say("not stored: no pair is free for \"" + key + "\", all 128 hold other keys");
        }
        return;
    }
    parray[2 * k] = key;
    parray[2 * k + 1] = text;
    saveconfig();
}

void saveconfig() {
    if (!filename || leftAsItIs) {
        return;
    }
    const auto item = fw::GetFolderItem(*filename);
    if (!item) {
        Tell(NoFolder(*filename));
        return;
    }
    fw::String reason;
    if (WriteEntries(*item, reason)) {
        told.clear();
    } else {
        // The message names the file and the reason, so the user learns what to fix.
        Tell("cannot write " + item->Path() + ": " + reason);
    }
}

}  // namespace config
