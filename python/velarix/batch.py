"""velarix-dask: many station-days on a Dask cluster, one task per day.

    python3 -m velarix.batch [OPTIONS] PATH...
    velarix-dask [OPTIONS] PATH...

PATH is a folder (searched with its sub-folders) or an observation file; --list FILE
adds the paths listed in FILE. Each day runs as `velarix --scope day OBS auto` runs it:
its files are found beside it and its products written beside it (or into --target).
The days' logs are appended, in input order, to Log_file.txt and Log_errors.txt of
their folders. A summary table of the days goes to standard output, progress to
standard error.

Exit status: 0 every day done; 1 nothing to do (no station-day found, or an input
refused); 2 usage error; 3 some day failed; 130 interrupted.
"""

import argparse
import logging
import os
import sys
import time

from . import CALIBRATIONS, MAPPINGS, run_day, append_run_logs
from .days import find_days, read_day_list

PROG = "velarix-dask"


def _run_one(path, target, products, images, calibration, mapping):
    """One station-day on a worker."""
    return run_day(path, target or None, products, images, calibration, mapping)


def _parse(argv):
    parser = argparse.ArgumentParser(
        prog=PROG, description="Runs station-days on a Dask cluster, one task per day, "
        "writing each day's products as `velarix` does.")
    parser.add_argument("paths", nargs="*", metavar="PATH",
                        help="a folder (searched with its sub-folders) or an observation file")
    parser.add_argument("--list", action="append", default=[], metavar="FILE",
                        help="a file of paths, one a line (repeatable)")
    parser.add_argument("--scheduler", metavar="ADDRESS",
                        help="a running Dask scheduler (e.g. tcp://host:8786); default: a "
                        "local cluster")
    parser.add_argument("--workers", type=int, default=os.cpu_count() or 1, metavar="N",
                        help="worker processes of the local cluster (default: the number of cores)")
    parser.add_argument("--products", metavar="LIST",
                        help="text products: comma list of cmn,std,bias,depletion,dat, or none "
                        "(default: cmn,std,bias)")
    parser.add_argument("--images", metavar="LIST",
                        help="plots: comma list of tec24,prn,bias,depletion,hires, or none "
                        "(default: tec24)")
    parser.add_argument("--calibration", choices=CALIBRATIONS, default="floor",
                        help="how the receiver bias sets the TEC level, as `velarix --calibration` "
                        "(default: floor)")
    parser.add_argument("--mapping", choices=MAPPINGS, default="thin-shell",
                        help="pierce points and slant-to-vertical mapping (default: thin-shell)")
    parser.add_argument("--target", metavar="DIR",
                        help="write every day's products to DIR instead of its data folder")
    parser.add_argument("--no-log-files", action="store_true",
                        help="do not append the days' logs to Log_file.txt of their folders")
    args = parser.parse_args(argv)
    if not args.paths and not args.list:
        parser.error("no PATH and no --list given")
    if args.workers < 1:
        parser.error("--workers must be at least 1")
    if args.target and not os.path.isdir(args.target):
        parser.error("--target %s is not a folder" % args.target)
    return args


def _client(args):
    # Imported here so that --help and the day search work without starting Dask.
    from dask.distributed import Client, LocalCluster
    if args.scheduler:
        return Client(args.scheduler), None
    # Worker processes import this package as this process does.
    package_root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    paths = [package_root] + [p for p in os.environ.get("PYTHONPATH", "").split(os.pathsep) if p]
    os.environ["PYTHONPATH"] = os.pathsep.join(dict.fromkeys(paths))
    # Scheduler, workers and the scheduler's HTTP endpoint listen on the loopback
    # interface only, on free ports.
    cluster = LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True,
                           host="127.0.0.1", dashboard_address="127.0.0.1:0",
                           silence_logs=logging.ERROR)
    return Client(cluster), cluster


def _progress(done, failed, total):
    text = "[%s] %d of %d days done" % (PROG, done, total)
    if failed:
        text += ", %d failed" % failed
    print(text, file=sys.stderr, flush=True)


def _not_run(reason, interrupted=False):
    return {"code": None, "reason": reason, "log": "", "log_text": "", "error_text": "", "written": [],
            "interrupted": interrupted}


