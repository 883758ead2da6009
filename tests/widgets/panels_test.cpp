#include "app/App.h"
#include "fakes/FakeDesktop.h"
#include "help/frmHelp.h"
#include "settings/frmSetUp.h"
#include "toolbar/frmToolBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

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
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(tb().text1(), k, mods); }

    frmHelp& help() { return app->help(); }
    frmSetUp& setUp() { return app->setUp(); }
    bool helpShown() { return app->helpLoaded() && app->help().isVisible(); }
    bool setUpShown() { return app->setUpLoaded() && app->setUp().isVisible(); }
};

// The widgets with a name that Tab visits from `first`, in order, once round.
QStringList tabChain(QWidget* first) {
    QStringList names;
    QWidget* w = first;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty() && w->isEnabled())
            names << w->objectName();
        w = w->nextInFocusChain();
    } while (w && w != first);
    return names;
}

// Every character of the caption has a glyph in the widget's own font (no empty boxes), and
// the caption fits the widget's width and height.
void expectCaptionFits(QWidget* w, const QString& caption, int room) {
    QFontMetrics fm(w->font());
    for (QChar c : caption)
        EXPECT_TRUE(fm.inFont(c)) << w->objectName().toStdString() << ": no glyph for U+" << std::hex << int(c.unicode());
    EXPECT_LE(fm.horizontalAdvance(caption), room) << w->objectName().toStdString();
    EXPECT_GE(w->height(), fm.height()) << w->objectName().toStdString();
}

QRgb pixel(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xffffff; }

}  // namespace

// --- help panel --------------------------------------------------------------

TEST(HelpPanel, HOpensOnceHidesAndShowsTheSamePanelAgain) {
    Rig r;
    r.key(Qt::Key_H);
    ASSERT_TRUE(r.helpShown());
    EXPECT_EQ(r.m().myWindow, 1);
    QPointer<frmHelp> first = &r.help();
    EXPECT_EQ(first->windowTitle(), "Help  (Slateboard 1.2.8)");
    EXPECT_EQ(first->focusWidget(), first->txtText());
    QTest::keyClicks(first->txtText(), "abc 123!?");  // typed keys leave no text
    EXPECT_TRUE(first->txtText()->text().isEmpty());
    EXPECT_TRUE(first->isVisible());

    // H at the toolbar while the panel is open does nothing; neither do Up and Down.
    r.key(Qt::Key_H);
    r.key(Qt::Key_Down);
    EXPECT_EQ(r.m().myWindow, 1);
    EXPECT_FALSE(r.app->setUpLoaded());

    // H in the panel hides it, with any modifier; it stays loaded.
    for (Qt::KeyboardModifiers mods : {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier)}) {
        QTest::keyClick(first->txtText(), Qt::Key_H, mods);
        flushDeletes();
        ASSERT_TRUE(first);
        EXPECT_FALSE(first->isVisible());
        EXPECT_EQ(r.m().myWindow, 0);
        EXPECT_TRUE(r.app->helpLoaded());

        first->setWindowTitle("marker");  // a reload would set the caption again
        r.key(Qt::Key_H);
        EXPECT_EQ(&r.help(), first.data());
        EXPECT_TRUE(first->isVisible());
        EXPECT_EQ(first->windowTitle(), "marker");
        EXPECT_EQ(r.m().myWindow, 1);
    }
}

