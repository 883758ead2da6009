#pragma once
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include "core/KeyBox.h"
#include "platform/Desktop.h"

class App;
class QLabel;

class QToolButton;

// The toolbar: the program's start-up window, alive for the whole run.
class frmToolBar final : public QWidget {
    Q_OBJECT
public:
    explicit frmToolBar(App& app);
    ~frmToolBar() override;

    // The start sequence; false when another instance runs and this one must end.
    bool Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Unload();
    void Toolbar1_ButtonClick(const QString& key);
    void Text1_KeyDown(int keyCode, int shift);
    void tmrDelay_Timer();
    void tmrDelay3_Timer();

    // The pattern procedures and the stepping between them.
    void SelectArrow();
    void SelectLine();
    void SelectCircle();
    void SelectFilledCircle();
    void SelectRectangle();
    void SelectFilledRectangle();
    void SelectLoupe();
    void SelectFreeDraw();
    void NextPattern();
    void PreviousPattern();

    // The window's frame position and outer size in twips.
    double top() const;
    double left() const;
    void setTop(double twips);
    void setLeft(double twips);
    void setOuterSize(int widthTwips, int heightTwips);
    // The frame's top-left in logical pixels, rounded.
    QPoint framePosition() const;
    void setFramePosition(QPoint p);

    // The pressed state of btnDraw, 1 or 0; setting it only changes the look.
    int btnDrawValue() const;
    void setBtnDrawValue(int value);

    int buttonImage() const { return image_; }
    QString countText() const;
    QLineEdit* text1() const { return text1_; }
    QToolButton* btnDraw() const { return btnDraw_; }
    QTimer& tmrDelay() { return tmrDelay_; }
    QTimer& tmrDelay3() { return tmrDelay3_; }

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void selectPattern(int number);
    void setButtonImage(int image);
    void makeReachable();
    void alignWithServer();
    platform::FrameExtents frame();
    QPointF frameOrigin() const;
    void placeFrame(QPointF p);

    App& app_;
    QWidget* toolbar1_;
    QToolButton* btnSelect_;
    QToolButton* btnDraw_;
    QLabel* lblCount_;
    KeyBox* text1_;
    QTimer tmrDelay_;
    QTimer tmrDelay3_;
    QTimer tmrPlace_;
    int image_ = 0;
    bool unloaded_ = false;
    platform::FrameExtents frame_;
    bool frameKnown_ = false;
};
