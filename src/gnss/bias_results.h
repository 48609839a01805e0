#pragma once
// What the bias estimation leaves for the summary, the writers and the plots.
#include <array>
#include <string>

struct BiasResults {
    std::array<double, 33> satBias{};           // TECU, GPS PRN 1..32
    std::array<double, 33> interchannelBias{};  // TECU
    std::array<double, 33> totalBias{};         // satBias + interchannelBias
    double rxBiasStage1 = 0.0;                  // TECU
    double rxBiasStage2 = 0.0;
    double rxBiasTotal = 0.0;
    double minTecAverage = 0.0;  // lowest and highest value of the final 2-sigma curve,
    double maxTecAverage = 0.0;  // between 1 and 23 h UT
    std::string twoSigmaText;    // the ".Std" product's text

    void clear() { *this = BiasResults{}; }
};
