#include "tests/support/ordinary_user.h"

#include <grp.h>
#include <sched.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

namespace zq8test {

namespace {

constexpr uid_t kNobody = 65534;

bool Root() {
    return ::geteuid() == 0;
}

}  // namespace

uid_t OrdinaryUid() {
    return Root() ? kNobody : ::geteuid();
}

gid_t OrdinaryGid() {
    return Root() ? kNobody : ::getegid();
}

void BecomeOrdinaryUser() {
    if (Root() && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 ||
                   ::setuid(kNobody) != 0 || ::setuid(0) == 0)) {
        throw std::runtime_error("root could not become nobody");
    }
}

void BecomeRoot() {
    if (Root()) {
        return;
    }
    const std::string uid = std::to_string(::geteuid());
    const std::string gid = std::to_string(::getegid());
    if (::unshare(CLONE_NEWUSER) != 0) {
        throw std::runtime_error("no user namespace to be root in");
    }
    std::ofstream("/proc/self/setgroups") << "deny";
    std::ofstream("/proc/self/uid_map") << "0 " + uid + " 1";
    std::ofstream("/proc/self/gid_map") << "0 " + gid + " 1";
    if (::geteuid() != 0) {
        throw std::runtime_error("not root in the user namespace");
    }
}

void GiveToOrdinaryUser(const std::filesystem::path& path) {
    if (Root() && ::lchown(path.c_str(), kNobody, kNobody) != 0) {
        throw std::runtime_error("cannot hand " + path.string() + " to nobody");
    }
}

void OpenConfigHomeToOrdinaryUser() {
    const char* home = std::getenv("XDG_CONFIG_HOME");
    if (home == nullptr) {
        throw std::runtime_error("no XDG_CONFIG_HOME");
    }
    GiveToOrdinaryUser(home);
}

}  // namespace zq8test
