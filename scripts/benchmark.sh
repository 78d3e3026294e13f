#!/usr/bin/env bash
# Builds the project in release mode into build-bench/, runs every benchmark with its anchor in
# the same run, and writes docs/benchmarks.md. Takes a few minutes and wants an otherwise idle
# machine; the tests and CI never run it.
#
# ZQ8_BENCH_RUNS (default 5) sets the number of repeated runs each median is taken over. The raw
# results stay in build-bench/results; `--report-only` writes the report again from them.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${ZQ8_BENCH_RUNS:-5}
build_dir=build-bench
results="$PWD/$build_dir/results"

write_report() {
    mkdir -p docs
    python3 - "$results" "$(cat "$results/runs")" >docs/benchmarks.md <<'EOF'
import json, os, platform, statistics, subprocess, sys, datetime

results, runs = sys.argv[1], int(sys.argv[2])

def pairs(path):
    rows = []
    for line in open(os.path.join(results, path)):
        if "=" in line:
            rows.append({k: float(v) for k, v in (f.split("=") for f in line.split())})
    return rows

def median(rows, key):
    return statistics.median(r[key] for r in rows)

class Medians(dict):
    # Names as the benchmarks are declared; fixed iteration counts and manual timing add parts.
    def __missing__(self, name):
        for run_name, entry in self.items():
            if run_name.startswith(name + "/"):
                return entry
        raise KeyError(name)

def bench(path):
    data = json.load(open(os.path.join(results, path)))
    return Medians({b["run_name"]: b for b in data["benchmarks"]
                    if b.get("aggregate_name") == "median"})

def lscpu(field):
    for line in subprocess.run(["lscpu"], capture_output=True, text=True).stdout.splitlines():
        if line.startswith(field + ":"):
            return line.split(":", 1)[1].strip()
    return "?"

mem_kb = next(int(l.split()[1]) for l in open("/proc/meminfo") if l.startswith("MemTotal"))
click = pairs("click.txt")
start_zq8, start_min = pairs("start_zq8.txt"), pairs("start_minimal.txt")
link, store = bench("link_bench.json"), bench("settings_bench.json")

def us(v): return f"{v:,.0f} µs" if v >= 100 else f"{v:,.1f} µs"
def ratio(a, b): return f"{a / b:.2f}×"
def verdict(value, limit):
    return "met" if value <= limit else f"**missed** by {value / limit:.2f}×"

out = []
w = out.append
w("# Benchmarks")
w("")
w(f"Written by `scripts/benchmark.sh` on {datetime.date.today().isoformat()}, release build. "
  f"Each figure is the median of {runs} runs (start-up: {3 * runs} starts of each program), "
  "and each ratio is to the anchor measured in the same run.")
w("")
w(f"Machine: {lscpu('Model name')}, {os.cpu_count()} cores, {mem_kb / 1048576:.0f} GiB of memory, "
  f"Linux {platform.release()}; X server: Xvfb.")
w("")

c_med, c_p99 = median(click, "click_median_us"), median(click, "click_p99_us")
p_med, p_p99 = median(click, "printf_median_us"), median(click, "printf_p99_us")
w("## Click to wire")
w("")
w("From a real mouse click (an XTest button press and release on \"Power On/Off\" of build/zq8) "
  "to the frame's last byte readable on the pseudo-terminal's master side; the anchor is a bash "
  "already running that is handed `printf '\\x02\\xba\\x15\\x00\\xd1' > /dev/pts/N`, timed the "
  "same way. 400 clicks and 400 printfs a run, in turn.")
w("")
w("| | Median | 99th percentile | Target |")
w("|---|---|---|---|")
w(f"| click to wire | {us(c_med)} | {us(c_p99)} | under 1 ms at the 99th percentile: {verdict(c_p99, 1000)} |")
w(f"| printf from a shell (anchor) | {us(p_med)} | {us(p_p99)} | |")
w(f"| ratio | {ratio(c_med, p_med)} | {ratio(c_p99, p_p99)} | |")
lat_h = link["BM_CmdoutToBytesReadable/height:474"]
lat_s = link["BM_CmdoutToBytesReadable/height:584"]
w("")
w(f"Of that, cmdout itself (in-process, frame built, written and logged, until readable) takes "
  f"{us(lat_h['median_us'])} at the median and {us(lat_h['p99_us'])} at the 99th percentile with "
  f"the log hidden, {us(lat_s['median_us'])} and {us(lat_s['p99_us'])} with it shown; the rest is "
  "the X server and the toolkit delivering the click.")
w("")

s_zq8, s_min = median(start_zq8, "startup_us"), median(start_min, "startup_us")
m_zq8, m_min = median(start_zq8, "maxrss_kb"), median(start_min, "maxrss_kb")
w("## Start-up")
w("")
w("From just before the fork to the X server's MapNotify of the program's window (the panel maps "
  "its main window after its Open has run: settings loaded, port reopened, protocol applied), "
  "and the peak resident memory of the child, read when it is ended 0.5 s after the map. Every "
  "start is a first start, in an empty settings folder. The anchor is bench/anchor/minimal_window, "
  "one empty 260 by 474 Qt Widgets window, built in the same tree.")
w("")
w("| | build/zq8 | minimal window (anchor) | Ratio | Target |")
w("|---|---|---|---|---|")
w(f"| time to window shown | {s_zq8 / 1000:.1f} ms | {s_min / 1000:.1f} ms | {ratio(s_zq8, s_min)} | "
  f"within 1.3×: {verdict(s_zq8 / s_min, 1.3)} |")
w(f"| peak memory | {m_zq8 / 1024:.1f} MiB | {m_min / 1024:.1f} MiB | {ratio(m_zq8, m_min)} | "
  f"within 1.2×: {verdict(m_zq8 / m_min, 1.2)} |")
w("")

def rate(name): return link[name]["frames_per_s"]
bare = rate("BM_BareWriteThroughput")
w("## Frames a second through cmdout")
w("")
w("cmdout in a loop on a pseudo-terminal, drained every 256 frames, against bare write(2) calls "
  "of the same five bytes on a raw descriptor of the same kind of pseudo-terminal. With the log "
  "shown each frame also adds its row (emptied outside the timing at 100,000 rows); no event "
  "pass runs in between, so this is the link and the log's model, not the painting.")
w("")
w("| | Frames a second | Ratio to bare writes |")
w("|---|---|---|")
for label, name in (("log hidden", "BM_CmdoutThroughput/height:474"),
                    ("log shown", "BM_CmdoutThroughput/height:584")):
    w(f"| {label} | {rate(name):,.0f} | {rate(name) / bare:.2f}× |")
w(f"| bare writes (anchor) | {bare:,.0f} | |")
w("")

w("## Cost per row of the command log")
w("")
w("Time: one more frame sent with the log shown, and the event pass after it (the list's layout "
  "and painting), as after a click, in a log already holding the given number of rows. Memory: "
  "the heap that malloc hands out for the rows, divided by their number. Ratios are to the "
  "1,000-row figure.")
w("")
w("| Rows in the log | Time per row | Ratio | Heap per row | Ratio |")
w("|---|---|---|---|---|")
t1 = link["BM_OneMoreRow/rows:1000"]["real_time"]
b1 = link["BM_MemoryPerRow/rows:1000"]["bytes_per_row"]
for rows in (1000, 10000, 100000):
    t = link[f"BM_OneMoreRow/rows:{rows}"]["real_time"]
    b = link[f"BM_MemoryPerRow/rows:{rows}"]["bytes_per_row"]
    w(f"| {rows:,} | {us(t)} | {t / t1:.2f}× | {b:.0f} bytes | {b / b1:.2f}× |")
t100 = link["BM_OneMoreRow/rows:100000"]["real_time"]
b100 = link["BM_MemoryPerRow/rows:100000"]["bytes_per_row"]
w("")
w(f"Target, flat within 2× from 1,000 to 100,000 rows: time {verdict(t100 / t1, 2)}, "
  f"memory {verdict(b100 / b1, 2)}.")
w("")

put = store["BM_Putconfig"]["real_time"]
floor = store["BM_BareAtomicRewrite"]["real_time"]
w("## One settings store")
w("")
w("config::putconfig of \"zq8lang\": all 256 lines to a new file, fsync, rename over zq8.ini, "
  "fsync of the folder. The anchor writes the same bytes with the same four steps in bare system "
  "calls, the floor of any store that survives a power cut.")
w("")
w("| | Time | Ratio |")
w("|---|---|---|")
w(f"| config::putconfig | {us(put)} | {put / floor:.2f}× |")
w(f"| bare atomic rewrite (anchor) | {us(floor)} | |")
w("")

listing = link["BM_ListSerialPorts"]["real_time"]
notes = []
if c_p99 > 1000:
    notes.append(
        f"Click to wire, 99th percentile: {us(c_p99)}, over the 1 ms target by "
        f"{c_p99 / 1000:.2f}×. cmdout's own share is the in-process figure above; the rest is the "
        "road of the click. The machine is mostly idle meanwhile: the time goes to waiting, not "
        "to work. On the button's release the toolkit repaints the button synchronously before "
        "it reports the click, and that repaint goes to the X server and waits for it (two round "
        "trips, seen with strace), on top of the hops from the X server to the toolkit's X reader "
        "thread and on to the main thread. The printf anchor has two such hops in all.")
if s_zq8 / s_min > 1.3:
    notes.append(
        f"Start-up: {ratio(s_zq8, s_min)} the minimal window, over the 1.3× target by "
        f"{s_zq8 / s_min / 1.3:.2f}×. Before the window shows, the Open that reopens the "
        "stored port lists the machine's serial ports (reading every terminal device the kernel "
        "lists in /sys, about 10 ms on a machine with many of them; one listing serves the whole "
        "lookup by name). The rest is building 44 controls and the menu bar, drawing text (the "
        "empty window draws none), and the store of \"zq8lang\" with its two fsyncs (see the "
        "settings store below).")
if m_zq8 / m_min > 1.2:
    notes.append(
        f"Peak memory: {ratio(m_zq8, m_min)} the minimal window, over the 1.2× target by "
        f"{m_zq8 / m_min / 1.2:.2f}×. The empty window loads no fonts; the panel's text brings "
        "in the font configuration, FreeType and HarfBuzz with their caches, and the serial port "
        "listing brings Qt Serial Port and libudev.")
if t100 / t1 > 2:
    notes.append(
        f"Time per row: {t100 / t1:.1f}× from 1,000 to 100,000 rows, over the 2× target by "
        f"{t100 / t1 / 2:.1f}×. After each inserted row the list view lays out every row again "
        "on the next event pass (a profile is dominated by the model's index lookups, one per "
        "row, made to see whether each row is hidden), so one more row costs time in proportion "
        "to the rows already there. The memory per row stays flat.")
if notes:
    w("## Targets missed")
    w("")
    for n in notes:
        w(f"- {n}")
    w("")
print("\n".join(out))
EOF
    echo "wrote docs/benchmarks.md"
}

