// The program over fake desktop capabilities: the start, every way in and out of drawing mode
// in its order on the desktop, the keys, the countdown, the panels and the saves.
#include "support/Rig.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QWindow>

#include <future>

static void doubleClick(Rig& r, Qt::MouseButton button) { QTest::mouseDClick(r.canvas(), button, {}, QPoint(200, 200)); }

TEST(Start, SettingsPlaceAndPattern) {
    // (A first start, with no file, is seen end to end.)
    Rig six(withLine(4, " 6 ")), none(withLine(4, " 9 ")), f1(withLine(9, " 7 "));
    EXPECT_EQ(six.toolbar().pattern(), Pattern::FilledRectangle);
    EXPECT_EQ(none.toolbar().pattern(), std::nullopt);
    none.key(Qt::Key_S);
    EXPECT_EQ(none.dir.read(), withLine(4, " 0 "));  // saved as no pattern
    EXPECT_EQ(f1.startCalls.find("set F1"), 0u);

    Rig on(withLine(5, "False", withLine(4, " 3 ")));  // drawing mode saved as on: the canvas is up from the start
    EXPECT_TRUE(on.drawing());
    EXPECT_EQ(on.fake.seq(), "");
    EXPECT_NE(on.startCalls.find("minimise- wait grab"), std::string::npos);
    EXPECT_EQ(on.toolbar().pattern(), Pattern::Circle);
}

TEST(Start, TheToolbarAsksBackItsSizeTwiceASizingWhenTheManagerGivesItAnother) {
    // As a manager does that sizes the client again once it has framed it anew: Qt takes the
    // server's size whatever the window's fixed size.
    Rig r;
    ToolbarWindow& t = r.toolbar();
    const QSize fixed = t.size();
    auto imposed = [&] {
        t.windowHandle()->resize(fixed + QSize(2, 2));
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return t.size();
    };
    EXPECT_EQ(imposed(), fixed) << "first";
    EXPECT_EQ(imposed(), fixed) << "second";
    EXPECT_EQ(imposed(), fixed + QSize(2, 2)) << "a third time: the manager's size";
    t.restoreStandardSize();
    QCoreApplication::processEvents();
    EXPECT_EQ(t.size(), fixed) << "sized anew";
    EXPECT_EQ(imposed(), fixed) << "and asked back again after that";
}

