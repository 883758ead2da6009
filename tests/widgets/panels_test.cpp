#include "app/App.h"
#include "fakes/FakeDesktop.h"
#include "help/frmHelp.h"
#include "settings/frmSetUp.h"
#include "toolbar/frmToolBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <tuple>
#include <utility>

namespace {

const QByteArray kDefaults = " 12 \r\n 2 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n";

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

struct Rig {
    QTemporaryDir dir;
    FakeDesktop desktop;
    std::unique_ptr<App> app;
    QStringList warnings;

    explicit Rig(const QByteArray& settings = kDefaults) {
        QFile f(path());
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(settings);
        f.close();
        app = std::make_unique<App>(desktop, path().toStdString());
        app->warn = [this](const QString& t) { warnings << t; };
        EXPECT_TRUE(tb().Form_Load());
        tb().show();
    }
    ~Rig() {
        tb().Form_Unload();
        flushDeletes();
    }
    QString path() const { return dir.filePath("settings.ini"); }
    frmToolBar& tb() { return app->toolBar(); }
    Module1& m() { return app->m; }
    void key(Qt::Key k) { QTest::keyClick(tb().text1(), k); }
    frmHelp& help() { return app->help(); }
    frmSetUp& setUp() { return app->setUp(); }
    bool helpShown() { return app->helpLoaded() && app->help().isVisible(); }
    bool setUpShown() { return app->setUpLoaded() && app->setUp().isVisible(); }
    // Open panel, line colour, fill colour, drawing colour, width, Auto-Hide and hot-key choice in force.
    std::array<int, 7> state() {
        return {m().myWindow, m().lineColor, m().fillColor, m().drawColor, m().lineWidth, m().autoHide, m().hotKeyChoice};
    }
};
const std::array<int, 7> kDefaultState = {0, 12, 14, 12, 2, 0, 0};

// What the settings panel shows: line colour item and the colour kept for it, fill item, width, Auto-Hide, F1.
std::tuple<int, int, int, std::string, bool, bool> shown(frmSetUp& s) {
    return {s.ImageCombo1()->currentIndex() + 1, s.pendingLineColor(), s.ImageCombo2()->currentIndex() + 1,
            s.cboSize()->currentText().toStdString(), s.chkAutoMin()->isChecked(), s.Option2()->isChecked()};
}

// The widgets with a name that Tab visits from `first`, in order, once round.
QStringList tabChain(QWidget* first) {
    QStringList names;
    QWidget* w = first;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty() && w->isEnabled()) names << w->objectName();
        w = w->nextInFocusChain();
    } while (w && w != first);
    return names;
}

// Every character of the caption has a glyph in the widget's font, and the caption fits the widget.
void expectCaptionFits(QWidget* w, int room) {
    const QString caption = w->property("text").toString();
    QFontMetrics fm(w->font());
    for (QChar c : caption)
        EXPECT_TRUE(fm.inFont(c)) << w->objectName().toStdString() << ": U+" << std::hex << int(c.unicode());
    EXPECT_LE(fm.horizontalAdvance(caption), room) << w->objectName().toStdString();
    EXPECT_GE(w->height(), fm.height()) << w->objectName().toStdString();
}

QRgb pixel(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xffffff; }

// Typed keys leave no text in a panel's key box, and the panel stays open.
void expectTypingIgnored(QWidget* panel, QLineEdit* keyBox, const char* text) {
    QTest::keyClicks(keyBox, text);
    QTest::keyClick(keyBox, Qt::Key_Left);
    EXPECT_TRUE(keyBox->text().isEmpty());
    EXPECT_TRUE(panel->isVisible());
}

// Changes every choice on the panel: lines red -> yellow -> magenta, width 4, Auto-Hide on, F1.
void chooseAll(frmSetUp& s) {
    QTest::keyClick(s.ImageCombo1(), Qt::Key_Down);
    QTest::keyClick(s.ImageCombo1(), Qt::Key_Down);
    s.cboSize()->setFocus();
    s.cboSize()->lineEdit()->selectAll();
    QTest::keyClicks(s.cboSize()->lineEdit(), "4");
    s.chkAutoMin()->setChecked(true);
    s.Option2()->setChecked(true);
}

}  // namespace

