#include "platform/x11/SharedImage.h"

#include "platform/LargeImage.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <map>

namespace platform::x11 {

namespace {

// Pixels → segment, for the images alive (made and dropped in the main thread).
std::map<const uchar*, int>& segments() {
    static std::map<const uchar*, int> m;
    return m;
}

void release(void* pixels) {
    segments().erase(static_cast<const uchar*>(pixels));
    shmdt(pixels);
}

}  // namespace

QImage sharedImage(QSize size) {
    if (size.isEmpty()) return {};
    const size_t bytes = size_t(size.width()) * size_t(size.height()) * 4;
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) return allocateImage(size);
    void* pixels = shmat(id, nullptr, 0);
    // Marked for removal at once, so that no segment outlives the program, however it ends; Linux
    // lets the server attach it until the last attachment goes.
    shmctl(id, IPC_RMID, nullptr);
    if (pixels == reinterpret_cast<void*>(-1)) return allocateImage(size);
    segments()[static_cast<const uchar*>(pixels)] = id;
    return QImage(static_cast<uchar*>(pixels), size.width(), size.height(), size.width() * 4, QImage::Format_RGB32,
                  release, pixels);
}

int sharedSegmentOf(const QImage& image) {
    const auto it = segments().find(image.constBits());
    return it == segments().end() ? -1 : it->second;
}

}  // namespace platform::x11
