#pragma once
// The header of a RINEX observation file (versions 2.x and 3.0x), parsed one line at a
// time. Each parsed label sets its validity bit; the validity check tells whether the
// labels the version requires were all seen.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velarix {

// Validity bits, one per label (two labels share 0x20000 and 0x40000).
enum ObsHeaderBit : std::uint32_t {
    kBitVersion = 0x01,
    kBitRunBy = 0x02,
    kBitComment = 0x04,
    kBitMarkerName = 0x08,
    kBitMarkerNumber = 0x10,
    kBitMarkerType = 0x20,
    kBitObserver = 0x40,
    kBitReceiver = 0x80,
    kBitAntennaType = 0x100,
    kBitApproxPosition = 0x200,
    kBitAntennaDeltaHen = 0x400,
    kBitAntennaDeltaXyz = 0x800,
    kBitAntennaPhaseCentre = 0x1000,
    kBitAntennaBoreSight = 0x2000,
    kBitAntennaZeroDirAzimuth = 0x4000,
    kBitAntennaZeroDirXyz = 0x8000,
    kBitCentreOfMass = 0x10000,
    kBitObsTypes = 0x20000,
    kBitWavelengthOrStrength = 0x40000,
    kBitInterval = 0x80000,
    kBitFirstObs = 0x100000,
    kBitLastObs = 0x200000,
    kBitClockOffsetApplied = 0x400000,
    kBitDcbsApplied = 0x800000,
    kBitPcvsApplied = 0x1000000,
    kBitScaleFactor = 0x2000000,
    kBitPhaseShift = 0x4000000,
    kBitGlonassSlots = 0x8000000,
    kBitGlonassBiases = 0x10000000,
    kBitLeapSeconds = 0x20000000,
    kBitSatelliteCount = 0x40000000,
    kBitPrnObsCounts = 0x80000000,
};

// Labels each version needs.
constexpr std::uint32_t kRequiredBitsRinex2 = 0x1207CB;
constexpr std::uint32_t kRequiredBitsRinex300 = 0x1205CB;
constexpr std::uint32_t kRequiredBitsRinex301 = 0x41205AB;

// Mask the reader checks for a version: below 3.0, up to 3.01, from 3.01 on.
std::uint32_t requiredHeaderBits(double version);

// What a header operation found wrong: nothing, an error with a message, or an error
// without one (a line too short to hold a label).
struct HeaderStatus {
    enum Kind { kOk, kMessage, kPlain };
    Kind kind = kOk;
    std::string message;

    bool ok() const { return kind == kOk; }
};

struct HeaderObsType {
    std::string code;  // three characters
    int id = -1;       // observable identifier; -1 when not in the master list
};

struct CorrectionsApplied {  // SYS / DCBS APPLIED, SYS / PCVS APPLIED
    int systemCode = 0;
    std::string program;
    std::string source;
};

struct ScaleFactor {
    int systemCode = 0;
    int factor = 1;
    std::vector<std::string> codes;  // empty: all observables of the system
};

struct PhaseShift {
    int systemCode = 0;
    std::string code;           // empty: an entry without observable
    double correction_cycles = 0.0;
    std::vector<int> satellites;  // satellite numbers; empty: all
};

struct AntennaPhaseCentre {
    char systemLetter = ' ';
    std::string code;
    std::array<double, 3> offset_m{};  // north/east/up or X/Y/Z
};

class Rinex3ObsHeader {
public:
    // One header line, without its line end. Reads the label from column 61 (at most 20
    // characters) and the fields by the column layout of that label and version.
    HeaderStatus parseLine(std::string_view line);
    // After the header: completes a missing phase shift for 3.01 and above, then checks
    // the version and the required labels.
    HeaderStatus checkValidity();
    // Back to an empty header.
    void reset();
    // The "RINEX VERSION / TYPE" line gave the type of an observation file.
    bool isObservationFile() const { return !fileType.empty() && (fileType[0] == 'O' || fileType[0] == 'o'); }