TEST(HelpPanel, HOpensOnceLaidOutAndHidesAndShowsTheSamePanelAgain) {
    Rig r;
    r.key(Qt::Key_H);
    ASSERT_TRUE(r.helpShown());
    EXPECT_EQ(r.m().myWindow, 1);
    frmHelp& h = r.help();
    QPointer<frmHelp> first = &h;
    EXPECT_EQ(h.windowTitle(), "Help  (Slateboard 1.2.8)");
    EXPECT_EQ(h.focusWidget(), h.txtText());
    expectTypingIgnored(&h, h.txtText(), "abc 123!?");

    // Captions with their exact spacing: ideographic spaces, runs of blanks, full-width marks.
    const QString sp = QStringLiteral(" "), ideo = QString(QChar(0x3000));
    const std::pair<int, QString> captions[] = {
        {9, "Ctrl + Z" + sp.repeated(9) + "= 描画モード オン・オフ （ホットキー）"},
        {13, "右クリック" + sp.repeated(4) + ideo + sp + "= 直前の描画を消す"},
        {15, "スペース" + ideo + ideo + sp + ideo + sp + "= 遅延キャプチャ"},
        {3, "C = 円 (Circle) 線/塗り （トグル） "},
        {4, "R = 矩形 (Rectangle)  線/塗り （トグル）"}};
    for (const auto& [n, text] : captions) EXPECT_EQ(h.label(n)->text(), text) << n;

    // None of the seventeen clipped, every glyph present.
    for (int n = 1; n <= 17; ++n) {
        ASSERT_NE(h.label(n), nullptr) << n;
        EXPECT_EQ(h.label(n)->focusPolicy(), Qt::NoFocus);
        expectCaptionFits(h.label(n), h.label(n)->width());
    }
    EXPECT_EQ(h.Command1()->geometry(), QRect(120, 320, 113, 25));

    // 5385 twips wide inside; 5700 twips tall outside, never tall enough to show the key box; centred.
    platform::FrameExtents f = r.desktop.frameExtents(h);
    EXPECT_EQ(h.width(), 359);
    EXPECT_EQ(h.frameGeometry().height(), std::min(380, 368 + f.top + f.bottom));
    EXPECT_GE(h.txtText()->y(), h.height());
    EXPECT_LE((h.frameGeometry().center() - h.screen()->availableGeometry().center()).manhattanLength(), 2);

    // White, with three boxes whose titles hide the stretch of edge behind them.
    QImage img = h.grab().toImage();
    const QRgb black = 0, white = 0xffffff;
    EXPECT_EQ(pixel(img, 5, 5), white);
    for (int y : {16, 136, 152, 248, 264, 312})  // an edge, white inside below it
        EXPECT_EQ(std::pair(pixel(img, 200, y), pixel(img, 200, y + 2)), std::pair(black, white)) << y;
    for (int x : {24, 328}) EXPECT_EQ(pixel(img, x, 100), black) << "side at x " << x;
    for (int title : {10, 12, 11}) {  // the edge runs up to each title on both sides, hidden behind it
        const QRect g = h.label(title)->geometry();
        EXPECT_EQ(pixel(img, g.left() - 2, g.top() + 8) | pixel(img, g.right() + 2, g.top() + 8), black) << title;
        EXPECT_EQ(pixel(img, g.right(), g.top() + 8), white) << title;
    }

    // H, Up and Down at the toolbar while the panel is open do nothing.
    r.key(Qt::Key_H);
    r.key(Qt::Key_Down);
    EXPECT_EQ(r.m().myWindow, 1);
    EXPECT_FALSE(r.app->setUpLoaded());

    // H in the panel hides it, with any modifier; it stays loaded and shows again as it was.
    for (auto mods : {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        QTest::keyClick(first->txtText(), Qt::Key_H, mods);
        flushDeletes();
        ASSERT_TRUE(first);
        EXPECT_FALSE(first->isVisible());
        EXPECT_EQ(r.m().myWindow, 0);
        first->setWindowTitle("marker");  // a reload would set the caption again
        r.key(Qt::Key_H);
        EXPECT_EQ(&r.help(), first.data());
        EXPECT_TRUE(first->isVisible());
        EXPECT_EQ(first->windowTitle(), "marker");
        EXPECT_EQ(r.m().myWindow, 1);
    }

    // Closing the toolbar unloads both panels, the hidden help panel too.
    QTest::keyClick(first->txtText(), Qt::Key_H);
    r.key(Qt::Key_Down);
    ASSERT_TRUE(r.setUpShown());
    QPointer<frmSetUp> setUp = &r.setUp();
    r.tb().close();
    EXPECT_FALSE(r.app->helpLoaded());
    EXPECT_FALSE(r.app->setUpLoaded());
    EXPECT_EQ(r.m().myWindow, 0);
    flushDeletes();
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(setUp.isNull());
}

TEST(SetUpPanel, OpensWithTheSettingsInForceAndAppliesThemUnchanged) {
    // A colour the list lacks shows as blue but is kept; a width it lacks shows as typed, with no item; a hot-key
    // choice other than 0 and 1 shows, and applies, as Ctrl + Z.
    const std::tuple<Qt::Key, QByteArray, decltype(shown(std::declval<frmSetUp&>())), int, QRgb, std::array<int, 7>>
        cases[] = {{Qt::Key_Down, kDefaults, {4, 12, 5, "2", false, false}, 1, 0xff0000, kDefaultState},
                   {Qt::Key_Up, " 3 \r\n 7 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 1 \r\n 5 \r\n",
                    {2, 3, 5, "7", true, false}, -1, 0x0000ff, {0, 3, 14, 3, 7, 1, 0}}};
    for (const auto& [open, file, expected, widthItem, swatch, applied] : cases) {
        Rig r(file);
        r.key(open);
        ASSERT_TRUE(r.setUpShown());
        frmSetUp& s = r.setUp();
        EXPECT_EQ(r.m().myWindow, 2);
        EXPECT_EQ(s.windowTitle(), "設定  (Slateboard 1.2.8)");
        EXPECT_EQ(shown(s), expected);
        EXPECT_EQ(s.cboSize()->currentIndex(), widthItem);
        EXPECT_EQ(s.cboSize()->count(), 5);
        EXPECT_EQ(s.ImageCombo2()->count(), 9);
        // The swatch of the shown item is its colour in a black frame.
        QImage sw = s.ImageCombo1()->itemIcon(s.ImageCombo1()->currentIndex()).pixmap(16, 16).toImage();
        EXPECT_EQ(pixel(sw, 8, 8), swatch);
        EXPECT_EQ(pixel(sw, 0, 8), 0u);
        EXPECT_EQ(s.focusWidget(), s.txtText1());
        expectTypingIgnored(&s, s.txtText1(), "xyz 42");
        EXPECT_EQ(tabChain(s.txtText1()), (QStringList{"txtText1", "cmdCancel", "cmdSetUp", "cmdSetUpSave", "Option1",
                                                       "Option2", "chkAutoMin", "ImageCombo1", "cboSize",
                                                       "ImageCombo2"}));
        // 3525 twips wide inside, 2550 twips tall outside, the key box out of sight, the note in sight.
        platform::FrameExtents f = r.desktop.frameExtents(s);
        EXPECT_EQ(s.width(), 235);
        EXPECT_EQ(s.frameGeometry().height(), std::min(170, 152 + f.top + f.bottom));
        EXPECT_GE(s.txtText1()->y(), s.height());
        EXPECT_GT(s.height(), s.label(4)->geometry().bottom());
        // Captions fit, with every glyph; where the check box reaches under "設定", a click presses the button.
        for (int n = 1; n <= 4; ++n) expectCaptionFits(s.label(n), s.label(n)->width());
        for (QPushButton* b : {s.cmdCancel(), s.cmdSetUp(), s.cmdSetUpSave()}) expectCaptionFits(b, b->width() - 8);
        for (QWidget* w : std::initializer_list<QWidget*>{s.Option1(), s.Option2(), s.chkAutoMin()})
            EXPECT_LE(w->sizeHint().width(), w->width()) << w->objectName().toStdString();
        const QPoint overlap = s.cmdSetUp()->geometry().topLeft() + QPoint(3, 12);
        ASSERT_TRUE(s.chkAutoMin()->geometry().contains(overlap));
        EXPECT_EQ(s.childAt(overlap), s.cmdSetUp());
        QTest::mouseClick(s.cmdSetUp(), Qt::LeftButton);
        EXPECT_FALSE(r.app->setUpLoaded());
        EXPECT_EQ(r.state(), applied);
    }
}

TEST(SetUpPanel, UpAndDownHideWithTheUnappliedChoicesKept) {
    Rig r;
    r.key(Qt::Key_Down);
    QPointer<frmSetUp> s = &r.setUp();
    chooseAll(*s);
    QTest::keyClick(s->txtText1(), Qt::Key_Down, Qt::ShiftModifier);
    flushDeletes();
    ASSERT_TRUE(s);
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(r.state(), kDefaultState);

    // H opens the help panel meanwhile; Up shows the same settings panel once it is gone.
    r.key(Qt::Key_H);
    EXPECT_EQ(r.m().myWindow, 1);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&r.help()));
    QTest::keyClick(r.help().txtText(), Qt::Key_Escape);
    EXPECT_FALSE(r.app->helpLoaded());
    r.key(Qt::Key_Up);
    EXPECT_EQ(&r.setUp(), s.data());
    EXPECT_TRUE(s->isVisible());
    EXPECT_EQ(r.m().myWindow, 2);
    EXPECT_EQ(shown(*s), std::tuple(6, 13, 5, std::string("4"), true, true));

    // Up hides as well; then "設定・保存" applies and writes everything.
    QTest::keyClick(s->txtText1(), Qt::Key_Up);
    EXPECT_FALSE(s->isVisible());
    r.key(Qt::Key_Down);
    QTest::mouseClick(s->cmdSetUpSave(), Qt::LeftButton);
    EXPECT_FALSE(r.app->setUpLoaded());
    EXPECT_EQ(r.state(), (std::array<int, 7>{0, 13, 14, 13, 4, 1, 1}));
    EXPECT_EQ(readFile(r.path()), " 13 \r\n 4 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 1 \r\n 1 \r\n");
    EXPECT_TRUE(r.warnings.isEmpty());
}

