#pragma once
// A private D-Bus with a desktop portal of the test's making: the screenshot and global-shortcuts
// interfaces as xdg-desktop-portal offers them, answering on their request objects. The portal
// runs on a thread of its own, since the program's calls to it block.
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <mutex>

struct BoundShortcut {
    QString id;
    QVariantMap properties;
};
Q_DECLARE_METATYPE(BoundShortcut)
inline QDBusArgument& operator<<(QDBusArgument& a, const BoundShortcut& s) {
    a.beginStructure(), a << s.id << s.properties, a.endStructure();
    return a;
}
inline const QDBusArgument& operator>>(const QDBusArgument& a, BoundShortcut& s) {
    a.beginStructure(), a >> s.id >> s.properties, a.endStructure();
    return a;
}

// A dbus-daemon of its own, which starts no service on demand.
class PrivateBus {
public:
    PrivateBus() {
        const QString config = dir_.filePath("bus.conf");
        QFile f(config);
        if (f.open(QIODevice::WriteOnly))
            f.write(QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
                                   "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                   "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                        .arg(dir_.path()).toUtf8());
        f.close();
        daemon_.start(QStringLiteral("dbus-daemon"), {"--config-file=" + config, "--nofork", "--print-address=1"});
        if (daemon_.waitForReadyRead(10000)) address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() { daemon_.kill(), daemon_.waitForFinished(); }
    // A new connection to the bus under this name.
    QDBusConnection connect(const QString& name) const { return QDBusConnection::connectToBus(address_, name); }
    bool up() const { return !address_.isEmpty(); }

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
};

// What the portal is told to answer, and what it was asked; shared with the test's thread.
struct PortalScript {
    std::atomic<uint> screenshotResponse{0};
    std::atomic<bool> screenshotAnswers{true};
    QString pictureFile;  // the uri's file, written by the test
    bool sessionAsPath = false;  // the session handle given as an object path, not a string
    std::mutex lock;
    QList<BoundShortcut> bound;
    QString session;
};

class FakePortal;

class FakeScreenshot final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
public:
    FakeScreenshot(QObject* portal, PortalScript& script, QDBusConnection bus)
        : QDBusAbstractAdaptor(portal), script_(script), bus_(bus) {}
public slots:
    QDBusObjectPath Screenshot(const QString&, const QVariantMap& options, const QDBusMessage& call);

private:
    PortalScript& script_;
    QDBusConnection bus_;
};

class FakeGlobalShortcuts final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
    Q_PROPERTY(uint version READ version)
public:
    FakeGlobalShortcuts(QObject* portal, PortalScript& script, QDBusConnection bus)
        : QDBusAbstractAdaptor(portal), script_(script), bus_(bus) {}
    uint version() const { return 1; }
public slots:
    QDBusObjectPath CreateSession(const QVariantMap& options, const QDBusMessage& call);
    QDBusObjectPath BindShortcuts(const QDBusObjectPath& session, const QList<BoundShortcut>& shortcuts, const QString&,
                                  const QVariantMap& options, const QDBusMessage& call);
signals:
    void Activated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp, const QVariantMap& options);

private:
    PortalScript& script_;
    QDBusConnection bus_;
};

// The portal object with the interfaces asked for, on its own thread and connection.
class FakePortal {
public:
    FakePortal(const PrivateBus& bus, PortalScript& script, bool screenshot, bool shortcuts);
    ~FakePortal();
    // Sends the Activated signal of the global shortcuts.
    void activate(const QString& session, const QString& id);

private:
    QThread thread_;
    QObject* object_;
    QDBusConnection bus_;
};
