#pragma once
#include "platform/GlobalShortcut.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QVariantMap>

namespace platform::wayland {

// The hot key in a Wayland session, where no client may grab keys. Where the desktop has the
// GlobalShortcuts portal (KDE Plasma, recent GNOME) the key is registered there: the desktop may
// ask the user to confirm it, or to choose another. Everywhere the desktop's own shortcut
// settings can run `slateboard --toggle`, which reaches this instance through its single-instance
// socket; set() therefore never fails here.
class PortalGlobalShortcut final : public GlobalShortcut {
    Q_OBJECT
public:
    explicit PortalGlobalShortcut(QDBusConnection bus = QDBusConnection::sessionBus());
    ~PortalGlobalShortcut() override;

    bool set(QKeyCombination key) override;
    void clear() override;
    QString way(QKeyCombination key) const override;

    // Whether the desktop offers the GlobalShortcuts portal.
    bool portalOffered() const { return offered_; }

private slots:
    void onResponse(uint response, const QVariantMap& results);
    void onActivated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp, const QVariantMap& options);

private:
    bool call(const QString& method, const QList<QVariant>& arguments, const QString& token);
    void listen(const QString& requestPath, bool on);
    void bind();

    QDBusConnection bus_;
    bool offered_ = false;
    QKeyCombination key_;
    QString request_;  // the request whose answer is awaited
    QString session_;
    int tokens_ = 0;
};

}  // namespace platform::wayland
