#pragma once
#include <QImage>

namespace platform::x11 {

// An RGB32 image in a System V shared memory segment, which the X server can read and write in
// place (MIT-SHM): a screen-sized image then never passes through the socket. The segment is
// gone once the image and every server attachment are. A plain image where no segment can be
// made (its segment is then -1).
QImage sharedImage(QSize size);
// The segment an image of sharedImage() lives in, with the pixels at its start; -1 for others.
int sharedSegmentOf(const QImage& image);

}  // namespace platform::x11
