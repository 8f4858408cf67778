#!/usr/bin/env python3
"""The measuring half of bench/side-by-side (see there for the whole run).

  side_by_side.py lyrics SECONDS STEP FILE
      writes a lyrics file with a time tag every STEP seconds
  side_by_side.py measure --name NAME --mark TOKEN ... --result FILE
      waits for the program to settle, then samples its processes, the X
      server and mpv's position, and writes the figures as JSON
  side_by_side.py table FILE...
      prints the figures of the runs as one table

Only the Python standard library is used.
"""

import argparse
import bisect
import json
import os
import socket
import statistics
import subprocess
import sys
import threading
import time

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
MARK_VARIABLE = "VERSO_BENCH_RUN"


def write_lyrics(seconds, step, path):
    """Lines every `step` seconds from 1.7 s on, titled as the song."""
    lines = ["[ti:Side by Side]", "[ar:Verso Bench]"]
    number = 1
    tag = 1.7
    while tag < seconds - 1:
        minutes, rest = divmod(tag, 60)
        lines.append("[%02d:%05.2f]Line %d of the side-by-side song" % (minutes, rest, number))
        number += 1
        tag = round(tag + step, 2)
    with open(path, "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")


# ---- processes, read from /proc

def read_text(path):
    try:
        with open(path, "rb") as f:
            return f.read().decode("utf-8", "replace")
    except OSError:
        return None


def has_mark(pid, token):
    """Whether the process's environment carries this run's mark."""
    environ = read_text("/proc/%d/environ" % pid)
    if environ is None:
        return False
    return ("%s=%s" % (MARK_VARIABLE, token)) in environ.split("\0")


def process_sample(pid):
    """CPU seconds so far, threads, VmHWM and VmRSS (KiB) of a process."""
    stat = read_text("/proc/%d/stat" % pid)
    status = read_text("/proc/%d/status" % pid)
    if stat is None or status is None:
        return None
    # the command name may hold spaces and parentheses: fields follow the last ')'
    fields = stat[stat.rfind(")") + 2:].split()
    cpu = (int(fields[11]) + int(fields[12])) / CLOCK_TICKS
    values = {}
    for line in status.splitlines():
        key, _, value = line.partition(":")
        if key in ("Threads", "VmHWM", "VmRSS"):
            values[key] = int(value.split()[0])
    # proportional set size: shared pages split among the processes sharing
    # them (the interpreter of ten Python processes counts once in all)
    pss = 0
    for line in (read_text("/proc/%d/smaps_rollup" % pid) or "").splitlines():
        if line.startswith("Pss:"):
            pss = int(line.split()[1])
            break
    return {"cpu": cpu, "threads": values.get("Threads", 0),
            "hwm": values.get("VmHWM", 0), "rss": values.get("VmRSS", 0), "pss": pss}


def command_of(pid):
    cmdline = read_text("/proc/%d/cmdline" % pid) or ""
    return " ".join(part for part in cmdline.split("\0") if part)


class ProgramSampler:
    """Follows every process marked with the run's token (the program and
    whatever it or its bus started), except those given."""

    def __init__(self, token, exclude, name_filter):
        self.token = token
        self.exclude = set(exclude)
        self.name_filter = name_filter
        self.known = {}        # pid -> bool (ours)
        self.first = {}        # pid -> cpu seconds when first seen
        self.last = {}         # pid -> last sample
        self.commands = {}
        self.others = {}       # marked processes left out by the name filter
        self.peak_threads = 0
        self.peak_rss = 0
        self.peak_pss = 0

    def _ours(self, pid):
        if pid not in self.known:
            ours = False
            if pid not in self.exclude and has_mark(pid, self.token):
                command = command_of(pid)
                if self.name_filter and self.name_filter not in command:
                    # (the bus's own forks on the way to starting a service
                    # are no program of their own)
                    if not command.startswith("dbus-daemon"):
                        self.others[pid] = command
                else:
                    ours = True
                    self.commands[pid] = command
            self.known[pid] = ours
        return self.known[pid]

    def sample(self, baseline):
        threads = 0
        rss = 0
        pss = 0
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            pid = int(entry)
            if not self._ours(pid):
                continue
            values = process_sample(pid)
            if values is None:
                continue
            if pid not in self.first:
                # present when measuring starts: counted from there; started
                # later: counted from its start
                self.first[pid] = values["cpu"] if baseline else 0.0
            self.last[pid] = values
            threads += values["threads"]
            rss += values["rss"]
            pss += values["pss"]
        self.peak_threads = max(self.peak_threads, threads)
        self.peak_rss = max(self.peak_rss, rss)
        self.peak_pss = max(self.peak_pss, pss)

    def cpu_seconds(self):
        return sum(self.last[pid]["cpu"] - self.first[pid] for pid in self.last)

    def hwm_kib(self):
        return sum(values["hwm"] for values in self.last.values())


