#!/usr/bin/env python3
"""Times two lumivo-sim binaries side by side on the same workloads.

Each round runs every workload once on the baseline and once on the
candidate (the order swaps every round, so neither side always runs on a
warmer machine), each run on a fresh device root with its standard output
discarded. The report gives, per workload, the median wall time of each side
and the ratio candidate / baseline next to the limit the project holds it
to, and the ratio of the CPU-time medians (user and system). The roots go to
/dev/shm when there is one: on a disk the switch taps spend most of their
wall time waiting for the settings file to be synced, a wait that other work
on the machine stretches from one run to the next by a factor of four;
--roots DIR puts them on a disk to include it. Ratios are reported, never
enforced: the exit status is 1 only when a run exits non-zero (the workload
itself broke), 2 for bad options or a baseline that does not build.

--build-baseline REV checks REV out as a git worktree under the repository's
build/ folder (build/baseline-<its commit's first 7 digits>) and builds
lumivo-sim there with the default preset, reusing both when present.
--fresh-build also measures what a first `./dev demo` costs on a machine with
nothing built: configure and build of lumivo-sim from an empty build folder
with the compiler cache off, then the demo, for the baseline's source tree
and the candidate's.
"""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
DEFAULT_REV = "31ddb6e"
SIM_IN_BUILD = Path("tools") / "lumivo-sim"

# How much slower than the baseline each workload may be.
LIMITS = {"boot": 2.0, "presses": 3.0, "taps": 1.5, "first demo": 1.2}


class WorkloadFailed(Exception):
    pass


def fail(message):
    """Stops with exit status 2: the comparison could not be set up."""
    print(f"compare_simulators: {message}", file=sys.stderr)
    sys.exit(2)


def workload_scripts(folder, presses, taps):
    """Writes the three scripts into folder; returns [(name, what, path)]."""
    scripts = [
        # Boot, and check that the switch came up showing on.
        ("boot", "boot", "expect switch 1\n"),
        ("presses", f"{presses:,} presses",
         "brightness 0.5\n" + "".join("press up\n" if i % 2 == 0 else "press down\n"
                                      for i in range(presses))),
        ("taps", f"{taps:,} switch taps",
         "".join("switch off\n" if i % 2 == 0 else "switch on\n" for i in range(taps))),
    ]
    out = []
    for name, what, text in scripts:
        path = folder / f"{name}.txt"
        path.write_text(text)
        out.append((name, what, path))
    return out


def tail(path, lines=15):
    try:
        return "\n".join(path.read_text(errors="replace").splitlines()[-lines:])
    except OSError:
        return ""


def run_timed(cmd, label, scratch, cwd=None, env=None):
    """Runs cmd with stdout discarded; returns (wall, cpu) in seconds, cpu
    being the user and system time of cmd and the children it waited for.
    Raises WorkloadFailed with the tail of its standard error on a non-zero
    exit."""
    err_path = scratch / "stderr.txt"
    with open(err_path, "wb") as err:
        start = time.perf_counter()
        proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=err, cwd=cwd, env=env)
        _, status, usage = os.wait4(proc.pid, 0)
        wall = time.perf_counter() - start
    proc.returncode = rc = os.waitstatus_to_exitcode(status)
    if rc != 0:
        raise WorkloadFailed(f"{label}: exit status {rc}: {' '.join(map(str, cmd))}\n"
                             f"{tail(err_path)}")
    return wall, usage.ru_utime + usage.ru_stime


def run_sim(binary, script, label, scratch):
    """One run of script on a fresh device root; returns (wall, cpu) seconds."""
    run_dir = Path(tempfile.mkdtemp(dir=scratch))
    try:
        # A root that does not exist yet: lumivo-sim creates and fills it.
        return run_timed([str(binary), "--root", str(run_dir / "root"), str(script)],
                         label, run_dir)
    finally:
        shutil.rmtree(run_dir, ignore_errors=True)


