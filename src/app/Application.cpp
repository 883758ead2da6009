#include "app/Application.h"

#include "model/SettingsStore.h"
#include "tools/Patterns.h"
#include "tools/Tool.h"
#include "ui/HelpPanel.h"
#include "ui/SettingsPanel.h"

#include <QCoreApplication>
#include <QTimer>
#include <QEvent>
#include <QMessageBox>

#include <cstdio>

Application::Application(platform::Platform& platform, std::string settingsPath, Messages messages)
    : platform_(platform),
      settingsPath_(std::move(settingsPath)),
      messages_(std::move(messages)),
      toolbar_(*platform.hints, *platform.keyboard),
      session_(toolbar_, *platform.hints, *platform.capture, [this](Surface& surface) -> std::unique_ptr<Tool> {
          // The pattern and the settings of the moment of the press.
          if (!toolbar_.pattern()) return nullptr;
          return makeTool(*toolbar_.pattern(), settings_, surface);
      }, platform.direct.get()) {
    if (!messages_.inform)
        messages_.inform = [this](const QString& text) {
            QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Slateboard"), text, QMessageBox::Ok, &toolbar_);
            box.exec();
            giveKeysBack();
        };
    if (!messages_.warn)
        messages_.warn = [this](const QString& text) {
            QMessageBox::warning(&toolbar_, QStringLiteral("Slateboard"), text);
            giveKeysBack();
        };
    connect(&toolbar_, &ToolbarWindow::keyPressed, this, &Application::onKey);
    connect(&toolbar_, &ToolbarWindow::drawButtonClicked, this, &Application::onDrawButton);
    connect(&toolbar_, &ToolbarWindow::countdownFinished, this, &Application::onCountdownFinished);
    connect(&toolbar_, &ToolbarWindow::closing, this, &Application::onToolbarClosing);
    connect(&session_, &DrawingSession::activeChanged, &toolbar_, &ToolbarWindow::setDrawingMode);
    connect(&session_, &DrawingSession::leaveRequested, this,
            [this] { session_.leave(DrawingSession::Leave::DoubleClick, settings_.autoHideOn()); });
    connect(platform.shortcut.get(), &platform::GlobalShortcut::activated, this, &Application::onHotKey);
    // slateboard --toggle: the hot key pressed through the desktop's own shortcut.
    connect(platform.instance.get(), &platform::SingleInstance::requested, this, [this](const QByteArray& request) {
        if (request == "toggle") onHotKey();
    });
    connect(&session_, &DrawingSession::captureFailed, this, [this](const QString& why) {
        const QString text = QStringLiteral("The screen could not be read: %1").arg(why);
        std::fprintf(stderr, "slateboard: %s\n", qPrintable(text));
        toolbar_.showNotice(text);
        messages_.warn(text);
    });
}

