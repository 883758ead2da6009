#include "help/frmHelp.h"

#include "app/App.h"
#include "core/KeyBox.h"
#include "core/Numeric.h"
#include "core/PanelFont.h"
#include "toolbar/frmToolBar.h"
#include "core/PanelPlacement.h"
#include "platform/Desktop.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>

using numeric::twipsToPixels;

namespace {

QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

constexpr int kClientWidth = 5385;   // twips
constexpr int kOuterHeight = 5700;   // twips, frame included
constexpr int kLabelHeight = 195;    // twips
constexpr QRgb kWhite = 0xFFFFFF;

struct LabelRow {
    int number, left, top, width;
    const char* caption;  // UTF-8
};

// The three group titles sit on the top edges of their boxes; entries at 480, notes at 600.
constexpr LabelRow kLabels[] = {
    {10, 600, 120, 375, "描画"},
    {1, 480, 360, 4335, "A = 矢印 (Arrow)"},
    {2, 480, 600, 4335, "L = 直線 (Line)"},
    {3, 480, 840, 4335, "C = 円 (Circle) 線/塗り （トグル） "},
    {4, 480, 1080, 4215, "R = 矩形 (Rectangle)  線/塗り （トグル）"},
    {16, 480, 1320, 4335, "F = 自由曲線 (Free Draw)"},
    {5, 480, 1560, 4215, "E = ルーペ ：拡大表示 (Expand）"},
    {7, 600, 1800, 4095, "（描画パターンは← or →キーでも変更出来ます）"},
    {12, 600, 2160, 1335, "描画コントロール"},
    {9, 480, 2520, 3975, "Ctrl + Z         = 描画モード オン・オフ （ホットキー）"},
    {8, 600, 2760, 4215, "（ホットキーは設定パネルで F1 に変えられます）"},
    {13, 480, 3000, 4335, "右クリック    \u3000 = 直前の描画を消す"},
    {14, 480, 3240, 4215, "ダブルクリック = 描画モードオフ"},
    {15, 480, 3480, 4095, "スペース\u3000\u3000 \u3000 = 遅延キャプチャ"},
    {11, 600, 3840, 375, "設定"},
    {6, 480, 4200, 3015, "↑ or ↓= 設定パネルを開く"},
    {17, 480, 4440, 3735, "S = 設定・保存"},
};

// Three boxes from x 360 to 4920 twips: drawing 240..2040, drawing control 2280..3720,
// settings 3960..4680.
struct LineRow {
    int x1, y1, x2, y2;
};
constexpr int kBoxLeft = 360, kBoxRight = 4920;
constexpr LineRow kLines[] = {
    {kBoxLeft, 240, kBoxRight, 240},    // Line1
    {kBoxLeft, 2040, kBoxRight, 2040},  // Line3
    {kBoxLeft, 240, kBoxLeft, 2040},    // Line2
    {kBoxRight, 240, kBoxRight, 2040},  // Line4
    {kBoxLeft, 2280, kBoxRight, 2280},  // Line6
    {kBoxLeft, 3720, kBoxRight, 3720},  // Line8
    {kBoxLeft, 2280, kBoxLeft, 3720},   // Line7
    {kBoxRight, 2280, kBoxRight, 3720}, // Line9
    {kBoxLeft, 3960, kBoxRight, 3960},  // Line10
    {kBoxLeft, 4680, kBoxRight, 4680},  // Line12
    {kBoxLeft, 3960, kBoxLeft, 4680},   // Line13
    {kBoxRight, 3960, kBoxRight, 4680}, // Line11
};

const QRect kTxtText = twipsRect(600, 5520, 255, 495);
const QRect kCommand1 = twipsRect(1800, 4800, 1695, 375);

}  // namespace

frmHelp::frmHelp(App& app)
    : QWidget(nullptr, panels::kWindowFlags),
      app_(app) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Help"));
    setFont(panelfont::form());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(kWhite));
    setPalette(pal);
    setAutoFillBackground(true);

    // Created first: first in the tab order, so it has the focus when the panel opens.
    // Its top is below the visible part of the window.
    txtText_ = new KeyBox(this);
    txtText_->setObjectName(QStringLiteral("txtText"));
    txtText_->setGeometry(kTxtText);
    connect(txtText_, &KeyBox::keyDown, this, &frmHelp::txtText_KeyDown);

    command1_ = new QPushButton(QStringLiteral("閉じる (H)"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setGeometry(kCommand1);
    command1_->setAutoDefault(true);  // Enter clicks it when it has the focus
    connect(command1_, &QPushButton::clicked, this, &frmHelp::Command1_Click);
    // The cancel button: Esc anywhere in the panel clicks it.
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, command1_, &QPushButton::click);

    const int labelHeight = std::max(twipsToPixels(kLabelHeight), fontMetrics().height());
    for (const LabelRow& s : kLabels) {
        auto* l = new QLabel(QString::fromUtf8(s.caption), this);
        l->setObjectName(QStringLiteral("Label%1").arg(s.number));
        l->setGeometry(twipsToPixels(s.left), twipsToPixels(s.top), twipsToPixels(s.width), labelHeight);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setAutoFillBackground(true);  // opaque: a title hides the stretch of box edge behind it
        l->setFocusPolicy(Qt::NoFocus);
        labels_[s.number - 1] = l;
    }
    setTabOrder(txtText_, command1_);

    setFixedSize(twipsToPixels(kClientWidth), kTxtText.top());
    create();
}

frmHelp::~frmHelp() = default;

void frmHelp::Form_Load() {
    setWindowTitle(QStringLiteral("Help  (Slateboard " SLATEBOARD_VERSION ")"));
    panels::sizeAndCentre(app_, *this, twipsToPixels(kClientWidth), kOuterHeight, kTxtText.top());
    txtText_->setFocus(Qt::OtherFocusReason);
}

void frmHelp::Form_Unload() { app_.m.myWindow = 0; }

void frmHelp::txtText_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode == 'H') {
        app_.m.myWindow = 0;
        hide();
    }
    txtText_->clear();
}

void frmHelp::Command1_Click() {
    app_.m.myWindow = 0;
    app_.unloadHelp();
}

void frmHelp::Show() { panels::show(app_, *this); }

QLineEdit* frmHelp::txtText() const { return txtText_; }

QLabel* frmHelp::label(int number) const {
    if (number < 1 || number > 17) return nullptr;
    return labels_[number - 1];
}

void frmHelp::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(Qt::black, 1));
    for (const LineRow& l : kLines)
        p.drawLine(twipsToPixels(l.x1), twipsToPixels(l.y1), twipsToPixels(l.x2), twipsToPixels(l.y2));
}

void frmHelp::closeEvent(QCloseEvent* e) {
    // The window's close command unloads the panel like its close button.
    app_.unloadHelp();
    e->accept();
}