if [ "${1:-}" = --report-only ]; then
    write_report
    exit 0
fi

ZQ8_BUILD_DIR=$build_dir bash scripts/setup.sh -DCMAKE_BUILD_TYPE=Release
for program in zq8 minimal_window xprobe link_bench settings_bench; do
    [ -x "$build_dir/$program" ] || { echo "missing $build_dir/$program" >&2; exit 1; }
done

# A private X server and settings folder, shared with the end-to-end tests.
source tests/support/e2e.sh
e2e_start_display
export XDG_RUNTIME_DIR="$e2e_dir/runtime"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
rm -rf "$results"
mkdir -p "$results"
echo "$runs" >"$results/runs"

# A fresh settings folder for each start, so that every run is a first start.
fresh_settings() {
    XDG_CONFIG_HOME=$(mktemp -d "$e2e_dir/config.XXXXXX")
    export XDG_CONFIG_HOME
}

google_benchmark() {
    local name=$1
    echo "== $name"
    "$build_dir/$name" --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true \
        --benchmark_out="$results/$name.json" --benchmark_out_format=json 2>/dev/null
}

echo "== click to wire, $runs runs of 400 clicks"
for _ in $(seq "$runs"); do
    fresh_settings
    # "Power On/Off" (key 17, 100 by 22 at 140, 8), code 21 under Sony SIRC.
    "$build_dir/xprobe" click 400 190 19 474 0x15 "$build_dir/zq8" 2>/dev/null | tee -a "$results/click.txt"
done

echo "== start-up, $((3 * runs)) starts of each program, in turn"
for _ in $(seq $((3 * runs))); do
    fresh_settings
    "$build_dir/xprobe" start 500 "$build_dir/minimal_window" 2>/dev/null >>"$results/start_minimal.txt"
    fresh_settings
    "$build_dir/xprobe" start 500 "$build_dir/zq8" 2>/dev/null >>"$results/start_zq8.txt"
done
paste "$results/start_zq8.txt" "$results/start_minimal.txt"

fresh_settings
google_benchmark link_bench
google_benchmark settings_bench

write_report
