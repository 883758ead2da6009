#include "core/PanelFont.h"

#include <QStringList>

namespace panelfont {

QFont gothic(double points, bool bold) {
    QFont f;
    f.setFamilies(QStringList{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                   QStringLiteral("IPA Pゴシック")});
    f.setPointSizeF(points);
    f.setWeight(bold ? QFont::Bold : QFont::Normal);
    return f;
}

QFont form() { return gothic(9.0); }

}  // namespace panelfont
