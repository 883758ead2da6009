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

// The name of the program's instance for this user and display (empty: $DISPLAY).
std::string instanceName(const std::string& program, const std::string& display = {});

// The display an X display name stands for, as "host:number.screen", so that the names of one
// display give one key: ":0", ":0.0", "unix:0" and "unix/:0.0" all reach the local server
// through its socket. A host, "localhost" included, is reached through TCP, where another
// server may answer (ssh's X forwarding listens on localhost:10 beside a local :10 that has only
// its socket): it stays a display of its own. A name that does not parse is its own key.
std::string displayKey(const std::string& name);

}  // namespace platform