class MpvClock:
    """Samples mpv's playback position through its JSON IPC socket, each
    sample with the monotonic time halfway through the request."""

    def __init__(self, path, interval=0.1):
        self.path = path
        self.interval = interval
        self.samples = []      # (monotonic seconds, position seconds)
        self.round_trips = []
        self._sample_times = []
        self.error = None
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)

    def start(self):
        self._thread.start()

    def stop(self):
        self._stop.set()
        self._thread.join(5)

    def _run(self):
        try:
            connection = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            connection.settimeout(2)
            connection.connect(self.path)
            reader = connection.makefile("rb")
        except OSError as error:
            self.error = "cannot reach mpv at %s: %s" % (self.path, error)
            return
        request = 0
        while not self._stop.is_set():
            request += 1
            message = {"command": ["get_property", "time-pos"], "request_id": request}
            try:
                before = time.monotonic()
                connection.sendall((json.dumps(message) + "\n").encode())
                while True:
                    reply = json.loads(reader.readline() or b"{}")
                    if not reply:
                        raise OSError("mpv closed its socket")
                    if reply.get("request_id") == request:
                        break
                after = time.monotonic()
            except (OSError, ValueError) as error:
                self.error = "mpv's position: %s" % error
                return
            if reply.get("error") == "success" and reply.get("data") is not None:
                self.samples.append(((before + after) / 2, float(reply["data"])))
                self.round_trips.append(after - before)
            self._stop.wait(self.interval)
        connection.close()

    def jitter_ms(self):
        """How far single samples stray from the clock they agree on
        (95th percentile, ms): the resolution of the lags."""
        residuals = []
        for t, p in self.samples:
            position = self.position_at(t)
            if position is not None:
                residuals.append(abs(p - position) * 1000.0)
        if len(residuals) < 20:
            return None
        residuals.sort()
        return residuals[int(len(residuals) * 0.95)]

    def position_at(self, clock):
        """mpv's position at monotonic time `clock`: the offset between the
        clock and the position (1 s per s while playing) is the median of
        the samples within 5 s around it that agree with the nearest one,
        so that a restart of the song does not blend in."""
        times = self._times()
        near = self.samples[bisect.bisect_left(times, clock - 5):
                            bisect.bisect_right(times, clock + 5)]
        if not near:
            return None
        nearest = min(near, key=lambda s: abs(s[0] - clock))
        reference = nearest[0] - nearest[1]
        offsets = [t - p for t, p in near if abs((t - p) - reference) < 0.5]
        return clock - statistics.median(offsets)

    def _times(self):
        if len(self._sample_times) != len(self.samples):
            self._sample_times = [t for t, _ in self.samples]
        return self._sample_times


def read_trace(path):
    """The line changes the plug-in traced: (tag, position, clock) in
    seconds, position being the one the displayer had."""
    changes = []
    text = read_text(path) or ""
    for line in text.splitlines():
        if not line.startswith("gen_VersoD: line "):
            continue
        words = line.split()
        try:
            tag = float(words[words.index("tag") + 1])
            position = float(words[words.index("at") + 1])
            clock = float(words[words.index("clock") + 1])
        except (ValueError, IndexError):
            continue
        changes.append((tag, position, clock))
    return changes


def line_lags(changes, mpv):
    """The lag of each line change behind its tag, in ms: mpv's position
    when the line was drawn minus the tag. Each line counts the first time
    it is reached; a line drawn again after a brief step back is no new
    change. A step back to an earlier line while mpv's position had passed
    the later line's tag (no seek, no restart of the song) is counted apart:
    the display went backwards on its own."""
    lags = []
    behind = []     # how far the displayer's own position was behind mpv's
    steps_back = 0
    reached = set()
    previous = None
    for tag, believed, clock in changes:
        position = mpv.position_at(clock)
        if position is None:
            continue
        if previous is not None and tag < previous:
            if position >= previous:
                # no change of the music's line: the display stepped back
                steps_back += 1
                previous = tag
                continue
            reached = set()     # the song was sought back or restarted
        previous = tag
        if tag in reached:
            continue
        reached.add(tag)
        lags.append(1000.0 * (position - tag))
        behind.append(1000.0 * (position - believed))
    return {"lag_ms": lags, "behind_ms": behind, "steps_back": steps_back}


