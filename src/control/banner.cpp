#include "control/banner.h"

namespace velarix {

std::string startupBanner() {
    const char* separator = "\r\n--------------------------------------------------------------";
    std::string text = "Velarix .. ";
    text += "Ver 3.03";
    text += "\r\nCompiled on .. ";
    text += __DATE__ " " __TIME__;
    text += separator;
    text += "\r\nVelarix developers";
    text += "\r\nIonospheric total electron content from GNSS ground stations";
    text += "\r\nContact: the project's issue tracker";
    text += "\r\nBuilt on the experience of earlier ionospheric TEC processing at research institutes";
    text += separator;
    text += "\r\nDisclaimer: this program is provided for research use only.";
    text += "\r\nThe authors accept no liability for any result or loss arising from its use.";
    text += "\r\nYou use the program and its products at your own risk.";
    text += "\r\nUsing the program implies that you agree to these conditions.";
    text += separator;
    text += "\r\n(c) 2026 the Velarix developers";
    text += separator;
    return text;
}

}  // namespace velarix
