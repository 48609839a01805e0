"""What the Python tests share: the example day and the program built beside them."""
import os
import shutil
import subprocess

SOURCE_DIR = os.environ.get("VELARIX_SOURCE_DIR",
                            os.path.join(os.path.dirname(__file__), "..", ".."))
EXAMPLES = os.path.join(SOURCE_DIR, "examples")
VELARIX_BIN = os.environ.get("VELARIX_BIN", "")
VELARIX_DASK = os.environ.get("VELARIX_DASK", "")

OBS = os.path.join(EXAMPLES, "bjfs0010.20o")
NAV = os.path.join(EXAMPLES, "brdc0010.20n")
DCB = [os.path.join(EXAMPLES, "P1C12001.DCB.Z"), os.path.join(EXAMPLES, "P1P22001_ALL.DCB.Z")]


def copy_example_day(folder):
    for path in [OBS, NAV] + DCB:
        shutil.copy(path, folder)


def run_velarix(obs, *options):
    """The serial program on one input, in auto mode, without a settings file."""
    settings = os.path.join(os.path.dirname(obs), "none.ini")
    return subprocess.run([VELARIX_BIN, "--settings", settings, *options, obs, "auto"],
                          stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=120)


def read_cmn(path):
    """The data lines of a .Cmn product as (mjd text, prn, fields as printed)."""
    with open(path, newline="") as cmn:
        lines = cmn.read().split("\r\n")[3:]
    return [line.split("\t") for line in lines if line]
