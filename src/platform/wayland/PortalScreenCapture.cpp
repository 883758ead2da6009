#include "platform/wayland/PortalScreenCapture.h"

#include "platform/wayland/PortalAnswers.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

namespace platform::wayland {

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");

}  // namespace

PortalScreenCapture::PortalScreenCapture(QDBusConnection bus, int timeoutMs) : bus_(std::move(bus)), timeoutMs_(timeoutMs) {}

void PortalScreenCapture::hide(QWidget& window) {
    // The window's surface goes at once; the compositor draws the next frame without it, and the
    // portal's copy is of a frame drawn after its request, which comes after this.
    window.hide();
    QGuiApplication::sync();
}

bool PortalScreenCapture::subscribe(const QString& path, bool on) {
    const QString iface = QStringLiteral("org.freedesktop.portal.Request"), name = QStringLiteral("Response");
    return on ? bus_.connect(kService, path, iface, name, this, SLOT(onResponse(uint, QVariantMap)))
              : bus_.disconnect(kService, path, iface, name, this, SLOT(onResponse(uint, QVariantMap)));
}

void PortalScreenCapture::onResponse(uint response, const QVariantMap& results) {
    answer_.emplace(response, results);
    if (waiting_) waiting_->quit();
}

// Calls the portal and waits for its answer; the file it wrote, or empty with failure_ set.
QString PortalScreenCapture::request(const QString& token) {
    const QString expected = requestPath(bus_.baseService(), token);
    subscribe(expected, true);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.portal.Screenshot"),
                                                       QStringLiteral("Screenshot"));
    call << QString() << QVariantMap{{QStringLiteral("handle_token"), token}, {QStringLiteral("interactive"), false}};
    const QDBusMessage reply = bus_.call(call, QDBus::Block, timeoutMs_);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        subscribe(expected, false);
        failure_ = callError(reply.errorName(), reply.errorMessage());
        return {};
    }
    // A portal older than handle tokens answers on a path of its own choosing.
    const QString path = reply.arguments().value(0).value<QDBusObjectPath>().path();
    if (!path.isEmpty() && path != expected) subscribe(path, true);
    if (!answer_) {
        // Painting goes on meanwhile; the user's input waits for the canvas.
        QEventLoop loop;
        QTimer limit;
        limit.setSingleShot(true);
        connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        limit.start(timeoutMs_);
        waiting_ = &loop;
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        waiting_ = nullptr;
    }
    subscribe(expected, false);
    if (!path.isEmpty() && path != expected) subscribe(path, false);
    if (!answer_) {
        failure_ = QStringLiteral("the screenshot portal did not answer within %1 s").arg(timeoutMs_ / 1000.0);
        return {};
    }
    const ScreenshotAnswer answer = screenshotAnswer(answer_->first, answer_->second);
    failure_ = answer.error;
    return answer.file;
}

QImage PortalScreenCapture::grab(const QRect& area) {
    failure_.clear();
    answer_.reset();
    if (!bus_.isConnected()) {
        failure_ = QStringLiteral("there is no D-Bus session bus to reach the desktop's screenshot portal");
        return {};
    }
    const QString file = request(QStringLiteral("slateboard%1").arg(++requests_));
    if (file.isEmpty()) return {};
    QImage picture = takePicture(file, failure_);
    if (picture.isNull()) return {};
    // The portal's picture is the whole desktop; one output of it, where it holds the area.
    return picture.rect().contains(area) && picture.size() != area.size() ? picture.copy(area) : picture;
}

}  // namespace platform::wayland
