#!/usr/bin/env python3
"""Prints the line-path table from a Google Benchmark JSON result (medians of the repetitions)."""
import json
import sys

ROWS = [
    ("BM_KvlogText", "kvlog, plain-text file, each line handed to the system (FileLinesToFlush 0)"),
    ("BM_KvlogHtml", "kvlog, HTML file, each line handed to the system (FileLinesToFlush 0)"),
    ("BM_KvlogHtmlDefaults", "kvlog defaults: HTML file, device flush every 100 lines"),
    ("BM_KvlogMappedText", "kvlog, plain-text file mapped (FileMapping 1), no system call per line"),
    ("BM_KvlogMappedHtml", "kvlog, HTML file mapped (FileMapping 1), no system call per line"),
    ("BM_SpdlogFlushEveryLine", "spdlog, flush after every line (the same guarantee)"),
    ("BM_SpdlogBuffered", "spdlog, buffered (loses lines when the process is killed)"),
    ("BM_ReferenceWrite", "reference: snprintf, then one write(2) per line under a mutex"),
]
FILTERED = [
    ("BM_FilteredKvlogCall", "kvlog exported call"),
    ("BM_FilteredKvlogIdCall", "kvlog exported call with an ID"),
    ("BM_FilteredKvlogMacro", "kvlog LOG_MESSAGE macro (inline mask test)"),
    ("BM_FilteredKvlogFmtMacro", "kvlog KVLOG_DEBUG {} macro (inline mask test)"),
    ("BM_FilteredSpdlogCall", "spdlog"),
    ("BM_FilteredBareCall", "bare exported varargs function testing a mask"),
]


def medians(path):
    with open(path) as f:
        data = json.load(f)
    found = {}
    for run in data["benchmarks"]:
        if run.get("aggregate_name", "median") != "median":
            continue
        name = run["run_name"] if "run_name" in run else run["name"]
        found[name] = run
    return data.get("context", {}), found


def lines_per_second(found, name, threads):
    run = found.get(f"{name}/real_time/threads:{threads}")
    return run["items_per_second"] if run else None


def lines_per_cpu_second(found, name, threads):
    run = found.get(f"{name}/real_time/threads:{threads}")
    return 1e9 / run["cpu_time"] if run and run.get("time_unit", "ns") == "ns" else None


def main():
    context, found = medians(sys.argv[1])
    print(f"Machine: {context.get('num_cpus')} CPUs at {context.get('mhz_per_cpu')} MHz, "
          f"{context.get('host_name', '')}, {context.get('date', '')}")
    print()
    print("| what | 1 thread | 2 threads |")
    print("|---|---|---|")
    table = {}
    cpu_table = {}
    for name, label in ROWS:
        cells = []
        for threads in (1, 2):
            value = lines_per_second(found, name, threads)
            table[(name, threads)] = value
            cpu_table[(name, threads)] = lines_per_cpu_second(found, name, threads)
            cells.append(f"{value / 1e6:.2f} M" if value else "-")
        print(f"| {label} | {cells[0]} | {cells[1]} |")
    print()
    print("| filtered call | ns |")
    print("|---|---|")
    for name, label in FILTERED:
        run = found.get(name)
        print(f"| {label} | {run['real_time']:.2f} |" if run else f"| {label} | - |")
    print()
    ratios = [
        ("kvlog text / spdlog flush every line", "BM_KvlogText", "BM_SpdlogFlushEveryLine"),
        ("kvlog text / write(2) reference", "BM_KvlogText", "BM_ReferenceWrite"),
        ("kvlog HTML / write(2) reference", "BM_KvlogHtml", "BM_ReferenceWrite"),
        ("kvlog HTML / kvlog text", "BM_KvlogHtml", "BM_KvlogText"),
        ("kvlog mapped text / spdlog buffered", "BM_KvlogMappedText", "BM_SpdlogBuffered"),
        ("kvlog mapped HTML / spdlog buffered", "BM_KvlogMappedHtml", "BM_SpdlogBuffered"),
    ]
    print("Ratios (1 thread / 2 threads):")
    print_ratios(ratios, table)
    print()
    # Lines per second of CPU time: what other programs on a shared machine move least.
    print("Ratios of the CPU time per line (1 thread / 2 threads):")
    print_ratios(ratios, cpu_table)


def print_ratios(ratios, table):
    for label, top, bottom in ratios:
        cells = []
        for threads in (1, 2):
            a, b = table.get((top, threads)), table.get((bottom, threads))
            cells.append(f"{a / b:.2f}" if a and b else "-")
        print(f"- {label}: {cells[0]} / {cells[1]}")

if __name__ == "__main__":
    main()
