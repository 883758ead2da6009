#include "settings/Settings.h"

#include "app/App.h"
#include "settings/SettingsFile.h"
#include "toolbar/frmToolBar.h"

#include <QString>

#include <cmath>
#include <cstdio>

void LoadSettings(App& app) {
    settings::LoadResult r = settings::load(app.settingsPath);
    if (!r.fromFile && !r.defaultsWritten)
        std::fprintf(stderr, "slateboard: %s; running with the default settings\n", r.error.c_str());
    Module1& m = app.m;
    const settings::Values& v = r.values;
    m.lineColor = v.lineColor;
    m.lineWidth = v.lineWidth;
    m.fillColor = v.fillColor;
    m.startPattern = static_cast<uint8_t>(v.pattern);
    m.drawingOff = v.drawingOff;
    app.toolBar().setTop(v.top);
    app.toolBar().setLeft(v.left);
    m.autoHide = v.autoHide;
    m.hotKeyChoice = v.hotKeyChoice;
}

bool SaveSettings(App& app) {
    const Module1& m = app.m;
    settings::Values v;
    v.lineColor = m.lineColor;
    v.lineWidth = m.lineWidth;
    v.fillColor = m.fillColor;
    v.pattern = m.drawPattern;
    v.drawingOff = m.drawingOff;
    v.top = static_cast<float>(app.toolBar().top());
    v.left = static_cast<float>(app.toolBar().left());
    v.autoHide = m.autoHide;
    v.hotKeyChoice = m.hotKeyChoice;
    std::string error = settings::save(app.settingsPath, v);
    if (error.empty()) return true;
    std::fprintf(stderr, "slateboard: %s\n", error.c_str());
    app.warn(QString::fromStdString(error) + QStringLiteral("\n\nThe settings were not saved."));
    return false;
}
