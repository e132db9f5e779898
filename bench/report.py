#!/usr/bin/env python3
"""Turns the benchmark results of bench/run.sh into the tables of bench/README.md.

usage: report.py RESULTS_FOLDER

Reads RESULTS_FOLDER/bench_<label>.json (Google Benchmark JSON output, with
repetitions), RESULTS_FOLDER/peak_<label>.txt (kestrine_load_peak lines) and
RESULTS_FOLDER/conditions.txt, and prints Markdown: the medians, ratios, MB/s,
peak memory and every target as met or missed, for each time-zone setting.
"""
import json
import os
import re
import sys

UNIT = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}
SIZES = (1000, 20000, 100000)


def load_medians(path):
    with open(path) as handle:
        data = json.load(handle)
    medians = {}
    for run in data["benchmarks"]:
        if run.get("run_type") != "aggregate" or run.get("aggregate_name") != "median":
            continue
        name = run["run_name"].replace("/real_time", "")
        seconds = run["real_time"] * UNIT[run["time_unit"]]
        cpu = run["cpu_time"] * UNIT[run["time_unit"]]
        medians[name] = {"s": seconds, "cpu": cpu, "bps": run.get("bytes_per_second"), "run": run}
    return data.get("context", {}), medians


def lines_of(path):
    """The lines of a results file; none when it is missing."""
    if not os.path.exists(path):
        return []
    with open(path) as handle:
        return handle.readlines()


def load_peaks(path):
    peaks = {}
    for line in lines_of(path):
        match = re.match(r"(\S+) (\d+) services=(\d+) maxrss_kib=(\d+) rss_loaded_kib=(\d+)"
                         r"(?: status=(\d+))?", line)
        if match:
            peaks[match.group(1)] = {
                "file_bytes": int(match.group(2)),
                "services": int(match.group(3)),
                "maxrss_kib": int(match.group(4)),
                "rss_kib": int(match.group(5)),
                "status": int(match.group(6) or 0),
            }
    return peaks


def load_instructions(path):
    counts = {}
    for line in lines_of(path):
        parts = line.split()
        if len(parts) == 2 and parts[1].isdigit():
            counts[parts[0]] = int(parts[1])
    return counts


def ms(seconds):
    if seconds is None:
        return "n/a"
    if seconds >= 1e-3:
        return f"{seconds * 1e3:.2f} ms"
    return f"{seconds * 1e6:.2f} µs"


def mbps(entry):
    if entry is None or not entry.get("bps"):
        return "n/a"
    return f"{entry['bps'] / 1e6:.0f}"


def get(medians, name, size):
    return medians.get(f"{name}/{size}")


def seconds(medians, name, size, key="s"):
    entry = get(medians, name, size)
    return None if entry is None else entry[key]


def ratio(a, b):
    return None if a is None or b is None or b == 0 else a / b


def fmt_ratio(value):
    return "n/a" if value is None else f"{value:.2f}"


def verdict(ok):
    return "n/a" if ok is None else ("**met**" if ok else "**missed**")


