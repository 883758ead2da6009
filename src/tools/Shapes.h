#pragma once
#include "geometry/Ellipse.h"
#include "tools/Tool.h"

// A straight line from the press point to the release point.
class LineTool final : public RubberBandTool {
    using RubberBandTool::RubberBandTool;
    void drawBand(const PenStyle& pen) override;
    void finish(geometry::TwipPoint release) override;
};

// An arrow from the press point to the last point the band showed, head at that end.
class ArrowTool final : public RubberBandTool {
    using RubberBandTool::RubberBandTool;
    void drawBand(const PenStyle& pen) override;
    void finish(geometry::TwipPoint release) override;
};

// A rectangle with the press point and the release point as opposite corners.
class BoxTool final : public RubberBandTool {
    using RubberBandTool::RubberBandTool;
    void drawBand(const PenStyle& pen) override;
    void finish(geometry::TwipPoint release) override;
};

// The ellipse that fills the dragged box, as the band last showed it.
class EllipseTool final : public RubberBandTool {
    using RubberBandTool::RubberBandTool;
    void started() override;
    void aim(geometry::TwipPoint to) override;
    void takeAim() override { drawn_ = aimed_; }
    // In the press column the aspect is the last one aimed at off it.
    bool countsMovesTo(geometry::TwipPoint to) const override { return geometry::keepsAspect(start_, to); }
    void drawBand(const PenStyle& pen) override;
    void finish(geometry::TwipPoint release) override;
    geometry::EllipseFit drawn_, aimed_;  // a move straight up or down keeps the last aspect aimed at
};

// The loupe: a drag more than 2 % of the screen's width right and down stretches the dragged box
// of the committed picture over the whole canvas; anything else shows the picture at twice the
// size around the press point.
class LoupeTool final : public RubberBandTool {
    using RubberBandTool::RubberBandTool;
    void release(geometry::TwipPoint at) override;
    void drawBand(const PenStyle& pen) override;
    void finish(geometry::TwipPoint) override {}
};

// A free-hand stroke: a segment for every move, and one to the release point.
class FreehandTool final : public Tool {
public:
    using Tool::Tool;
    void press(geometry::TwipPoint at) override { last_ = at; }
    void move(geometry::TwipPoint to) override;
    void release(geometry::TwipPoint at) override { move(at); }

private:
    geometry::TwipPoint last_;
};
