#include "platform/wayland/PortalGlobalShortcut.h"

#include "platform/wayland/PortalAnswers.h"
#include "platform/wayland/ShortcutTrigger.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QKeySequence>

#include <cstdio>

namespace {

// One shortcut as BindShortcuts takes it: an id and its properties, a(sa{sv}).
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& a, const PortalShortcut& s) {
    a.beginStructure();
    a << s.id << s.properties;
    a.endStructure();
    return a;
}

const QDBusArgument& operator>>(const QDBusArgument& a, PortalShortcut& s) {
    a.beginStructure();
    a >> s.id >> s.properties;
    a.endStructure();
    return a;
}

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString kShortcutId = QStringLiteral("toggle-drawing-mode");

}  // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace platform::wayland {

PortalGlobalShortcut::PortalGlobalShortcut(QDBusConnection bus) : bus_(std::move(bus)) {
    if (!bus_.isConnected()) return;
    // The portal answers for every interface it has a backend for; the property tells.
    QDBusMessage get = QDBusMessage::createMethodCall(kService, kPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << kInterface << QStringLiteral("version");
    offered_ = bus_.call(get, QDBus::Block, 2000).type() == QDBusMessage::ReplyMessage;
}

PortalGlobalShortcut::~PortalGlobalShortcut() { clear(); }

QString PortalGlobalShortcut::way(QKeyCombination key) const {
    const QString name = QKeySequence(key).toString(QKeySequence::NativeText);
    return offered_ ? QStringLiteral("Hot key %1: registered with the desktop's global shortcuts").arg(name)
                    : QStringLiteral("Hot key: bind %1 to the command slateboard --toggle in the desktop's keyboard "
                                     "settings")
                          .arg(name);
}

bool PortalGlobalShortcut::set(QKeyCombination key) {
    clear();
    key_ = key;
    if (!offered_) return true;
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    // The bus finds the slot for the signal by its parameters' type names, known only once registered.
    qRegisterMetaType<QDBusObjectPath>();
    bus_.connect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                 SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    const QString token = QStringLiteral("slateboard_session%1").arg(++tokens_);
    call(QStringLiteral("CreateSession"),
         {QVariantMap{{QStringLiteral("handle_token"), token}, {QStringLiteral("session_handle_token"), token}}}, token);
    return true;
}

// Sends a request answered later by a Response on its own object, listened to from before the call.
bool PortalGlobalShortcut::call(const QString& method, const QList<QVariant>& arguments, const QString& token) {
    listen(requestPath(bus_.baseService(), token), true);
    QDBusMessage m = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    m.setArguments(arguments);
    const QDBusMessage reply = bus_.call(m, QDBus::Block, 5000);
    if (reply.type() == QDBusMessage::ReplyMessage) return true;
    listen(request_, false);
    std::fprintf(stderr, "slateboard: the desktop's global shortcuts refused %s: %s\n", qPrintable(method),
                 qPrintable(reply.errorMessage()));
    return false;
}

void PortalGlobalShortcut::listen(const QString& requestPath, bool on) {
    if (requestPath.isEmpty()) return;
    const QString iface = QStringLiteral("org.freedesktop.portal.Request"), name = QStringLiteral("Response");
    if (on) {
        request_ = requestPath;
        bus_.connect(kService, requestPath, iface, name, this, SLOT(onResponse(uint, QVariantMap)));
    } else {
        bus_.disconnect(kService, requestPath, iface, name, this, SLOT(onResponse(uint, QVariantMap)));
        request_.clear();
    }
}

void PortalGlobalShortcut::onResponse(uint response, const QVariantMap& results) {
    listen(request_, false);
    if (response != 0) {
        std::fprintf(stderr, "slateboard: the desktop did not register the hot key (answer %u); bind it to "
                             "slateboard --toggle in the desktop's keyboard settings\n", response);
        return;
    }
    if (session_.isEmpty()) {
        // A string by the documentation; an object path from some portals.
        const QVariant handle = results.value(QStringLiteral("session_handle"));
        session_ = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path() : handle.toString();
        if (!session_.isEmpty()) bind();
    }
}

void PortalGlobalShortcut::bind() {
    const QString token = QStringLiteral("slateboard_bind%1").arg(++tokens_);
    const QList<PortalShortcut> shortcuts{{kShortcutId,
                                           {{QStringLiteral("description"), QStringLiteral("Drawing mode on or off")},
                                            {QStringLiteral("preferred_trigger"), shortcutTrigger(key_)}}}};
    call(QStringLiteral("BindShortcuts"),
         {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(shortcuts), QString(),
          QVariantMap{{QStringLiteral("handle_token"), token}}},
         token);
}

void PortalGlobalShortcut::onActivated(const QDBusObjectPath& session, const QString& id, qulonglong, const QVariantMap&) {
    if (session.path() == session_ && id == kShortcutId) emit activated();
}

void PortalGlobalShortcut::clear() {
    listen(request_, false);
    if (!session_.isEmpty()) {
        bus_.call(QDBusMessage::createMethodCall(kService, session_, QStringLiteral("org.freedesktop.portal.Session"),
                                                 QStringLiteral("Close")),
                  QDBus::NoBlock);
        session_.clear();
    }
    bus_.disconnect(kService, kPath, kInterface, QStringLiteral("Activated"), this,
                    SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
}

}  // namespace platform::wayland
