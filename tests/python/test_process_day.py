"""velarix.process_day and the file summaries on the example day (BJFS 2020-01-01)."""
import gzip
import os
import tempfile
import threading
import time
import unittest

import numpy as np

import velarix
from velarix_test_support import DCB, NAV, OBS, copy_example_day, read_cmn, run_velarix


class ProcessDayTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.day = velarix.process_day(OBS, NAV, dcb=DCB)
        # The serial program's products of the same day.
        cls.folder = tempfile.TemporaryDirectory()
        copy_example_day(cls.folder.name)
        run = run_velarix(os.path.join(cls.folder.name, "bjfs0010.20o"), "--scope", "day",
                          "--products", "cmn,bias", "--images", "none")
        assert run.returncode == 0, run.stdout + run.stderr

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def product(self, extension):
        return os.path.join(self.folder.name, "bjfs001-2020-01-01." + extension)

    def test_tec_matches_the_serial_runs_cmn_product_to_its_printed_precision(self):
        lines = read_cmn(self.product("Cmn"))
        self.assertGreater(len(lines), 10000)

        t = self.day
        n = len(t["mjd"])
        for name in ("prn", "elevation", "azimuth", "ipp_lat", "ipp_lon", "stec", "vtec", "s4", "valid"):
            self.assertEqual(len(t[name]), n, name)
        self.assertEqual(t["valid"].dtype, np.bool_)
        # Records by satellite and MJD as the product prints them.
        index = {(int(p), "%5.6f" % m): i for i, (p, m) in enumerate(zip(t["prn"], t["mjd"]))}
        for fields in lines:
            mjd, _hours, prn, az, ele, lat, lon, stec, vtec, s4 = fields
            i = index.get((int(prn), mjd))
            self.assertIsNotNone(i, "no record for " + "\t".join(fields))
            self.assertTrue(t["valid"][i])
            printed = ["%2.2f" % t["azimuth"][i], "%2.2f" % t["elevation"][i], "%2.3f" % t["ipp_lat"][i],
                       "%2.3f" % t["ipp_lon"][i], "%2.2f" % t["stec"][i], "%2.2f" % t["vtec"][i]]
            self.assertEqual(printed, [az, ele, lat, lon, stec, vtec], "\t".join(fields))
            s4_printed = "%1.3f" % t["s4"][i] if not np.isnan(t["s4"][i]) else "-99.000"
            self.assertEqual(s4_printed, s4)

    def test_biases_match_the_serial_runs_bias_product(self):
        with open(self.product("Bias")) as bias_file:
            lines = bias_file.read().splitlines()
        biases = self.day["biases"]
        self.assertEqual(biases["total"].shape, (33,))
        rows = [line.split("\t") for line in lines if line[:1].isdigit()]
        self.assertEqual(len(rows), 32)
        for prn, sat, interchannel, total in rows:
            p = int(prn)
            self.assertEqual(["%.1f" % biases[k][p] for k in ("satellite", "interchannel", "total")],
                             [sat, interchannel, total], "PRN %d" % p)
        receiver = next(line for line in lines if line.startswith("RxBias"))
        self.assertEqual(receiver, "RxBias (TEC units) stage1= %.1f stage2= %.1f Total= %.1f" % (
            biases["receiver_stage1"], biases["receiver_stage2"], biases["receiver_total"]))

    def test_station_and_log(self):
        t = self.day
        self.assertEqual(t["station"]["code"].lower(), "bjfs")
        self.assertAlmostEqual(t["station"]["latitude_deg"], 39.6, delta=0.1)
        self.assertEqual(t["interval_s"], 30.0)
        self.assertIn("bjfs0010.20o", t["log"])
        self.assertEqual(t["written"], [])

    def test_missing_navigation_file_raises_naming_it(self):
        missing = os.path.join(os.path.dirname(NAV), "brdc0020.20n")
        with self.assertRaises(velarix.VelarixError) as raised:
            velarix.process_day(OBS, missing, dcb=DCB)
        self.assertIn(missing, str(raised.exception))
        self.assertLess(raised.exception.code, 0)

    def test_arguments_refused(self):
        with self.assertRaises(ValueError):
            velarix.process_day(OBS, NAV, dcb=DCB, calibration="spline")
        with self.assertRaises(ValueError):
            velarix.process_day(OBS, NAV, dcb=[NAV])
        with self.assertRaises(ValueError):  # products need the calibration
            velarix.process_day(OBS, NAV, calibration=None, products_dir=tempfile.gettempdir())
        with self.assertRaises(ValueError):
            velarix.process_day(OBS, NAV, dcb=DCB, mapping="flat")
        with self.assertRaises(ValueError):  # an archive day is always calibrated
            velarix.run_day(OBS, calibration=None)

    def test_mapping_choice_reaches_the_day(self):
        # The higher shell of mslm puts every pierce point further from the station
        # and maps the same slant TEC to another vertical TEC.
        shell = velarix.process_day(OBS, NAV, dcb=DCB, calibration="spread")
        mslm = velarix.process_day(OBS, NAV, dcb=DCB, calibration="spread", mapping="mslm")
        self.assertTrue(np.array_equal(shell["elevation"], mslm["elevation"]))
        low = shell["valid"] & (shell["elevation"] < 60)
        station_lat = np.median(shell["ipp_lat"])
        self.assertTrue(np.all(np.abs(mslm["ipp_lat"][low] - station_lat) >= np.abs(shell["ipp_lat"][low] - station_lat) - 0.5))
        self.assertGreater(np.mean(np.abs(mslm["ipp_lat"][low] - shell["ipp_lat"][low])), 0.1)
        self.assertFalse(np.allclose(shell["vtec"][low], mslm["vtec"][low]))

    def test_calibration_choice_reaches_the_day(self):
        # Only the floor moves the vertical TEC by its stage-2 bias, the same for every
        # record; the slant TEC is the same in both.
        floor = velarix.process_day(OBS, NAV, dcb=DCB)
        spread = velarix.process_day(OBS, NAV, dcb=DCB, calibration="spread")
        lift = floor["biases"]["receiver_stage2"]
        self.assertGreater(abs(lift), 0.1)
        self.assertTrue(np.allclose(floor["vtec"] - spread["vtec"], lift, atol=1e-9))
        self.assertTrue(np.array_equal(floor["stec"], spread["stec"]))

    def test_products_written_into_the_folder_asked_for(self):
        with tempfile.TemporaryDirectory() as folder:
            t = velarix.process_day(OBS, NAV, dcb=DCB, products_dir=folder, products=["cmn", "bias"],
                                    images="none")
            names = sorted(os.listdir(folder))
            self.assertEqual(names, ["bjfs001-2020-01-01.Bias", "bjfs001-2020-01-01.Cmn"])
            self.assertEqual(sorted(os.path.basename(p) for p in t["written"]), names)
            with open(os.path.join(folder, names[1])) as cmn:  # named from the station list
                self.assertEqual(cmn.readline(), "BJFS,\tChina\n")

    def test_interpreter_runs_while_a_day_does(self):
        # Without the lock released, the loop below would stall for the whole day: one
        # gap as long as the day, and no turn in between.
        took = []

        def day():
            began = time.monotonic()
            velarix.process_day(OBS, NAV, dcb=DCB)
            took.append(time.monotonic() - began)

        worker = threading.Thread(target=day)
        gaps = []
        last = time.monotonic()
        worker.start()
        while worker.is_alive():
            time.sleep(0.001)
            now = time.monotonic()
            gaps.append(now - last)
            last = now
        worker.join()
        self.assertGreater(len(gaps), 5)
        self.assertLess(max(gaps), took[0] / 2)

    def test_days_on_two_threads_equal_the_day_alone(self):
        results = [None, None]

        def run(slot):
            results[slot] = velarix.process_day(OBS, NAV, dcb=DCB)

        threads = [threading.Thread(target=run, args=(slot,)) for slot in range(2)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        for result in results:
            for name in ("mjd", "prn", "stec", "vtec", "s4", "valid"):
                np.testing.assert_array_equal(result[name], self.day[name], name)


class SummaryTest(unittest.TestCase):
    def test_read_obs_and_read_nav(self):
        obs = velarix.read_obs(OBS)
        self.assertEqual(obs["epochs"], 2880)
        self.assertIn("GPS", obs["systems"])
        self.assertIn("G05", obs["satellites"])
        self.assertAlmostEqual(obs["first_mjd"], 58849.0, places=6)
        nav = velarix.read_nav(NAV)
        self.assertGreater(nav["records"], 300)
        self.assertEqual(nav["records"], sum(nav["satellites"].values()))
        self.assertEqual(velarix.satellite_label(5), "G05")
        with self.assertRaises(OSError) as raised:
            velarix.read_nav(OBS + ".missing")
        self.assertIn(OBS + ".missing", str(raised.exception))
        with self.assertRaises(ValueError):
            velarix.read_obs(NAV)

    def test_read_obs_of_a_compressed_file_reads_what_the_plain_one_holds(self):
        plain = velarix.read_obs(OBS)
        with open(OBS, "rb") as f:
            packed = gzip.compress(f.read())
        with tempfile.TemporaryDirectory() as folder:
            whole = os.path.join(folder, "bjfs0010.20o.gz")
            with open(whole, "wb") as f:
                f.write(packed)
            # No expanded copy is made: a $TMPDIR that cannot be written does not matter.
            saved = os.environ.get("TMPDIR")
            os.environ["TMPDIR"] = os.path.join(folder, "absent")
            try:
                read = velarix.read_obs(whole)
            finally:
                if saved is None:
                    del os.environ["TMPDIR"]
                else:
                    os.environ["TMPDIR"] = saved
            for key in ("epochs", "satellites", "first_mjd", "last_mjd", "lines", "discarded"):
                self.assertEqual(read[key], plain[key], key)
            # Cut short: an error naming the file, even though the epochs before the cut
            # were read.
            cut = os.path.join(folder, "bjfs0020.20o.gz")
            with open(cut, "wb") as f:
                f.write(packed[: len(packed) // 2])
            with self.assertRaises(OSError) as raised:
                velarix.read_obs(cut)
            self.assertIn(cut + ": expansion failed", str(raised.exception))
            self.assertEqual(sorted(os.listdir(folder)), ["bjfs0010.20o.gz", "bjfs0020.20o.gz"])


if __name__ == "__main__":
    unittest.main()