def all_cpu():
    """CPU seconds so far of every process, with its name."""
    times = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        stat = read_text("/proc/%s/stat" % entry)
        if stat is None:
            continue
        name = stat[stat.find("(") + 1:stat.rfind(")")]
        fields = stat[stat.rfind(")") + 2:].split()
        times[int(entry)] = (name, (int(fields[11]) + int(fields[12])) / CLOCK_TICKS)
    return times


def busiest_others(before, after, wall, ours, count=6):
    """What else kept the machine busy: CPU % of a core by process name, of
    the processes still there at the end (those that ended meanwhile, such
    as most compiler runs, cannot be seen: these figures are a floor)."""
    by_name = {}
    for pid, (name, cpu) in after.items():
        if pid in ours:
            continue
        start = before[pid][1] if pid in before and before[pid][0] == name else 0.0
        by_name.setdefault(name, [0.0, 0])
        by_name[name][0] += cpu - start
        by_name[name][1] += 1
    busiest = sorted(by_name.items(), key=lambda item: -item[1][0])[:count]
    return ["%s%s %.0f%%" % (name, " x%d" % n if n > 1 else "", 100.0 * cpu / wall)
            for name, (cpu, n) in busiest if cpu > 0]


def cpu_of(pid):
    values = process_sample(pid)
    return values["cpu"] if values else None


def measure(args):
    sampler = ProgramSampler(args.mark, [int(p) for p in args.exclude], args.name_filter)
    mpv = MpvClock(args.mpv_socket) if args.mpv_socket else None
    if mpv:
        mpv.start()

    print("side-by-side: %s: settling for %g s" % (args.name, args.settle), flush=True)
    end_of_settling = time.monotonic() + args.settle
    while time.monotonic() < end_of_settling:
        sampler.sample(baseline=True)   # learns the processes as they start
        time.sleep(min(1.0, max(0.0, end_of_settling - time.monotonic())))
    if args.at_settle:
        subprocess.run(args.at_settle, shell=True, check=False)

    # the figures count from here: the first sample is the baseline, and
    # processes that ended while settling are forgotten
    sampler.first.clear()
    sampler.last.clear()
    sampler.peak_threads = sampler.peak_rss = sampler.peak_pss = 0
    sampler.sample(baseline=True)
    x_start = cpu_of(args.xserver)
    everything_start = all_cpu()
    load_start = os.getloadavg()
    start = time.monotonic()
    end = start + args.measure
    next_note = start + 60
    print("side-by-side: %s: measuring for %g s" % (args.name, args.measure), flush=True)
    while True:
        now = time.monotonic()
        if now >= end:
            break
        time.sleep(min(1.0, end - now))
        sampler.sample(baseline=False)
        if time.monotonic() >= next_note and time.monotonic() < end - 5:
            print("side-by-side: %s: %d s left" % (args.name, end - time.monotonic()), flush=True)
            next_note += 60
    sampler.sample(baseline=False)
    wall = time.monotonic() - start
    x_end = cpu_of(args.xserver)
    everything_end = all_cpu()
    load_end = os.getloadavg()
    if mpv:
        # a last sample after the window, for changes at its very end
        time.sleep(0.3)
        mpv.stop()

    result = {
        "name": args.name,
        "seconds": wall,
        "cpu_percent": 100.0 * sampler.cpu_seconds() / wall,
        "x_cpu_percent": (100.0 * (x_end - x_start) / wall
                          if x_start is not None and x_end is not None else None),
        "peak_rss_mib": sampler.hwm_kib() / 1024.0,
        "peak_summed_rss_mib": sampler.peak_rss / 1024.0,
        "peak_summed_pss_mib": sampler.peak_pss / 1024.0,
        "threads": sampler.peak_threads,
        "processes": len(sampler.last),
        "commands": sorted(set(sampler.commands[p] for p in sampler.last)),
        "left_out": sorted(set(sampler.others.values())),
        "load": [load_start[0], load_end[0]],
        "others": busiest_others(everything_start, everything_end, wall,
                                 set(sampler.last) | {args.xserver}),
    }
    if args.trace:
        if mpv and mpv.error:
            print("side-by-side: %s" % mpv.error, file=sys.stderr)
        changes = [change for change in read_trace(args.trace)
                   if start <= change[2] <= start + wall]
        result.update(line_lags(changes, mpv) if mpv else {"lag_ms": []})
        if mpv and mpv.round_trips:
            result["mpv_round_trip_ms"] = 1000.0 * statistics.median(mpv.round_trips)
            result["mpv_jitter_ms"] = mpv.jitter_ms()
    with open(args.result, "w", encoding="utf-8") as out:
        json.dump(result, out, indent=1)
    return 0