    double version = 0.0;
    std::string fileType;
    std::string satelliteSystem;  // the system character as written
    int satelliteSystemCode = 0;
    std::string program, runBy, date;
    std::vector<std::string> comments;
    std::string markerName, markerNumber, markerType;
    std::string observer, agency;
    std::string receiverNumber, receiverType, receiverVersion;
    std::string antennaNumber, antennaType;
    std::array<double, 3> approxPosition_m{};
    std::array<double, 3> antennaDeltaHen_m{};
    std::array<double, 3> antennaDeltaXyz_m{};
    AntennaPhaseCentre antennaPhaseCentre;
    std::array<double, 3> antennaBoreSight{};
    double antennaZeroDirAzimuth_deg = 0.0;
    std::array<double, 3> antennaZeroDirXyz{};
    std::array<double, 3> centreOfMass_m{};
    std::vector<std::string> rinex2ObsTypes;  // two characters each, in header order
    std::map<int, std::vector<HeaderObsType>> obsTypes;  // system code -> codes in header order
    int wavelengthFactorL1 = 1;
    int wavelengthFactorL2 = 1;
    std::map<int, std::array<int, 2>> satelliteWavelengthFactors;  // satellite number -> L1, L2
    std::string signalStrengthUnit;
    double interval_s = 0.0;
    double firstObsMjd = 0.0;
    double lastObsMjd = 0.0;
    std::string firstObsTimeSystem, lastObsTimeSystem;
    int receiverClockOffsetApplied = 0;
    std::vector<CorrectionsApplied> dcbsApplied;
    std::vector<CorrectionsApplied> pcvsApplied;
    std::vector<ScaleFactor> scaleFactors;
    std::vector<PhaseShift> phaseShifts;
    std::map<int, int> glonassFrequencyNumbers;  // satellite number -> frequency number
    std::map<std::string, double> glonassCodePhaseBiases_m;  // observable -> bias
    int leapSeconds = 0;
    int satelliteCount = 0;
    std::map<int, std::vector<long>> prnObservationCounts;  // satellite number -> per observable
    std::uint32_t validBits = 0;
    bool endOfHeader = false;

private:
    struct Handler {
        std::string_view label;
        std::uint32_t bit;
        void (Rinex3ObsHeader::*parse)(std::string_view line);
    };
    static const Handler kHandlers[];

    void dispatch(std::string_view line);
    void parseVersion(std::string_view line);
    void parseRunBy(std::string_view line);
    void parseComment(std::string_view line);
    void parseMarkerName(std::string_view line);
    void parseMarkerNumber(std::string_view line);
    void parseMarkerType(std::string_view line);
    void parseObserver(std::string_view line);
    void parseReceiver(std::string_view line);
    void parseAntennaType(std::string_view line);
    void parseApproxPosition(std::string_view line);
    void parseAntennaDeltaHen(std::string_view line);
    void parseAntennaDeltaXyz(std::string_view line);
    void parseAntennaPhaseCentre(std::string_view line);
    void parseAntennaBoreSight(std::string_view line);
    void parseAntennaZeroDirAzimuth(std::string_view line);
    void parseAntennaZeroDirXyz(std::string_view line);
    void parseCentreOfMass(std::string_view line);
    void parseRinex2ObsTypes(std::string_view line);
    void parseRinex3ObsTypes(std::string_view line);
    void parseWavelengthFactors(std::string_view line);
    void parseSignalStrengthUnit(std::string_view line);
    void parseInterval(std::string_view line);
    void parseFirstObs(std::string_view line);
    void parseLastObs(std::string_view line);
    void parseClockOffsetApplied(std::string_view line);
    void parseDcbsApplied(std::string_view line);
    void parsePcvsApplied(std::string_view line);
    void parseScaleFactor(std::string_view line);
    void parsePhaseShift(std::string_view line);
    void parseGlonassSlots(std::string_view line);
    void parseGlonassBiases(std::string_view line);
    void parseLeapSeconds(std::string_view line);
    void parseSatelliteCount(std::string_view line);
    void parsePrnObservationCounts(std::string_view line);
    void parseEndOfHeader(std::string_view line);
    void parseNothing(std::string_view) {}

    // Continuation state of the multi-line labels.
    int obsTypesSystem_ = 0;         // system of the last SYS / # / OBS TYPES line
    long obsTypesExpected_ = 0;      // count announced for it (or the RINEX 2 list)
    bool phaseShiftContinues_ = false;  // the last line was a phase shift with satellites
    long scaleFactorCodesLeft_ = 0;
    long glonassSlotsLeft_ = 0;
    int lastPrnCounted_ = 0;
};

}  // namespace velarix
