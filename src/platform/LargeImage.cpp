#include "platform/LargeImage.h"

#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace platform {

namespace {

constexpr size_t kHugePage = size_t(2) << 20;

struct Mapping {
    void* base;
    size_t length;
};

void release(void* info) {
    auto* m = static_cast<Mapping*>(info);
    munmap(m->base, m->length);
    delete m;
}

}  // namespace

QImage allocateImage(QSize size) {
    if (size.isEmpty()) return {};
    const size_t bytes = size_t(size.width()) * size_t(size.height()) * 4;
    if (bytes < kHugePage) return QImage(size, QImage::Format_RGB32);
    // Over-allocate so the pixels can start on a huge-page boundary.
    const size_t length = bytes + kHugePage;
    void* base = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) return QImage(size, QImage::Format_RGB32);
    auto aligned = (reinterpret_cast<uintptr_t>(base) + kHugePage - 1) & ~(uintptr_t(kHugePage) - 1);
    auto* pixels = reinterpret_cast<uchar*>(aligned);
    madvise(pixels, bytes, MADV_HUGEPAGE);  // a hint; without it the image works all the same
    return QImage(pixels, size.width(), size.height(), size.width() * 4, QImage::Format_RGB32, release,
                  new Mapping{base, length});
}

IdleCopy::IdleCopy(const QImage& from) : from_(from.constBits()), bytes_(size_t(from.sizeInBytes())) {
    copy_ = allocateImage(from.size());
    if (copy_.isNull() || size_t(copy_.sizeInBytes()) != bytes_ || copy_.bytesPerLine() != from.bytesPerLine()) {
        copy_ = {};
        return;
    }
    to_ = copy_.bits();
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        copy_ = {};  // no thread to be had: the copy is made where it is wanted
        return;
    }
    // Set from here, so that a take() that comes at once is sure to find the thread hurried.
    const sched_param none{};
    pthread_setschedparam(thread_.native_handle(), SCHED_IDLE, &none);
}

IdleCopy::~IdleCopy() {
    stop_ = true;
    finish();
}

QImage IdleCopy::take() {
    finish();
    return done_ ? std::move(copy_) : QImage();
}

void IdleCopy::run() {
    // In pieces, so that a stop waits for one piece at most.
    constexpr size_t kPiece = size_t(1) << 20;
    for (size_t at = 0; at < bytes_; at += kPiece) {
        if (stop_) return;
        std::memcpy(to_ + at, from_ + at, std::min(kPiece, bytes_ - at));
    }
    done_ = true;
}

void IdleCopy::finish() {
    if (!thread_.joinable()) return;
    const sched_param none{};
    pthread_setschedparam(thread_.native_handle(), SCHED_OTHER, &none);
    thread_.join();
}

}  // namespace platform
