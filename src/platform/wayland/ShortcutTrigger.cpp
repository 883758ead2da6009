#include "platform/wayland/ShortcutTrigger.h"

namespace platform::wayland {

QString shortcutTrigger(QKeyCombination key) {
    const int k = int(key.key());
    QString name;
    if (k >= Qt::Key_A && k <= Qt::Key_Z) name = QChar(u'a' + (k - Qt::Key_A));
    else if (k >= Qt::Key_0 && k <= Qt::Key_9) name = QChar(u'0' + (k - Qt::Key_0));
    else if (k >= Qt::Key_F1 && k <= Qt::Key_F35) name = QStringLiteral("F%1").arg(k - Qt::Key_F1 + 1);
    else return {};
    const Qt::KeyboardModifiers m = key.keyboardModifiers();
    QString modifiers;
    if (m & Qt::ControlModifier) modifiers += QStringLiteral("CTRL+");
    if (m & Qt::AltModifier) modifiers += QStringLiteral("ALT+");
    if (m & Qt::ShiftModifier) modifiers += QStringLiteral("SHIFT+");
    if (m & Qt::MetaModifier) modifiers += QStringLiteral("LOGO+");
    return modifiers + name;
}

}  // namespace platform::wayland
