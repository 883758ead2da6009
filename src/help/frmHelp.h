#pragma once
#include <QWidget>

class App;
class KeyBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The help panel: a modeless key reference. It keeps myWindow at 0 whenever it is hidden or
// closed; the toolbar sets it to 1 when it opens the panel.
class frmHelp final : public QWidget {
    Q_OBJECT
public:
    explicit frmHelp(App& app);
    ~frmHelp() override;

    void Form_Load();
    void Form_Unload();
    void txtText_KeyDown(int keyCode, int shift);
    void Command1_Click();

    // Shows the panel modelessly and makes it the active window.
    void Show();

    QLineEdit* txtText() const;
    QPushButton* Command1() const { return command1_; }
    // Label1 .. Label17; nullptr for any other number.
    QLabel* label(int number) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    App& app_;
    KeyBox* txtText_;
    QPushButton* command1_;
    QLabel* labels_[17] = {};
};
