#pragma once
// Runs a stretch of a test as an unprivileged user when the tests run as root, so that folder
// and file permissions bind as they do for a player. Without root it changes nothing.
#include <sys/types.h>
#include <unistd.h>

class AsOtherUser
{
public:
    static constexpr uid_t Nobody = 65534;
    explicit AsOtherUser(bool active = true) : wasRoot(active && ::geteuid() == 0)
    {
        // the group first: root's group would still let the player in through group bits
        if (wasRoot && (::setegid(Nobody) != 0 || ::seteuid(Nobody) != 0)) {
            (void)::setegid(0);
            wasRoot = false;
        }
    }
    ~AsOtherUser()
    {
        if (wasRoot) {
            (void)::seteuid(0);
            (void)::setegid(0);
        }
    }
    AsOtherUser(const AsOtherUser &) = delete;
    AsOtherUser &operator=(const AsOtherUser &) = delete;

private:
    bool wasRoot;
};