def section(label, tz_text, context, medians, peaks, instructions, out):
    sizes = [n for n in SIZES if f"load/full_load/{n}" in medians]
    out.append(f"### TZ {tz_text}\n")
    load_avg = context.get("load_avg")
    if load_avg:
        out.append(f"Load average when the run started: {', '.join(f'{x:.2f}' for x in load_avg)}.\n")

    out.append("#### Loading (median of the repetitions; MB/s = 10^6 bytes of the file per second)\n")
    out.append("inih (c) is `ini_parse` on the path, as its users call it (it streams the file through a line")
    out.append("buffer); (c') reads the whole file into a fresh buffer first, then `ini_parse_string`: an extra,")
    out.append("for comparison only. (a') is the streaming reader that loading uses, alone; (a) the whole-file")
    out.append("tree open that saving uses.\n")
    names = (("floor: read + count lines", "load/floor_read_count_lines"),
             ("component stream (a')", "load/component_stream"),
             ("component tree open (a)", "load/component_open"),
             ("inih (c)", "load/inih_parse"),
             ("inih pre-read (c')", "load/inih_preread_string"),
             ("SimpleIni (d)", "load/simpleini_load"),
             ("full load (b)", "load/full_load"))
    out.append("| services | file | " + " | ".join(label_op for label_op, _ in names) +
               " | stream / inih | full / inih |")
    out.append("|---:|---:|" + "---|" * len(names) + "---:|---:|")
    for n in sizes:
        entry = get(medians, "load/full_load", n)
        file_mb = entry["run"].get("file_bytes", 0) / 1e6
        cells = []
        for _, name in names:
            e = get(medians, name, n)
            cells.append(f"{ms(e['s'] if e else None)} ({mbps(e)} MB/s)")
        stream_inih = ratio(seconds(medians, "load/component_stream", n), seconds(medians, "load/inih_parse", n))
        full_inih = ratio(seconds(medians, "load/full_load", n), seconds(medians, "load/inih_parse", n))
        out.append(f"| {n:,} | {file_mb:.1f} MB | " + " | ".join(cells) +
                   f" | {fmt_ratio(stream_inih)} | {fmt_ratio(full_inih)} |")
    out.append("")

    out.append("#### Saving\n")
    out.append("| services | rewrite all (SaveServicesToScript) | one write + fsync of as many bytes | rewrite / write+fsync | rewrite / full load | append one (SaveServiceToScript) | component open + save | append / (open + save) |")
    out.append("|---:|---|---|---:|---:|---|---|---:|")
    for n in sizes:
        rw = get(medians, "save/rewrite_all", n)
        wf = get(medians, "save/write_fsync_baseline", n)
        ap = get(medians, "append/save_one", n)
        os_ = get(medians, "append/component_open_save", n)
        out.append(
            f"| {n:,} | {ms(rw and rw['s'])} ({mbps(rw)} MB/s) | {ms(wf and wf['s'])} ({mbps(wf)} MB/s) | "
            f"{fmt_ratio(ratio(rw and rw['s'], wf and wf['s']))} | "
            f"{fmt_ratio(ratio(rw and rw['s'], seconds(medians, 'load/full_load', n)))} | "
            f"{ms(ap and ap['s'])} | {ms(os_ and os_['s'])} | {fmt_ratio(ratio(ap and ap['s'], os_ and os_['s']))} |")
    out.append("")

    out.append("#### Time per service (median / services) and its growth\n")
    out.append("Wall-clock time, and in brackets the CPU time of the benchmark thread (less sensitive to other")
    out.append("processes on the machine; it leaves out waiting for fsync).\n")
    out.append("| operation | " + " | ".join(f"{n:,}" for n in sizes) + " | largest / smallest |")
    out.append("|---|" + "---:|" * len(sizes) + "---:|")
    growth = {}
    growth_cpu = {}
    for label_op, name in (("component stream", "load/component_stream"),
                           ("component tree open", "load/component_open"), ("full load", "load/full_load"),
                           ("rewrite all", "save/rewrite_all"), ("floor (read + count)", "load/floor_read_count_lines"),
                           ("inih", "load/inih_parse"), ("SimpleIni", "load/simpleini_load")):
        spreads = []
        cells = []
        for key in ("s", "cpu"):
            per = [None if seconds(medians, name, n, key) is None else seconds(medians, name, n, key) / n for n in sizes]
            valid = [p for p in per if p is not None]
            spreads.append(max(valid) / min(valid) if valid else None)
            cells.append(per)
        growth[name], growth_cpu[name] = spreads
        row = []
        for wall, cpu in zip(cells[0], cells[1]):
            row.append("n/a" if wall is None else f"{wall * 1e6:.2f} µs ({cpu * 1e6:.2f})")
        out.append(f"| {label_op} | " + " | ".join(row) + f" | {fmt_ratio(spreads[0])} ({fmt_ratio(spreads[1])}) |")
    out.append("")

    out.append("#### Searches (one call each; results deleted inside the timing)\n")
    out.append("| operation | " + " | ".join(f"{n:,}" for n in sizes) + " |")
    out.append("|---|" + "---:|" * len(sizes))
    for label_op, name in (("GetServicesByWSDL", "search/by_wsdl"), ("GetServiceByName (copy out)", "search/by_name"),
                           ("GetServicePtrByName", "search/ptr_by_name")):
        out.append(f"| {label_op} | " + " | ".join(ms(seconds(medians, name, n)) for n in sizes) + " |")
    wsdl = get(medians, "search/by_wsdl", 20000)
    if wsdl:
        out.append(f"\nGetServicesByWSDL found {wsdl['run'].get('matches_per_search', 0):.2f} records per search on average.")
    out.append("")

    out.append("#### Peak memory of a process loading a file (kestrine_load_peak)\n")
    base = peaks.get("none")
    out.append("| process | file | peak RSS (ru_maxrss) | peak − baseline | (peak − baseline) / file | RSS with the repository loaded |")
    out.append("|---|---:|---:|---:|---:|---:|")
    if base:
        out.append(f"| baseline (loads nothing) | – | {base['maxrss_kib'] / 1024:.1f} MiB | – | – | {base['rss_kib'] / 1024:.1f} MiB |")
    peak_ratio = {}
    rows = [("20000", "20,000 services"), ("100000", "100,000 services"),
            ("empty-sections", "1,000,000 empty service nodes"),
            ("many-keys", "one node with 1,000,000 keys")]
    for key, label_op in rows:
        p = peaks.get(key)
        if not p or not base:
            continue
        if not key.isdigit():
            label_op += f" (status {p['status']}, {p['services']} loaded)"
        delta = (p["maxrss_kib"] - base["maxrss_kib"]) * 1024
        peak_ratio[key] = delta / p["file_bytes"]
        out.append(f"| {label_op} | {p['file_bytes'] / 1e6:.1f} MB | {p['maxrss_kib'] / 1024:.1f} MiB | "
                   f"{delta / 2**20:.1f} MiB | {peak_ratio[key]:.2f} | {p['rss_kib'] / 1024:.1f} MiB |")
    out.append("")

    counts = instructions
    if counts:
        out.append("#### Instructions of one load of 20,000 services (callgrind, `kestrine_load_once`)\n")
        out.append("Each less the instructions of the same process loading nothing "
                   f"({counts.get('none', 0):,}).\n")
        out.append("| load | instructions | per service | / inih |")
        out.append("|---|---:|---:|---:|")
        none = counts.get("none", 0)
        inih_i = counts.get("inih", 0) - none if "inih" in counts else None
        for key, label_op in (("inih", "inih `ini_parse` on the path"),
                              ("stream", "the streaming reader alone"),
                              ("full", "full load (LoadDataFromScript)")):
            if key not in counts:
                continue
            value = counts[key] - none
            out.append(f"| {label_op} | {value:,} | {value / 20000:,.0f} | {fmt_ratio(ratio(value, inih_i))} |")
        out.append("")

    # Targets.
    n = 20000

    def pair(a, b):
        return (ratio(seconds(medians, a, n), seconds(medians, b, n)),
                ratio(seconds(medians, a, n, "cpu"), seconds(medians, b, n, "cpu")))

    stream_inih, stream_inih_cpu = pair("load/component_stream", "load/inih_parse")
    full_inih, full_inih_cpu = pair("load/full_load", "load/inih_parse")
    full_si, full_si_cpu = pair("load/full_load", "load/simpleini_load")
    rw_load, rw_load_cpu = pair("save/rewrite_all", "load/full_load")
    app, app_cpu = pair("append/save_one", "append/component_open_save")
    wsdl_s = seconds(medians, "search/by_wsdl", n)
    by_name = [seconds(medians, "search/by_name", m) for m in sizes]
    ptr_name = [seconds(medians, "search/ptr_by_name", m) for m in sizes]

    def ok(value, limit):
        return None if value is None else value <= limit

    out.append("#### Targets\n")
    out.append("Verdicts use wall-clock medians; CPU-time ratios in brackets.\n")
    out.append("| target | measured | verdict |")
    out.append("|---|---|---|")
    out.append(f"| full load of 20,000 ≤ 2.5 × inih (`ini_parse` on the path) | ratio {fmt_ratio(full_inih)} ({fmt_ratio(full_inih_cpu)}) | {verdict(ok(full_inih, 2.5))} |")
    out.append(f"| streaming reader of 20,000 ≤ inih, time | ratio {fmt_ratio(stream_inih)} ({fmt_ratio(stream_inih_cpu)}) | {verdict(ok(stream_inih, 1.0))} |")
    if instructions and "inih" in instructions:
        none = instructions.get("none", 0)
        inih_i = instructions["inih"] - none
        for key, label_op in (("stream", "streaming reader"), ("full", "full load")):
            if key in instructions:
                r = ratio(instructions[key] - none, inih_i)
                out.append(f"| {label_op} of 20,000 ≤ inih, instructions (callgrind) | ratio {fmt_ratio(r)} | {verdict(ok(r, 1.0))} |")
    pr = peak_ratio.get("20000")
    out.append(f"| peak memory of loading 20,000 ≤ 1.8 × file size | (peak − baseline) / file = {fmt_ratio(pr)} | {verdict(ok(pr, 1.8))} |")
    for key, label_op in (("empty-sections", "1,000,000 empty sections"), ("many-keys", "one section of 1,000,000 keys")):
        r = peak_ratio.get(key)
        out.append(f"| peak memory of loading {label_op} ≤ 10 × file size | {fmt_ratio(r)} | {verdict(ok(r, 10.0))} |")
    spread = growth.get("load/full_load")
    out.append(f"| full load: time per service within 1.3× from 1,000 to 100,000 | largest / smallest "
               f"{fmt_ratio(spread)} ({fmt_ratio(growth_cpu.get('load/full_load'))}) | {verdict(ok(spread, 1.3))} |")
    out.append(f"| full load of 20,000 ≤ SimpleIni loading it | ratio {fmt_ratio(full_si)} ({fmt_ratio(full_si_cpu)}) | {verdict(ok(full_si, 1.0))} |")
    out.append(f"| rewrite of 20,000 ≤ 3 × full load | ratio {fmt_ratio(rw_load)} ({fmt_ratio(rw_load_cpu)}) | {verdict(ok(rw_load, 3.0))} |")
    spread = growth.get("save/rewrite_all")
    out.append(f"| rewrite: time per service within 1.5× from 1,000 to 100,000 | largest / smallest "
               f"{fmt_ratio(spread)} ({fmt_ratio(growth_cpu.get('save/rewrite_all'))}) | {verdict(ok(spread, 1.5))} |")
    out.append(f"| append one record to 20,000 ≤ 1.5 × (component open + save) | ratio {fmt_ratio(app)} ({fmt_ratio(app_cpu)}) | {verdict(ok(app, 1.5))} |")
    out.append(f"| GetServicesByWSDL over 20,000 < 5 ms | {ms(wsdl_s)} | {verdict(None if wsdl_s is None else wsdl_s < 5e-3)} |")
    if all(x is not None for x in by_name) and len(sizes) == 3:
        grow = by_name[2] / by_name[0]
        grow_ptr = ptr_name[2] / ptr_name[0] if all(ptr_name) else None
        # log2(100000) / log2(1000) = 1.67; a linear search would grow 100×.
        out.append(f"| look-up by name logarithmic (1,000 → 100,000: log predicts 1.67×, linear 100×) | "
                   f"GetServiceByName ×{grow:.2f}, GetServicePtrByName ×{fmt_ratio(grow_ptr)} | {verdict(grow < 5.0)} |")
    out.append("")


def main():
    folder = sys.argv[1]
    out = []
    conditions = os.path.join(folder, "conditions.txt")
    if os.path.exists(conditions):
        out.append("### Machine\n")
        out.append("```")
        with open(conditions) as handle:
            out.append(handle.read().rstrip())
        out.append("```\n")
    for label, tz_text in (("unset", "unset"), ("set", None)):
        path = os.path.join(folder, f"bench_tz_{label}.json")
        if not os.path.exists(path):
            continue
        context, medians = load_medians(path)
        if tz_text is None:
            tz_text = f"= {context.get('TZ', '?')}"
        peaks = load_peaks(os.path.join(folder, f"peak_tz_{label}.txt"))
        instructions = load_instructions(os.path.join(folder, f"instructions_tz_{label}.txt"))
        section(f"TZ {label}", tz_text, context, medians, peaks, instructions, out)
    print("\n".join(out))


if __name__ == "__main__":
    main()
