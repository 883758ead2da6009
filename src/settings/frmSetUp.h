#pragma once
#include <QWidget>

#include <cstdint>

class App;
class KeyBox;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The settings panel: line colour, line width, fill colour, hot key and Auto-Hide. Choices
// reach the shared state only through the apply step of its two confirming buttons; the
// colours picked until then wait in the two pending fields.
class frmSetUp final : public QWidget {
    Q_OBJECT
public:
    explicit frmSetUp(App& app);
    ~frmSetUp() override;

    void Form_Load();
    void Form_Unload();
    void ImageCombo1_Click();
    void ImageCombo2_Click();
    void cmdCancel_Click();
    void cmdSetUp_Click();
    void cmdSetUpSave_Click();
    void txtText1_KeyDown(int keyCode, int shift);

    // Writes the panel's choices into the shared state. False when the width typed into
    // cboSize is refused: then nothing is applied, and cboSize shows the width in force again.
    bool ApplySettings();

    // Shows the panel modelessly and makes it the active window.
    void Show();

    uint8_t pendingLineColor() const { return pendingLineColor_; }
    uint8_t pendingFillColor() const { return pendingFillColor_; }

    QComboBox* ImageCombo1() const { return imageCombo1_; }
    QComboBox* ImageCombo2() const { return imageCombo2_; }
    QComboBox* cboSize() const { return cboSize_; }
    QGroupBox* fraHotKey() const { return fraHotKey_; }
    QRadioButton* Option1() const { return option1_; }
    QRadioButton* Option2() const { return option2_; }
    QCheckBox* chkAutoMin() const { return chkAutoMin_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    QPushButton* cmdSetUp() const { return cmdSetUp_; }
    QPushButton* cmdSetUpSave() const { return cmdSetUpSave_; }
    QLineEdit* txtText1() const;
    // Label1 .. Label4; nullptr for any other number.
    QLabel* label(int number) const;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void showWidth(uint8_t width);

    App& app_;
    KeyBox* txtText1_;
    QPushButton* cmdCancel_;
    QPushButton* cmdSetUp_;
    QPushButton* cmdSetUpSave_;
    QLabel* labels_[4] = {};
    QComboBox* imageCombo1_;
    QComboBox* cboSize_;
    QComboBox* imageCombo2_;
    QGroupBox* fraHotKey_;
    QRadioButton* option1_;
    QRadioButton* option2_;
    QCheckBox* chkAutoMin_;
    uint8_t pendingLineColor_ = 0;
    uint8_t pendingFillColor_ = 0;
};
