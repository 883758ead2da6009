#include "platform/LargeImage.h"

#include <sys/mman.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace platform {

namespace {

constexpr size_t kHugePage = size_t(2) << 20;
// The ahead copy's thread: low enough not to compete with the program or the display, high enough
// to be done soon on a machine that is busy with other work.
constexpr int kNice = 10;
// Pieces of the copy: the most that taking it may have to wait for.
constexpr size_t kPiece = size_t(1) << 20;

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

BackgroundCopy::BackgroundCopy(const QImage& from) : from_(from.constBits()), bytes_(size_t(from.sizeInBytes())) {
    copy_ = allocateImage(from.size());
    if (copy_.isNull() || size_t(copy_.sizeInBytes()) != bytes_ || copy_.bytesPerLine() != from.bytesPerLine()) {
        copy_ = {};
        return;
    }
    to_ = copy_.bits();
    try {
        thread_ = std::thread([this] {
            setpriority(PRIO_PROCESS, 0, kNice);  // 0: this thread, on Linux
            copyPieces();
        });
    } catch (const std::system_error&) {
        copy_ = {};  // no thread to be had: the copy is made where it is wanted
    }
}

BackgroundCopy::~BackgroundCopy() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

QImage BackgroundCopy::take() {
    if (!thread_.joinable()) return {};
    copyPieces();
    thread_.join();  // for the piece it may be copying
    return std::move(copy_);
}

void BackgroundCopy::copyPieces() {
    while (!stop_) {
        const size_t at = next_.fetch_add(kPiece);
        if (at >= bytes_) return;
        std::memcpy(to_ + at, from_ + at, std::min(kPiece, bytes_ - at));
    }
}

}  // namespace platform
