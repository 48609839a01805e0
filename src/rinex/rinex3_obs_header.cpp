#include "rinex/rinex3_obs_header.h"

#include <cmath>
#include <new>

#include "geodesy/time.h"
#include "platform/text.h"
#include "rinex/fixed_fields.h"
#include "rinex/obs_codes.h"
#include "rinex/satellite_id.h"

namespace velarix {

namespace {

// A bad line; the message goes to the reader's log with the line number.
struct HeaderError {
    std::string message;
};
// A line too short to hold a label.
struct ShortHeaderLine {};

[[noreturn]] void fail(std::string message) { throw HeaderError{std::move(message)}; }

std::string text(std::string_view line, std::size_t first, std::size_t last) {
    return std::string(trimRight(columns(line, first, last)));
}

double number(std::string_view line, std::size_t first, std::size_t last, std::string_view label) {
    double value = 0.0;
    if (parseDoubleField(columns(line, first, last), value) == FieldStatus::kInvalid) {
        fail("Bad number in " + std::string(label));
    }
    return value;
}

long integer(std::string_view line, std::size_t first, std::size_t last, std::string_view label) {
    long value = 0;
    if (parseIntField(columns(line, first, last), value) == FieldStatus::kInvalid) {
        fail("Bad number in " + std::string(label));
    }
    return value;
}

std::array<double, 3> threeNumbers(std::string_view line, std::string_view label) {  // 3F14.4
    return {number(line, 1, 14, label), number(line, 15, 28, label), number(line, 29, 42, label)};
}

// 5I6,F13.7: a calendar instant as MJD.
double calendarTime(std::string_view line, std::string_view label) {
    const long year = integer(line, 1, 6, label);
    const long month = integer(line, 7, 12, label);
    const long day = integer(line, 13, 18, label);
    const long hour = integer(line, 19, 24, label);
    const long minute = integer(line, 25, 30, label);
    const double second = number(line, 31, 43, label);
    return MjdFromCivil(static_cast<std::int32_t>(year), static_cast<std::int32_t>(month),
                        static_cast<std::int32_t>(day), static_cast<std::int32_t>(hour),
                        static_cast<std::int32_t>(minute), second);
}

CorrectionsApplied corrections(std::string_view line) {  // A1,1X,A17,1X,A40
    CorrectionsApplied applied;
    applied.systemCode = systemOfLetter(isBlankAt(line, 1) ? ' ' : line[0]);
    applied.program = text(line, 3, 19);
    applied.source = text(line, 21, 60);
    return applied;
}

constexpr std::string_view kPhaseShiftLabel = "SYS / PHASE SHIFT";

// RINEX 3.01 to 3.05 and 4.0x: they share the records the reader needs (4.0x adds a few
// it reads past). A version between them that was never published (3.33) is not one.
bool isPublishedLaterVersion(double version) {
    const long hundredths = std::lround(version * 100.0);
    return (hundredths >= 301 && hundredths <= 305) || (hundredths >= 400 && hundredths < 500);
}

}  // namespace

std::uint32_t requiredHeaderBits(double version) {
    if (version < 3.0) return kRequiredBitsRinex2;
    if (version < 3.01) return kRequiredBitsRinex300;
    return kRequiredBitsRinex301;
}

const Rinex3ObsHeader::Handler Rinex3ObsHeader::kHandlers[] = {
    {"RINEX VERSION / TYPE", kBitVersion, &Rinex3ObsHeader::parseVersion},
    {"PGM / RUN BY / DATE", kBitRunBy, &Rinex3ObsHeader::parseRunBy},
    {"COMMENT", kBitComment, &Rinex3ObsHeader::parseComment},
    {"MARKER NAME", kBitMarkerName, &Rinex3ObsHeader::parseMarkerName},
    {"MARKER NUMBER", kBitMarkerNumber, &Rinex3ObsHeader::parseMarkerNumber},
    {"MARKER TYPE", kBitMarkerType, &Rinex3ObsHeader::parseMarkerType},
    {"OBSERVER / AGENCY", kBitObserver, &Rinex3ObsHeader::parseObserver},
    {"REC # / TYPE / VERS", kBitReceiver, &Rinex3ObsHeader::parseReceiver},
    {"ANT # / TYPE", kBitAntennaType, &Rinex3ObsHeader::parseAntennaType},
    {"APPROX POSITION XYZ", kBitApproxPosition, &Rinex3ObsHeader::parseApproxPosition},
    {"ANTENNA: DELTA H/E/N", kBitAntennaDeltaHen, &Rinex3ObsHeader::parseAntennaDeltaHen},
    {"ANTENNA: DELTA X/Y/Z", kBitAntennaDeltaXyz, &Rinex3ObsHeader::parseAntennaDeltaXyz},
    {"ANTENNA: PHASECENTER", kBitAntennaPhaseCentre, &Rinex3ObsHeader::parseAntennaPhaseCentre},
    {"ANTENNA: B.SIGHT XYZ", kBitAntennaBoreSight, &Rinex3ObsHeader::parseAntennaBoreSight},
    {"ANTENNA: ZERODIR AZI", kBitAntennaZeroDirAzimuth, &Rinex3ObsHeader::parseAntennaZeroDirAzimuth},
    {"ANTENNA: ZERODIR XYZ", kBitAntennaZeroDirXyz, &Rinex3ObsHeader::parseAntennaZeroDirXyz},
    {"CENTER OF MASS: XYZ", kBitCentreOfMass, &Rinex3ObsHeader::parseCentreOfMass},
    {"# / TYPES OF OBSERV", kBitObsTypes, &Rinex3ObsHeader::parseRinex2ObsTypes},
    {"SYS / # / OBS TYPES", kBitObsTypes, &Rinex3ObsHeader::parseRinex3ObsTypes},
    {"WAVELENGTH FACT L1/2", kBitWavelengthOrStrength, &Rinex3ObsHeader::parseWavelengthFactors},
    {"SIGNAL STRENGTH UNIT", kBitWavelengthOrStrength, &Rinex3ObsHeader::parseSignalStrengthUnit},
    {"INTERVAL", kBitInterval, &Rinex3ObsHeader::parseInterval},
    {"TIME OF FIRST OBS", kBitFirstObs, &Rinex3ObsHeader::parseFirstObs},
    {"TIME OF LAST OBS", kBitLastObs, &Rinex3ObsHeader::parseLastObs},
    {"RCV CLOCK OFFS APPL", kBitClockOffsetApplied, &Rinex3ObsHeader::parseClockOffsetApplied},
    {"SYS / DCBS APPLIED", kBitDcbsApplied, &Rinex3ObsHeader::parseDcbsApplied},
    {"SYS / PCVS APPLIED", kBitPcvsApplied, &Rinex3ObsHeader::parsePcvsApplied},
    {"SYS / SCALE FACTOR", kBitScaleFactor, &Rinex3ObsHeader::parseScaleFactor},
    {kPhaseShiftLabel, kBitPhaseShift, &Rinex3ObsHeader::parsePhaseShift},
    {"GLONASS SLOT / FRQ #", kBitGlonassSlots, &Rinex3ObsHeader::parseGlonassSlots},
    {"GLONASS COD/PHS/BIS", kBitGlonassBiases, &Rinex3ObsHeader::parseGlonassBiases},
    {"LEAP SECONDS", kBitLeapSeconds, &Rinex3ObsHeader::parseLeapSeconds},
    {"# OF SATELLITES", kBitSatelliteCount, &Rinex3ObsHeader::parseSatelliteCount},
    {"PRN / # OF OBS", kBitPrnObsCounts, &Rinex3ObsHeader::parsePrnObservationCounts},
    // RINEX 4 records of no use here; read past without a message.
    {"DOI", 0, &Rinex3ObsHeader::parseNothing},
    {"LICENSE OF USE", 0, &Rinex3ObsHeader::parseNothing},
    {"STATION INFORMATION", 0, &Rinex3ObsHeader::parseNothing},
    {"END OF HEADER", 0, &Rinex3ObsHeader::parseEndOfHeader},
};

HeaderStatus Rinex3ObsHeader::parseLine(std::string_view line) {
    try {
        dispatch(line);
        return {};
    } catch (const HeaderError& error) {
        return {HeaderStatus::kMessage, error.message};
    } catch (const ShortHeaderLine&) {
        return {HeaderStatus::kPlain, {}};
    } catch (const std::bad_alloc&) {
        return {HeaderStatus::kPlain, {}};
    }
}

void Rinex3ObsHeader::dispatch(std::string_view line) {
    if (line.size() < 60) throw ShortHeaderLine{};
    const std::string_view label = trimRight(columns(line, 61, 80));
    for (const Handler& handler : kHandlers) {
        if (handler.label != label) continue;
        if (handler.label != kPhaseShiftLabel) phaseShiftContinues_ = false;
        (this->*handler.parse)(line);
        validBits |= handler.bit;
        return;
    }
    phaseShiftContinues_ = false;
    fail("Unidentified label: >" + std::string(label) + "<");
}

HeaderStatus Rinex3ObsHeader::checkValidity() {
    try {
        if (version >= 3.01 && (validBits & kBitObsTypes) != 0 && (validBits & kBitPhaseShift) == 0) {
            for (const auto& [systemCode, types] : obsTypes) {
                PhaseShift empty;
                empty.systemCode = systemCode;
                phaseShifts.push_back(empty);
            }
            validBits |= kBitPhaseShift;
        }
        std::uint32_t mask = 0;
        if (version < 3.0) {
            mask = kRequiredBitsRinex2;
        } else if (version == 3.0) {
            mask = kRequiredBitsRinex300;
        } else if (isPublishedLaterVersion(version)) {
            mask = kRequiredBitsRinex301;
        } else {
            fail("Unknown or unsupported RINEX version");
        }
        if ((validBits & mask) != mask) fail("Incomplete or invalid header");
        return {};
    } catch (const HeaderError& error) {
        return {HeaderStatus::kMessage, error.message};
    } catch (const std::bad_alloc&) {
        return {HeaderStatus::kPlain, {}};
    }
}

void Rinex3ObsHeader::reset() { *this = Rinex3ObsHeader(); }

void Rinex3ObsHeader::parseVersion(std::string_view line) {  // F9.2,11X,A1,19X,A1,19X
    version = number(line, 1, 9, "RINEX VERSION / TYPE");
    fileType = text(line, 21, 40);
    if (!isObservationFile()) fail("This is not a RINEX Obs file.");
    satelliteSystem = text(line, 41, 60);
    const char system = isBlankAt(line, 41) ? ' ' : line[40];
    if (system == 'M' || system == 'm') {
        satelliteSystemCode = kMixed;
    } else {
        SatId id;
        parseSatIdChecked(std::string_view(&system, 1), id);
        satelliteSystemCode = id.systemCode;
    }
}

void Rinex3ObsHeader::parseRunBy(std::string_view line) {  // 3A20
    program = text(line, 1, 20);
    runBy = text(line, 21, 40);
    date = text(line, 41, 60);
}

void Rinex3ObsHeader::parseComment(std::string_view line) { comments.push_back(text(line, 1, 60)); }
void Rinex3ObsHeader::parseMarkerName(std::string_view line) { markerName = text(line, 1, 60); }
void Rinex3ObsHeader::parseMarkerNumber(std::string_view line) { markerNumber = text(line, 1, 20); }
void Rinex3ObsHeader::parseMarkerType(std::string_view line) { markerType = text(line, 1, 20); }

void Rinex3ObsHeader::parseObserver(std::string_view line) {  // A20,A40
    observer = text(line, 1, 20);
    agency = text(line, 21, 60);
}

void Rinex3ObsHeader::parseReceiver(std::string_view line) {  // 3A20
    receiverNumber = text(line, 1, 20);
    receiverType = text(line, 21, 40);
    receiverVersion = text(line, 41, 60);
}

void Rinex3ObsHeader::parseAntennaType(std::string_view line) {  // 2A20
    antennaNumber = text(line, 1, 20);
    antennaType = text(line, 21, 40);
}

void Rinex3ObsHeader::parseApproxPosition(std::string_view line) {
    approxPosition_m = threeNumbers(line, "APPROX POSITION XYZ");
}
void Rinex3ObsHeader::parseAntennaDeltaHen(std::string_view line) {
    antennaDeltaHen_m = threeNumbers(line, "ANTENNA: DELTA H/E/N");
}
void Rinex3ObsHeader::parseAntennaDeltaXyz(std::string_view line) {
    antennaDeltaXyz_m = threeNumbers(line, "ANTENNA: DELTA X/Y/Z");
}

void Rinex3ObsHeader::parseAntennaPhaseCentre(std::string_view line) {  // A1,1X,A3,F9.4,2F14.4
    constexpr std::string_view label = "ANTENNA: PHASECENTER";
    antennaPhaseCentre.systemLetter = isBlankAt(line, 1) ? ' ' : line[0];
    antennaPhaseCentre.code = text(line, 3, 5);
    antennaPhaseCentre.offset_m = {number(line, 6, 14, label), number(line, 15, 28, label),
                                   number(line, 29, 42, label)};
}

void Rinex3ObsHeader::parseAntennaBoreSight(std::string_view line) {
    antennaBoreSight = threeNumbers(line, "ANTENNA: B.SIGHT XYZ");
}
void Rinex3ObsHeader::parseAntennaZeroDirAzimuth(std::string_view line) {
    antennaZeroDirAzimuth_deg = number(line, 1, 14, "ANTENNA: ZERODIR AZI");
}
void Rinex3ObsHeader::parseAntennaZeroDirXyz(std::string_view line) {
    antennaZeroDirXyz = threeNumbers(line, "ANTENNA: ZERODIR XYZ");
}
void Rinex3ObsHeader::parseCentreOfMass(std::string_view line) {
    centreOfMass_m = threeNumbers(line, "CENTER OF MASS: XYZ");
}

// I6,9(4X,A2); continuation lines 6X,9(4X,A2).
void Rinex3ObsHeader::parseRinex2ObsTypes(std::string_view line) {
    constexpr std::string_view label = "# / TYPES OF OBSERV";
    if (version >= 3.0) fail("RINEX 2 record in RINEX 3 file: " + std::string(label));
    if ((validBits & kBitObsTypes) == 0) {
        const long count = integer(line, 1, 6, label);
        if (count < 0) fail("Bad number in " + std::string(label));
        rinex2ObsTypes.clear();
        obsTypesExpected_ = count;
    }
    for (std::size_t i = 0; i < 9 && static_cast<long>(rinex2ObsTypes.size()) < obsTypesExpected_; ++i) {
        std::string type(columns(line, 11 + 6 * i, 12 + 6 * i));
        type.resize(2, ' ');
        rinex2ObsTypes.push_back(type);
    }
}

// A1,2X,I3,13(1X,A3); continuation lines 6X,13(1X,A3).
void Rinex3ObsHeader::parseRinex3ObsTypes(std::string_view line) {
    constexpr std::string_view label = "SYS / # / OBS TYPES";
    if (version < 3.0) fail("RINEX 3 record in RINEX 2 file: " + std::string(label));
    if (!isBlankAt(line, 1)) {
        const long count = integer(line, 4, 6, label);
        if (count < 0) fail("Bad number in " + std::string(label));
        obsTypesSystem_ = systemOfLetter(line[0]);
        obsTypesExpected_ = count;
        obsTypes[obsTypesSystem_].clear();
    } else if (obsTypesSystem_ == 0) {
        fail(std::string(label) + ": unexpected continuation line");
    }
    std::vector<HeaderObsType>& types = obsTypes[obsTypesSystem_];
    for (std::size_t i = 0; i < 13 && static_cast<long>(types.size()) < obsTypesExpected_; ++i) {
        std::string code(columns(line, 8 + 4 * i, 10 + 4 * i));
        code.resize(3, ' ');
        types.push_back({code, obsCodeId(code)});
    }
}

// 2I6 default factors; later lines 2I6,I6,7(3X,A3) for listed satellites.
void Rinex3ObsHeader::parseWavelengthFactors(std::string_view line) {
    constexpr std::string_view label = "WAVELENGTH FACT L1/2";
    const long l1 = integer(line, 1, 6, label);
    const long l2 = integer(line, 7, 12, label);
    if ((validBits & kBitWavelengthOrStrength) == 0) {
        wavelengthFactorL1 = static_cast<int>(l1);
        wavelengthFactorL2 = static_cast<int>(l2);
        return;
    }
    const long count = integer(line, 13, 18, label);
    if (count < 0 || count > 7) fail("Invalid number of Sats for " + std::string(label));
    bool zeroListed = false;
    for (long i = 0; i < count; ++i) {
        const std::string_view satellite = columns(line, 22 + 6 * i, 24 + 6 * i);
        const int satNo = satNoUnchecked(satellite);
        if (satNo > 0) satelliteWavelengthFactors[satNo] = {static_cast<int>(l1), static_cast<int>(l2)};
        zeroListed |= satNo <= 0 && !isBlank(satellite);
    }
    // The others of the line are kept; the line is still reported.
    if (zeroListed) fail("PRN is 0 in header-WaveFact");
}

void Rinex3ObsHeader::parseSignalStrengthUnit(std::string_view line) { signalStrengthUnit = text(line, 1, 20); }
void Rinex3ObsHeader::parseInterval(std::string_view line) { interval_s = number(line, 1, 10, "INTERVAL"); }

void Rinex3ObsHeader::parseFirstObs(std::string_view line) {
    firstObsMjd = calendarTime(line, "TIME OF FIRST OBS");
    firstObsTimeSystem = text(line, 49, 51);
}

void Rinex3ObsHeader::parseLastObs(std::string_view line) {
    lastObsMjd = calendarTime(line, "TIME OF LAST OBS");
    lastObsTimeSystem = text(line, 49, 51);
}

void Rinex3ObsHeader::parseClockOffsetApplied(std::string_view line) {
    receiverClockOffsetApplied = static_cast<int>(integer(line, 1, 6, "RCV CLOCK OFFS APPL"));
}

void Rinex3ObsHeader::parseDcbsApplied(std::string_view line) { dcbsApplied.push_back(corrections(line)); }
void Rinex3ObsHeader::parsePcvsApplied(std::string_view line) { pcvsApplied.push_back(corrections(line)); }

// A1,1X,I4,2X,I2,12(1X,A3); continuation lines 10X,12(1X,A3).
void Rinex3ObsHeader::parseScaleFactor(std::string_view line) {
    constexpr std::string_view label = "SYS / SCALE FACTOR";
    if (!isBlankAt(line, 1)) {
        ScaleFactor factor;
        factor.systemCode = systemOfLetter(line[0]);
        factor.factor = static_cast<int>(integer(line, 3, 6, label));
        scaleFactorCodesLeft_ = integer(line, 9, 10, label);
        scaleFactors.push_back(factor);
    } else if (scaleFactorCodesLeft_ <= 0 || scaleFactors.empty()) {
        fail(std::string(label) + ": unexpected continuation line");
    }
    // Each code with the blank before it, trimmed: files that shift the codes by one column
    // still read.
    for (std::size_t i = 0; i < 12 && scaleFactorCodesLeft_ > 0; ++i, --scaleFactorCodesLeft_) {
        scaleFactors.back().codes.emplace_back(trim(columns(line, 11 + 4 * i, 14 + 4 * i)));
    }
}

// A1,1X,A3,1X,F8.5,2X,I2.2,10(1X,A3); continuation lines 18X,10(1X,A3).
void Rinex3ObsHeader::parsePhaseShift(std::string_view line) {
    constexpr std::size_t firstSatellite = 20;
    // A record without content says no more than its absence would.
    if (isBlank(columns(line, 1, 60))) {
        phaseShiftContinues_ = false;
        return;
    }
    if (!isBlankAt(line, 1)) {
        PhaseShift shift;
        shift.systemCode = systemOfLetter(line[0]);
        shift.code = text(line, 3, 5);
        shift.correction_cycles = number(line, 7, 14, kPhaseShiftLabel);
        const long satellites = integer(line, 17, 18, kPhaseShiftLabel);
        phaseShifts.push_back(shift);
        phaseShiftContinues_ = satellites > 0;
    } else if (!phaseShiftContinues_ || phaseShifts.empty()) {
        fail(std::string(kPhaseShiftLabel) + ": unexpected continuation line");
    }
    for (std::size_t i = 0; i < 10; ++i) {
        const std::string_view field = columns(line, firstSatellite + 4 * i, firstSatellite + 2 + 4 * i);
        if (isBlank(field)) continue;
        const int satNo = satNoUnchecked(field);
        if (satNo > 0) phaseShifts.back().satellites.push_back(satNo);
    }
}

// I3,1X,8(A3,1X,I2,1X); continuation lines 4X,8(A3,1X,I2,1X).
void Rinex3ObsHeader::parseGlonassSlots(std::string_view line) {
    constexpr std::string_view label = "GLONASS SLOT / FRQ #";
    if (!isBlank(columns(line, 1, 3))) {
        glonassSlotsLeft_ = integer(line, 1, 3, label);
    } else if (glonassSlotsLeft_ <= 0) {
        fail(std::string(label) + ": unexpected continuation line");
    }
    for (std::size_t i = 0; i < 8 && glonassSlotsLeft_ > 0; ++i) {
        const std::string_view satellite = columns(line, 5 + 7 * i, 7 + 7 * i);
        if (isBlank(satellite)) break;
        const long frequency = integer(line, 9 + 7 * i, 10 + 7 * i, label);
        const int satNo = satNoUnchecked(satellite);
        if (satNo > 0) glonassFrequencyNumbers[satNo] = static_cast<int>(frequency);
        --glonassSlotsLeft_;
    }
}

// 4(1X,A3,1X,F8.3)
void Rinex3ObsHeader::parseGlonassBiases(std::string_view line) {
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string code = text(line, 2 + 13 * i, 4 + 13 * i);
        if (code.empty()) continue;
        glonassCodePhaseBiases_m[code] = number(line, 6 + 13 * i, 13 + 13 * i, "GLONASS COD/PHS/BIS");
    }
}

