#include "products/plot_canvas.h"

#include "platform/text.h"

namespace velarix {

CanvasStatus CreateCanvas(GraphSpec& spec, PlotCanvas& canvas) {
    if (ValidateGraph(spec) != GraphStatus::kValid) return CanvasStatus::kInvalidGraph;
    DestroyCanvas(canvas);
    spec.hasCanvas = 0;
    if (!canvas.image.create(spec.pixelWidth, spec.pixelHeight, spec.scale)) return CanvasStatus::kNoImage;
    if (!AcquireContext(canvas)) {
        DestroyCanvas(canvas);
        return CanvasStatus::kNoImage;
    }
    canvas.image.fill(spec.backgroundColour);
    ReleaseContext(canvas);
    spec.hasCanvas = 1;
    return CanvasStatus::kCreated;
}

bool AcquireContext(PlotCanvas& canvas) {
    if (!canvas.image.openContext()) return false;
    ++canvas.contextCount;
    return true;
}

void ReleaseContext(PlotCanvas& canvas) {
    if (canvas.contextCount == 0) return;
    if (--canvas.contextCount == 0) canvas.image.closeContext();
}

void DestroyCanvas(PlotCanvas& canvas) {
    canvas.image.destroy();
    canvas.contextCount = 0;
}

PngStatus SavePng(PlotCanvas& canvas, const std::string& path) {
    if (!canvas.image.hasImage()) return PngStatus::kNoImage;
    if (!endsWithNoCase(path, ".png")) return PngStatus::kNotPng;
    const bool saved = canvas.image.savePng(path, ReplacePolicy::kReplaceRegularFile) == OutputStatus::kOk;
    return saved ? PngStatus::kSaved : PngStatus::kWriteFailed;
}

PlotStatus SaveFigure(PlotCanvas& canvas, const std::string& path, RunLog& log) {
    if (SavePng(canvas, path) != PngStatus::kSaved) {
        log.append("\r\nError! Can't save file... " + path);
        return PlotStatus::kSaveFailed;
    }
    log.append("\r\nPlot saved... " + path);
    return PlotStatus::kSaved;
}

}  // namespace velarix
