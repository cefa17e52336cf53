"""What a running process costs: CPU time and wakeups (voluntary context
switches) of all its threads, read from /proc."""

import os
import time


def _threads(pid):
    try:
        return os.listdir("/proc/%d/task" % pid)
    except FileNotFoundError:
        return []


def sample(pid):
    """Clock ticks of CPU time and voluntary switches per thread."""
    ticks, switches = 0, {}
    for tid in _threads(pid):
        try:
            with open("/proc/%d/task/%s/stat" % (pid, tid)) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            ticks += int(fields[11]) + int(fields[12])
            with open("/proc/%d/task/%s/status" % (pid, tid)) as f:
                for line in f:
                    if line.startswith("voluntary_ctxt_switches"):
                        switches[tid] = int(line.split()[1])
        except (FileNotFoundError, ProcessLookupError, IndexError):
            continue
    return ticks, switches


def wakeups_between(before, after):
    """Switches made between two samples; threads that ended or began count
    with what they did while both samples saw them, or since they began."""
    return sum(n - before.get(tid, 0) for tid, n in after.items() if n >= before.get(tid, 0))


def wait_for_rest(pid, timeout=120.0, quiet_seconds=3, most_per_second=1):
    """Waits until the process has been nearly idle for some seconds in a row;
    answers how long that took."""
    began = time.monotonic()
    _, last = sample(pid)
    quiet = 0
    while quiet < quiet_seconds:
        if time.monotonic() - began > timeout:
            raise AssertionError("pid %d never came to rest" % pid)
        time.sleep(1.0)
        _, now = sample(pid)
        quiet = quiet + 1 if wakeups_between(last, now) <= most_per_second else 0
        last = now
    return time.monotonic() - began


def measure(pids, seconds=20.0):
    """CPU share of one core and wakeups a second, per pid, over the same time."""
    before = {pid: sample(pid) for pid in pids}
    began = time.monotonic()
    time.sleep(seconds)
    elapsed = time.monotonic() - began
    result = {}
    for pid in pids:
        ticks, switches = sample(pid)
        cpu = (ticks - before[pid][0]) / os.sysconf("SC_CLK_TCK") / elapsed
        result[pid] = (100.0 * cpu, wakeups_between(before[pid][1], switches) / elapsed)
    return result


def during(pids, action):
    """Share of one core each pid used while action() ran."""
    before = {pid: sample(pid) for pid in pids}
    began = time.monotonic()
    action()
    elapsed = time.monotonic() - began
    after = {pid: sample(pid) for pid in pids}
    return {pid: 100.0 * (after[pid][0] - before[pid][0]) / os.sysconf("SC_CLK_TCK") / elapsed for pid in pids}


def wiggle(move, at, seconds=3.0, reach=40, pause=0.05):
    """Moves a held pointer to and fro about a point for some seconds."""
    began = time.monotonic()
    i = 0
    while time.monotonic() - began < seconds:
        move(at[0] + (reach if i % 2 else -reach), at[1] + 30)
        i += 1
        time.sleep(pause)