def compare(sides, rounds, presses, taps, scratch, progress):
    """Runs the workloads; returns {workload: {side: [seconds...]}}."""
    scripts = workload_scripts(scratch, presses, taps)
    times = {name: {side: [] for side in sides} for name, _, _ in scripts}
    cpu = {name: {side: [] for side in sides} for name, _, _ in scripts}
    order = list(sides)
    # One untimed boot of each, so that neither side pays for a cold page cache.
    for side in order:
        run_sim(sides[side], scripts[0][2], f"{side} boot (warm-up)", scratch)
    for r in range(rounds):
        for name, what, script in scripts:
            for side in order:
                t, c = run_sim(sides[side], script, f"{side} {name}", scratch)
                times[name][side].append(t)
                cpu[name][side].append(c)
                progress(f"round {r + 1}/{rounds}: {side:9} {what:22} {t:8.3f} s "
                         f"(cpu {c:.3f} s)")
        order.reverse()
    return times, cpu, [(name, what) for name, what, _ in scripts]


def git(*args, cwd=REPO, capture=True):
    res = subprocess.run(["git", *args], cwd=cwd, text=True,
                         stdout=subprocess.PIPE if capture else None,
                         stderr=subprocess.PIPE if capture else None)
    if res.returncode != 0:
        fail(f"git {' '.join(args)} failed in {cwd}\n{(res.stderr or '').strip()}".rstrip())
    return (res.stdout or "").strip()


def build_env(source, cache):
    """The environment ./dev builds with: through ccache when there is one;
    with cache False, ccache still wraps the compilers but neither reads nor
    stores, as on a machine whose cache is empty."""
    env = dict(os.environ)
    if shutil.which("ccache"):
        for lang in ("C", "CXX", "OBJC", "OBJCXX"):
            env[f"CMAKE_{lang}_COMPILER_LAUNCHER"] = "ccache"
        env["CCACHE_BASEDIR"] = str(source)
    if not cache:
        env["CCACHE_DISABLE"] = "1"
    return env


def baseline_worktree(rev):
    """The worktree of rev under build/, added when missing. Returns its path."""
    sha = git("rev-parse", "--verify", f"{rev}^{{commit}}")
    # Named by the commit, so that a branch name that moves on is built anew.
    tree = REPO / "build" / f"baseline-{sha[:7]}"
    if (tree / ".git").exists():
        have = git("rev-parse", "HEAD", cwd=tree)
        if have != sha:
            fail(f"{tree} holds {have[:12]}, not {rev}; "
                 "remove it with git worktree remove, or name another revision")
    else:
        tree.parent.mkdir(exist_ok=True)
        print(f"Adding a worktree of {rev} at {tree}", file=sys.stderr)
        git("worktree", "add", "--detach", str(tree), sha)
    return tree


def build_baseline(rev, jobs):
    """Builds lumivo-sim in rev's worktree with the default preset, through the
    compiler cache. Returns the binary."""
    tree = baseline_worktree(rev)
    env = build_env(tree, cache=True)
    print(f"Building lumivo-sim of {rev} in {tree}/build/default", file=sys.stderr)
    for cmd in (["cmake", "--preset", "default"],
                ["cmake", "--build", "--preset", "default", "--target", "lumivo-sim",
                 f"-j{jobs}"]):
        if subprocess.run(cmd, cwd=tree, env=env, stdout=subprocess.DEVNULL).returncode:
            fail(f"{' '.join(cmd)} failed in {tree}")
    return tree / "build" / "default" / SIM_IN_BUILD


