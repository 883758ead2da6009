#include "app/App.h"

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
