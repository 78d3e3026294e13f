#include "tests/support/ordinary_user.h"

#include <grp.h>
#include <unistd.h>

#include <cstdlib>
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
