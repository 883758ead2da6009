#pragma once
#include <QImage>

namespace platform {

// An RGB32 image whose memory is asked for in huge pages where the system offers them. A
// screen-sized image at 4K is 33 MB; touching it for the first time in ordinary 4 KiB pages
// costs a page fault per page, which is most of the time of entering drawing mode there.
// Contents are undefined.
QImage allocateImage(QSize size);

}  // namespace platform
