#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace printdeck {

// Who wants to open a device node.
struct UserIdentity {
    uid_t uid = 0;
    std::vector<gid_t> groups;  // the primary group and the supplementary ones
    // The groups the user database gives the user now; a group added since
    // the session began is here but not yet in `groups`.
    std::vector<gid_t> configuredGroups;
    // The kernel may be asked directly, which also honours access lists
    // (the seat's uaccess); a made-up identity is judged by the mode bits.
    bool isThisProcess = false;

    static UserIdentity OfThisProcess();
};

// Whether a node opens for reading and writing and, when it does not, the
// group that would let it.
struct NodeAccess {
    bool allowed = false;
    std::string owner;
    std::string group;
    bool groupMayUse = false;       // membership of `group` would grant it
    bool joinedSinceLogin = false;  // the user is in `group`, this session not yet
};

// Judges an existing node; `path` must exist.
NodeAccess CheckNodeAccess(const std::string& path, const UserIdentity& identity);

}  // namespace printdeck
