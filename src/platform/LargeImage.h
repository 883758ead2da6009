#pragma once
#include <QImage>

#include <atomic>
#include <thread>

namespace platform {

// An RGB32 image whose memory is asked for in huge pages where the system offers them. A
// screen-sized image at 4K is 33 MB; touching it for the first time in ordinary 4 KiB pages
// costs a page fault per page, which is most of the time of entering drawing mode there.
// Contents are undefined.
QImage allocateImage(QSize size);

// A copy of an image made ahead on a thread of its own at a low priority, so that it takes
// little from the work under way: the first copy of a 4K screen is 33 MB of fresh memory to fault
// in and fill, about 100 ms here. The image's pixels must neither change nor go until the copy is
// taken or dropped.
class BackgroundCopy {
public:
    explicit BackgroundCopy(const QImage& from);
    // Stops the copy where it is.
    ~BackgroundCopy();
    BackgroundCopy(const BackgroundCopy&) = delete;
    BackgroundCopy& operator=(const BackgroundCopy&) = delete;
    // The copy, what is left of it made here and now (a low priority is not given back, and
    // the thread may hardly run on a busy machine); null where no thread could be started.
    QImage take();

private:
    // Copies the pieces nobody has taken yet, until there are none or the copy is stopped.
    void copyPieces();

    const uchar* from_;
    size_t bytes_;
    QImage copy_;
    uchar* to_ = nullptr;  // its pixels
    std::atomic<size_t> next_ = 0;  // the first piece nobody has taken
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};

}  // namespace platform