TEST(HelpPanel, ButtonEscAndCloseCommandUnload) {
    Rig r;
    const std::pair<const char*, std::function<void(frmHelp&)>> paths[] = {
        {"button", [](frmHelp& h) { QTest::mouseClick(h.Command1(), Qt::LeftButton); }},
        {"Esc", [](frmHelp& h) { QTest::keyClick(h.txtText(), Qt::Key_Escape); }},
        {"close command", [](frmHelp& h) { h.close(); }},
        {"Tab, then Enter on the button", [](frmHelp& h) {
             QTest::keyClick(h.txtText(), Qt::Key_Tab);
             ASSERT_EQ(h.focusWidget(), h.Command1());
             QTest::keyClick(h.Command1(), Qt::Key_H);  // the button has it: no effect
             ASSERT_TRUE(h.isVisible());
             QTest::keyClick(h.Command1(), Qt::Key_Return);
         }},
    };
    for (const auto& [name, close] : paths) {
        r.key(Qt::Key_H);
        ASSERT_TRUE(r.helpShown()) << name;
        QPointer<frmHelp> h = &r.help();
        (void)QTest::qWaitForWindowActive(h);
        close(*h);
        EXPECT_EQ(r.m().myWindow, 0) << name;
        EXPECT_FALSE(r.app->helpLoaded()) << name;
        EXPECT_FALSE(h && h->isVisible()) << name;
        flushDeletes();
        EXPECT_TRUE(h.isNull()) << name;
    }
    // Unloaded, it loads afresh on the next H.
    r.key(Qt::Key_H);
    EXPECT_TRUE(r.helpShown());
    EXPECT_EQ(r.help().windowTitle(), "Help  (Slateboard 1.2.8)");
    EXPECT_EQ(r.m().myWindow, 1);
}

TEST(HelpPanel, LayoutLabelsAndBoxes) {
    Rig r;
    r.key(Qt::Key_H);
    frmHelp& h = r.help();

    // Captions with their exact spacing: ideographic spaces, runs of blanks, full-width marks.
    const QString sp = QStringLiteral(" "), ideo = QString(QChar(0x3000));
    EXPECT_EQ(h.label(9)->text(), "Ctrl + Z" + sp.repeated(9) + "= 描画モード オン・オフ （ホットキー）");
    EXPECT_EQ(h.label(13)->text(), "右クリック" + sp.repeated(4) + ideo + sp + "= 直前の描画を消す");
    EXPECT_EQ(h.label(15)->text(), "スペース" + ideo + ideo + sp + ideo + sp + "= 遅延キャプチャ");
    EXPECT_EQ(h.label(3)->text(), "C = 円 (Circle) 線/塗り （トグル） ");
    EXPECT_EQ(h.label(4)->text(), "R = 矩形 (Rectangle)  線/塗り （トグル）");
    EXPECT_EQ(h.label(5)->text(), "E = ルーペ ：拡大表示 (Expand）");
    EXPECT_EQ(h.label(6)->text(), "↑ or ↓= 設定パネルを開く");
    EXPECT_EQ(h.Command1()->text(), "閉じる (H)");

    // All seventeen at their places (twips / 15), none clipped, every glyph present.
    EXPECT_EQ(h.label(10)->geometry().topLeft(), QPoint(40, 8));
    EXPECT_EQ(h.label(12)->geometry().topLeft(), QPoint(40, 144));
    EXPECT_EQ(h.label(17)->geometry().topLeft(), QPoint(32, 296));
    for (int n = 1; n <= 17; ++n) {
        ASSERT_NE(h.label(n), nullptr) << n;
        EXPECT_EQ(h.label(n)->focusPolicy(), Qt::NoFocus);
        expectCaptionFits(h.label(n), h.label(n)->text(), h.label(n)->width());
    }
    EXPECT_EQ(h.Command1()->geometry(), QRect(120, 320, 113, 25));

    // 5385 twips wide inside; 5700 twips tall outside, but never tall enough to show the key box.
    platform::FrameExtents f = r.desktop.frameExtents(h);
    EXPECT_EQ(h.width(), 359);
    EXPECT_EQ(h.frameGeometry().height(), std::min(380, 368 + f.top + f.bottom));
    EXPECT_GE(h.txtText()->y(), h.height());
    QRect screen = h.screen()->availableGeometry();
    EXPECT_LE((h.frameGeometry().center() - screen.center()).manhattanLength(), 2);

    // White, with three boxes whose titles hide the stretch of edge behind them.
    QImage img = h.grab().toImage();
    const QRgb black = 0, white = 0xffffff;
    EXPECT_EQ(pixel(img, 5, 5), white);
    for (int y : {16, 136, 152, 248, 264, 312}) {
        EXPECT_EQ(pixel(img, 200, y), black) << "edge at y " << y;
        EXPECT_EQ(pixel(img, 200, y + 2), white) << "inside below y " << y;
    }
    for (int x : {24, 328}) EXPECT_EQ(pixel(img, x, 100), black) << "side at x " << x;
    for (int title : {10, 12, 11}) {  // "描画", "描画コントロール", "設定"
        QRect g = h.label(title)->geometry();
        int edge = g.top() + 8;
        EXPECT_EQ(pixel(img, g.right(), edge), white) << "the edge shows through Label" << title;
        EXPECT_EQ(pixel(img, g.left() - 2, edge), black) << "left of Label" << title;
        EXPECT_EQ(pixel(img, g.right() + 2, edge), black) << "right of Label" << title;
    }
}

