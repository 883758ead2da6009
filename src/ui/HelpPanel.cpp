#include "ui/HelpPanel.h"

#include "geometry/Twips.h"
#include "ui/KeyBox.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

using geometry::twipsRect;
using geometry::twipsToPixels;

namespace {

constexpr int kClientWidth = 5385;  // twips
constexpr int kOuterHeight = 5700;  // twips, frame included
constexpr int kLabelHeight = 195;   // twips

struct Label {
    int left, top, width;
    const char* caption;  // UTF-8
};

// The three group titles sit on the top edges of their boxes; entries at 480, notes at 600.
constexpr Label kLabels[] = {
    {600, 120, 375, "描画"},
    {480, 360, 4335, "A = 矢印 (Arrow)"},
    {480, 600, 4335, "L = 直線 (Line)"},
    {480, 840, 4335, "C = 円 (Circle) 線/塗り （トグル） "},
    {480, 1080, 4215, "R = 矩形 (Rectangle)  線/塗り （トグル）"},
    {480, 1320, 4335, "F = 自由曲線 (Free Draw)"},
    {480, 1560, 4215, "E = ルーペ ：拡大表示 (Expand）"},
    {600, 1800, 4095, "（描画パターンは← or →キーでも変更出来ます）"},
    {600, 2160, 1335, "描画コントロール"},
    {480, 2520, 3975, "Ctrl + Z         = 描画モード オン・オフ （ホットキー）"},
    {600, 2760, 4215, "（ホットキーは設定パネルで F1 に変えられます）"},
    {480, 3000, 4335, "右クリック    \u3000 = 直前の描画を消す"},
    {480, 3240, 4215, "ダブルクリック = 描画モードオフ"},
    {480, 3480, 4095, "スペース\u3000\u3000 \u3000 = 遅延キャプチャ"},
    {600, 3840, 375, "設定"},
    {480, 4200, 3015, "↑ or ↓= 設定パネルを開く"},
    {480, 4440, 3735, "S = 設定・保存"},
};

// Three boxes from 360 to 4920 twips across: drawing, drawing control, settings.
constexpr int kBoxLeft = 360, kBoxRight = 4920;
constexpr int kBoxes[][2] = {{240, 2040}, {2280, 3720}, {3960, 4680}};

}  // namespace

HelpPanel::HelpPanel(platform::WindowHints& hints, platform::Keyboard& keyboard, QScreen* screen)
    : PanelWindow(hints, keyboard, twipsToPixels(kClientWidth), kOuterHeight, twipsRect(600, 5520, 255, 495)) {
    setWindowTitle(QStringLiteral("Help  (Slateboard " SLATEBOARD_VERSION ")"));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    auto* close = new QPushButton(QStringLiteral("閉じる (H)"), this);
    close->setGeometry(twipsRect(1800, 4800, 1695, 375));
    close->setAutoDefault(true);  // Enter clicks it when it has the focus
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    setCancelButton(close);

    const int labelHeight = std::max(twipsToPixels(kLabelHeight), fontMetrics().height());
    for (const Label& l : kLabels) {
        auto* label = new QLabel(QString::fromUtf8(l.caption), this);
        label->setGeometry(twipsToPixels(l.left), twipsToPixels(l.top), twipsToPixels(l.width), labelHeight);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setAutoFillBackground(true);  // opaque: a title hides the stretch of box edge behind it
    }
    setTabOrder(keyBox(), close);
    place(screen);
}

void HelpPanel::keyPressed(QKeyCombination key) {
    if (key.key() == Qt::Key_H) hideByKey();
}

void HelpPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(Qt::black, 1));
    const int left = twipsToPixels(kBoxLeft), right = twipsToPixels(kBoxRight);
    for (const auto& [topTwips, bottomTwips] : kBoxes) {
        const int top = twipsToPixels(topTwips), bottom = twipsToPixels(bottomTwips);
        p.drawLine(left, top, right, top);
        p.drawLine(left, bottom, right, bottom);
        p.drawLine(left, top, left, bottom);
        p.drawLine(right, top, right, bottom);
    }
}
