#pragma once
#include "platform/ScreenCapture.h"

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

#include <optional>

class QEventLoop;

namespace platform::wayland {

// The screen as the desktop portal gives it (org.freedesktop.portal.Screenshot, not
// interactive): a Wayland client cannot read other clients' pixels itself. The portal writes a
// file, which is read and deleted at once.
class PortalScreenCapture final : public QObject, public ScreenCapture {
    Q_OBJECT
public:
    explicit PortalScreenCapture(QDBusConnection bus = QDBusConnection::sessionBus(), int timeoutMs = 20000);

    void hide(QWidget& window) override;
    QImage grab(const QRect& area) override;
    QString failure() const override { return failure_; }

private slots:
    void onResponse(uint response, const QVariantMap& results);

private:
    QString request(const QString& token);
    bool subscribe(const QString& path, bool on);

    QDBusConnection bus_;
    const int timeoutMs_;
    QString failure_;
    int requests_ = 0;
    std::optional<std::pair<uint, QVariantMap>> answer_;
    QEventLoop* waiting_ = nullptr;
};

}  // namespace platform::wayland
