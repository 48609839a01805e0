"""Velarix from Python: the TEC of one GNSS station-day, and file summaries.

    import velarix
    t = velarix.process_day("bjfs0010.20o", "brdc0010.20n",
                            dcb=["P1C12001.DCB.Z", "P1P22001_ALL.DCB.Z"])
    t["vtec"][t["valid"]]

A day runs the program's own RINEX job (the same code as `velarix` and
`velarix-tools products`); the interpreter lock is released while it runs, so
several days can run on threads of one process.
"""

import os

from . import _velarix

__all__ = ["VelarixError", "process_day", "run_day", "read_obs", "read_nav", "classify",
           "satellite_label"]

# IGS_stations.txt and LISN_Site_Def.txt lie beside the package, as beside the program
# (a folder name ending in '/', as the program's own).
_DATA_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "")

CALIBRATIONS = ("floor", "spread", "dcb", "model")
MAPPINGS = ("thin-shell", "mslm")


def _check_choices(calibration, mapping, calibration_optional):
    if not (calibration in CALIBRATIONS or (calibration is None and calibration_optional)):
        raise ValueError("calibration %r is not available: use one of %s%s"
                         % (calibration, ", ".join(CALIBRATIONS), ", or None" if calibration_optional else ""))
    if mapping not in MAPPINGS:
        raise ValueError("mapping %r is not available: use one of %s" % (mapping, ", ".join(MAPPINGS)))


class VelarixError(RuntimeError):
    """A day that could not be processed.

    code: the day's result code (as in the program's error log, e.g. -4 for no usable
    navigation file); reason: the reason in words; log: the day's message log.
    """

    def __init__(self, message, code=0, reason="", log=""):
        super().__init__(message)
        self.code = code
        self.reason = reason
        self.log = log


def _list_word(value):
    """A comma list for the products/images options: None for the defaults."""
    if value is None:
        return ""
    if isinstance(value, str):
        return value
    return ",".join(value) if value else "none"


def _closing_lines(log, count=4):
    """The log's last lines: where a day stops, its log says why (and names the file)."""
    lines = [line.strip() for line in log.splitlines() if line.strip()]
    return lines[-count:]


def _failure(path, result):
    said = _closing_lines(result["log"])
    message = "%s: day not processed (err = %d): %s" % (path, result["code"], result["reason"])
    if said:
        message += "\n" + "\n".join(said)
    return VelarixError(message, result["code"], result["reason"], result["log"])


def process_day(obs, nav, dcb=(), calibration="floor", products_dir=None, products=None,
                images=None, mapping="thin-shell"):
    """Runs the day of the observation file `obs` with the navigation file `nav` and
    DCB files `dcb` (CODE's P1C1yymm.DCB, P1P2yymm.DCB or P1P2yymm_ALL.DCB, or a
    Bias-SINEX file; plain, .Z or gzip). Nothing is searched for or downloaded.

    calibration: how the receiver bias sets the TEC level, as `velarix --calibration`:
    "floor" (the default: minimum spread, then the night-time floor of the day's TEC
    curve), "spread", "dcb" or "model"; or None for TEC before the bias calibration.
    mapping: the pierce points and slant-to-vertical factor, as `velarix --mapping`:
    "thin-shell" (the default: a 350 km shell) or "mslm" (the modified single-layer
    mapping of CODE's maps).
    products_dir: a folder to write the day's products and plots into, named as the
    program names them; products and images choose them as `velarix --products` and
    `--images` do (a comma list or a list of words; default all four text products
    and the tec24, prn and bias plots).

    Returns a dict: NumPy arrays with one entry per satellite and epoch, "mjd", "prn"
    (GPS 1-32; other systems as satellite_label() names them), "elevation",
    "azimuth", "ipp_lat", "ipp_lon" (degrees), "stec", "vtec" (TECU), "s4" (NaN where
    none) and "valid" (the records the products show); "biases" (TECU, per GPS PRN
    arrays and the receiver's), "station", "interval_s", "day_start_mjd", "log" (the
    day's message log) and "written" (the paths of the products).

    Raises VelarixError, whose message carries the log's errors, when the day could not
    be processed; ValueError for an unknown calibration, mapping, product or DCB file name.
    """
    _check_choices(calibration, mapping, calibration_optional=True)
    result = _velarix.process_day(
        os.fspath(obs), os.fspath(nav), [os.fspath(p) for p in dcb], calibration or "", mapping,
        os.fspath(products_dir) if products_dir is not None else "", _list_word(products),
        _list_word(images), _DATA_DIR)
    if result["code"] != 0:
        raise _failure(os.fspath(obs), result)
    return result


def run_day(obs, target_dir=None, products=None, images=None, calibration="floor",
            mapping="thin-shell"):
    """Runs the day of `obs` in its station archive as `velarix --scope day OBS auto`
    does: its session files, the navigation and DCB files found beside it, products
    (default cmn,std,bias and the tec24 plot) beside it or in target_dir; calibration
    and mapping as for process_day (a calibration is needed here).

    Returns a dict with "code" (0 done, else the day's error code), "reason", "log",
    "written", and "log_text" and "error_text" as the log files take them. Never
    raises for a day that failed: a batch goes on with the next.
    """
    _check_choices(calibration, mapping, calibration_optional=False)
    return _velarix.run_day(os.fspath(obs), os.fspath(target_dir) if target_dir else "",
                            _list_word(products), _list_word(images), calibration, mapping, _DATA_DIR)


def append_run_logs(directory, messages, errors=""):
    """Appends log texts to Log_file.txt and Log_errors.txt in `directory` as the
    program does. False when the message log could not be written."""
    return _velarix.append_run_logs(os.fspath(directory), messages, errors)


def read_obs(path):
    """Summary of an observation file (RINEX 2 or 3; plain, .Z, gzip or Compact RINEX):
    version, systems, records per satellite, epochs, first and last epoch (MJD) and
    the reader's messages. Raises OSError or ValueError naming the file."""
    return _velarix.read_obs(os.fspath(path))


def read_nav(path):
    """Summary of a navigation file: version, type, system, records per satellite,
    first and last reference epoch (MJD) and the reader's messages."""
    return _velarix.read_nav(os.fspath(path))


def classify(path):
    """What the program reads from a file name: kind, station, date, and whether it
    names an observation or navigation file."""
    return _velarix.classify(os.fspath(path))


def satellite_label(prn):
    """A satellite number of the tables as RINEX 3 names it: 5 -> "G05"."""
    return _velarix.satellite_label(int(prn))
