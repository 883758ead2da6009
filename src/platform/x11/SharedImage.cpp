#include "platform/x11/SharedImage.h"

#include "platform/LargeImage.h"

#include <xcb/shm.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace platform::x11 {

namespace {

struct Segment {
    int id;
    std::vector<std::pair<xcb_connection_t*, uint32_t>> attached;
};

// Pixels → segment, for the images alive (made and dropped in the main thread).
std::map<const uchar*, Segment>& segments() {
    static std::map<const uchar*, Segment> m;
    return m;
}

void release(void* pixels) {
    const auto it = segments().find(static_cast<const uchar*>(pixels));
    if (it != segments().end()) {
        for (auto [c, segment] : it->second.attached) {
            xcb_shm_detach(c, segment);
            xcb_flush(c);
        }
        segments().erase(it);
    }
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
    segments()[static_cast<const uchar*>(pixels)] = {id, {}};
    return QImage(static_cast<uchar*>(pixels), size.width(), size.height(), size.width() * 4, QImage::Format_RGB32,
                  release, pixels);
}

uint32_t attachShared(xcb_connection_t* c, const QImage& image) {
    const auto it = segments().find(image.constBits());
    if (it == segments().end()) return 0;
    auto& attached = it->second.attached;
    const auto known = std::find_if(attached.begin(), attached.end(), [c](const auto& a) { return a.first == c; });
    if (known != attached.end()) return known->second;
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_shm_id);
    if (!ext || !ext->present) return 0;
    const uint32_t segment = xcb_generate_id(c);
    if (xcb_generic_error_t* error = xcb_request_check(c, xcb_shm_attach_checked(c, segment, uint32_t(it->second.id), 0))) {
        std::free(error);  // another machine's server, or one that may not map our memory
        return 0;
    }
    attached.emplace_back(c, segment);
    return segment;
}

void forgetConnection(xcb_connection_t* c) {
    for (auto& [pixels, segment] : segments())
        std::erase_if(segment.attached, [c](const auto& a) { return a.first == c; });
}

}  // namespace platform::x11
