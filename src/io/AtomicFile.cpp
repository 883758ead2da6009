#include "io/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace io {

namespace {

// The folder and the name of a path.
std::pair<std::string, std::string> split(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// Follows `path` through symbolic links to the file they lead to, which need not exist yet; a
// relative link is read from its own folder. 0, or the errno of a loop or a name too long.
int followLinks(std::string& path) {
    for (int hops = 0; hops < 40; ++hops) {
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0) return 0;  // no link (or nothing there): the path names the file
        if (size_t(n) == target.size()) return ENAMETOOLONG;
        target.resize(size_t(n));
        if (target.front() != '/') {
            const std::string dir = split(path).first;
            target = (dir == "/" ? dir : dir + "/") + target;
        }
        path = std::move(target);
    }
    return ELOOP;
}

// The process umask, read without changing it even for a moment.
mode_t currentUmask() {
    if (FILE* f = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, f)) {
            unsigned mask = 0;
            if (std::sscanf(line, "Umask: %o", &mask) == 1) {
                std::fclose(f);
                return mode_t(mask & 0777);
            }
        }
        std::fclose(f);
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

bool writeAll(int fd, const std::string& bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        p += n;
        left -= size_t(n);
    }
    return true;
}

}  // namespace

std::string absolutePath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path abs = std::filesystem::absolute(path, ec);
    return ec ? path : abs.lexically_normal().string();
}

std::string errorText(int err) {
    const char* msg = std::strerror(err);
    return msg ? msg : "unknown error";
}

void removeStaleTemporaries(const std::string& path) {
    std::string file = path;
    if (followLinks(file) != 0) return;
    const auto [dir, base] = split(file);
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    while (const dirent* e = ::readdir(d)) {
        const std::string_view name = e->d_name;
        if (name.size() <= base.size() + 1 || name.substr(0, base.size() + 1) != base + ".") continue;
        const std::string_view tail = name.substr(base.size() + 1);
        const size_t dash = tail.find('-');
        if (dash == 0 || dash == std::string_view::npos) continue;
        if (tail.find_first_not_of("0123456789-") != std::string_view::npos) continue;
        const long pid = std::strtol(std::string(tail.substr(0, dash)).c_str(), nullptr, 10);
        if (pid > 0 && pid != ::getpid() && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(d), e->d_name, 0);
    }
    ::closedir(d);
}

int writeAtomically(const std::string& link, const std::string& bytes) {
    auto fail = [](int err) { return err ? err : EIO; };
    std::string path = link;
    if (const int err = followLinks(path)) return err;
    const auto [dir, base] = split(path);
    if (base.empty()) return fail(EISDIR);
    removeStaleTemporaries(path);
    // The rename would replace a file whatever its permissions: one its owner may not write is
    // refused as writing into it would be.
    if (struct stat st {}; ::stat(path.c_str(), &st) == 0 && !(st.st_mode & S_IWUSR)) return EACCES;
    const std::string prefix = (dir == "/" ? std::string("/") : dir + "/") + base + ".";

    // An unnamed file first: a crash while it is written leaves nothing behind. It gets a name
    // only for the moment before the rename.
    int fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    const bool unnamed = fd >= 0;
    std::string tmp;
    if (!unnamed) {
        std::vector<char> name(prefix.begin(), prefix.end());
        for (char c : std::string("XXXXXX")) name.push_back(c);
        name.push_back('\0');
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) return fail(errno);
        tmp = name.data();
    }
    auto abandon = [&](int err) {
        ::close(fd);
        if (!tmp.empty()) ::unlink(tmp.c_str());
        return fail(err);
    };
    if (!writeAll(fd, bytes)) return abandon(errno);
    int rc;
    do rc = ::fsync(fd);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) return abandon(errno);
    if (::fchmod(fd, 0666 & ~currentUmask()) != 0) return abandon(errno);
    if (unnamed) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        for (unsigned attempt = 0; tmp.empty(); ++attempt) {
            std::string name = prefix + std::to_string(::getpid()) + "-" + std::to_string(attempt);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
                tmp = std::move(name);
            else if (errno != EEXIST || attempt > 100)
                return abandon(errno);
        }
    }
    if (::close(fd) != 0 && errno != EINTR) {
        const int err = errno;
        ::unlink(tmp.c_str());
        return fail(err);
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        return fail(err);
    }
    // Make the rename itself durable; the file is already in place if this fails.
    if (const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return 0;
}

std::optional<std::string> readBounded(const std::string& path, std::size_t limit, bool& complete) {
    int fd;
    do fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::string out(limit + 1, '\0');
    size_t got = 0;
    while (got < out.size()) {
        const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        got += size_t(n);
    }
    ::close(fd);
    complete = got <= limit;
    out.resize(std::min(got, limit));
    return out;
}

}  // namespace io