void Rinex3ObsHeader::parseLeapSeconds(std::string_view line) {
    leapSeconds = static_cast<int>(integer(line, 1, 6, "LEAP SECONDS"));
}

void Rinex3ObsHeader::parseSatelliteCount(std::string_view line) {
    satelliteCount = static_cast<int>(integer(line, 1, 6, "# OF SATELLITES"));
}

// 3X,A3,9I6; continuation lines 6X,9I6.
void Rinex3ObsHeader::parsePrnObservationCounts(std::string_view line) {
    constexpr std::string_view label = "PRN / # OF OBS";
    const std::string_view satellite = columns(line, 4, 6);
    if (!isBlank(satellite)) {
        lastPrnCounted_ = satNoUnchecked(satellite);
        if (lastPrnCounted_ <= 0) fail("Bad satellite in " + std::string(label));
        prnObservationCounts[lastPrnCounted_].clear();
    } else if (lastPrnCounted_ <= 0) {
        fail(std::string(label) + ": unexpected continuation line");
    }
    std::vector<long>& counts = prnObservationCounts[lastPrnCounted_];
    for (std::size_t i = 0; i < 9; ++i) {
        const std::string_view field = columns(line, 7 + 6 * i, 12 + 6 * i);
        if (!isBlank(field)) counts.push_back(integer(line, 7 + 6 * i, 12 + 6 * i, label));
    }
}

void Rinex3ObsHeader::parseEndOfHeader(std::string_view) { endOfHeader = true; }

}  // namespace velarix
