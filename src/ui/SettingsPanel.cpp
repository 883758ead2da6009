#include "ui/SettingsPanel.h"

#include "geometry/Twips.h"
#include "model/Choices.h"
#include "ui/Fonts.h"
#include "ui/KeyBox.h"
#include "ui/Pictures.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

using geometry::twipsRect;

namespace {

constexpr int kClientWidth = 3525;  // twips
constexpr int kOuterHeight = 2550;  // twips, frame included: the key box ends up below the visible part

QPushButton* makeButton(QWidget* parent, const QString& caption, const QRect& r) {
    auto* b = new QPushButton(caption, parent);
    b->setGeometry(r);
    b->setAutoDefault(true);  // Enter clicks it when it has the focus
    return b;
}

QLabel* makeLabel(QWidget* parent, const QString& caption, const QRect& r, const QFont& font) {
    auto* l = new QLabel(caption, parent);
    l->setGeometry(r);
    l->setFont(font);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QComboBox* makeSwatches(QWidget* parent, const QRect& r, int colour) {
    auto* c = new QComboBox(parent);
    c->setGeometry(r);
    c->setIconSize(QSize(16, 16));
    for (uint8_t choice : kColourChoices)
        c->addItem(QIcon(QPixmap::fromImage(pictures::swatch(choice))), QString(), choice);
    c->setCurrentIndex(choiceShowing(colour));
    return c;
}

}  // namespace

SettingsPanel::SettingsPanel(platform::WindowHints& hints, platform::Keyboard& keyboard, QScreen* screen,
                             const Settings& current)
    : PanelWindow(hints, keyboard, geometry::twipsToPixels(kClientWidth), kOuterHeight,
                  twipsRect(360, 2280, 150, 495)),
      lineColour_(current.lineColour),
      fillColour_(current.fillColour) {
    setWindowTitle(QStringLiteral("設定  (Slateboard " SLATEBOARD_VERSION ")"));
    const QFont headings = fonts::gothic(9.75), options = fonts::gothic(9.0, true);

    auto* cancel = makeButton(this, QStringLiteral("中止"), twipsRect(2640, 120, 735, 375));
    auto* apply = makeButton(this, QStringLiteral("設定"), twipsRect(2640, 600, 735, 375));
    auto* applySave = makeButton(this, QStringLiteral("設定・保存"), twipsRect(2160, 1080, 1215, 375));
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(apply, &QPushButton::clicked, this, [this] { emit applyRequested(false); });
    connect(applySave, &QPushButton::clicked, this, [this] { emit applyRequested(true); });
    setCancelButton(cancel);

    makeLabel(this, QStringLiteral("線の色"), twipsRect(120, 30, 855, 255), headings);
    makeLabel(this, QStringLiteral("線の太さ"), twipsRect(840, 30, 855, 255), headings);
    makeLabel(this, QStringLiteral("塗りの色"), twipsRect(1680, 30, 855, 255), headings);

    auto* hotKey = new QGroupBox(QStringLiteral("Hot Key"), this);
    hotKey->setGeometry(twipsRect(120, 720, 1215, 855));
    ctrlZ_ = new QRadioButton(QStringLiteral("Ctrl + Z"), hotKey);
    ctrlZ_->setGeometry(twipsRect(120, 240, 1050, 255));
    ctrlZ_->setFont(options);
    f1_ = new QRadioButton(QStringLiteral("F1"), hotKey);
    f1_->setGeometry(twipsRect(120, 480, 1050, 255));
    f1_->setFont(options);
    (current.showsF1() ? f1_ : ctrlZ_)->setChecked(true);

    makeLabel(this, QStringLiteral("HotKey, Auto-Hideは保存・再起動後有効"), twipsRect(120, 1680, 3855, 255), font());

    autoHide_ = new QCheckBox(QStringLiteral("Auto-Hide"), this);
    autoHide_->setGeometry(twipsRect(1440, 720, 1400, 375));
    autoHide_->setFont(headings);
    autoHide_->setChecked(current.autoHideOn());

    lineColours_ = makeSwatches(this, twipsRect(120, 240, 615, 315), current.lineColour);
    widths_ = new QComboBox(this);
    widths_->setGeometry(twipsRect(840, 240, 615, 300));
    widths_->setEditable(true);
    widths_->setInsertPolicy(QComboBox::NoInsert);  // typed text never becomes an item
    for (int w = 1; w <= kWidthChoices; ++w) widths_->addItem(QString::number(w));
    showWidth(current.lineWidth);
    fillColours_ = makeSwatches(this, twipsRect(1680, 240, 615, 315), current.fillColour);
    connect(lineColours_, &QComboBox::activated, this,
            [this] { lineColour_ = uint8_t(lineColours_->currentData().toInt()); });
    connect(fillColours_, &QComboBox::activated, this,
            [this] { fillColour_ = uint8_t(fillColours_->currentData().toInt()); });

    // The Auto-Hide box reaches under the left edge of the apply button: the buttons lie above
    // it, so that a click there presses the button.
    for (QWidget* b : {cancel, apply, applySave}) b->raise();
    QWidget* order[] = {keyBox(), cancel,        apply,        applySave, ctrlZ_,
                        f1_,      autoHide_,    lineColours_, widths_,   fillColours_};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    place(screen);
}

void SettingsPanel::showWidth(uint8_t width) {
    const bool listed = width >= 1 && width <= kWidthChoices;
    widths_->setCurrentIndex(listed ? width - 1 : -1);
    // A width the list does not offer (from the file) shows as a number all the same.
    if (!listed) widths_->setEditText(QString::number(width));
}

std::optional<Settings> SettingsPanel::applyTo(Settings settings) {
    const std::optional<uint8_t> width = widthFromText(widths_->currentText(), settings.lineWidth);
    if (!width) {
        showWidth(settings.lineWidth);
        widths_->setFocus(Qt::OtherFocusReason);
        widths_->lineEdit()->selectAll();
        QApplication::beep();
        return std::nullopt;
    }
    settings.lineColour = lineColour_;
    settings.fillColour = fillColour_;
    settings.autoHide = autoHide_->isChecked() ? 1 : 0;
    settings.hotKeyChoice = f1_->isChecked() ? 1 : 0;
    settings.lineWidth = *width;
    return settings;
}

void SettingsPanel::keyPressed(QKeyCombination key) {
    if (key.key() == Qt::Key_Up || key.key() == Qt::Key_Down) hideByKey();
}
