#include "platform/SingleInstance.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

SingleInstance::SingleInstance(std::string name) : name_(std::move(name)) {}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0) ::close(fd_);
}

bool SingleInstance::claim() {
    if (fd_ >= 0) return true;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return true;  // no way to tell: let this one run
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    // Abstract namespace: a leading NUL byte, no file.
    size_t len = std::min(name_.size(), sizeof(addr.sun_path) - 1);
    std::memcpy(addr.sun_path + 1, name_.data(), len);
    socklen_t size = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + len);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), size) != 0) {
        int err = errno;
        ::close(fd);
        return err != EADDRINUSE;
    }
    fd_ = fd;
    return true;
}

std::string instanceName(const std::string& program) {
    const char* display = std::getenv("DISPLAY");
    return program + "-" + std::to_string(::getuid()) + "-" + (display ? display : "");
}

}  // namespace platform
