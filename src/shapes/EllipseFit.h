#pragma once

namespace shapes {

// The ellipse the circle gesture previews for a drag from (startX, startY) to (x, y), twips:
// centred in the drag box, radius half its larger side, aspect height / width. With the
// `Circle` ellipse rule it fills the drag box in every drag direction.
struct EllipseFit {
    float centreX = 0;
    float centreY = 0;
    float radius = 0;
    float aspect = 0;
};

// `currentAspect` is kept while the pointer is less than one twip from the press column,
// where height / width has no useful value (1 from the press, or the last real aspect).
EllipseFit fitEllipse(float startX, float startY, float x, float y, float currentAspect);

}  // namespace shapes
