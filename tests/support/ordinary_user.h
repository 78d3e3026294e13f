// A user without root's power over files, for tests of what such a user meets. The suite runs
// as root on some machines and as an ordinary user on others: under root the tests take the
// user "nobody", otherwise they are already such a user.
#pragma once

#include <sys/types.h>

#include <filesystem>

namespace zq8test {

// That user's ids: nobody's (65534) under root, else those running the tests.
uid_t OrdinaryUid();
gid_t OrdinaryGid();
// In a forked child: under root, becomes that user for good; otherwise changes nothing.
// Throws when root cannot drop its rights.
void BecomeOrdinaryUser();
// In a forked child: root stays root; an ordinary user becomes root of a user namespace of
// their own, with root's power over their own files. Throws when that cannot be had.
void BecomeRoot();
// Makes the file or folder that user's (under root; it is theirs already otherwise).
void GiveToOrdinaryUser(const std::filesystem::path& path);
// Lets that user reach the settings folder: the temporary config home becomes theirs.
void OpenConfigHomeToOrdinaryUser();

}  // namespace zq8test