// --- settings panel ------------------------------------------------------------

TEST(SetUpPanel, OpensWithTheSettingsInForce) {
    for (Qt::Key open : {Qt::Key_Down, Qt::Key_Up}) {
        Rig r;
        r.key(open);
        ASSERT_TRUE(r.setUpShown());
        frmSetUp& s = r.setUp();
        EXPECT_EQ(r.m().myWindow, 2);
        EXPECT_EQ(s.windowTitle(), "設定  (Slateboard 1.2.8)");
        EXPECT_EQ(s.ImageCombo1()->currentIndex() + 1, 4);  // red
        EXPECT_EQ(s.ImageCombo2()->currentIndex() + 1, 5);  // yellow
        EXPECT_EQ(s.cboSize()->currentText(), "2");
        EXPECT_EQ(s.cboSize()->count(), 5);
        EXPECT_TRUE(s.Option1()->isChecked());
        EXPECT_FALSE(s.Option2()->isChecked());
        EXPECT_FALSE(s.chkAutoMin()->isChecked());
        EXPECT_EQ(s.focusWidget(), s.txtText1());
        QTest::keyClicks(s.txtText1(), "xyz 42");  // typed keys leave no text, only Up and Down hide
        QTest::keyClick(s.txtText1(), Qt::Key_Left);
        EXPECT_TRUE(s.txtText1()->text().isEmpty());
        EXPECT_TRUE(s.isVisible());

        // The swatch of the shown item is its colour in a black frame.
        QImage sw = s.ImageCombo1()->itemIcon(s.ImageCombo1()->currentIndex()).pixmap(16, 16).toImage();
        EXPECT_EQ(pixel(sw, 8, 8), qRgb(255, 0, 0) & 0xffffff);
        EXPECT_EQ(pixel(sw, 0, 8), 0u);
        EXPECT_EQ(s.ImageCombo2()->count(), 9);
        EXPECT_EQ(s.ImageCombo2()->itemData(8, Qt::UserRole + 1).toString(), "S9");

        EXPECT_EQ(tabChain(s.txtText1()), (QStringList{"txtText1", "cmdCancel", "cmdSetUp", "cmdSetUpSave", "Option1",
                                                       "Option2", "chkAutoMin", "ImageCombo1", "cboSize",
                                                       "ImageCombo2"}));
        // 3525 twips wide inside, 2550 twips tall outside, the key box out of sight.
        platform::FrameExtents f = r.desktop.frameExtents(s);
        EXPECT_EQ(s.width(), 235);
        EXPECT_EQ(s.frameGeometry().height(), std::min(170, 152 + f.top + f.bottom));
        EXPECT_GE(s.txtText1()->y(), s.height());
        EXPECT_GT(s.height(), s.label(4)->geometry().bottom());  // the note stays in sight
    }
}