TEST(DrawingMode, EveryWayInAndOutInItsOrder) {
    struct Case { const char* what; int autoHide; bool minimised, drawingBefore; std::function<void(Rig&)> act;
                  std::string calls; bool drawingAfter; };
    auto hotKey = [](Rig& r) { r.fake.pressHotKey(); };
    auto button = [](Rig& r) { r.clickDrawButton(); };
    auto left = [](Rig& r) { doubleClick(r, Qt::LeftButton); };
    const Case cases[] = {
        {"button in", 0, false, false, button, "minimise- wait grab", true},
        {"button out, even with Auto-Hide", 1, false, true, button, "minimise+", false},
        {"hot key in", 0, false, false, hotKey, "wait grab minimise-", true},
        {"hot key out", 0, false, true, hotKey, "minimise+", false},
        {"hot key in, Auto-Hide", 1, false, false, hotKey, "minimise- wait grab", true},
        {"hot key out, Auto-Hide", 1, false, true, hotKey, "minimise+ minimize", false},
        {"hot key on the minimised toolbar", 0, true, false, hotKey, "restore minimise- wait grab", true},
        {"the same, Auto-Hide", 1, true, false, hotKey, "restore minimise- wait grab", true},
        // Minimised over a drawing: never a new canvas, which would lose the drawing.
        {"the same, drawing", 0, true, true, hotKey, "restore", true},
        {"the same, drawing, Auto-Hide", 1, true, true, hotKey, "minimise+ minimize", false},
        {"hot key, Auto-Hide 2", 2, false, false, hotKey, "", false},
        {"hot key, Auto-Hide 2, drawing", 2, false, true, hotKey, "", true},
        {"double-click", 0, false, true, left, "minimise+", false},
        {"double-click, Auto-Hide", 1, false, true, left, "minimise+ minimize", false},
        {"double-click, Auto-Hide 2", 2, false, true, left, "minimise+ minimize", false},
        {"right double-click", 0, false, true, [](Rig& r) { doubleClick(r, Qt::RightButton); }, "", true},
    };
    for (const Case& c : cases) {
        Rig r(withLine(8, " " + std::to_string(c.autoHide) + " "));
        if (c.drawingBefore) r.clickDrawButton();
        r.fake.minimized = c.minimised;
        r.settle();
        c.act(r);
        EXPECT_EQ(r.modeCalls(), c.calls) << c.what;
        // Not raised once minimised: KWin would show it again.
        EXPECT_EQ(r.fake.seq({"minimize", "onTop"}).find("minimize onTop"), std::string::npos) << c.what;
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
    EXPECT_TRUE(canvas->windowFlags() & Qt::WindowDoesNotAcceptFocus);  // the keys stay with the toolbar
    EXPECT_EQ(canvas->surface().image().pixel(100, 50), qRgb(100, 50, 0x80));  // the screen as it was read
    EXPECT_EQ(r.toolbar().top(), 1200);
    EXPECT_EQ(r.toolbar().left(), 4500);
    // A take-back before the first drawing keeps the copy.
    QTest::mouseClick(r.canvas(), Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(canvas->surface().image().pixel(100, 50), qRgb(100, 50, 0x80));
    // Closing the toolbar takes the canvas, the panels and the hot key with it.
    r.key(Qt::Key_H);
    r.toolbar().close();
    EXPECT_FALSE(r.drawing());
    EXPECT_EQ(r.window("Help"), nullptr);
    EXPECT_EQ(r.fake.seq({"clear"}), "clear");
}

static void sendMouse(Rig& r, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
                      unsigned long time = 0) {
    QMouseEvent e(type, at, at, r.canvas()->mapToGlobal(at), button, held, {});
    e.setTimestamp(time);
    QApplication::sendEvent(r.canvas(), &e);
}

TEST(DrawingMode, APressOnTheCanvasGivesTheToolbarTheKeysAsOfThePress) {
    // Not as of now: a manager's activation of another window after the press, carried out
    // with that press's time, must still win.
    const Qt::MouseButton L = Qt::LeftButton, R = Qt::RightButton, none = Qt::NoButton;
    Rig r;
    r.clickDrawButton();
    ASSERT_FALSE(r.fake.keysGiven.empty());
    EXPECT_EQ(r.fake.keysGiven.back(), std::make_pair(QString("SB"), 0ul));  // entered by the button: now
    struct Case { Qt::MouseButton button; Qt::MouseButtons held; unsigned long time; };
    for (const Case c : {Case{L, L, 4242}, Case{R, R, 5000}}) {
        r.fake.keysGiven.clear();
        sendMouse(r, QEvent::MouseButtonPress, {300, 300}, c.button, c.held, c.time);
        sendMouse(r, QEvent::MouseButtonRelease, {300, 300}, c.button, none, c.time + 1);
        ASSERT_EQ(r.fake.keysGiven.size(), 1u) << c.time;
        EXPECT_EQ(r.fake.keysGiven[0], std::make_pair(QString("SB"), c.time));
    }
}

TEST(DrawingMode, AGestureWhoseReleaseWasLostEndsWhereThePointerWasLastSeen) {
    // A modal box opened during a drag takes the release; the red line drawn so far stays, and a
    // press starts a line of its own. (A second button's press and release: unit test.)
    const Qt::MouseButton L = Qt::LeftButton, none = Qt::NoButton;
    for (bool byPress : {true, false}) {
        Rig r;
        r.key(Qt::Key_L);
        r.clickDrawButton();
        sendMouse(r, QEvent::MouseButtonPress, {100, 100}, L, L);
        sendMouse(r, QEvent::MouseMove, {200, 100}, L, L);
        if (byPress) sendMouse(r, QEvent::MouseButtonPress, {100, 300}, L, L);
        sendMouse(r, QEvent::MouseMove, {200, 300}, byPress ? L : none, byPress ? L : none);
        sendMouse(r, QEvent::MouseButtonRelease, {200, 300}, L, none);
        const QImage& shown = r.canvas()->surface().image();
        EXPECT_EQ(shown.pixel(150, 100), qRgb(255, 0, 0)) << byPress;
        EXPECT_EQ(shown.pixel(150, 300), byPress ? qRgb(255, 0, 0) : qRgb(150, 300 & 255, 0x80)) << byPress;
        EXPECT_EQ(shown.pixel(250, 100), qRgb(250, 100, 0x80)) << byPress;
    }
}

TEST(DrawingMode, ABandCatchesUpWithABurstOfMovesAndFreeHandInksEachAtOnce) {
    const Qt::MouseButton L = Qt::LeftButton;
    const auto desktop = [](int x, int y) { return qRgb(x, y & 255, 0x80); };
    const auto inverted = [](int x, int y) { return qRgb(255 - x, 255 - (y & 255), 0x7f); };
    Rig r;
    r.key(Qt::Key_L);
    r.clickDrawButton();
    const QImage& shown = r.canvas()->surface().image();
    sendMouse(r, QEvent::MouseButtonPress, {100, 100}, L, L);
    for (int x = 101; x <= 300; ++x) sendMouse(r, QEvent::MouseMove, {x, 200}, L, L);
    // The band to the last point, (200, 150) halfway along it, comes by the next refresh.
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown.pixel(200, 150) == inverted(200, 150); }, 1000));
    sendMouse(r, QEvent::MouseButtonRelease, {300, 200}, L, Qt::NoButton);
    EXPECT_EQ(shown.pixel(200, 150), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(150, 200), desktop(150, 200));  // no band left over
    r.key(Qt::Key_F);
    sendMouse(r, QEvent::MouseButtonPress, {100, 250}, L, L);
    for (int x = 105; x <= 200; x += 5) {
        sendMouse(r, QEvent::MouseMove, {x, 250}, L, L);
        EXPECT_EQ(shown.pixel(x - 2, 250), qRgb(255, 0, 0)) << x;
    }
    sendMouse(r, QEvent::MouseButtonRelease, {200, 250}, L, Qt::NoButton);
}

