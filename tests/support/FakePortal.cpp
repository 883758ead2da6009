#include "support/FakePortal.h"

#include <QCoreApplication>
#include <QUrl>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");

// The request object a caller's token names, as the portal documentation gives it.
QString objectFor(const char* kind, const QDBusMessage& call, const QString& token) {
    return QStringLiteral("%1/%2/%3/%4")
        .arg(kPath, QLatin1String(kind), call.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_')), token);
}

void respond(QDBusConnection bus, const QString& request, uint code, const QVariantMap& results) {
    QDBusMessage signal = QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
                                                     QStringLiteral("Response"));
    signal << code << results;
    bus.send(signal);
}

}  // namespace

QDBusObjectPath FakeScreenshot::Screenshot(const QString&, const QVariantMap& options, const QDBusMessage& call) {
    const QString request = objectFor("request", call, options.value("handle_token").toString());
    // The answer goes out before the call's reply: only a caller that listened first hears it.
    if (script_.screenshotAnswers)
        respond(bus_, request, script_.screenshotResponse,
                {{"uri", QUrl::fromLocalFile(script_.pictureFile).toString()}});
    return QDBusObjectPath(request);
}

QDBusObjectPath FakeGlobalShortcuts::CreateSession(const QVariantMap& options, const QDBusMessage& call) {
    const QString request = objectFor("request", call, options.value("handle_token").toString());
    const QString session = objectFor("session", call, options.value("session_handle_token").toString());
    {
        std::lock_guard<std::mutex> l(script_.lock);
        script_.session = session;
    }
    respond(bus_, request, 0,
            {{"session_handle", script_.sessionAsPath ? QVariant::fromValue(QDBusObjectPath(session)) : QVariant(session)}});
    return QDBusObjectPath(request);
}

QDBusObjectPath FakeGlobalShortcuts::BindShortcuts(const QDBusObjectPath& session, const QList<BoundShortcut>& shortcuts,
                                                   const QString&, const QVariantMap& options, const QDBusMessage& call) {
    const QString request = objectFor("request", call, options.value("handle_token").toString());
    {
        std::lock_guard<std::mutex> l(script_.lock);
        if (session.path() == script_.session) script_.bound = shortcuts;
    }
    respond(bus_, request, 0, {});
    return QDBusObjectPath(request);
}

FakePortal::FakePortal(const PrivateBus& bus, PortalScript& script, bool screenshot, bool shortcuts)
    : object_(new QObject), bus_(bus.connect(QStringLiteral("fake-portal"))) {
    qDBusRegisterMetaType<BoundShortcut>();
    qDBusRegisterMetaType<QList<BoundShortcut>>();
    if (screenshot) new FakeScreenshot(object_, script, bus_);
    if (shortcuts) new FakeGlobalShortcuts(object_, script, bus_);
    object_->moveToThread(&thread_);
    thread_.start();
    bus_.registerObject(kPath, object_, QDBusConnection::ExportAdaptors);
    bus_.registerService(kService);
}

FakePortal::~FakePortal() {
    bus_.unregisterService(kService);
    bus_.unregisterObject(kPath);
    QMetaObject::invokeMethod(object_, [o = object_] { delete o; }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-portal"));
}

void FakePortal::activate(const QString& session, const QString& id) {
    QDBusMessage signal = QDBusMessage::createSignal(kPath, QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                                                     QStringLiteral("Activated"));
    signal << QVariant::fromValue(QDBusObjectPath(session)) << id << qulonglong(0) << QVariantMap();
    bus_.send(signal);
}
