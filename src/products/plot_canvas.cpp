#include "products/plot_canvas.h"

#include "platform/text.h"

namespace velarix {

CanvasStatus CreateCanvas(GraphSpec& spec, PlotCanvas& canvas) {
    if (ValidateGraph(spec) != kGraphValid) return kCanvasInvalidGraph;
    DestroyCanvas(canvas);
    spec.hasCanvas = 0;
    if (!canvas.image.create(spec.pixelWidth, spec.pixelHeight, spec.scale)) return kCanvasNoImage;
    if (!AcquireContext(canvas)) {
        DestroyCanvas(canvas);
        return kCanvasNoImage;
    }
    canvas.image.fill(spec.backgroundColour);
    ReleaseContext(canvas);
    spec.hasCanvas = 1;
    return kCanvasCreated;
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
    if (!canvas.image.hasImage()) return kPngNoImage;
    if (!endsWithNoCase(path, ".png")) return kPngNotPng;
    return canvas.image.savePng(path, ReplacePolicy::kReplaceRegularFile) == OutputStatus::kOk ? kPngSaved
                                                                                               : kPngWriteFailed;
}

PlotStatus SaveFigure(PlotCanvas& canvas, const std::string& path, RunLog& log) {
    if (SavePng(canvas, path) != kPngSaved) {
        log.append("\r\nError! Can't save file... " + path);
        return kPlotSaveFailed;
    }
    log.append("\r\nPlot saved... " + path);
    return kPlotSaved;
}

}  // namespace velarix
