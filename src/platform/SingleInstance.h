#pragma once
#include <QByteArray>
#include <QObject>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QSocketNotifier;

namespace platform {

// Claims a name for this process with an abstract-namespace socket: the kernel frees it when
// the process ends, however it ends, and nothing is written to disk. The socket also listens:
// a later start of the program (slateboard --toggle) sends the running one a one-line request
// there, and is answered "ok" once it has been passed on.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(std::string name);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another live process holds the name; the first success holds it for this one.
    bool claim();

    enum class Delivery { Delivered, NoInstance, Failed };
    // Sends a request (one line, without its newline) to the process holding `name` and waits
    // for its answer, at most a few seconds.
    static Delivery send(const std::string& name, std::string_view request);

signals:
    // A request sent by send(), without its newline.
    void requested(const QByteArray& request);

private:
    void accept();
    void readFrom(int fd);

    std::string name_;
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> listener_;
    struct Peer {
        std::unique_ptr<QSocketNotifier> notifier;
        QByteArray received;
    };
    std::map<int, Peer> peers_;
};

// The name of the program's instance for this user and display (empty: $DISPLAY).
std::string instanceName(const std::string& program, const std::string& display = {});

// The names a running instance of this session may hold, the Wayland display's first: from
// $WAYLAND_DISPLAY and $DISPLAY, those that are set.
std::vector<std::string> sessionInstanceNames(const std::string& program);

// The display an X display name stands for, as "host:number.screen", so that the names of one
// display give one key: ":0", ":0.0", "unix:0" and "unix/:0.0" all reach the local server
// through its socket. A host, "localhost" included, is reached through TCP, where another
// server may answer (ssh's X forwarding listens on localhost:10 beside a local :10 that has only
// its socket): it stays a display of its own. A name that does not parse is its own key.
std::string displayKey(const std::string& name);

// The socket a Wayland display name stands for: an absolute name as it is, another one inside
// the runtime folder; no name is "wayland-0", as for every Wayland client.
std::string waylandDisplayKey(const std::string& name, const std::string& runtimeDir);

}  // namespace platform
