#pragma once
#include "model/Settings.h"
#include "ui/PanelWindow.h"

#include <cstdint>
#include <optional>

class QCheckBox;
class QComboBox;
class QRadioButton;

// Line colour, line width, fill colour, hot key and Auto-Hide. The choices reach the settings
// only through applyTo(), when one of the two confirming buttons is pressed; Up or Down hides
// the panel with the choices kept.
class SettingsPanel final : public PanelWindow {
    Q_OBJECT
public:
    SettingsPanel(platform::WindowHints& hints, platform::Keyboard& keyboard, QScreen* screen, const Settings& current);

    // The settings with the panel's choices. Nothing when the width typed is refused: the panel
    // then shows the width in force again, ready to be typed over.
    std::optional<Settings> applyTo(Settings settings);

signals:
    void applyRequested(bool save);

protected:
    void keyPressed(QKeyCombination key) override;

private:
    void showWidth(uint8_t width);

    QComboBox* lineColours_;
    QComboBox* widths_;
    QComboBox* fillColours_;
    QRadioButton* ctrlZ_;
    QRadioButton* f1_;
    QCheckBox* autoHide_;
    // The colours picked, in force only once applied. A colour the lists do not offer stays
    // until the user picks one.
    uint8_t lineColour_;
    uint8_t fillColour_;
};