TEST(SetUpPanel, RefusedWidthKeepsThePanelOpenAndTheStoredWidth) {
    Rig r;
    r.key(Qt::Key_F5);  // the filled circle draws in the fill colour
    r.key(Qt::Key_Down);
    frmSetUp& s = r.setUp();
    QTest::keyClick(s.ImageCombo2(), Qt::Key_Up);
    QTest::keyClick(s.ImageCombo2(), Qt::Key_Up);  // fills yellow -> red -> green: not applied either
    for (const char* bad : {"", "  ", "abc", "0", "6", "2.5", "-1", "99999999999"}) {
        for (QPushButton* b : {s.cmdSetUp(), s.cmdSetUpSave()}) {
            s.cboSize()->setEditText(bad);
            QTest::mouseClick(b, Qt::LeftButton);
            ASSERT_TRUE(r.setUpShown()) << bad;
            EXPECT_EQ(r.state(), (std::array<int, 7>{2, 12, 14, 14, 2, 0, 0})) << bad;
            EXPECT_EQ(shown(s), std::tuple(4, 12, 3, std::string("2"), false, false)) << bad;  // width in force
            EXPECT_EQ(s.cboSize()->currentIndex(), 1);
        }
    }
    EXPECT_EQ(readFile(r.path()), kDefaults);

    // A full-width digit is accepted; "設定" applies without saving, the new fill colour in use at once.
    s.cboSize()->setEditText(QStringLiteral(" ５"));
    QTest::mouseClick(s.cmdSetUp(), Qt::LeftButton);
    EXPECT_FALSE(r.app->setUpLoaded());
    EXPECT_EQ(r.state(), (std::array<int, 7>{0, 12, 10, 10, 5, 0, 0}));
    EXPECT_EQ(readFile(r.path()), kDefaults);
}

