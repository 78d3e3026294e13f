#!/usr/bin/env python3
"""Writes docs/benchmarks.md (to stdout) from the raw results of scripts/benchmark.sh.

Usage: benchmark_report.py RESULTS_DIR

RESULTS_DIR holds one folder per run (run-1, run-2, ...). The samples of all runs are pooled for
the medians and percentiles; each ratio is between figures of the same runs, and the ratio of each
run on its own is given beside it so that a run on a busy machine shows.
"""
import datetime
import json
import os
import platform
import statistics
import subprocess
import sys

# Targets, as ratios to the anchors measured in the same runs.
START_TO_FAIR = 1.1
START_TO_EMPTY = 1.5
PSS_TO_FAIR = 1.1
CLICK_TO_FAIR = 1.1
ROW_FLATNESS = 2.0

PROGRAMS = {
    "minimal_window": "empty window (anchor)",
    "menu_window": "menu window (fair anchor)",
    "zq8_first": "build/zq8, first start",
    "zq8_stored": "build/zq8, stored port",
}


def key_values(words):
    return {k: float(v) for k, v in (w.split("=", 1) for w in words if "=" in w)}


def named_rows(path):
    """Lines of "NAME key=value ..." as (name, values); lines without values (a failed
    measurement) are left out."""
    rows = []
    if os.path.exists(path):
        for line in open(path):
            words = line.split()
            if len(words) > 1 and "=" in words[1]:
                rows.append((words[0], key_values(words[1:])))
    return rows


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(fraction * len(ordered)))]


class Medians(dict):
    # Benchmarks by the name they are declared with; fixed iteration counts add a part.
    def __missing__(self, name):
        for run_name, entry in self.items():
            if run_name.startswith(name + "/"):
                return entry
        raise KeyError(name)


def google_medians(path):
    """Each benchmark's median over its repetitions; its one result when it ran once."""
    data = json.load(open(path))
    medians = Medians({b["run_name"]: b for b in data["benchmarks"]
                       if b.get("run_type") == "iteration"})
    medians.update({b["run_name"]: b for b in data["benchmarks"]
                    if b.get("aggregate_name") == "median"})
    return medians


class Run:
    def __init__(self, folder):
        self.name = os.path.basename(folder)
        self.settings = {}
        settings = os.path.join(folder, "settings.txt")
        if os.path.exists(settings):
            self.settings = dict(w.split("=", 1) for w in open(settings).read().split())
        self.starts = named_rows(os.path.join(folder, "start.txt"))
        self.instructions = dict((n, v["instructions"]) for n, v in
                                 named_rows(os.path.join(folder, "instructions.txt")))
        self.click_samples = {}
        samples = os.path.join(folder, "click_samples.txt")
        if os.path.exists(samples):
            for line in open(samples):
                label, micros = line.split()
                self.click_samples.setdefault(label, []).append(float(micros))
        self.link = google_medians(os.path.join(folder, "link_bench.json"))
        self.store = google_medians(os.path.join(folder, "settings_bench.json"))

    def start_values(self, program, key):
        return [v[key] for n, v in self.starts if n == program and v.get(key, -1) >= 0]


def lscpu(field):
    for line in subprocess.run(["lscpu"], capture_output=True, text=True).stdout.splitlines():
        if line.startswith(field + ":"):
            return line.split(":", 1)[1].strip()
    return "?"


