#include "graphs/Palette.h"

namespace {

// Dark and saturated enough for a line of two pixels on white; the first three are the level
// colours the analysis page has always started with.
const QColor palette[curveColours]
    = {QColor(0, 140, 0), QColor(170, 0, 170), QColor(230, 120, 0), QColor(0, 160, 170),
        QColor(140, 80, 20), QColor(120, 120, 0), QColor(240, 70, 160), QColor(0, 60, 110),
        QColor(120, 200, 0), QColor(220, 180, 0), QColor(120, 0, 40), QColor(110, 80, 200),
        QColor(80, 200, 230), QColor(0, 100, 60), QColor(250, 140, 120), QColor(170, 130, 210)};

} // namespace

QColor curveColour(int i)
{
    return palette[((i % curveColours) + curveColours) % curveColours];
}