def first_demo(source, label, jobs, scratch, progress):
    """What a first ./dev demo costs on a machine with nothing built: configure
    and build lumivo-sim with the default preset in an empty build folder,
    compiler cache off, then play the demo. Returns {phase: seconds}."""
    build = Path(tempfile.mkdtemp(prefix="fresh-", dir=source / "build"))
    env = build_env(source, cache=False)
    try:
        phases = {}
        phases["configure"], _ = run_timed(
            ["cmake", "--preset", "default", "-B", str(build)],
            f"{label} configure", scratch, cwd=source, env=env)
        progress(f"{label}: configure {phases['configure']:.1f} s")
        phases["build"], _ = run_timed(
            ["cmake", "--build", str(build), "--target", "lumivo-sim", f"-j{jobs}"],
            f"{label} build", scratch, cwd=source, env=env)
        progress(f"{label}: build {phases['build']:.1f} s")
        phases["demo"], _ = run_timed([str(build / SIM_IN_BUILD), "demo"],
                                   f"{label} demo", scratch, cwd=source, env=env)
        phases["total"] = sum(phases.values())
        progress(f"{label}: demo {phases['demo']:.2f} s, total {phases['total']:.1f} s")
        return phases
    finally:
        shutil.rmtree(build, ignore_errors=True)


def fmt_seconds(s):
    return f"{s * 1000:.1f} ms" if s < 1 else f"{s:.2f} s"


def ratio(b, c):
    return c / b if b > 0 else None


def summarize(times, cpu, names, fresh):
    """One row per workload: each side's runs and medians, the ratio of the
    wall-time medians against the limit, and the ratio of the CPU-time
    medians, which the disk and the other processes on the machine disturb
    far less."""
    rows = []
    for name, what in names:
        b = statistics.median(times[name]["baseline"])
        c = statistics.median(times[name]["candidate"])
        bc = statistics.median(cpu[name]["baseline"])
        cc = statistics.median(cpu[name]["candidate"])
        rows.append({"workload": name, "what": what,
                     "baseline_s": times[name]["baseline"], "candidate_s": times[name]["candidate"],
                     "baseline_median_s": b, "candidate_median_s": c,
                     "ratio": ratio(b, c), "limit": LIMITS[name],
                     "baseline_cpu_s": cpu[name]["baseline"],
                     "candidate_cpu_s": cpu[name]["candidate"],
                     "baseline_cpu_median_s": bc, "candidate_cpu_median_s": cc,
                     "cpu_ratio": ratio(bc, cc)})
    if fresh:
        b, c = fresh["baseline"]["total"], fresh["candidate"]["total"]
        rows.append({"workload": "first demo", "what": "configure + build + demo, no cache",
                     "baseline_s": [b], "candidate_s": [c],
                     "baseline_median_s": b, "candidate_median_s": c,
                     "ratio": ratio(b, c), "limit": LIMITS["first demo"], "cpu_ratio": None,
                     "phases": fresh})
    for row in rows:
        row["within_limit"] = row["ratio"] is not None and row["ratio"] <= row["limit"]
    return rows


def print_table(rows, rounds, sides, roots):
    print(f"lumivo-sim, baseline against candidate, median of {rounds} rounds (wall time), "
          f"device roots in {roots}")
    for side, binary in sides.items():
        print(f"  {side:9} {binary}")
    def x(v):
        return "-" if v is None else f"{v:.2f}x"
    head = ("workload", "baseline", "candidate", "ratio", "limit", "", "cpu ratio")
    table = [head] + [
        (r["what"], fmt_seconds(r["baseline_median_s"]), fmt_seconds(r["candidate_median_s"]),
         x(r["ratio"]), f"{r['limit']:.1f}x", "ok" if r["within_limit"] else "OVER",
         x(r["cpu_ratio"]))
        for r in rows]
    widths = [max(len(line[i]) for line in table) for i in range(len(head))]
    for line in table:
        cells = [line[0].ljust(widths[0])] + [c.rjust(w) for c, w in zip(line[1:], widths[1:])]
        print("  " + "  ".join(cells).rstrip())
    for r in rows:
        if "phases" in r:
            for side in ("baseline", "candidate"):
                p = r["phases"][side]
                print(f"  first demo, {side}: configure {p['configure']:.1f} s, "
                      f"build {p['build']:.1f} s, demo {p['demo']:.2f} s")


