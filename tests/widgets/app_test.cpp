// The program over fake desktop capabilities: the start, every way in and out of drawing mode
// in its order on the desktop, the keys, the countdown, the panels and the saves.
#include "support/Rig.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

namespace {

void doubleClick(Rig& r, Qt::MouseButton button) { QTest::mouseDClick(r.canvas(), button, {}, QPoint(200, 200)); }

}  // namespace

TEST(Start, SettingsPlaceAndPatternAndOneInstance) {
    Rig fresh(std::nullopt);
    EXPECT_EQ(fresh.dir.read(), kDefaultBytes);  // written at the start
    EXPECT_EQ(fresh.toolbar().windowTitle(), "SB");
    EXPECT_EQ(fresh.toolbar().top(), 6600);
    EXPECT_EQ(fresh.toolbar().left(), 5685);
    EXPECT_EQ(fresh.toolbar().frameGeometry().width(), 89);
    EXPECT_EQ(fresh.toolbar().pattern(), Pattern::Arrow);
    EXPECT_EQ(fresh.startCalls.find("set Ctrl+Z"), 0u);
    EXPECT_FALSE(fresh.drawing());

    Rig six(withLine(4, " 6 ")), none(withLine(4, " 9 ")), f1(withLine(9, " 7 "));
    EXPECT_EQ(six.toolbar().pattern(), Pattern::FilledRectangle);
    EXPECT_EQ(none.toolbar().pattern(), std::nullopt);
    none.key(Qt::Key_S);
    EXPECT_EQ(none.dir.read(), withLine(4, " 0 "));  // saved as no pattern
    EXPECT_EQ(f1.startCalls.find("set F1"), 0u);

    // Drawing mode saved as on: the canvas is up from the start.
    Rig on(withLine(5, "False", withLine(4, " 3 ")));
    EXPECT_TRUE(on.drawing());
    EXPECT_EQ(on.fake.seq(), "");
    EXPECT_NE(on.startCalls.find("minimise- wait grab"), std::string::npos);
    EXPECT_EQ(on.toolbar().pattern(), Pattern::Circle);

    // A second start while one runs ends at once, before reading or writing anything.
    FakePlatform twin(fresh.instance);
    TempDir empty;
    Application second(twin.platform, empty.path());
    EXPECT_FALSE(second.start());
    EXPECT_EQ(empty.read(), "(none)");
}

TEST(DrawingMode, EveryWayInAndOutInItsOrder) {
    struct Case {
        const char* what;
        int autoHide;
        bool minimised, drawingBefore;
        std::function<void(Rig&)> act;
        std::string calls;
        bool drawingAfter;
    };
    auto hotKey = [](Rig& r) { r.fake.shortcut->press(); };
    auto button = [](Rig& r) { r.clickDrawButton(); };
    const Case cases[] = {
        {"button in", 0, false, false, button, "minimise- wait grab", true},
        {"button out, even with Auto-Hide", 1, false, true, button, "minimise+", false},
        {"hot key in", 0, false, false, hotKey, "wait grab minimise-", true},
        {"hot key out", 0, false, true, hotKey, "minimise+", false},
        {"hot key in, Auto-Hide", 1, false, false, hotKey, "minimise- wait grab", true},
        {"hot key out, Auto-Hide", 1, false, true, hotKey, "minimise+ minimize", false},
        {"hot key on the minimised toolbar", 0, true, false, hotKey, "restore minimise- wait grab", true},
        {"the same, Auto-Hide, drawing", 1, true, true, hotKey, "restore minimise- wait grab", true},
        {"hot key, Auto-Hide 2", 2, false, false, hotKey, "", false},
        {"hot key, Auto-Hide 2, drawing", 2, false, true, hotKey, "", true},
        {"double-click", 0, false, true, [](Rig& r) { doubleClick(r, Qt::LeftButton); }, "minimise+", false},
        {"double-click, Auto-Hide", 1, false, true, [](Rig& r) { doubleClick(r, Qt::LeftButton); }, "minimise+ minimize", false},
        {"double-click, Auto-Hide 2", 2, false, true, [](Rig& r) { doubleClick(r, Qt::LeftButton); }, "minimise+ minimize", false},
        {"right double-click", 0, false, true, [](Rig& r) { doubleClick(r, Qt::RightButton); }, "", true},
    };
    for (const Case& c : cases) {
        Rig r(withLine(8, " " + std::to_string(c.autoHide) + " "));
        if (c.drawingBefore) r.clickDrawButton();
        r.fake.minimized = c.minimised;
        r.settle();
        c.act(r);
        EXPECT_EQ(r.modeCalls(), c.calls) << c.what;
        EXPECT_EQ(r.drawing(), c.drawingAfter) << c.what;
        EXPECT_EQ(r.fake.minimizable, !c.drawingAfter) << c.what;
        EXPECT_EQ(r.toolbar().drawingMode(), c.drawingAfter) << c.what;
        EXPECT_TRUE(!c.drawingAfter || r.toolbar().isVisible()) << c.what;
    }
}

