#pragma once
#include <xcb/xcb.h>

#include <QImage>

namespace platform::x11 {

// An RGB32 image in a System V shared memory segment, which the X server can read and write in
// place (MIT-SHM): a screen-sized image then never passes through the socket. A plain image
// where no segment can be made.
QImage sharedImage(QSize size);

// The image's segment attached to the server over `c` (once per connection), for the image's
// whole life: the server maps a segment once however many connections attach it, so the screen
// read into it and then shown from it is mapped, and its pages touched, once. 0 where the image
// is not a shared one or the server cannot attach it.
uint32_t attachShared(xcb_connection_t* c, const QImage& image);
// A connection about to close: its attachments are dropped without a word to the server.
void forgetConnection(xcb_connection_t* c);

}  // namespace platform::x11
