#include "settings/config.h"

#include <cstdio>
#include <memory>
#include <set>

#include "framework/files.h"

namespace config {

std::array<fw::String, 256> parray;
std::optional<fw::String> filename;
bool cfound = false;

namespace {

constexpr std::int32_t kPairs = 128;

// The file could not be read at start: replacing it would lose whatever it holds.
bool leftAsItIs = false;
// The failures told since the last store that reached the file: each is told once, not at
// every click that meets it again.
std::set<fw::String> told;

void Tell(const fw::String& failure) {
    if (told.insert(failure).second) {
        std::fprintf(stderr, "zq8: %s\n", failure.c_str());
        std::fflush(stderr);
    }
}

// The message names the file and the reason, so the user learns what to fix.
fw::String Failure(const char* action, const fw::FolderItem& item) {
    return fw::String(action) + " " + item.Path() + ": " + item.LastError();
}

fw::String NoFolder(const fw::String& name) {
    return "no settings folder for " + name + ": no home folder";
}

// Nothing in the file escapes a line end: a text holding one would shift every pair after it.
bool HoldsLineBreak(const fw::String& text) {
    return text.find_first_of("\r\n") != fw::String::npos;
}

// Releasing the stream puts the new file in place; the item then says whether it could.
void WriteEntries(fw::FolderItem& item) {
    const auto stream = item.CreateTextFile();
    if (!stream) {
        return;
    }
    for (const fw::String& entry : parray) {
        stream->WriteLine(entry);
    }
}

}  // namespace

void initconfig(const fw::String& fname) {
    parray.fill(fw::String());
    filename = fname;
    leftAsItIs = false;
    told.clear();
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
        leftAsItIs = true;
        Tell(Failure("cannot read", *item) + "; it is left as it is, and no setting is saved");
        return;
    }
    for (std::size_t n = 0; n < parray.size() && !input->Eof(); ++n) {
        parray[n] = input->ReadLine();
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
    WriteEntries(*item);
    if (item->LastError().empty()) {
        told.clear();
    } else {
        Tell(Failure("cannot write", *item));
    }
}

}  // namespace config