def main():
    results = sys.argv[1]
    folders = sorted((os.path.join(results, f) for f in os.listdir(results)
                      if f.startswith("run-")), key=lambda f: int(f.rsplit("-", 1)[1]))
    runs = [Run(f) for f in folders]
    if not runs:
        sys.exit("no runs in " + results)

    def pooled(program, key):
        return [x for r in runs for x in r.start_values(program, key)]

    def median_start(program, key):
        values = pooled(program, key)
        return statistics.median(values) if values else float("nan")

    def per_run(program, anchor, key):
        ratios = []
        for r in runs:
            a, b = r.start_values(program, key), r.start_values(anchor, key)
            if a and b:
                ratios.append(statistics.median(a) / statistics.median(b))
        return ", ".join(f"{x:.2f}×" for x in ratios)

    def ratio(a, b):
        return f"{a / b:.2f}×"

    def verdict(value, limit):
        return "met" if value <= limit else f"**missed** by {value / limit:.2f}×"

    def us(v):
        return f"{v:,.0f} µs" if v >= 100 else f"{v:,.1f} µs"

    def ms(v):
        return f"{v / 1000:.1f} ms"

    def mib(kb):
        return f"{kb / 1024:.1f} MiB"

    mem_kb = next(int(l.split()[1]) for l in open("/proc/meminfo") if l.startswith("MemTotal"))
    dates = sorted({r.settings.get("date", "?") for r in runs})
    loads = ", ".join(f"{r.settings.get('load_before', '?')} to {r.settings.get('load_after', '?')}"
                      for r in runs)
    starts = sum(int(r.settings.get("starts", 0)) for r in runs)
    clicks = sum(int(r.settings.get("clicks", 0)) for r in runs)
    reps = runs[0].settings.get("repetitions", "?")

    out = []
    w = out.append
    w("# Benchmarks")
    w("")
    w(f"Written by `scripts/benchmark.sh` from {len(runs)} run{'s' if len(runs) > 1 else ''} "
      f"({', '.join(dates)}), release build. Each program is measured in turn with its anchors in "
      "the same run, and every ratio is between figures of the same runs; the samples of all runs "
      "are pooled, and the ratio of each run on its own is given beside the pooled one. No "
      "absolute figure is a target: this machine is shared.")
    w("")
    w(f"Machine: {lscpu('Model name')}, {os.cpu_count()} cores, {mem_kb / 1048576:.0f} GiB of "
      f"memory, Linux {platform.release()}; X server: Xvfb with openbox; load average before and "
      f"after each run: {loads}.")
    w("")

    # Start-up.
    t = {p: median_start(p, "startup_us") for p in PROGRAMS}
    ins = {p: statistics.median([r.instructions[p] for r in runs if p in r.instructions])
           if any(p in r.instructions for r in runs) else float("nan") for p in PROGRAMS}
    w("## Start-up")
    w("")
    w("From just before the fork to the X server's MapNotify of the window (under the window "
      "manager, of the frame it puts the window in). The panel maps its main window once its Open "
      "has run: the settings file loaded and rewritten with fsync, the stored port opened and the "
      "protocol's frame sent. A first start has an empty settings folder; a stored-port start has "
      "a settings file naming a pseudo-terminal listed in ZQ8_SERIAL_PORTS, and the probe checks "
      "that the protocol's frame arrived on it. The anchors are built in the same tree: "
      "bench/anchor/minimal_window, an empty 260 by 474 Qt Widgets window, and "
      "bench/anchor/menu_window, the same content size below a menu bar of three menus (the "
      "panel's entries and shortcuts) and one text button, done the plainest Qt way. "
      f"{starts} starts of each program in all, in turn. Instructions to the map are counted by "
      "callgrind up to the program's request to map its window, one start of each per run.")
    w("")
    w("| | Time to the window shown | Ratio to the menu window | Ratio to the empty window "
      "| Instructions to the map | Ratio to the menu window |")
    w("|---|---|---|---|---|---|")
    for p, label in PROGRAMS.items():
        w(f"| {label} | {ms(t[p])} | {ratio(t[p], t['menu_window'])} | "
          f"{ratio(t[p], t['minimal_window'])} | {ins[p] / 1e6:.1f} M | "
          f"{ratio(ins[p], ins['menu_window'])} |")
    w("")
    for p in ("zq8_first", "zq8_stored"):
        w(f"- {PROGRAMS[p]}: {ratio(t[p], t['menu_window'])} the menu window (each run: "
          f"{per_run(p, 'menu_window', 'startup_us')}), target within {START_TO_FAIR}×: "
          f"{verdict(t[p] / t['menu_window'], START_TO_FAIR)}; {ratio(t[p], t['minimal_window'])} "
          f"the empty window (each run: {per_run(p, 'minimal_window', 'startup_us')}), target "
          f"within {START_TO_EMPTY}×: {verdict(t[p] / t['minimal_window'], START_TO_EMPTY)}.")
    w("")

    # Memory at the map.
    pss = {p: median_start(p, "pss_kb") for p in PROGRAMS}
    private = {p: median_start(p, "private_kb") for p in PROGRAMS}
    anonymous = {p: median_start(p, "anonymous_kb") for p in PROGRAMS}
    peak = {p: median_start(p, "maxrss_kb") for p in PROGRAMS}
    w("## Memory at the map")
    w("")
    w("Read from /proc/PID/smaps_rollup as the window is mapped. The proportional set size "
      "counts each shared page divided among the processes that map it, and the private pages "
      "(clean and dirty) are those no other process maps at that moment: both move with what "
      "else runs on the machine, since another Qt program shares the library pages. The "
      "anonymous pages (heap, stacks, library data written) are the program's own whatever "
      "runs. The peak resident size, read when the program is ended 0.3 s later, counts every "
      "shared library page in full.")
    w("")
    w("| | PSS | Ratio to the menu window | Ratio to the empty window | Private | Anonymous | "
      "Ratio to the menu window | Peak resident |")
    w("|---|---|---|---|---|---|---|---|")
    for p, label in PROGRAMS.items():
        w(f"| {label} | {mib(pss[p])} | {ratio(pss[p], pss['menu_window'])} | "
          f"{ratio(pss[p], pss['minimal_window'])} | {mib(private[p])} | {mib(anonymous[p])} | "
          f"{ratio(anonymous[p], anonymous['menu_window'])} | {mib(peak[p])} |")
    w("")
    for p in ("zq8_first", "zq8_stored"):
        w(f"- {PROGRAMS[p]}: PSS {ratio(pss[p], pss['menu_window'])} the menu window (each run: "
          f"{per_run(p, 'menu_window', 'pss_kb')}), target within {PSS_TO_FAIR}×: "
          f"{verdict(pss[p] / pss['menu_window'], PSS_TO_FAIR)}.")
    w("")

    # Click to wire.
    samples = {}
    for r in runs:
        for label, values in r.click_samples.items():
            samples.setdefault(label, []).extend(values)
    spread = {label: (statistics.median(v), percentile(v, 0.99)) for label, v in samples.items()}
    zq8_click, fair_click, floor = spread["zq8"], spread["menu_window"], spread["printf"]
    w("## Click to wire")
    w("")
    w("From an XTest button press and release on \"Power On/Off\" to the frame's last byte "
      "readable on the master side of a pseudo-terminal. build/zq8 has the pseudo-terminal as its "
      "stored port; the fair anchor, bench/anchor/menu_window, is given one of its own and writes "
      "the same five bytes when its button at the same place is clicked (before the button "
      "repaints, as the panel's keys do). Both run at once and take turns in blocks of 25 "
      "clicks, each brought to the front before its block. After every click a bash already "
      "running is handed `printf '\\x02\\xba\\x15\\x00\\xd1' > /dev/pts/N`, timed the same way: "
      f"the floor of any write from a process woken by a request. {clicks} clicks on each "
      "program in all.")
    w("")
    w("| | Median | 99th percentile | Median to the menu window | 99th percentile to the menu "
      "window | Median to printf | 99th percentile to printf |")
    w("|---|---|---|---|---|---|---|")
    for label, (med, p99) in (("build/zq8", zq8_click), ("menu window (fair anchor)", fair_click),
                              ("printf from a shell (floor)", floor)):
        w(f"| {label} | {us(med)} | {us(p99)} | {ratio(med, fair_click[0])} | "
          f"{ratio(p99, fair_click[1])} | {ratio(med, floor[0])} | {ratio(p99, floor[1])} |")
    w("")
    click_runs = []
    for r in runs:
        if "zq8" in r.click_samples and "menu_window" in r.click_samples:
            click_runs.append(statistics.median(r.click_samples["zq8"]) /
                              statistics.median(r.click_samples["menu_window"]))
    w(f"Median {ratio(zq8_click[0], fair_click[0])} the menu window (each run: "
      f"{', '.join(f'{x:.2f}×' for x in click_runs)}), target within {CLICK_TO_FAIR}×: "
      f"{verdict(zq8_click[0] / fair_click[0], CLICK_TO_FAIR)}.")
    link_runs = [r.link for r in runs]

    def link_value(name, key):
        return statistics.median(l[name][key] for l in link_runs)

    lat_h = ("BM_CmdoutToBytesReadable/height:474", "BM_CmdoutToBytesReadable/height:584")
    w("")
    w(f"Of that, cmdout itself (in-process: the frame built, written and logged, until readable) "
      f"takes {us(link_value(lat_h[0], 'median_us'))} at the median and "
      f"{us(link_value(lat_h[0], 'p99_us'))} at the 99th percentile with the log hidden, "
      f"{us(link_value(lat_h[1], 'median_us'))} and {us(link_value(lat_h[1], 'p99_us'))} with it "
      "shown; the rest is the X server and the toolkit delivering the click.")
    w("")

    # Frames a second.
    bare = link_value("BM_BareWriteThroughput", "frames_per_s")
    w("## Frames a second through cmdout")
    w("")
    w("cmdout in a loop on a pseudo-terminal, drained every 256 frames, against bare write(2) "
      "calls of the same five bytes on a raw descriptor of the same kind of pseudo-terminal. With "
      "the log shown each frame also adds its row (emptied outside the timing at 100,000 rows); "
      "no event pass runs in between, so this is the link and the log's model, not the painting. "
      f"Medians of {reps} repetitions a run.")
    w("")
    w("| | Frames a second | Ratio to bare writes |")
    w("|---|---|---|")
    for label, name in (("log hidden", "BM_CmdoutThroughput/height:474"),
                        ("log shown", "BM_CmdoutThroughput/height:584")):
        rate = link_value(name, "frames_per_s")
        w(f"| {label} | {rate:,.0f} | {rate / bare:.2f}× |")
    w(f"| bare writes (anchor) | {bare:,.0f} | |")
    w("")

    # Cost per row.
    w("## Cost per row of the command log")
    w("")
    w("Time: one more frame sent with the log shown, and the event pass after it (the list's "
      "layout and painting), as after a click, in a log already holding the given number of rows. "
      "Memory: the heap that malloc hands out for the rows, divided by their number. Ratios are "
      "to the 1,000-row figure.")
    w("")
    w("| Rows in the log | Time per row | Ratio | Heap per row | Ratio |")
    w("|---|---|---|---|---|")
    t1 = link_value("BM_OneMoreRow/rows:1000", "real_time")
    b1 = link_value("BM_MemoryPerRow/rows:1000", "bytes_per_row")
    for rows in (1000, 10000, 100000):
        tr = link_value(f"BM_OneMoreRow/rows:{rows}", "real_time")
        br = link_value(f"BM_MemoryPerRow/rows:{rows}", "bytes_per_row")
        w(f"| {rows:,} | {us(tr)} | {tr / t1:.2f}× | {br:.0f} bytes | {br / b1:.2f}× |")
    t100 = link_value("BM_OneMoreRow/rows:100000", "real_time")
    b100 = link_value("BM_MemoryPerRow/rows:100000", "bytes_per_row")
    w("")
    w(f"Target, flat within {ROW_FLATNESS:.0f}× from 1,000 to 100,000 rows: time "
      f"{verdict(t100 / t1, ROW_FLATNESS)}, memory {verdict(b100 / b1, ROW_FLATNESS)}.")
    w("")

    # Settings store.
    put = statistics.median(r.store["BM_Putconfig"]["real_time"] for r in runs)
    floor_store = statistics.median(r.store["BM_BareAtomicRewrite"]["real_time"] for r in runs)
    w("## One settings store")
    w("")
    w("config::putconfig of \"zq8lang\": all 256 lines to a new file, fsync, rename over zq8.ini, "
      "fsync of the folder. The anchor writes the same bytes with the same four steps in bare "
      "system calls, the floor of any store that survives a power cut.")
    w("")
    w("| | Time | Ratio |")
    w("|---|---|---|")
    w(f"| config::putconfig | {us(put)} | {put / floor_store:.2f}× |")
    w(f"| bare atomic rewrite (anchor) | {us(floor_store)} | |")
    w("")

    # Settings load.
    load = statistics.median(r.store["BM_LoadStoredFile"]["real_time"] for r in runs)
    huge = statistics.median(r.store["BM_LoadTenGigabytesWithoutALineEnd"]["real_time"]
                             for r in runs)
    first = t["zq8_first"] / 1000
    w("## Loading the settings file")
    w("")
    w("config::initconfig as a start runs it: of a file as the store writes it, and of a file of "
      "10 GiB without a line end (sparse), which is read only up to the most that the table's 256 "
      "lines can take (256 lines of 1 MiB and a line end). Ratios are to the load of the stored "
      "file and to the whole first start of build/zq8 above.")
    w("")
    w("| | Time | Ratio to the stored file | Ratio to a first start |")
    w("|---|---|---|---|")
    w(f"| the stored file | {us(load)} | 1.00× | {load / 1000 / first:.4f}× |")
    w(f"| 10 GiB without a line end | {huge:,.0f} ms | {huge * 1000 / load:,.0f}× | "
      f"{huge / first:.2f}× |")
    w("")

    # Listing.
    listing = link_value("BM_ListSerialPorts", "real_time")
    ports = link_value("BM_ListSerialPorts", "ports")
    w("## One listing of the serial ports")
    w("")
    w("fw::System::SerialPortCount as the port dialog calls it when it opens: each timed listing "
      "comes after the time the framework keeps a listing has passed and an event pass has run, "
      "so it is a full listing of the machine's ports, never a kept one.")
    w("")
    w(f"| one full listing | {listing:.1f} ms | {ports:.0f} port{'s' if ports != 1 else ''} "
      "listed |")
    w("|---|---|---|")
    w("")

    # Targets missed, with what they cost.
    notes = []
    for p in ("zq8_first", "zq8_stored"):
        fair, empty = t[p] / t["menu_window"], t[p] / t["minimal_window"]
        if fair > START_TO_FAIR or empty > START_TO_EMPTY:
            misses = []
            if fair > START_TO_FAIR:
                misses.append(f"{ratio(t[p], t['menu_window'])} the menu window, over "
                              f"{START_TO_FAIR}× by {fair / START_TO_FAIR:.2f}×")
            if empty > START_TO_EMPTY:
                misses.append(f"{ratio(t[p], t['minimal_window'])} the empty window, over "
                              f"{START_TO_EMPTY}× by {empty / START_TO_EMPTY:.2f}×")
            notes.append(
                f"Start-up, {PROGRAMS[p]}: {'; '.join(misses)}. It takes "
                f"{ms(t[p] - t['menu_window'])} and {(ins[p] - ins['menu_window']) / 1e6:.1f} M "
                f"instructions more than the menu window, which itself takes "
                f"{ms(t['menu_window'] - t['minimal_window'])} and "
                f"{(ins['menu_window'] - ins['minimal_window']) / 1e6:.1f} M instructions more than "
                f"the empty window (the font configuration, the menu bar). Of the panel's own work "
                f"before the map: the settings store is {us(put)} a rewrite (one at a first start, "
                f"two with a stored port); a full listing of the serial ports, where start-up "
                f"still takes one, is {listing:.1f} ms.")
    if pss["zq8_first"] / pss["menu_window"] > PSS_TO_FAIR:
        notes.append(
            f"PSS at the map: {ratio(pss['zq8_first'], pss['menu_window'])} the menu window, over "
            f"{PSS_TO_FAIR}× by {pss['zq8_first'] / pss['menu_window'] / PSS_TO_FAIR:.2f}×: "
            f"{(pss['zq8_first'] - pss['menu_window']) / 1024:.1f} MiB more, of which "
            f"{(anonymous['zq8_first'] - anonymous['menu_window']) / 1024:.1f} MiB anonymous "
            "(the panel's 44 controls and their pictures, the settings table, the serial "
            "control).")
    if zq8_click[0] / fair_click[0] > CLICK_TO_FAIR:
        notes.append(
            f"Click to wire, median: {ratio(zq8_click[0], fair_click[0])} the menu window, over "
            f"{CLICK_TO_FAIR}× by {zq8_click[0] / fair_click[0] / CLICK_TO_FAIR:.2f}×: "
            f"{us(zq8_click[0] - fair_click[0])} more, against "
            f"{us(link_value(lat_h[0], 'median_us'))} for cmdout itself in-process.")
    if t100 / t1 > ROW_FLATNESS:
        notes.append(f"Time per row: {t100 / t1:.1f}× from 1,000 to 100,000 rows, over the "
                     f"{ROW_FLATNESS:.0f}× target by {t100 / t1 / ROW_FLATNESS:.1f}×.")
    if notes:
        w("## Targets missed")
        w("")
        for n in notes:
            w(f"- {n}")
        w("")
    print("\n".join(out))


if __name__ == "__main__":
    main()
