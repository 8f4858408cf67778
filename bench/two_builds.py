#!/usr/bin/env python3
"""Runs the players of two (or more) builds at the same time, each
following the scene of bench_following_cost (a 10-minute song, a line
every 3 s, headless), and prints what each thread of each cost, in µs of
CPU per 25 ms poll.

  bench/two_builds.py SECONDS CHECKOUT_A CHECKOUT_B [CHECKOUT_C ...]

Each CHECKOUT is a source folder whose build/ holds melodeck and its
plug-ins (a git worktree of another commit, say), optionally followed by
":NAME=VALUE", an environment setting for that player alone (the same
checkout twice, once with MALLOC_ARENA_MAX=1, say). All players see the
same seconds of the same machine, whose load moves the cost of a wake-up
by a third from minute to minute; run it again with the order changed.
Each player costs more than alone, as they share the cores.

Only the Python standard library is used.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

POLL_SECONDS = 0.025
SETTLE_SECONDS = 4


def make_scene():
    folder = tempfile.mkdtemp(prefix="two-builds-")
    os.makedirs(os.path.join(folder, "music"))
    with open(os.path.join(folder, "music", "song.lrc"), "w") as lyrics:
        for i in range(200):
            lyrics.write("[%02d:%02d.00]line number %d of the benchmark song\n"
                         % (i * 3 // 60, i * 3 % 60, i))
    with open(os.path.join(folder, "music", "list.m3u8"), "w") as playlist:
        playlist.write("#EXTM3U\n#EXTINF:600,Bench Song\nsong.mp3\n")
    return folder


def thread_times(pid):
    """Run time in ns and name of each thread of `pid`, by thread id."""
    threads = {}
    task = "/proc/%d/task" % pid
    for tid in os.listdir(task):
        try:
            with open(os.path.join(task, tid, "schedstat")) as f:
                run = int(f.read().split()[0])
            with open(os.path.join(task, tid, "comm")) as f:
                name = f.read().strip()
        except OSError:
            continue
        threads[tid] = (name, run)
    return threads


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    seconds = int(sys.argv[1])
    players = []
    for argument in sys.argv[2:]:
        checkout, _, setting = argument.partition(":")
        scene = make_scene()
        build = os.path.join(checkout, "build")
        env = dict(os.environ, XDG_CONFIG_HOME=scene, XDG_RUNTIME_DIR=scene,
                   VERSO_DISPLAY="headless", VERSO_HEADLESS="1")
        if setting:
            name, _, value = setting.partition("=")
            env[name] = value
        process = subprocess.Popen(
            [os.path.join(build, "bin", "melodeck"), "--plugins", os.path.join(build, "bin", "plugins"),
             "--no-repeat", "--seconds", str(seconds + SETTLE_SECONDS + 10), "--headless",
             os.path.join(scene, "music", "list.m3u8")],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        label = os.path.basename(os.path.normpath(checkout)) + (":" + setting if setting else "")
        players.append((label, process, scene))
    try:
        time.sleep(SETTLE_SECONDS)
        before = [thread_times(p.pid) for _, p, _ in players]
        start = time.monotonic()
        time.sleep(seconds)
        after = [thread_times(p.pid) for _, p, _ in players]
        polls = (time.monotonic() - start) / POLL_SECONDS
        for (label, _, _), was, now in zip(players, before, after):
            total = 0.0
            busy = []
            for tid, (name, run) in sorted(now.items()):
                cost = (run - was.get(tid, (name, 0))[1]) / 1000.0 / polls
                total += cost
                if cost >= 0.5:
                    busy.append("%s %.1f" % (name, cost))
            print("%-24s %6.1f µs/poll | %s" % (label, total, ", ".join(busy)))
    finally:
        for _, process, scene in players:
            process.terminate()
            process.wait()
            shutil.rmtree(scene)


if __name__ == "__main__":
    main()