TEST(SetUpPanel, CaptionsFontsAndGlyphs) {
    Rig r;
    r.key(Qt::Key_Down);
    frmSetUp& s = r.setUp();
    EXPECT_EQ(s.label(4)->text(), "HotKey, Auto-Hideは保存・再起動後有効");
    EXPECT_EQ(s.fraHotKey()->title(), "Hot Key");
    for (int n = 1; n <= 3; ++n) {
        EXPECT_DOUBLE_EQ(s.label(n)->font().pointSizeF(), 9.75);
        EXPECT_FALSE(s.label(n)->font().bold());
        expectCaptionFits(s.label(n), s.label(n)->text(), s.label(n)->width());
    }
    expectCaptionFits(s.label(4), s.label(4)->text(), s.label(4)->width());
    EXPECT_DOUBLE_EQ(s.chkAutoMin()->font().pointSizeF(), 9.75);
    for (QRadioButton* o : {s.Option1(), s.Option2()}) {
        EXPECT_DOUBLE_EQ(o->font().pointSizeF(), 9.0);
        EXPECT_TRUE(o->font().bold());
        EXPECT_LE(o->sizeHint().width(), o->width()) << o->text().toStdString();
    }
    EXPECT_LE(s.chkAutoMin()->sizeHint().width(), s.chkAutoMin()->width());
    for (QPushButton* b : {s.cmdCancel(), s.cmdSetUp(), s.cmdSetUpSave()})
        expectCaptionFits(b, b->text(), b->width() - 8);
    EXPECT_EQ(s.cmdSetUpSave()->text(), "設定・保存");

    // Where the check box reaches under "設定", a click presses the button.
    QPoint overlap = s.cmdSetUp()->geometry().topLeft() + QPoint(3, 12);
    ASSERT_TRUE(s.chkAutoMin()->geometry().contains(overlap));
    EXPECT_EQ(s.childAt(overlap), s.cmdSetUp());
}

TEST(SetUpPanel, ValuesTheListsDoNotOfferShowAndStayInForce) {
    // Colour 3 for lines, width 7, Auto-Hide 1 and a hot-key choice of 5, all from the file.
    Rig r(" 3 \r\n 7 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 1 \r\n 5 \r\n");
    r.key(Qt::Key_Down);
    frmSetUp& s = r.setUp();
    EXPECT_EQ(s.ImageCombo1()->currentIndex() + 1, 2);  // shown as blue
    EXPECT_EQ(s.pendingLineColor(), 3);                 // but kept
    EXPECT_EQ(s.cboSize()->currentText(), "7");
    EXPECT_EQ(s.cboSize()->currentIndex(), -1);
    EXPECT_TRUE(s.chkAutoMin()->isChecked());
    EXPECT_TRUE(s.Option1()->isChecked());
    QTest::mouseClick(s.cmdSetUp(), Qt::LeftButton);
    EXPECT_FALSE(r.app->setUpLoaded());
    EXPECT_EQ(r.m().lineColor, 3);
    EXPECT_EQ(r.m().drawColor, 3);
    EXPECT_EQ(r.m().lineWidth, 7);
    EXPECT_EQ(r.m().autoHide, 1);
    EXPECT_EQ(r.m().hotKeyChoice, 0);  // applied as shown

    // Width 0 shows as "0" and stays too; "7" can no longer be typed once it is not in force.
    Rig z(" 12 \r\n 0 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 0 \r\n 0 \r\n");
    z.key(Qt::Key_Up);
    EXPECT_EQ(z.setUp().cboSize()->currentText(), "0");
    z.setUp().cboSize()->setEditText("7");
    QTest::mouseClick(z.setUp().cmdSetUp(), Qt::LeftButton);
    EXPECT_TRUE(z.setUpShown());
    EXPECT_EQ(z.setUp().cboSize()->currentText(), "0");
    QTest::mouseClick(z.setUp().cmdSetUp(), Qt::LeftButton);
    EXPECT_FALSE(z.app->setUpLoaded());
    EXPECT_EQ(z.m().lineWidth, 0);
}

