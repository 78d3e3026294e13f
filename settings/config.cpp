#include "settings/config.h"

#include <memory>

#include "framework/exceptions.h"
#include "framework/files.h"

namespace config {

std::array<fw::String, 256> parray;
std::optional<fw::String> filename;
bool cfound = false;

namespace {

constexpr std::int32_t kPairs = 128;

// The message names the file and the system's reason, so the user learns what to fix.
fw::String Failure(const char* action, const fw::FolderItem& item) {
    return fw::String(action) + " " + item.Path() + ": " + item.LastError();
}

fw::FolderItem& SettingsItem(const std::shared_ptr<fw::FolderItem>& item, const fw::String& name) {
    return fw::Require(item.get(), "no settings folder for " + name);
}

}  // namespace

void initconfig(const fw::String& fname) {
    parray.fill(fw::String());
    filename = fname;
    const auto found = fw::GetFolderItem(fname);
    fw::FolderItem& item = SettingsItem(found, fname);
    if (!item.Exists()) {
        return;
    }
    const auto stream = item.OpenAsTextFile();
    fw::TextInputStream& input = fw::Require(stream.get(), Failure("cannot read", item));
    for (std::size_t n = 0; n < parray.size() && !input.Eof(); ++n) {
        parray[n] = input.ReadLine();
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
    const std::int32_t k = findconfig(key);
    if (k == kNoFreePair) {
        return;
    }
    parray[2 * k] = key;
    parray[2 * k + 1] = text;
    saveconfig();
}

void saveconfig() {
    if (!filename) {
        return;
    }
    const auto found = fw::GetFolderItem(*filename);
    fw::FolderItem& item = SettingsItem(found, *filename);
    const auto stream = item.CreateTextFile();
    fw::TextOutputStream& output = fw::Require(stream.get(), Failure("cannot write", item));
    for (const fw::String& entry : parray) {
        output.WriteLine(entry);
    }
}

}  // namespace config
