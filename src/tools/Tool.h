#pragma once
#include "geometry/Twips.h"
#include "render/PenStyle.h"

class Surface;

// A drawing tool: what one press, drag and release of the pointer draw on the surface. Points
// are twips. A tool lives for one gesture and keeps the pen it was made with for all of it.
class Tool {
public:
    Tool(Surface& surface, const PenStyle& pen, int lineWidth) : surface_(surface), pen_(pen), lineWidth_(lineWidth) {}
    virtual ~Tool() = default;
    Tool(const Tool&) = delete;
    Tool& operator=(const Tool&) = delete;

    virtual void press(geometry::TwipPoint at) = 0;
    virtual void move(geometry::TwipPoint to) = 0;
    virtual void release(geometry::TwipPoint at) = 0;
    // A move whose drawing may wait for show(): moves that come faster than the screen refreshes
    // then cost one drawing a refresh. A tool whose every move leaves ink (free-hand) draws it at
    // once. True when something waits to be shown.
    virtual bool moveLater(geometry::TwipPoint to) {
        move(to);
        return false;
    }
    virtual void show() {}
    // Whether what the tool draws for a drag to `to` depends on the moves on the way there, or on
    // `to` alone: a drag shown once a refresh then needs only the pointer's latest place, not the
    // display's record of every move.
    virtual bool countsMovesTo(geometry::TwipPoint /*to*/) const { return true; }

protected:
    Surface& surface_;
    const PenStyle pen_;
    const int lineWidth_;  // the setting, 1..5 in the panel; the pen is twice as many pixels
};

// A tool that shows an inverted rubber band while the button is held. Showing a move erases the
// band by drawing it again as it is, then draws the next one; the release erases the last band
// and draws the shape in the pen, or, when the pointer is back on the press point, takes the
// canvas back to the picture committed at the press. Moves not shown change nothing but the band.
class RubberBandTool : public Tool {
public:
    using Tool::Tool;
    void press(geometry::TwipPoint at) override;
    void move(geometry::TwipPoint to) override;
    void release(geometry::TwipPoint at) override;
    bool moveLater(geometry::TwipPoint to) override;
    void show() override;
    // A band follows the latest place.
    bool countsMovesTo(geometry::TwipPoint) const override { return false; }

protected:
    virtual void started() {}
    // Every move passes here in order, shown or not; takeAim() makes the latest the band to draw.
    virtual void aim(geometry::TwipPoint to) { aim_ = to; }
    virtual void takeAim() { band_ = aim_; }
    // Draws the shape as the band now stands, with `pen`.
    virtual void drawBand(const PenStyle& pen) = 0;
    // The final shape, after the band is erased.
    virtual void finish(geometry::TwipPoint release) = 0;
    void toggleBand() { drawBand(pen_.inverted()); }

    geometry::TwipPoint start_;
    geometry::TwipPoint band_;  // the point the band was drawn to

private:
    geometry::TwipPoint aim_;
    bool waiting_ = false;  // a move not shown yet
};