def run_days(days, client, target=None, products=None, images=None, calibration="floor",
             mapping="thin-shell"):
    """Sends one task per day to `client`; returns (results, interrupted): one result
    dict per day in the order of `days` (a task that raised, or a day not run because
    of an interruption, has code None and the reason). Ctrl-C cancels the days not yet
    finished and keeps those that are."""
    from dask.distributed import as_completed
    futures = client.map(_run_one, [d.path for d in days], [target] * len(days),
                         [products] * len(days), [images] * len(days),
                         [calibration] * len(days), [mapping] * len(days),
                         key=["velarix-day-%d-%s" % (i, os.path.basename(d.path))
                              for i, d in enumerate(days)],
                         pure=False)
    index = {f.key: i for i, f in enumerate(futures)}
    results = [None] * len(days)
    done = failed = 0
    try:
        for future in as_completed(futures):
            i = index[future.key]
            try:
                results[i] = future.result()
            except Exception as error:  # the worker died or the task could not run
                results[i] = _not_run("%s: %s" % (type(error).__name__, error))
            if results[i]["code"] == 0:
                done += 1
            else:
                failed += 1
            _progress(done, failed, len(days))
    except KeyboardInterrupt:
        client.cancel(futures)
        return [r if r is not None else _not_run("cancelled, or still running when interrupted", True) for r in results], True
    return results, False


def write_logs(days, results):
    """Appends the days' logs to their folders' log files, in input order. Returns the
    folders whose log could not be written."""
    by_folder = {}
    for day, result in zip(days, results):
        folder = os.path.dirname(day.path)
        texts = by_folder.setdefault(folder, ["", ""])
        texts[0] += result.get("log_text", "")
        texts[1] += result.get("error_text", "")
    return [folder for folder, (messages, errors) in by_folder.items()
            if (messages or len(errors) > 2) and not append_run_logs(folder, messages, errors)]


def summary_table(days, results):
    """The table of days: status (done, FAILED, or INTR: not finished when the batch was
    interrupted), station, date and file; the reason of a day not done."""
    rows = ["%-6s  %-4s  %-8s  %s" % ("status", "stn", "date", "observation file")]
    for day, result in zip(days, results):
        status = "done" if result["code"] == 0 else "INTR" if result.get("interrupted") else "FAILED"
        line = "%-6s  %-4s  %04d-%03d  %s" % (status, day.station, day.year, day.day_of_year, day.path)
        if result["code"] != 0:
            if result["code"] is not None:
                line += "\n        (err = %d) %s" % (result["code"], result["reason"])
            else:
                line += "\n        %s" % result["reason"]
        rows.append(line)
    done = sum(1 for r in results if r["code"] == 0)
    interrupted = sum(1 for r in results if r.get("interrupted"))
    total = "%d station-days: %d done, %d failed" % (len(days), done, len(days) - done - interrupted)
    if interrupted:
        total += ", %d not finished" % interrupted
    rows.append(total)
    return "\n".join(rows)


def main(argv=None):
    args = _parse(sys.argv[1:] if argv is None else argv)
    inputs = list(args.paths)
    try:
        for list_file in args.list:
            inputs += read_day_list(list_file)
    except OSError as error:
        print("%s: %s" % (PROG, error), file=sys.stderr)
        return 1
    days, refused = find_days(inputs)
    for path, reason in refused:
        print("%s: %s: %s" % (PROG, path, reason), file=sys.stderr)
    if not days:
        print("%s: no station-day to process" % PROG, file=sys.stderr)
        return 1
    print("[%s] %d station-days" % (PROG, len(days)), file=sys.stderr, flush=True)

    started = time.monotonic()
    client, cluster = _client(args)
    try:
        results, interrupted = run_days(days, client, args.target, args.products, args.images,
                                        args.calibration, args.mapping)
    finally:
        client.close()
        if cluster is not None:
            cluster.close()
    unwritten = [] if args.no_log_files else write_logs(days, results)
    for folder in unwritten:
        print("%s: the log could not be written in %s" % (PROG, folder), file=sys.stderr)
    print(summary_table(days, results))
    print("[%s] %.1f s" % (PROG, time.monotonic() - started), file=sys.stderr)
    if interrupted:
        print("%s: interrupted; the days not finished were not run" % PROG, file=sys.stderr)
        return 130
    if any(r["code"] != 0 for r in results):
        return 3
    return 1 if refused else 0


if __name__ == "__main__":
    sys.exit(main())
