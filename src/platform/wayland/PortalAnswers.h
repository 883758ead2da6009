#pragma once
#include <QImage>
#include <QString>
#include <QVariantMap>

// What the desktop portal's answers mean, apart from the bus that carries them.
namespace platform::wayland {

// The object a portal request with this handle token is answered on: the caller's unique bus
// name without its colon, dots made underscores, under the portal's request folder. Its Response
// signal must be subscribed to before the call, or a quick answer is missed.
QString requestPath(const QString& uniqueName, const QString& token);

// The screenshot portal's Response: the local file it wrote, or why there is none.
struct ScreenshotAnswer {
    QString file;
    QString error;
};
ScreenshotAnswer screenshotAnswer(uint response, const QVariantMap& results);

// Why a call to the portal failed, from the bus's error name and message.
QString callError(const QString& errorName, const QString& errorMessage);

// Reads the picture the portal wrote, as RGB32, and deletes the file at once whatever it holds,
// so that no copy of the screen stays on disk. A null image when it cannot be read; `error` says why.
QImage takePicture(const QString& file, QString& error);

}  // namespace platform::wayland