def table(paths):
    runs = []
    for path in paths:
        with open(path, encoding="utf-8") as f:
            runs.append(json.load(f))
    headers = ["program", "CPU % of a core", "X server CPU %", "peak RSS MiB",
               "threads", "processes", "line lag ms median / worst (changes)",
               "steps back"]
    rows = []
    for run in runs:
        lag = "-"
        lags = run.get("lag_ms")
        if lags:
            worst = max(lags, key=abs)
            lag = "%.0f / %.0f (%d)" % (statistics.median(lags), worst, len(lags))
        elif lags is not None:
            lag = "no line changes traced"
        back = "-" if lags is None else str(run.get("steps_back", 0))
        x = run["x_cpu_percent"]
        rows.append([run["name"], "%.2f" % run["cpu_percent"],
                     "-" if x is None else "%.2f" % x,
                     "%.1f" % run["peak_rss_mib"], str(run["threads"]),
                     str(run["processes"]), lag, back])
    widths = [max(len(r[i]) for r in rows + [headers]) for i in range(len(headers))]
    rule = "  ".join("-" * w for w in widths)
    print(rule)
    print("  ".join(h.ljust(w) for h, w in zip(headers, widths)))
    print(rule)
    for row in rows:
        print("  ".join(cell.ljust(w) if i == 0 else cell.rjust(w)
                        for i, (cell, w) in enumerate(zip(row, widths))))
    print(rule)
    for run in runs:
        print("%s: %.0f s measured, load average %.2f -> %.2f; processes: %s"
              % (run["name"], run["seconds"], run["load"][0], run["load"][1],
                 "; ".join(short_command(c) for c in run["commands"]) or "none"))
        if run.get("others"):
            print("  busiest other processes still running at the end (%% of a core): %s"
                  % ", ".join(run["others"]))
        if run.get("left_out"):
            print("  also marked but not counted: %s"
                  % "; ".join(short_command(c) for c in run["left_out"]))
        print("  all its processes at one sample, at most: RSS %.1f MiB, PSS %.1f MiB"
              " (shared pages split among them)"
              % (run["peak_summed_rss_mib"], run.get("peak_summed_pss_mib", 0)))
        if run.get("behind_ms"):
            behind = run["behind_ms"]
            print("  at each change its own play position was behind mpv's by %.0f ms"
                  " (median; from %.0f to %.0f)"
                  % (statistics.median(behind), min(behind), max(behind)))
        if run.get("mpv_round_trip_ms") is not None:
            jitter = run.get("mpv_jitter_ms")
            print("  mpv's position read in %.2f ms (median round trip); single readings"
                  " stray up to %s ms from the clock they agree on (95th percentile)"
                  % (run["mpv_round_trip_ms"], "?" if jitter is None else "%.0f" % jitter))
    return 0


def short_command(command):
    """The program's name, or the script's for an interpreter."""
    parts = command.split()
    if not parts:
        return "?"
    name = os.path.basename(parts[0])
    if name.startswith("python") and len(parts) > 1:
        return os.path.basename(parts[1])
    return name


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)

    lyrics = commands.add_parser("lyrics")
    lyrics.add_argument("seconds", type=float)
    lyrics.add_argument("step", type=float)
    lyrics.add_argument("file")

    run = commands.add_parser("measure")
    run.add_argument("--name", required=True)
    run.add_argument("--mark", required=True, help="the run's token in %s" % MARK_VARIABLE)
    run.add_argument("--exclude", action="append", default=[], help="a marked pid not counted")
    run.add_argument("--name-filter", default="",
                     help="count only marked processes whose command holds this")
    run.add_argument("--xserver", type=int, required=True)
    run.add_argument("--mpv-socket")
    run.add_argument("--trace", help="the plug-in's trace of line changes")
    run.add_argument("--settle", type=float, default=20)
    run.add_argument("--measure", type=float, default=180)
    run.add_argument("--at-settle", help="a shell command run when settling ends")
    run.add_argument("--result", required=True)

    show = commands.add_parser("table")
    show.add_argument("results", nargs="+")

    args = parser.parse_args()
    if args.command == "lyrics":
        write_lyrics(args.seconds, args.step, args.file)
        return 0
    if args.command == "measure":
        return measure(args)
    return table(args.results)


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        sys.exit(130)