TEST(SetUpPanel, CancelEscAndCloseLeaveTheStateUntouched) {
    Rig r;
    const std::pair<const char*, std::function<void(frmSetUp&)>> paths[] = {
        {"中止", [](frmSetUp& s) { QTest::mouseClick(s.cmdCancel(), Qt::LeftButton); }},
        {"Esc in the key box", [](frmSetUp& s) { QTest::keyClick(s.txtText1(), Qt::Key_Escape); }},
        {"Esc while typing a width", [](frmSetUp& s) { QTest::keyClick(s.cboSize()->lineEdit(), Qt::Key_Escape); }},
        {"close command", [](frmSetUp& s) { s.close(); }},
    };
    for (const auto& [name, cancel] : paths) {
        r.key(Qt::Key_Down);
        ASSERT_TRUE(r.setUpShown()) << name;
        QPointer<frmSetUp> s = &r.setUp();
        (void)QTest::qWaitForWindowActive(s);
        QTest::keyClick(s->ImageCombo1(), Qt::Key_Up);  // red -> green
        ASSERT_EQ(s->pendingLineColor(), 10) << name;
        s->cboSize()->setFocus();
        s->cboSize()->lineEdit()->selectAll();
        QTest::keyClicks(s->cboSize()->lineEdit(), "4");
        s->chkAutoMin()->setChecked(true);
        s->Option2()->setChecked(true);
        cancel(*s);
        EXPECT_FALSE(r.app->setUpLoaded()) << name;
        EXPECT_EQ(r.m().myWindow, 0) << name;
        EXPECT_EQ(r.m().lineColor, 12) << name;
        EXPECT_EQ(r.m().drawColor, 12) << name;
        EXPECT_EQ(r.m().lineWidth, 2) << name;
        EXPECT_EQ(r.m().autoHide, 0) << name;
        EXPECT_EQ(r.m().hotKeyChoice, 0) << name;
        flushDeletes();
        EXPECT_TRUE(s.isNull()) << name;
    }
    EXPECT_EQ(readFile(r.path()), kDefaults);
}

TEST(SetUpPanel, ApplyPutsTheNewColourInUseForTheCurrentPattern) {
    Rig r;
    r.key(Qt::Key_F5);  // filled circle
    r.key(Qt::Key_Down);
    QTest::keyClick(r.setUp().ImageCombo2(), Qt::Key_Up);  // yellow -> red
    QTest::keyClick(r.setUp().ImageCombo2(), Qt::Key_Up);  // -> green
    QTest::mouseClick(r.setUp().cmdSetUp(), Qt::LeftButton);
    EXPECT_FALSE(r.app->setUpLoaded());
    EXPECT_EQ(r.m().myWindow, 0);
    EXPECT_EQ(r.m().fillColor, 10);
    EXPECT_EQ(r.m().drawColor, 10);
    EXPECT_EQ(r.m().penMode, 9);

    r.key(Qt::Key_A);  // arrow
    r.key(Qt::Key_Up);
    QTest::keyClick(r.setUp().ImageCombo1(), Qt::Key_Down);  // red -> yellow
    QTest::mouseClick(r.setUp().cmdSetUp(), Qt::LeftButton);
    EXPECT_EQ(r.m().lineColor, 14);
    EXPECT_EQ(r.m().drawColor, 14);
    EXPECT_EQ(r.m().fillColor, 10);
    EXPECT_EQ(readFile(r.path()), kDefaults);  // applied, not saved
}

