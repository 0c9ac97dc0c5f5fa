#include "app/NodeAccess.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>

namespace printdeck {
namespace {

constexpr mode_t kOwnerReadWrite = S_IRUSR | S_IWUSR;
constexpr mode_t kGroupReadWrite = S_IRGRP | S_IWGRP;
constexpr mode_t kOtherReadWrite = S_IROTH | S_IWOTH;
// More groups than any user database gives one user.
constexpr int kMaxGroups = 1024;

bool HasAll(mode_t mode, mode_t bits) {
    return (mode & bits) == bits;
}

std::string UserName(uid_t uid) {
    std::array<char, 1024> buffer{};
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        return found->pw_name;
    }
    return "user " + std::to_string(uid);
}

std::string GroupName(gid_t gid) {
    std::array<char, 4096> buffer{};
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        return found->gr_name;
    }
    return "group " + std::to_string(gid);
}

bool AllowedByMode(const struct stat& node, const UserIdentity& identity) {
    if (identity.uid == 0) {
        return true;
    }
    if (node.st_uid == identity.uid) {
        return HasAll(node.st_mode, kOwnerReadWrite);
    }
    const bool member = std::find(identity.groups.begin(), identity.groups.end(), node.st_gid) !=
                        identity.groups.end();
    if (member) {
        return HasAll(node.st_mode, kGroupReadWrite);
    }
    return HasAll(node.st_mode, kOtherReadWrite);
}

bool Contains(const std::vector<gid_t>& groups, gid_t gid) {
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

std::vector<gid_t> ConfiguredGroups(uid_t uid) {
    std::array<char, 1024> buffer{};
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
        return {};
    }
    int count = kMaxGroups;
    std::vector<gid_t> groups(kMaxGroups);
    if (::getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) < 0) {
        return {};
    }
    groups.resize(static_cast<std::size_t>(count));
    return groups;
}

}  // namespace

UserIdentity UserIdentity::OfThisProcess() {
    UserIdentity identity;
    identity.uid = ::geteuid();
    identity.isThisProcess = true;
    identity.groups.push_back(::getegid());
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> supplementary(static_cast<std::size_t>(count));
        const int got = ::getgroups(count, supplementary.data());
        supplementary.resize(static_cast<std::size_t>(std::max(got, 0)));
        identity.groups.insert(identity.groups.end(), supplementary.begin(), supplementary.end());
    }
    identity.configuredGroups = ConfiguredGroups(identity.uid);
    return identity;
}

NodeAccess CheckNodeAccess(const std::string& path, const UserIdentity& identity) {
    NodeAccess access;
    struct stat node {};
    if (::stat(path.c_str(), &node) != 0) {
        return access;
    }
    access.owner = UserName(node.st_uid);
    access.group = GroupName(node.st_gid);
    access.groupMayUse = HasAll(node.st_mode, kGroupReadWrite);
    access.joinedSinceLogin =
        !Contains(identity.groups, node.st_gid) && Contains(identity.configuredGroups, node.st_gid);
    access.allowed = identity.isThisProcess
                         ? ::faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) == 0
                         : AllowedByMode(node, identity);
    return access;
}

}  // namespace printdeck