TEST(DrawingMode, TheCanvasHoldsTheDesktopWithTheToolbarBackInPlace) {
    Rig r(withLine(6, " 1200 ", withLine(7, " 4500 ")));
    r.fake.onGrab = [&r] { r.toolbar().move(0, 0); };  // a window manager that places it anew
    r.clickDrawButton();
    const CanvasWindow* canvas = r.canvas();
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->windowTitle(), "画面スクリーン");
    EXPECT_TRUE(canvas->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(canvas->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_EQ(canvas->geometry(), QGuiApplication::primaryScreen()->geometry());
    const QImage& img = canvas->surface().image();
    EXPECT_EQ(img.pixel(100, 50), qRgb(100, 50, 0x80));  // the screen as it was read
    EXPECT_EQ(img.pixel(15, 0), qRgb(0, 0, 0));          // and the corners marked
    EXPECT_EQ(img.pixel(16, 0), qRgb(16, 0, 0x80));
    EXPECT_EQ(r.toolbar().top(), 1200);
    EXPECT_EQ(r.toolbar().left(), 4500);
    // A take-back before the first drawing keeps the copy.
    QTest::mouseClick(r.canvas(), Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(canvas->surface().image().pixel(100, 50), qRgb(100, 50, 0x80));
    // A new copy on every entry; none left after closing the toolbar, nor the hot key.
    r.clickDrawButton();
    r.clickDrawButton();
    EXPECT_EQ(r.fake.count("grab"), 2u);
    r.key(Qt::Key_H);
    r.toolbar().close();
    EXPECT_FALSE(r.drawing());
    EXPECT_EQ(r.window("Help"), nullptr);
    EXPECT_EQ(r.fake.count("clear"), 1u);
}

TEST(Keys, PatternsSavesAndTheOpenPanel) {
    Rig r;
    struct Step { std::vector<QKeyCombination> keys; const char* line4; } steps[] = {
        {{Qt::Key_R}, " 5 "}, {{Qt::Key_R}, " 6 "}, {{Qt::Key_Right}, " 7 "}, {{Qt::Key_F2, Qt::Key_Left}, " 8 "},
        {{Qt::Key_C, Qt::Key_C, Qt::Key_C}, " 3 "},
        {{Qt::ShiftModifier | Qt::Key_A, Qt::ControlModifier | Qt::Key_L, Qt::AltModifier | Qt::Key_F}, " 3 "},
    };
    for (const Step& s : steps) {
        for (QKeyCombination k : s.keys) r.key(k);
        r.key(Qt::Key_S);
        EXPECT_EQ(r.dir.read(), withLine(4, s.line4)) << s.line4;
    }
    EXPECT_EQ(r.toolbar().focusProxy()->property("text").toString(), "");  // no text collects
    r.clickDrawButton();
    r.key(Qt::Key_S);
    EXPECT_EQ(r.dir.read(), withLine(5, "False", withLine(4, " 3 ")));

    r.key(Qt::Key_Q);
    r.key(Qt::Key_H);
    r.key(Qt::Key_H);  // once open, H at the toolbar opens nothing more
    r.key(Qt::Key_Down);
    r.key(Qt::Key_Q);
    QWidget* help = r.window("Help  (Slateboard 1.2.8)");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(r.window("設定"), nullptr);
    r.keyIn(help, Qt::Key_H);  // hidden, not closed
    EXPECT_FALSE(help->isVisible());
    r.key(Qt::Key_Q);
    r.key(Qt::Key_Up);
    r.key(Qt::Key_Q);
    EXPECT_EQ(r.messages, (std::vector<QString>{"inform: myWindow=0", "inform: myWindow=1", "inform: myWindow=0",
                                                "inform: myWindow=2"}));
}

TEST(Keys, SpaceCountsDownThenEntersDrawingMode) {
    Rig r;
    r.key(Qt::Key_Space);
    QSignalSpy finished(&r.toolbar(), &ToolbarWindow::countdownFinished);
    std::vector<QString> shown{r.toolbar().countText()};
    EXPECT_TRUE(QTest::qWaitFor([&] {
        if (shown.back() == r.toolbar().countText()) return false;
        shown.push_back(r.toolbar().countText());
        if (shown.size() == 4) r.key(Qt::Key_Space);  // at "2": back to 4
        return !finished.isEmpty();
    }, 10000));
    EXPECT_EQ(shown, (std::vector<QString>{"Rdy", "4", "3", "2", "4", "3", "2", "1", "Rdy"}));
    EXPECT_TRUE(r.drawing());
    EXPECT_EQ(r.modeCalls(), "wait grab minimise-");
    // No countdown in drawing mode, nor with Auto-Hide.
    Rig hiding(withLine(8, " 1 "));
    r.key(Qt::Key_Space);
    hiding.key(Qt::Key_Space);
    QTest::qWait(1100);  // a tick would have shown 4 by now
    EXPECT_EQ(r.toolbar().countText(), "Rdy");
    EXPECT_EQ(hiding.toolbar().countText(), "Rdy");
}

TEST(SettingsPanel, ChoicesAppliedSavedCancelledOrRefused) {
    Rig r;
    r.key(Qt::Key_Down);
    QWidget* panel = r.window("設定  (Slateboard 1.2.8)");
    ASSERT_NE(panel, nullptr);
    auto combos = panel->findChildren<QComboBox*>();
    auto button = [panel](const char* caption) {
        for (QPushButton* b : panel->findChildren<QPushButton*>())
            if (b->text() == QString::fromUtf8(caption)) return b;
        return static_cast<QPushButton*>(nullptr);
    };
    ASSERT_EQ(combos.size(), 3);
    EXPECT_EQ(combos[0]->currentIndex(), 3);  // red lines
    EXPECT_EQ(combos[1]->currentText(), "2");
    EXPECT_EQ(combos[2]->currentIndex(), 4);  // yellow fills
    EXPECT_FALSE(panel->findChild<QCheckBox*>()->isChecked());
    EXPECT_TRUE(panel->findChildren<QRadioButton*>()[0]->isChecked());

    // Choices, hidden by Down, still there when it opens again; nothing applied meanwhile.
    combos[0]->setCurrentIndex(2);
    emit combos[0]->activated(2);  // green
    combos[1]->setEditText("4");
    panel->findChildren<QRadioButton*>()[1]->setChecked(true);
    panel->findChild<QCheckBox*>()->setChecked(true);
    r.keyIn(panel, Qt::Key_Down);
    EXPECT_EQ(r.app->openPanel(), OpenPanel::None);
    EXPECT_EQ(r.app->settings(), Settings{});
    r.key(Qt::Key_Down);
    EXPECT_EQ(r.window("設定"), panel);
    combos[1]->setEditText("9");  // refused: the panel stays, showing the width in force
    button("設定・保存")->click();
    EXPECT_EQ(r.window("設定"), panel);
    EXPECT_EQ(combos[1]->currentText(), "2");
    EXPECT_EQ(r.dir.read(), kDefaultBytes);
    combos[1]->setEditText("4");
    button("設定・保存")->click();
    EXPECT_EQ(r.window("設定"), nullptr);
    EXPECT_EQ(r.dir.read(), " 10 \r\n 4 \r\n 14 \r\n 1 \r\nTrue\r\n 6600 \r\n 5685 \r\n 1 \r\n 1 \r\n");
    EXPECT_EQ(r.fake.count("set F1"), 0u);  // the hot key changes at the next start

    // Cancelled by its button or by Esc, nothing changes; a colour the lists lack stays.
    Rig odd(withLine(1, " 3 "));
    for (Qt::Key how : {Qt::Key_unknown, Qt::Key_Escape}) {
        odd.key(Qt::Key_Up);
        QWidget* p = odd.window("設定");
        p->findChildren<QComboBox*>()[2]->setCurrentIndex(0);
        emit p->findChildren<QComboBox*>()[2]->activated(0);
        QCoreApplication::processEvents();
        if (how == Qt::Key_Escape) odd.keyIn(p, Qt::Key_Escape);
        else for (QPushButton* b : p->findChildren<QPushButton*>()) if (b->text() == "中止") b->click();
        EXPECT_EQ(odd.window("設定"), nullptr);
        EXPECT_EQ(odd.app->settings().fillColour, 14);
    }
    odd.key(Qt::Key_Up);
    odd.window("設定")->findChildren<QPushButton*>()[1]->click();  // 設定: apply without saving
    EXPECT_EQ(odd.app->settings().lineColour, 3);
}

TEST(Faults, FailedSaveAndTakenHotKeyAreToldAndTheProgramRunsOn) {
    FakePlatform fake(uniqueInstanceName());
    TempDir d;
    std::vector<QString> warnings;
    Application app(fake.platform, d.path("gone/settings.ini"), {[](const QString&) {}, [&](const QString& t) { warnings.push_back(t); }});
    fake.keyTaken = true;
    ASSERT_TRUE(app.start());
    EXPECT_EQ(app.settings(), Settings{});
    const QString tip = app.toolbar().findChild<QToolButton*>("drawButton")->toolTip();
    EXPECT_EQ(tip, "描画オン・オフ\nHot key Ctrl + Z unavailable: another program holds it");
    QTest::keyClick(app.toolbar().focusProxy(), Qt::Key_S);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].toStdString(),
              "Cannot save settings to " + d.path("gone/settings.ini") + ": No such file or directory\n\nThe settings were not saved.");
    app.toolbar().findChild<QToolButton*>("drawButton")->click();
    EXPECT_TRUE(app.session().active());
}