TEST(SetUpPanel, UpAndDownHideWithTheUnappliedChoicesKept) {
    Rig r;
    r.key(Qt::Key_Down);
    QPointer<frmSetUp> s = &r.setUp();
    QTest::keyClick(s->ImageCombo1(), Qt::Key_Down);
    QTest::keyClick(s->ImageCombo1(), Qt::Key_Down);  // red -> yellow -> magenta
    s->cboSize()->setEditText("4");
    s->chkAutoMin()->setChecked(true);
    s->Option2()->setChecked(true);

    QTest::keyClick(s->txtText1(), Qt::Key_Down, Qt::ShiftModifier);
    flushDeletes();
    ASSERT_TRUE(s);
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(r.m().myWindow, 0);
    EXPECT_EQ(r.m().lineColor, 12);

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
    EXPECT_EQ(s->pendingLineColor(), 13);
    EXPECT_EQ(s->ImageCombo1()->currentIndex() + 1, 6);
    EXPECT_EQ(s->cboSize()->currentText(), "4");
    EXPECT_TRUE(s->chkAutoMin()->isChecked());
    EXPECT_TRUE(s->Option2()->isChecked());

    // Up hides as well; then "設定・保存" applies and writes everything.
    QTest::keyClick(s->txtText1(), Qt::Key_Up);
    EXPECT_FALSE(s->isVisible());
    r.key(Qt::Key_Down);
    QTest::mouseClick(s->cmdSetUpSave(), Qt::LeftButton);
    EXPECT_FALSE(r.app->setUpLoaded());
    EXPECT_EQ(r.m().myWindow, 0);
    EXPECT_EQ(readFile(r.path()), " 13 \r\n 4 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 1 \r\n 1 \r\n");
    EXPECT_EQ(r.m().drawColor, 13);
    EXPECT_TRUE(r.warnings.isEmpty());
}

TEST(SetUpPanel, RefusedWidthKeepsThePanelOpenAndTheStoredWidth) {
    Rig r;
    r.key(Qt::Key_Down);
    frmSetUp& s = r.setUp();
    QTest::keyClick(s.ImageCombo1(), Qt::Key_Up);  // a colour chosen too: not applied either
    for (const char* bad : {"", "  ", "abc", "0", "6", "2.5", "-1", "99999999999"}) {
        for (QPushButton* b : {s.cmdSetUp(), s.cmdSetUpSave()}) {
            s.cboSize()->setEditText(bad);
            QTest::mouseClick(b, Qt::LeftButton);
            ASSERT_TRUE(r.setUpShown()) << bad;
            EXPECT_EQ(r.m().myWindow, 2);
            EXPECT_EQ(r.m().lineWidth, 2) << bad;
            EXPECT_EQ(r.m().lineColor, 12) << bad;
            EXPECT_EQ(s.cboSize()->currentText(), "2") << bad;  // the width in force, shown again
            EXPECT_EQ(s.cboSize()->currentIndex(), 1);
        }
    }
    EXPECT_EQ(readFile(r.path()), kDefaults);

    s.cboSize()->setEditText(QStringLiteral(" ５"));
    QTest::mouseClick(s.cmdSetUpSave(), Qt::LeftButton);
    EXPECT_FALSE(r.app->setUpLoaded());
    EXPECT_EQ(r.m().lineWidth, 5);
    EXPECT_EQ(r.m().lineColor, 10);
    EXPECT_TRUE(readFile(r.path()).startsWith(" 10 \r\n 5 \r\n 14 \r\n"));
}

TEST(Panels, ToolbarUnloadClosesBoth) {
    Rig r;
    r.key(Qt::Key_H);
    QTest::keyClick(r.help().txtText(), Qt::Key_H);  // hidden, still loaded
    r.key(Qt::Key_Down);
    ASSERT_TRUE(r.app->helpLoaded());
    ASSERT_TRUE(r.setUpShown());
    QPointer<frmHelp> h = &r.help();
    QPointer<frmSetUp> s = &r.setUp();
    r.tb().close();
    EXPECT_FALSE(r.app->helpLoaded());
    EXPECT_FALSE(r.app->setUpLoaded());
    EXPECT_EQ(r.m().myWindow, 0);
    flushDeletes();
    EXPECT_TRUE(h.isNull());
    EXPECT_TRUE(s.isNull());
}
