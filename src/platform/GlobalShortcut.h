#pragma once
#include <QKeyCombination>
#include <QObject>
#include <QString>

namespace platform {

// A key combination that acts from any application: while it is set, pressing it emits
// activated() and the application that has the focus does not see it.
class GlobalShortcut : public QObject {
    Q_OBJECT
public:
    // False when the combination cannot be had (another program holds it); then none is set.
    virtual bool set(QKeyCombination key) = 0;
    virtual void clear() = 0;
    // How the set key works in this session, for the user; empty where it needs no word (a key
    // grabbed from the whole display).
    virtual QString way(QKeyCombination) const { return {}; }

signals:
    void activated();
};

}  // namespace platform
