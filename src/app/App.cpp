#include "app/App.h"

#include "canvas/frmScreen.h"
#include "help/frmHelp.h"
#include "settings/frmSetUp.h"
#include "toolbar/frmToolBar.h"

#include <QMessageBox>

App::App(platform::Desktop& desktop, std::string settingsPath)
    : desktop(desktop), settingsPath(std::move(settingsPath)) {
    msgBox = [this](const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Slateboard"), text, QMessageBox::Ok,
                        toolBarLoaded() ? &toolBar() : nullptr);
        box.exec();
    };
    warn = [this](const QString& text) {
        QMessageBox::warning(toolBarLoaded() ? &toolBar() : nullptr, QStringLiteral("Slateboard"), text);
    };
}

App::~App() = default;

frmToolBar& App::toolBar() {
    if (!toolBar_) toolBar_ = std::make_unique<frmToolBar>(*this);
    return *toolBar_;
}

void App::unloadToolBar() { toolBar_.reset(); }

frmScreen& App::loadScreen() {
    unloadScreen();
    screen_ = std::make_unique<frmScreen>(*this);
    screen_->Form_Load();
    return *screen_;
}

void App::unloadScreen() {
    if (!screen_) return;
    // The canvas may be unloaded from inside one of its own event handlers (a double-click):
    // hide it now, free it once that handler has returned.
    frmScreen* s = screen_.release();
    s->hide();
    s->deleteLater();
}

namespace {
// Hides the panel now and frees it once the event being handled has returned.
template <class Form>
void unloadPanel(std::unique_ptr<Form>& panel) {
    if (!panel) return;
    Form* f = panel.release();
    f->Form_Unload();
    f->hide();
    f->deleteLater();
}
}  // namespace

frmHelp& App::help() {
    if (!help_) {
        help_ = std::make_unique<frmHelp>(*this);
        help_->Form_Load();
    }
    return *help_;
}

void App::unloadHelp() { unloadPanel(help_); }

frmSetUp& App::setUp() {
    if (!setUp_) {
        setUp_ = std::make_unique<frmSetUp>(*this);
        setUp_->Form_Load();
    }
    return *setUp_;
}

void App::unloadSetUp() { unloadPanel(setUp_); }