def main():
    ap = argparse.ArgumentParser(
        description="Time two lumivo-sim binaries side by side: boot, presses and switch "
                    "taps on fresh device roots, and optionally a first demo from an empty "
                    "build folder. Reports medians and ratios; fails only when a run fails.",
        epilog="Example: bench/compare_simulators.py --build-baseline 31ddb6e "
               "--candidate build/default/tools/lumivo-sim")
    base = ap.add_mutually_exclusive_group()
    base.add_argument("--baseline", type=Path, metavar="BINARY",
                      help="the baseline lumivo-sim (default: built by --build-baseline)")
    base.add_argument("--build-baseline", metavar="REV", default=DEFAULT_REV,
                      help=f"build the baseline from git revision REV in build/baseline-COMMIT, "
                           f"reusing it when present (default {DEFAULT_REV})")
    ap.add_argument("--candidate", type=Path, metavar="BINARY",
                    default=REPO / "build" / "default" / SIM_IN_BUILD,
                    help="the candidate lumivo-sim (default: build/default/tools/lumivo-sim)")
    ap.add_argument("--rounds", type=int, default=5, help="rounds per workload (default 5)")
    ap.add_argument("--presses", type=int, default=100_000,
                    help="presses in the press workload (default 100000)")
    ap.add_argument("--taps", type=int, default=10_000,
                    help="switch taps in the tap workload (default 10000)")
    ap.add_argument("--fresh-build", action="store_true",
                    help="also time a first demo: configure and build lumivo-sim from an empty "
                         "build folder with the compiler cache off, then the demo, for the "
                         "baseline's source and the candidate's (several minutes of every core "
                         "it is given)")
    ap.add_argument("--candidate-source", type=Path, metavar="DIR", default=REPO,
                    help="the candidate's source tree for --fresh-build (default: this repository)")
    ap.add_argument("--jobs", type=int, default=2, help="parallel build jobs (default 2)")
    shm = Path("/dev/shm")
    ap.add_argument("--roots", type=Path, metavar="DIR",
                    default=shm if os.access(shm, os.W_OK) else Path(tempfile.gettempdir()),
                    help="where the fresh device roots go (default /dev/shm when there is one, "
                         "else the temporary folder)")
    ap.add_argument("--json", action="store_true", help="print the figures as JSON instead")
    args = ap.parse_args()
    if args.rounds < 1 or args.presses < 0 or args.taps < 0 or args.jobs < 1:
        ap.error("--rounds and --jobs must be at least 1, --presses and --taps not negative")
    if args.fresh_build and args.baseline:
        ap.error("--fresh-build builds from source: give --build-baseline REV, not --baseline")

    baseline = args.baseline or build_baseline(args.build_baseline, args.jobs)
    sides = {"baseline": baseline.resolve(), "candidate": args.candidate.resolve()}
    for side, binary in sides.items():
        if not os.access(binary, os.X_OK):
            ap.error(f"the {side} {binary} is not an executable; build it first")

    def progress(line):
        print(line, file=sys.stderr, flush=True)

    try:
        scratch = Path(tempfile.mkdtemp(prefix="lumivo-compare-", dir=args.roots))
    except OSError as e:
        ap.error(f"--roots {args.roots}: {e.strerror}")
    try:
        times, cpu, names = compare(sides, args.rounds, args.presses, args.taps, scratch, progress)
        fresh = None
        if args.fresh_build:
            fresh = {
                "baseline": first_demo(baseline_worktree(args.build_baseline), "baseline",
                                       args.jobs, scratch, progress),
                "candidate": first_demo(args.candidate_source.resolve(), "candidate",
                                        args.jobs, scratch, progress),
            }
    except WorkloadFailed as e:
        print(f"compare_simulators: a workload failed\n{e}", file=sys.stderr)
        return 1
    finally:
        shutil.rmtree(scratch, ignore_errors=True)

    rows = summarize(times, cpu, names, fresh)
    if args.json:
        json.dump({"rounds": args.rounds, "roots": str(args.roots),
                   "binaries": {k: str(v) for k, v in sides.items()},
                   "workloads": rows}, sys.stdout, indent=2)
        print()
    else:
        print_table(rows, args.rounds, sides, args.roots)
    return 0


if __name__ == "__main__":
    sys.exit(main())
