#include "platform/wayland/PortalAnswers.h"

#include <QFile>
#include <QUrl>

namespace platform::wayland {

QString requestPath(const QString& uniqueName, const QString& token) {
    QString sender = uniqueName.startsWith(QLatin1Char(':')) ? uniqueName.mid(1) : uniqueName;
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

ScreenshotAnswer screenshotAnswer(uint response, const QVariantMap& results) {
    switch (response) {
    case 0: break;
    case 1: return {{}, QStringLiteral("the desktop did not allow the screenshot")};
    default: return {{}, QStringLiteral("the desktop's screenshot portal failed")};
    }
    const QUrl uri(results.value(QStringLiteral("uri")).toString());
    if (!uri.isLocalFile() || uri.toLocalFile().isEmpty())
        return {{}, QStringLiteral("the screenshot portal gave no local file (%1)").arg(uri.toString())};
    return {uri.toLocalFile(), {}};
}

QString callError(const QString& errorName, const QString& errorMessage) {
    if (errorName == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        errorName == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod") ||
        errorName == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface") ||
        errorName == QLatin1String("org.freedesktop.DBus.Error.UnknownObject"))
        return QStringLiteral("the desktop offers no screenshot portal (install xdg-desktop-portal and the "
                              "portal of the desktop, such as xdg-desktop-portal-wlr, -gnome or -kde)");
    if (errorName == QLatin1String("org.freedesktop.DBus.Error.NoReply"))
        return QStringLiteral("the screenshot portal did not answer");
    return QStringLiteral("the screenshot portal refused: %1").arg(errorMessage.isEmpty() ? errorName : errorMessage);
}

QImage takePicture(const QString& file, QString& error) {
    QImage picture(file);
    const bool removed = QFile::remove(file);
    if (picture.isNull()) {
        error = QStringLiteral("the screenshot portal's file %1 could not be read").arg(file);
        return {};
    }
    if (!removed && QFile::exists(file)) {
        error = QStringLiteral("the screenshot portal's file %1 could not be deleted").arg(file);
        return {};
    }
    return picture.convertToFormat(QImage::Format_RGB32);
}

}  // namespace platform::wayland
