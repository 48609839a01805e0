"""The Dask batch runner against the serial program, and how it finds station-days."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

from velarix.days import find_days, read_day_list
from velarix_test_support import DCB, NAV, OBS, VELARIX_DASK, run_velarix

PRODUCTS = ["--products", "cmn,std,bias,dat", "--images", "tec24"]


def make_days(folder, good_days, corrupt_day):
    """The example day under several dates, each with its navigation file, and one day
    whose observation file is damaged."""
    for doy in good_days:
        shutil.copy(OBS, os.path.join(folder, "bjfs%03d0.20o" % doy))
    for doy in list(good_days) + [corrupt_day]:
        shutil.copy(NAV, os.path.join(folder, "brdc%03d0.20n" % doy))
    for path in DCB:
        shutil.copy(path, folder)
    with open(OBS, "rb") as source, open(os.path.join(folder, "bjfs%03d0.20o" % corrupt_day), "wb") as bad:
        bad.write(source.read(3000).replace(b"OBSERVATION DATA", b"GARBLED DATA    ") + b"\x00\xff" * 500)


def products_of(folder):
    return sorted(n for n in os.listdir(folder)
                  if not n.startswith(("Log_", ".")) and not n.endswith((".20o", ".20n", ".Z", ".ini")))


class DaskRunnerTest(unittest.TestCase):
    def test_same_products_as_the_serial_run_and_a_corrupt_day_reported(self):
        with tempfile.TemporaryDirectory() as work:
            serial = os.path.join(work, "serial")
            dask = os.path.join(work, "dask")
            for folder in (serial, dask):
                os.mkdir(folder)
                make_days(folder, [1, 2, 3, 4], 5)

            run = run_velarix(os.path.join(serial, "bjfs0010.20o"), "--scope", "month", *PRODUCTS)
            self.assertEqual(run.returncode, 3, run.stdout + run.stderr)

            batch = subprocess.run([VELARIX_DASK, "--workers", "2", *PRODUCTS, dask], stdin=subprocess.DEVNULL,
                                   capture_output=True, text=True, timeout=120)
            self.assertEqual(batch.returncode, 3, batch.stdout + batch.stderr)
            table = batch.stdout
            self.assertIn("5 station-days: 4 done, 1 failed", table)
            failed = [line for line in table.splitlines() if line.startswith("FAILED")]
            self.assertEqual(len(failed), 1, table)
            self.assertIn("bjfs0050.20o", failed[0])
            self.assertIn("err = -6", table)

            names = products_of(serial)
            self.assertEqual(len(names), 4 * 5, names)  # four days of Cmn, Std, Bias, dat and a plot
            self.assertEqual(products_of(dask), names)
            for name in names:  # the same bytes but for the folder some products name
                with open(os.path.join(serial, name), "rb") as a, open(os.path.join(dask, name), "rb") as b:
                    self.assertEqual(a.read().replace(serial.encode(), dask.encode()), b.read(), name)
            with open(os.path.join(dask, "Log_errors.txt")) as errors_log:
                self.assertIn("bjfs0050.20o .. day not processed (err = -6)", errors_log.read())


class BatchCommandTest(unittest.TestCase):
    def test_nothing_to_do_and_usage_errors(self):
        with tempfile.TemporaryDirectory() as work:
            run = subprocess.run([sys.executable, "-m", "velarix.batch", work, os.path.join(work, "x0010.20o")],
                                 capture_output=True, text=True, timeout=60)
            self.assertEqual(run.returncode, 1, run.stderr)
            self.assertIn("x0010.20o: no such file or folder", run.stderr)
            self.assertIn("no station-day to process", run.stderr)
            run = subprocess.run([sys.executable, "-m", "velarix.batch", "--workers", "0", work],
                                 capture_output=True, text=True, timeout=60)
            self.assertEqual(run.returncode, 2, run.stderr)


class FindDaysTest(unittest.TestCase):
    def test_one_entry_per_station_day(self):
        with tempfile.TemporaryDirectory() as work:
            a = os.path.join(work, "a")
            b = os.path.join(work, "b", "deeper")
            os.makedirs(a)
            os.makedirs(b)
            os.mkdir(os.path.join(work, ".hidden"))
            for name in ["bjfs0010.20d.Z", "bjfs0010.20o", "bjfs0010.20o.gz", "brdc0010.20n", "notes.txt",
                         "bjfs001a.20o", "bjfs001b.20o", "algo0020.20o"]:
                open(os.path.join(a, name), "w").close()
            open(os.path.join(b, "bjfs0010.20o"), "w").close()
            open(os.path.join(work, ".hidden", "bjfs0030.20o"), "w").close()

            days, refused = find_days([work])
            found = [(os.path.relpath(d.path, work), d.station, d.year, d.day_of_year) for d in days]
            self.assertEqual(found, [("a/algo0020.20o", "algo", 2020, 2), ("a/bjfs0010.20o", "bjfs", 2020, 1),
                                     ("b/deeper/bjfs0010.20o", "bjfs", 2020, 1)])
            self.assertEqual(refused, [])

            listing = os.path.join(work, "days.list")
            with open(listing, "w") as out:
                out.write("# two days\na/bjfs001b.20o\n\nb\nmissing0010.20o\n")
            days, refused = find_days(read_day_list(listing))
            self.assertEqual([os.path.relpath(d.path, work) for d in days],
                             ["a/bjfs001b.20o", "b/deeper/bjfs0010.20o"])
            self.assertEqual([os.path.basename(p) for p, _ in refused], ["missing0010.20o"])


if __name__ == "__main__":
    unittest.main()
