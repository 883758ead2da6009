#include "ui/Fonts.h"

#include <QStringList>

namespace fonts {

QFont gothic(double points, bool bold) {
    QFont f;
    f.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                   QStringLiteral("IPA Pゴシック")});
    f.setPointSizeF(points);
    f.setWeight(bold ? QFont::Bold : QFont::Normal);
    return f;
}

}  // namespace fonts
