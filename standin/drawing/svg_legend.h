// What the plan picture adds to the drawing so that people can read it: how
// each layer is drawn (its colour, and a dash for a layer that shares its
// colour with another), a legend of the layers, and elevation labels on the
// index contours. None of it changes the drawing.
#pragma once

#include "drawing/drawing.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace standin::picture {

struct LayerStyle {
    std::wstring name;
    int colour = 7;                      // the layer's colour number
    std::string dash;                    // stroke-dasharray in picture units; empty: solid
    std::map<std::wstring, long> counts; // entities drawn, by type
    bool faces = false;                  // holds only 3-D faces (drawn faint)
};

// The layers that hold entities the picture draws, in the order of the
// layer table (layers without a record last, in drawing order). Of layers
// of the same colour and kind (faces or lines) the one with the most
// entities is drawn solid, the others with dashes of their own.
std::vector<LayerStyle> layerStyles(const DrawingDatabase& db);

// The layer whose polylines are taken as index contours: of the layers that
// hold only flat polylines at two or more elevations, the one whose
// elevations lie farthest apart (index contours fall on every few levels of
// the regular ones); the first of them on a tie. Empty when there is none.
std::wstring indexContourLayer(const DrawingDatabase& db);

// Maps drawing coordinates to picture coordinates.
using ToPicture = std::function<void(double x, double y, double& px, double& py)>;

// SVG text elements: the elevation of each index contour written along it,
// upright, where it runs straight enough, at most one label per 400 picture
// units of its length and none on top of another.
std::string contourLabels(const DrawingDatabase& db, const std::wstring& layer,
                          const ToPicture& toPicture);

// An SVG group: the legend, a box at (x, y) listing each layer with a
// sample of its line, its name, its colour number and what it holds.
std::string legend(const std::vector<LayerStyle>& styles, double x, double y);
// The legend's size in picture units.
double legendWidth();
double legendHeight(std::size_t layers);

} // namespace standin::picture
