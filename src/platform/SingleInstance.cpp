#include "platform/SingleInstance.h"

#include <algorithm>
#include <cctype>
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

std::string instanceName(const std::string& program, const std::string& display) {
    const char* env = std::getenv("DISPLAY");
    return program + "-" + std::to_string(::getuid()) + "-" + displayKey(display.empty() && env ? env : display);
}

std::string displayKey(const std::string& name) {
    // [protocol/][host]:number[.screen]; a socket's path (starting with a slash) is kept whole.
    const size_t colon = name.rfind(':');
    if (colon == std::string::npos || name[0] == '/') return name;
    std::string host = name.substr(0, colon), protocol;
    if (const size_t slash = host.find('/'); slash != std::string::npos) {
        protocol = host.substr(0, slash);
        host.erase(0, slash + 1);
    }
    std::transform(host.begin(), host.end(), host.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (protocol == "unix" || (protocol.empty() && host == "unix")) host.clear();
    else if (!protocol.empty() && host.empty()) host = "localhost";
    const auto digits = [](const std::string& s) {
        return !s.empty() && s.size() < 10 && s.find_first_not_of("0123456789") == std::string::npos;
    };
    const std::string rest = name.substr(colon + 1);
    const size_t dot = rest.find('.');
    const std::string number = rest.substr(0, dot), screen = dot == std::string::npos ? "0" : rest.substr(dot + 1);
    if (!digits(number) || !digits(screen) || (!host.empty() && host.back() == ':')) return name;
    return host + ":" + std::to_string(std::stoi(number)) + "." + std::to_string(std::stoi(screen));
}

}  // namespace platform
