#pragma once
#include <string>

namespace platform {

// Claims a name for this process with an abstract-namespace socket: the kernel frees it when
// the process ends, however it ends, and nothing is written to disk.
class SingleInstance {
public:
    explicit SingleInstance(std::string name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another live process holds the name; the first success holds it for this one.
    bool claim();

private:
    std::string name_;
    int fd_ = -1;
};

// The name of the program's instance for this user and display.
std::string instanceName(const std::string& program);

}  // namespace platform