Application::~Application() {
    onToolbarClosing();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool Application::start() {
    if (!platform_.instance->claim()) return false;
    const settingsstore::LoadResult loaded = settingsstore::load(settingsPath_);
    if (!loaded.fromFile && !loaded.error.empty())
        std::fprintf(stderr, "slateboard: %s; running with the default settings\n", loaded.error.c_str());
    settings_ = loaded.settings;
    toolbar_.moveFrameTo(settings_.top, settings_.left);
    if (!settings_.drawingOff) session_.enter(DrawingSession::Enter::Start);
    if (const auto pattern = settings_.startPattern()) toolbar_.selectPattern(*pattern);

    // The hot key is chosen once, at the start.
    const QKeyCombination hotKey = settings_.hotKey();
    if (!platform_.shortcut->set(hotKey)) {
        std::fprintf(stderr,
                     "slateboard: the hot key %s is held by another program; switch drawing mode with the toolbar "
                     "button or Space instead\n",
                     hotKeyName(hotKey));
        toolbar_.noteHotKeyUnavailable(QString::fromLatin1(hotKeyName(hotKey)));
    } else {
        toolbar_.noteHotKeyWay(platform_.shortcut->way(hotKey));
    }
    toolbar_.takeStandardSize();
    toolbar_.finishStartUpSoon();
    toolbar_.show();
    return true;
}

void Application::onToolbarClosing() {
    if (ended_) return;
    ended_ = true;
    platform_.shortcut->clear();
    help_.reset();
    settingsPanel_.reset();
    session_.leave(DrawingSession::Leave::Exit);
    open_ = OpenPanel::None;
    // Closing the toolbar ends the program, whatever Qt makes of the windows left.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

void Application::onHotKey() {
    using E = DrawingSession::Enter;
    switch (settings_.hotKeyAction(platform_.hints->isMinimized(toolbar_), session_.active())) {
    case HotKeyAction::Nothing: break;
    case HotKeyAction::Toggle: session_.toggle(); break;
    case HotKeyAction::RestoreAtStandardSize: session_.enter(E::HotKeyRestoreFullSize); break;
    case HotKeyAction::RestoreOverDrawing:
        platform_.hints->restore(toolbar_);
        toolbar_.allowMinimise(false);
        toolbar_.restoreStandardSize();
        toolbar_.takeKeys();
        break;
    case HotKeyAction::Restore: session_.enter(E::HotKeyRestore); break;
    case HotKeyAction::Enter: session_.enter(E::HotKeyAutoHide); break;
    case HotKeyAction::LeaveAndMinimise: session_.leave(DrawingSession::Leave::HotKey, true); break;
    }
}

void Application::onDrawButton(bool pressed) {
    if (pressed)
        session_.enter(DrawingSession::Enter::Button);
    else
        session_.leave(DrawingSession::Leave::Button);
}

void Application::onCountdownFinished() {
    // Drawing mode may have begun another way meanwhile: that canvas and its drawing stay.
    if (!session_.active()) session_.enter(DrawingSession::Enter::Countdown);
}

void Application::onKey(QKeyCombination key) {
    const KeyContext context{toolbar_.pattern(), settings_.allowsCountdown() && !session_.active(),
                             open_ != OpenPanel::None};
    const KeyCommand c = commandFor(key, context);
    switch (c.command) {
    case Command::None: break;
    case Command::StartCountdown: toolbar_.startCountdown(); break;
    case Command::PreviousPattern: toolbar_.selectPattern(previousPattern(toolbar_.pattern())); break;
    case Command::NextPattern: toolbar_.selectPattern(nextPattern(toolbar_.pattern())); break;
    case Command::OpenSettings: showPanel(OpenPanel::Settings); break;
    case Command::OpenHelp: showPanel(OpenPanel::Help); break;
    case Command::SelectPattern: toolbar_.selectPattern(c.pattern); break;
    case Command::ShowOpenPanel: messages_.inform(QStringLiteral("myWindow=%1").arg(int(open_))); break;
    case Command::Save: save(); break;
    }
}

void Application::save() {
    Settings s = settings_;
    s.pattern = numberOf(toolbar_.pattern());
    s.drawingOff = !session_.active();
    s.top = float(toolbar_.top());
    s.left = float(toolbar_.left());
    const std::string error = settingsstore::save(settingsPath_, s);
    if (error.empty()) return;
    std::fprintf(stderr, "slateboard: %s\n", error.c_str());
    messages_.warn(QString::fromStdString(error) + QStringLiteral("\n\nThe settings were not saved."));
}

void Application::showPanel(OpenPanel which) {
    open_ = which;
    PanelWindow* panel = which == OpenPanel::Help ? static_cast<PanelWindow*>(help_.get()) : settingsPanel_.get();
    if (!panel) {
        // Made on first use, and again after being closed.
        if (which == OpenPanel::Help) {
            help_.reset(new HelpPanel(*platform_.hints, *platform_.keyboard, toolbar_.screen()));
            panel = help_.get();
        } else {
            settingsPanel_.reset(
                new SettingsPanel(*platform_.hints, *platform_.keyboard, toolbar_.screen(), settings_));
            connect(settingsPanel_.get(), &SettingsPanel::applyRequested, this, &Application::applySettings);
            panel = settingsPanel_.get();
        }
        connect(panel, &PanelWindow::hidden, this, [this] {
            open_ = OpenPanel::None;
            session_.passKeysTo(nullptr);
            giveKeysBack();
        });
        connect(panel, &PanelWindow::closed, this, [this, which] { closePanel(which); });
    }
    panel->open(toolbar_);
    session_.passKeysTo(panel->keyTarget());
}

void Application::giveKeysBack() {
    // The keys go back to the toolbar, as to a dialog's owner; some managers (xfwm4 over the
    // canvas, which never takes the focus) would leave them with no window, and without a
    // window manager the focus falls back to the root window.
    if (toolbar_.isVisible() && !platform_.hints->isMinimized(toolbar_)) toolbar_.takeKeys();
}

void Application::closePanel(OpenPanel which) {
    open_ = OpenPanel::None;
    session_.passKeysTo(nullptr);
    giveKeysBack();
    if (which == OpenPanel::Help)
        help_.reset();
    else
        settingsPanel_.reset();
}

void Application::applySettings(bool saveToo) {
    const std::optional<Settings> applied = settingsPanel_->applyTo(settings_);
    if (!applied) return;
    settings_ = *applied;
    if (saveToo) save();  // a failure is shown to the user there; the choices stay applied
    closePanel(OpenPanel::Settings);
}
