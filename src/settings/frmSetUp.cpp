#include "settings/frmSetUp.h"

#include "app/App.h"
#include "core/ColorCombo.h"
#include "core/KeyBox.h"
#include "core/Numeric.h"
#include "core/PanelFont.h"
#include "core/PanelPlacement.h"
#include "platform/Desktop.h"
#include "settings/SetUpApply.h"
#include "settings/Settings.h"
#include "settings/Swatches.h"
#include "toolbar/KeyMap.h"
#include "toolbar/frmToolBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

using numeric::twipsToPixels;

namespace {

QRect twipsRect(int left, int top, int width, int height) {
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

constexpr int kClientWidth = 3525;  // twips
constexpr int kOuterHeight = 2550;  // twips, frame included: txtText1 ends up below the visible part
const QRect kTxtText1 = twipsRect(360, 2280, 150, 495);
constexpr int kItemNumberRole = Qt::UserRole;
constexpr int kItemKeyRole = Qt::UserRole + 1;

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QRect& r) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(r);
    b->setAutoDefault(true);  // Enter clicks it when it has the focus
    return b;
}

QLabel* makeLabel(QWidget* parent, int number, const QString& caption, const QRect& r, const QFont& font) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QStringLiteral("Label%1").arg(number));
    l->setGeometry(r);
    l->setFont(font);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QComboBox* makeImageCombo(QWidget* parent, const char* name, const QRect& r) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setGeometry(r);
    c->setIconSize(QSize(16, 16));
    return c;
}

}  // namespace

frmSetUp::frmSetUp(App& app)
    : QWidget(nullptr, panels::kWindowFlags),
      app_(app) {
    setObjectName(QStringLiteral("frmSetUp"));
    setWindowTitle(QStringLiteral("設定"));
    setFont(panelfont::form());
    const QFont headings = panelfont::gothic(9.75);
    const QFont options = panelfont::gothic(9.0, true);

    // First in the tab order, so it has the focus when the panel opens.
    txtText1_ = new KeyBox(this);
    txtText1_->setObjectName(QStringLiteral("txtText1"));
    txtText1_->setGeometry(kTxtText1);
    connect(txtText1_, &KeyBox::keyDown, this, &frmSetUp::txtText1_KeyDown);

    cmdCancel_ = makeButton(this, "cmdCancel", QStringLiteral("中止"), twipsRect(2640, 120, 735, 375));
    cmdSetUp_ = makeButton(this, "cmdSetUp", QStringLiteral("設定"), twipsRect(2640, 600, 735, 375));
    cmdSetUpSave_ = makeButton(this, "cmdSetUpSave", QStringLiteral("設定・保存"), twipsRect(2160, 1080, 1215, 375));
    connect(cmdCancel_, &QPushButton::clicked, this, &frmSetUp::cmdCancel_Click);
    connect(cmdSetUp_, &QPushButton::clicked, this, &frmSetUp::cmdSetUp_Click);
    connect(cmdSetUpSave_, &QPushButton::clicked, this, &frmSetUp::cmdSetUpSave_Click);
    // The cancel button: Esc anywhere in the panel clicks it.
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, cmdCancel_, &QPushButton::click);

    labels_[0] = makeLabel(this, 1, QStringLiteral("線の色"), twipsRect(120, 30, 855, 255), headings);
    labels_[1] = makeLabel(this, 2, QStringLiteral("線の太さ"), twipsRect(840, 30, 855, 255), headings);
    labels_[2] = makeLabel(this, 3, QStringLiteral("塗りの色"), twipsRect(1680, 30, 855, 255), headings);

    fraHotKey_ = new QGroupBox(QStringLiteral("Hot Key"), this);
    fraHotKey_->setObjectName(QStringLiteral("fraHotKey"));
    fraHotKey_->setGeometry(twipsRect(120, 720, 1215, 855));
    option1_ = new QRadioButton(QStringLiteral("Ctrl + Z"), fraHotKey_);
    option1_->setObjectName(QStringLiteral("Option1"));
    option1_->setGeometry(twipsRect(120, 240, 1050, 255));
    option1_->setFont(options);
    option1_->setChecked(true);
    option2_ = new QRadioButton(QStringLiteral("F1"), fraHotKey_);
    option2_->setObjectName(QStringLiteral("Option2"));
    option2_->setGeometry(twipsRect(120, 480, 1050, 255));
    option2_->setFont(options);

    labels_[3] = makeLabel(this, 4, QStringLiteral("HotKey, Auto-Hideは保存・再起動後有効"),
                           twipsRect(120, 1680, 3855, 255), font());

    chkAutoMin_ = new QCheckBox(QStringLiteral("Auto-Hide"), this);
    chkAutoMin_->setObjectName(QStringLiteral("chkAutoMin"));
    chkAutoMin_->setGeometry(twipsRect(1440, 720, 1400, 375));
    chkAutoMin_->setFont(headings);

    imageCombo1_ = makeImageCombo(this, "ImageCombo1", twipsRect(120, 240, 615, 315));
    cboSize_ = new QComboBox(this);
    cboSize_->setObjectName(QStringLiteral("cboSize"));
    cboSize_->setGeometry(twipsRect(840, 240, 615, 300));
    cboSize_->setEditable(true);
    cboSize_->setInsertPolicy(QComboBox::NoInsert);  // typed text never becomes a list item
    cboSize_->setEditText(QStringLiteral("1"));
    imageCombo2_ = makeImageCombo(this, "ImageCombo2", twipsRect(1680, 240, 615, 315));
    connect(imageCombo1_, &QComboBox::activated, this, &frmSetUp::ImageCombo1_Click);
    connect(imageCombo2_, &QComboBox::activated, this, &frmSetUp::ImageCombo2_Click);

    // chkAutoMin reaches under the left edge of cmdSetUp: the buttons lie above it, so a click
    // there presses the button rather than toggling Auto-Hide.
    for (QWidget* b : {cmdCancel_, cmdSetUp_, cmdSetUpSave_}) b->raise();

    setTabOrder(txtText1_, cmdCancel_);
    setTabOrder(cmdCancel_, cmdSetUp_);
    setTabOrder(cmdSetUp_, cmdSetUpSave_);
    setTabOrder(cmdSetUpSave_, option1_);
    setTabOrder(option1_, option2_);
    setTabOrder(option2_, chkAutoMin_);
    setTabOrder(chkAutoMin_, imageCombo1_);
    setTabOrder(imageCombo1_, cboSize_);
    setTabOrder(cboSize_, imageCombo2_);

    setFixedSize(twipsToPixels(kClientWidth), kTxtText1.top());
    create();
}

