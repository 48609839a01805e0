#pragma once
// The image a figure is drawn on, with its drawing context handed out on demand and
// counted: every request adds one, every release takes one away, and the context is
// given back when the count reaches 0. A canvas goes through: empty, created, drawn,
// saved, destroyed; creating over an existing image destroys it first.
#include <string>

#include "platform/canvas.h"
#include "platform/run_log.h"
#include "products/graph_spec.h"
#include "products/plot_status.h"

namespace velarix {

struct PlotCanvas {
    Canvas image;
    int contextCount = 0;
};

enum class CanvasStatus {
    kCreated = 0,
    kInvalidGraph = -1,  // validation failed; the canvas is left as it was
    kNoImage = -3,       // the image could not be made
};

// Validates the description, makes the image of its pixel size, fills it with the
// background colour and sets the mapping to logical units; marks the description as
// having a canvas.
[[nodiscard]] CanvasStatus CreateCanvas(GraphSpec& spec, PlotCanvas& canvas);

// One more user of the drawing context; false when there is no image.
[[nodiscard]] bool AcquireContext(PlotCanvas& canvas);
// One user fewer; the context is given back at 0.
void ReleaseContext(PlotCanvas& canvas);
// Gives back the context and the image.
void DestroyCanvas(PlotCanvas& canvas);

enum class PngStatus {
    kSaved = 0,
    kNoImage = -1,
    kNotPng = -2,       // the path does not end in ".png"
    kWriteFailed = -3,  // a file under the path is left as it was
};

// Saves the whole image as PNG (chosen by the ".png" ending of the path), replacing a
// regular file of that name; written under a temporary name and moved into place.
[[nodiscard]] PngStatus SavePng(PlotCanvas& canvas, const std::string& path);

// A day's figure saved: logs "Plot saved... " or "Error! Can't save file... " with the path.
[[nodiscard]] PlotStatus SaveFigure(PlotCanvas& canvas, const std::string& path, RunLog& log);

}  // namespace velarix
