#pragma once
#include <string>

namespace platform {

// Claims the name for this process with an abstract-namespace socket: the kernel releases it
// when the process ends, however it ends, so a crashed instance never leaves it stuck, and
// nothing is written to disk. Returns false when another live process holds the name.
class SingleInstance {
public:
    explicit SingleInstance(std::string name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    bool claim();

private:
    std::string name_;
    int fd_ = -1;
};

// The per-user, per-display name of the program's instance lock.
std::string instanceName(const std::string& program);

}  // namespace platform