frmSetUp::~frmSetUp() = default;

void frmSetUp::Form_Load() {
    Module1& m = app_.m;
    setWindowTitle(QStringLiteral("設定  (Slateboard " SLATEBOARD_VERSION ")"));
    // Any value other than 0 means Auto-Hide on to the rest of the program, so it shows checked.
    chkAutoMin_->setChecked(m.autoHide != 0);
    (setup::hotKeyOption(m.hotKeyChoice) == 2 ? option2_ : option1_)->setChecked(true);
    panels::sizeAndCentre(app_, *this, twipsToPixels(kClientWidth), kOuterHeight, kTxtText1.top());

    for (QComboBox* combo : {imageCombo1_, imageCombo2_}) {
        combo->clear();
        for (int i = 1; i <= colorcombo::kItems; ++i) {
            combo->addItem(QIcon(QPixmap::fromImage(swatchImage(i))), QString(), i);
            combo->setItemData(i - 1, QStringLiteral("S%1").arg(i), kItemKeyRole);
        }
    }
    imageCombo1_->setCurrentIndex(ColorToComboIndex(m.lineColor) - 1);
    imageCombo2_->setCurrentIndex(ColorToComboIndex(m.fillColor) - 1);

    cboSize_->clear();
    for (int w = 1; w <= setup::kWidths; ++w) cboSize_->addItem(QString::number(w));
    showWidth(m.lineWidth);

    pendingLineColor_ = m.lineColor;
    pendingFillColor_ = m.fillColor;
    txtText1_->setFocus(Qt::OtherFocusReason);
}

void frmSetUp::showWidth(uint8_t width) {
    int item = setup::widthItem(width);
    cboSize_->setCurrentIndex(item);
    // A width the list does not offer (from the file) shows as a number all the same.
    if (item < 0) cboSize_->setEditText(QString::number(width));
}

void frmSetUp::Form_Unload() { app_.m.myWindow = 0; }

void frmSetUp::ImageCombo1_Click() {
    pendingLineColor_ = ComboIndexToColor(imageCombo1_->currentData(kItemNumberRole).toInt());
}

void frmSetUp::ImageCombo2_Click() {
    pendingFillColor_ = ComboIndexToColor(imageCombo2_->currentData(kItemNumberRole).toInt());
}

bool frmSetUp::ApplySettings() {
    setup::Choices c;
    c.lineColor = pendingLineColor_;
    c.fillColor = pendingFillColor_;
    c.autoHide = chkAutoMin_->isChecked();
    c.f1 = option2_->isChecked();
    c.widthText = cboSize_->currentText();
    if (setup::apply(app_.m, c)) return true;
    // Refused: the panel stays open and shows the width still in force, ready to be retyped.
    showWidth(app_.m.lineWidth);
    cboSize_->setFocus(Qt::OtherFocusReason);
    cboSize_->lineEdit()->selectAll();
    QApplication::beep();
    return false;
}

void frmSetUp::cmdCancel_Click() {
    app_.m.myWindow = 0;
    app_.unloadSetUp();
}

void frmSetUp::cmdSetUp_Click() {
    if (!ApplySettings()) return;
    app_.m.myWindow = 0;
    app_.unloadSetUp();
}

void frmSetUp::cmdSetUpSave_Click() {
    if (!ApplySettings()) return;
    SaveSettings(app_);  // a failure is shown to the user there; the choices stay applied
    app_.m.myWindow = 0;
    app_.unloadSetUp();
}

void frmSetUp::txtText1_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode == keymap::vk::Up || keyCode == keymap::vk::Down) {  // hidden, choices kept
        app_.m.myWindow = 0;
        hide();
    }
    txtText1_->clear();
}

void frmSetUp::Show() { panels::show(app_, *this); }

QLineEdit* frmSetUp::txtText1() const { return txtText1_; }

QLabel* frmSetUp::label(int number) const {
    if (number < 1 || number > 4) return nullptr;
    return labels_[number - 1];
}

void frmSetUp::closeEvent(QCloseEvent* e) {
    // The window's close command unloads the panel like "中止".
    app_.unloadSetUp();
    e->accept();
}
