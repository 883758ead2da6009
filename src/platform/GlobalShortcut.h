#pragma once
#include <QKeyCombination>
#include <QObject>

namespace platform {

// A key combination that acts from any application: while it is set, pressing it emits
// activated() and the application that has the focus does not see it.
class GlobalShortcut : public QObject {
    Q_OBJECT
public:
    // False when the combination cannot be had (another program holds it); then none is set.
    virtual bool set(QKeyCombination key) = 0;
    virtual void clear() = 0;

signals:
    void activated();
};

}  // namespace platform