TEST(Panels, EveryClosingUnloadsThePanelAndCancelLeavesTheStateUntouched) {
    Rig r;
    const std::tuple<const char*, Qt::Key, std::function<void(Rig&)>> paths[] = {
        {"help button", Qt::Key_H, [](Rig& r) { QTest::mouseClick(r.help().Command1(), Qt::LeftButton); }},
        {"help Esc", Qt::Key_H, [](Rig& r) { QTest::keyClick(r.help().txtText(), Qt::Key_Escape); }},
        {"help close command", Qt::Key_H, [](Rig& r) { r.help().close(); }},
        {"help Tab, then Enter on the button", Qt::Key_H, [](Rig& r) {
             QTest::keyClick(r.help().txtText(), Qt::Key_Tab);
             ASSERT_EQ(r.help().focusWidget(), r.help().Command1());
             QTest::keyClick(r.help().Command1(), Qt::Key_H);  // the button has it: no effect
             ASSERT_TRUE(r.help().isVisible());
             QTest::keyClick(r.help().Command1(), Qt::Key_Return);
         }},
        {"中止", Qt::Key_Down, [](Rig& r) { QTest::mouseClick(r.setUp().cmdCancel(), Qt::LeftButton); }},
        {"Esc in the key box", Qt::Key_Down, [](Rig& r) { QTest::keyClick(r.setUp().txtText1(), Qt::Key_Escape); }},
        {"Esc while typing a width", Qt::Key_Up,
         [](Rig& r) { QTest::keyClick(r.setUp().cboSize()->lineEdit(), Qt::Key_Escape); }},
        {"set-up close command", Qt::Key_Down, [](Rig& r) { r.setUp().close(); }},
    };
    for (const auto& [name, open, close] : paths) {
        r.key(open);
        const bool help = open == Qt::Key_H;
        QPointer<QWidget> panel = help ? static_cast<QWidget*>(&r.help()) : &r.setUp();
        ASSERT_TRUE(panel->isVisible()) << name;
        EXPECT_EQ(r.m().myWindow, help ? 1 : 2) << name;
        (void)QTest::qWaitForWindowActive(panel);
        if (!help) {
            chooseAll(r.setUp());
            ASSERT_EQ(r.setUp().pendingLineColor(), 13) << name;
        }
        close(r);
        EXPECT_FALSE(r.app->helpLoaded() || r.app->setUpLoaded()) << name;
        EXPECT_EQ(r.state(), kDefaultState) << name;
        flushDeletes();
        EXPECT_TRUE(panel.isNull()) << name;
    }
    EXPECT_EQ(readFile(r.path()), kDefaults);
}
