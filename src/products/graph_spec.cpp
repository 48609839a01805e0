#include "products/graph_spec.h"

#include <algorithm>
#include <array>

namespace velarix {

namespace {

constexpr double kPageShort_in = 8.0;
constexpr double kPageLong_in = 11.5;
constexpr int kSmallestGivenSide_px = 101;
constexpr int kLargestSide_px = 32767;  // what the image surfaces take
constexpr double kMostDivisions = 100.0;

bool within(double value, double lowest, double highest) { return value >= lowest && value <= highest; }

// Counts the failed checks of a group into `failures`; true when the group passed.
bool passes(std::initializer_list<bool> checks, int& failures) {
    const int before = failures;
    for (bool ok : checks) failures += ok ? 0 : 1;
    return failures == before;
}

}  // namespace

GraphStatus ValidateGraph(GraphSpec& spec) {
    int failures = 0;
    GraphStatus first = GraphStatus::kValid;
    const auto group = [&](GraphStatus code, std::initializer_list<bool> checks) {
        if (!passes(checks, failures) && first == GraphStatus::kValid) first = code;
    };

    group(GraphStatus::kBadFonts, {within(spec.yTitleFontHeight, 4, 100), within(spec.labelFontHeight, 4, 100),
                           within(spec.smallFontHeight, 2, 40), within(spec.largeFontHeight, 10, 200)});
    const std::array<Colour, 6> colours{spec.axisColour,  spec.gridColour,  spec.backgroundColour,
                                        spec.labelColour, spec.titleColour, spec.curveColour};
    group(GraphStatus::kBadColours,
          {std::all_of(colours.begin(), colours.end(), [](Colour c) { return c <= 0xFFFFFF; })});
    group(GraphStatus::kBadPens, {within(spec.axisPenWidth, 1, 10), within(spec.gridPenWidth, 1, 10)});

    bool sized = spec.dpi > 0 && spec.baseDpi > 0 && spec.bitsPerPixel == 24;
    if (sized && spec.pageSized == 1) {
        const int shortSide = static_cast<int>(std::min(kPageShort_in * spec.dpi, double(kLargestSide_px) + 1));
        const int longSide = static_cast<int>(std::min(kPageLong_in * spec.dpi, double(kLargestSide_px) + 1));
        spec.pixelWidth = spec.portrait == 1 ? shortSide : longSide;
        spec.pixelHeight = spec.portrait == 1 ? longSide : shortSide;
    }
    sized = sized && within(spec.pixelWidth, kSmallestGivenSide_px, kLargestSide_px) &&
            within(spec.pixelHeight, kSmallestGivenSide_px, kLargestSide_px);
    group(GraphStatus::kBadPixelSize, {sized});
    if (sized) {
        spec.scale = spec.dpi > spec.baseDpi ? double(spec.dpi) / spec.baseDpi : 1.0;
        spec.logicalWidth = static_cast<int>(spec.pixelWidth / spec.scale);
        spec.logicalHeight = static_cast<int>(spec.pixelHeight / spec.scale);
        spec.minDimension = std::min(spec.logicalWidth, spec.logicalHeight);
    }

    if (!sized) {  // margins and panels are judged against the size
        spec.errorCount = failures;
        return first;
    }
    const double quarter = spec.minDimension / 4.0;
    group(GraphStatus::kBadMargins, {within(spec.marginTop, 0, quarter), within(spec.marginBottom, 0, quarter),
                             within(spec.marginLeft, 0, quarter), within(spec.marginRight, 0, quarter),
                             within(spec.marginOuter, 0, quarter)});
    if (spec.panelMode == 1) {
        const double w = spec.logicalWidth, h = spec.logicalHeight;
        group(GraphStatus::kBadPanel,
              {within(spec.panelLeft, 0, w), within(spec.panelTop, 0, h), within(spec.panelWidth, 2, w),
               within(spec.panelHeight, 2, h), spec.panelLeft + spec.panelWidth <= w,
               spec.panelTop + spec.panelHeight <= h, within(spec.tickDivisions, 1.0, kMostDivisions)});
    }
    spec.errorCount = failures;
    return first;
}

GraphSpec LandscapePage(bool highResolution) {
    GraphSpec spec;
    spec.portrait = 0;
    spec.dpi = highResolution ? kHighResolutionDpi : spec.baseDpi;
    return spec;
}

GraphFrame FrameOf(const GraphSpec& spec) {
    const bool panel = spec.panelMode == 1;
    const double left = panel ? spec.panelLeft : 0.0;
    const double top = panel ? spec.panelTop : 0.0;
    const double width = panel ? spec.panelWidth : spec.logicalWidth;
    const double height = panel ? spec.panelHeight : spec.logicalHeight;
    return {left + spec.marginOuter + spec.marginLeft, top + spec.marginOuter + spec.marginTop,
            left + width - spec.marginRight, top + height - spec.marginOuter - spec.marginBottom};
}

FontSpec YTitleFont(const GraphSpec& spec) { return {"Arial", double(spec.yTitleFontHeight), true}; }
FontSpec LabelFont(const GraphSpec& spec) { return {"Arial", double(spec.labelFontHeight), false}; }
FontSpec SmallFont(const GraphSpec& spec) { return {"Arial", double(spec.smallFontHeight), false}; }

}  // namespace velarix