TEST(Keys, SavesAndTheOpenPanel) {
    Rig r;
    r.key(Qt::Key_R);
    r.clickDrawButton();
    r.key(Qt::Key_S);  // in drawing mode: the next start begins in it
    EXPECT_EQ(r.dir.read(), withLine(5, "False", withLine(4, " 5 ")));
    EXPECT_EQ(r.toolbar().focusProxy()->property("text").toString(), "");  // no text collects
    // One panel at a time: H twice and Down open the help panel once; H in it hides it.
    for (Qt::Key k : {Qt::Key_Q, Qt::Key_H, Qt::Key_H, Qt::Key_Down, Qt::Key_Q}) r.key(k);
    QWidget* help = r.window("Help  (Slateboard 1.2.8)");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(r.window("設定"), nullptr);
    r.keyIn(help, Qt::Key_H);
    EXPECT_FALSE(help->isVisible());
    for (Qt::Key k : {Qt::Key_Q, Qt::Key_Up, Qt::Key_Q}) r.key(k);
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

TEST(Keys, OnlyAnActivationFromTheProgramsOwnWindowsShowsRdyDuringTheCountdown) {
    Rig r;
    r.key(Qt::Key_Space);
    r.clickDrawButton();  // the countdown runs on, and the canvas can be pressed
    struct Case { const char* what; std::function<void()> before; bool reset; } cases[] = {
        {"back from another application", [] {}, false},
        {"back from it through the canvas",
         [&r] { sendMouse(r, QEvent::MouseButtonPress, {50, 50}, Qt::RightButton, Qt::RightButton); }, true},
        {"back from the help panel", [&r] { r.key(Qt::Key_H), QApplication::setActiveWindow(r.window("Help")); }, true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(QTest::qWaitFor([&r] { return r.toolbar().countText() != "Rdy"; }, 3000)) << c.what;
        const QString count = r.toolbar().countText();
        QApplication::setActiveWindow(nullptr);  // another application has the focus
        c.before();
        r.settle();
        QApplication::setActiveWindow(&r.toolbar());
        EXPECT_EQ(r.toolbar().countText(), c.reset ? "Rdy" : count) << c.what;
    }
}

TEST(SettingsPanel, RefusedWidthsAndColoursTheListsLack) {
    // (Choosing, hiding, saving and reading back are seen end to end.) A colour the lists lack
    // shows as blue but stays in force unless the user picks one; cancelling changes nothing.
    Rig r(withLine(1, " 3 "));
    for (bool escape : {false, true}) {
        r.key(Qt::Key_Up);
        QWidget* panel = r.window("設定  (Slateboard 1.2.8)");
        ASSERT_NE(panel, nullptr);
        const auto combos = panel->findChildren<QComboBox*>();
        EXPECT_EQ(combos[0]->currentIndex(), 1);
        combos[2]->setCurrentIndex(0);
        emit combos[2]->activated(0);  // black fills
        QCoreApplication::processEvents();
        if (escape) r.keyIn(panel, Qt::Key_Escape);
        else panel->findChildren<QPushButton*>()[0]->click();  // 中止
        EXPECT_EQ(r.window("設定"), nullptr);
        EXPECT_EQ(r.app->settings(), Settings{.lineColour = 3});
    }
    r.key(Qt::Key_Up);
    QWidget* panel = r.window("設定");
    const auto combos = panel->findChildren<QComboBox*>();
    const auto buttons = panel->findChildren<QPushButton*>();  // 中止, 設定, 設定・保存
    combos[1]->setEditText("9");  // refused: the panel stays, showing the width in force
    buttons[2]->click();
    EXPECT_EQ(r.window("設定"), panel);
    EXPECT_EQ(combos[1]->currentText(), "2");
    EXPECT_EQ(r.dir.read(), withLine(1, " 3 "));
    combos[1]->setEditText("４");
    buttons[1]->click();  // 設定: applied, not saved
    EXPECT_EQ(r.window("設定"), nullptr);
    EXPECT_EQ(r.app->settings(), (Settings{.lineColour = 3, .lineWidth = 4}));
    EXPECT_EQ(r.dir.read(), withLine(1, " 3 "));
}

TEST(Faults, FailedSaveAndTakenHotKeyAreToldAndTheProgramRunsOn) {
    Rig r(std::nullopt, [](Rig& r) { r.fake.keyTaken = true; }, "gone/settings.ini");
    EXPECT_EQ(r.toolbar().findChild<QToolButton*>("drawButton")->toolTip(),
              "描画オン・オフ\nHot key Ctrl + Z unavailable: another program holds it");
    r.key(Qt::Key_S);
    EXPECT_EQ(r.messages, std::vector<QString>{"warn: Cannot save settings to " + QString::fromStdString(r.dir.path("gone")) +
                                               "/settings.ini: No such file or directory\n\nThe settings were not saved."});
}

TEST(Faults, AScreenThatCannotBeReadLeavesTheProgramInNormalModeAndSaysWhy) {
    Rig r;
    r.fake.grabFailure = "no portal here";
    for (auto enter : {+[](Rig& r) { r.fake.pressHotKey(); }, +[](Rig& r) { r.clickDrawButton(); }}) {
        enter(r);
        EXPECT_FALSE(r.drawing());
        EXPECT_TRUE(r.toolbar().isVisible());
        EXPECT_FALSE(r.toolbar().findChild<QToolButton*>("drawButton")->isChecked());
        EXPECT_EQ(r.toolbar().notice(), "The screen could not be read: no portal here");
        EXPECT_EQ(r.toolbar().findChild<QToolButton*>("drawButton")->toolTip(),
                  "描画オン・オフ\nThe screen could not be read: no portal here");
        EXPECT_EQ(r.messages, std::vector<QString>{"warn: The screen could not be read: no portal here"});
        r.messages.clear();
    }
    r.fake.grabFailure.clear();
    r.fake.pressHotKey();
    EXPECT_TRUE(r.drawing());
}

TEST(HotKey, TheDrawButtonSaysHowTheHotKeyWorksInThisSession) {
    Rig r(kDefaultBytes, [](Rig& r) { r.fake.shortcutWay = "bind it in the desktop"; });
    EXPECT_EQ(r.toolbar().findChild<QToolButton*>("drawButton")->toolTip(), "描画オン・オフ\nbind it in the desktop");
}

// slateboard --toggle: a request on the instance's socket, from another process (here a thread,
// since the answer comes from this event loop).
static platform::SingleInstance::Delivery sendWhileRunning(const std::string& name, const char* request) {
    auto sent = std::async(std::launch::async, [&] { return platform::SingleInstance::send(name, request); });
    while (sent.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    return sent.get();
}

TEST(HotKey, AToggleRequestActsAsTheHotKey) {
    using D = platform::SingleInstance::Delivery;
    struct Case { const char* what; const char* request; int autoHide; bool drawingBefore; std::string calls; bool drawingAfter; };
    const Case cases[] = {
        {"in", "toggle", 0, false, "wait grab minimise-", true},
        {"out", "toggle", 0, true, "minimise+", false},
        {"out, Auto-Hide", "toggle", 1, true, "minimise+ minimize", false},
        {"another request", "quit", 0, false, "", false},
    };
    for (const Case& c : cases) {
        Rig r(withLine(8, " " + std::to_string(c.autoHide) + " "));
        if (c.drawingBefore) r.clickDrawButton();
        r.settle();
        EXPECT_EQ(sendWhileRunning(r.fake.instanceName, c.request), D::Delivered) << c.what;
        EXPECT_EQ(r.modeCalls(), c.calls) << c.what;
        // Not raised once minimised: KWin would show it again.
        EXPECT_EQ(r.fake.seq({"minimize", "onTop"}).find("minimize onTop"), std::string::npos) << c.what;
        EXPECT_EQ(r.drawing(), c.drawingAfter) << c.what;
    }
    EXPECT_EQ(platform::SingleInstance::send("slateboard-test-nobody-" + std::to_string(QCoreApplication::applicationPid()),
                                             "toggle"),
              D::NoInstance);
}

TEST(HotKey, APressWhileTheScreenIsReadIsNotASecondEntry) {
    // The portal answers through the event loop, where the hot key and --toggle come in too.
    Rig r;
    int presses = 0;
    r.fake.onGrab = [&] { if (presses++ == 0) r.fake.pressHotKey(); };
    r.fake.pressHotKey();
    r.fake.onGrab = nullptr;
    EXPECT_EQ(r.modeCalls(), "wait grab minimise-");
    EXPECT_TRUE(r.drawing());
}

TEST(Keys, KeysTypedOnTheCanvasGoToTheOpenPanelOrTheToolbar) {
    // Where the desktop gives the keys to the window last clicked (Wayland), that is the canvas.
    Rig r;
    r.clickDrawButton();
    ASSERT_TRUE(r.drawing());
    struct Step { Qt::Key key; std::optional<Pattern> pattern; bool helpShown; } steps[] = {
        {Qt::Key_L, Pattern::Line, false},  {Qt::Key_H, Pattern::Line, true},     // H at the toolbar opens help
        {Qt::Key_A, Pattern::Line, true},   {Qt::Key_H, Pattern::Line, false},    // at the panel: A nothing, H hides it
        {Qt::Key_F7, Pattern::FilledRectangle, false},
    };
    for (const Step& s : steps) {
        QTest::keyClick(r.canvas(), s.key);
        EXPECT_EQ(r.toolbar().pattern(), s.pattern) << s.key;
        EXPECT_EQ(r.window("Help") != nullptr, s.helpShown) << s.key;
    }
}
