#include "platform/LargeImage.h"

#include <sys/mman.h>

#include <cstdint>

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

}  // namespace platform
