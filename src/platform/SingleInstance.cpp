#include "platform/SingleInstance.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr size_t kLongestRequest = 64;

// Abstract namespace: a leading NUL byte, no file.
socklen_t addressOf(const std::string& name, sockaddr_un& addr) {
    addr = {};
    addr.sun_family = AF_UNIX;
    const size_t len = std::min(name.size(), sizeof(addr.sun_path) - 1);
    std::memcpy(addr.sun_path + 1, name.data(), len);
    return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + len);
}

// Waits for the socket to be readable, at most `ms`.
bool readable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, ms) == 1;
}

}  // namespace

SingleInstance::SingleInstance(std::string name) : name_(std::move(name)) {}

SingleInstance::~SingleInstance() {
    listener_.reset();
    for (auto& [fd, peer] : peers_) peer.notifier.reset(), ::close(fd);
    if (fd_ >= 0) ::close(fd_);
}

bool SingleInstance::claim() {
    if (fd_ >= 0) return true;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return true;  // no way to tell: let this one run
    sockaddr_un addr;
    const socklen_t size = addressOf(name_, addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), size) != 0) {
        int err = errno;
        ::close(fd);
        return err != EADDRINUSE;
    }
    fd_ = fd;
    // Holding the name is what counts; a socket that cannot listen only takes no requests.
    if (::listen(fd_, 4) == 0) {
        listener_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        connect(listener_.get(), &QSocketNotifier::activated, this, &SingleInstance::accept);
    }
    return true;
}

void SingleInstance::accept() {
    const int peer = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (peer < 0) return;
    Peer& p = peers_[peer];
    p.notifier = std::make_unique<QSocketNotifier>(peer, QSocketNotifier::Read);
    connect(p.notifier.get(), &QSocketNotifier::activated, this, [this, peer] { readFrom(peer); });
}

void SingleInstance::readFrom(int fd) {
    Peer& p = peers_[fd];
    char buffer[kLongestRequest];
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (n > 0) p.received.append(buffer, int(n));
    const qsizetype end = p.received.indexOf('\n');
    // A request is one short line; anything else, or a peer gone before its end, is dropped.
    if (end < 0 && n > 0 && size_t(p.received.size()) <= kLongestRequest) return;
    const QByteArray request = end < 0 ? QByteArray() : p.received.left(end);
    if (end >= 0) (void)!::send(fd, "ok\n", 3, MSG_NOSIGNAL);
    p.notifier.reset();
    peers_.erase(fd);
    ::close(fd);
    if (end >= 0) emit requested(request);
}

SingleInstance::Delivery SingleInstance::send(const std::string& name, std::string_view request) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return Delivery::Failed;
    sockaddr_un addr;
    const socklen_t size = addressOf(name, addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), size) != 0) {
        const int err = errno;
        ::close(fd);
        return err == ECONNREFUSED || err == ENOENT ? Delivery::NoInstance : Delivery::Failed;
    }
    const std::string line = std::string(request) + "\n";
    char answer[4] = {};
    const bool sent = ::send(fd, line.data(), line.size(), MSG_NOSIGNAL) == ssize_t(line.size());
    // The instance answers from its event loop; a busy one (reading the screen) may take a moment.
    const bool answered = sent && readable(fd, 5000) && ::recv(fd, answer, 3, 0) == 3;
    ::close(fd);
    return answered && std::string_view(answer, 3) == "ok\n" ? Delivery::Delivered : Delivery::Failed;
}

std::string instanceName(const std::string& program, const std::string& display) {
    const char* env = std::getenv("DISPLAY");
    return program + "-" + std::to_string(::getuid()) + "-" + displayKey(display.empty() && env ? env : display);
}

std::vector<std::string> sessionInstanceNames(const std::string& program) {
    std::vector<std::string> names;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (wayland && *wayland) names.push_back(instanceName(program, waylandDisplayKey(wayland, runtime ? runtime : "")));
    const char* x = std::getenv("DISPLAY");
    if (x && *x) names.push_back(instanceName(program, x));
    return names;
}

std::string waylandDisplayKey(const std::string& name, const std::string& runtimeDir) {
    const std::string socket = name.empty() ? "wayland-0" : name;
    return socket[0] == '/' ? socket : runtimeDir + "/" + socket;
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
