#!/usr/bin/python3
"""Runs ctest tests the way a loaded machine runs them: while a test runs, one
process of its tree (the test, a simulated drive it started, socat, ...) is
stopped every 50-300 ms for 20-250 ms (SIGSTOP, then SIGCONT). A test that only
passes when every process gets the processor on time fails here; one that
synchronises on what it can observe passes.

usage: chaos-ctest.py BUILD_DIR [-R REGEX] [-n ROUNDS] [--max-pause MS]
  runs each matching test ROUNDS times, one at a time, prints 'passed K of N'
  per test, and exits 1 when a run failed; the logs of failed runs go to
  BUILD_DIR/chaos/."""
import argparse, os, random, signal, subprocess, sys, threading, time

parser = argparse.ArgumentParser()
parser.add_argument("build")
parser.add_argument("-R", dest="regex", default=".")
parser.add_argument("-n", dest="rounds", type=int, default=1)
parser.add_argument("--max-pause", type=int, default=250)
args = parser.parse_args()

listing = subprocess.run(["ctest", "--test-dir", args.build, "-N", "-R", args.regex],
                         capture_output=True, text=True).stdout
tests = [line.split(":", 1)[1].strip() for line in listing.splitlines()
         if line.strip().startswith("Test") and ":" in line]
if not tests:
    sys.exit("no test matches %r in %s" % (args.regex, args.build))


def descendants(root):
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                parent = int(f.read().rsplit(")", 1)[1].split()[1])
        except (OSError, ValueError, IndexError):
            continue
        children.setdefault(parent, []).append(int(entry))
    found, todo = [], [root]
    while todo:
        for child in children.get(todo.pop(), []):
            found.append(child)
            todo.append(child)
    return found


def pause_at_random(root, done):
    rng = random.Random()
    while not done.is_set():
        time.sleep(rng.uniform(0.05, 0.3))
        victims = descendants(root)
        if not victims:
            continue
        victim = rng.choice(victims)
        try:
            os.kill(victim, signal.SIGSTOP)
            time.sleep(rng.uniform(0.02, args.max_pause / 1000))
        except ProcessLookupError:
            continue
        finally:
            try:
                os.kill(victim, signal.SIGCONT)
            except ProcessLookupError:
                pass


logs = os.path.join(args.build, "chaos")
os.makedirs(logs, exist_ok=True)
failed = False
for test in tests:
    passed = 0
    for round_ in range(args.rounds):
        run = subprocess.Popen(["ctest", "--test-dir", args.build, "-R", "^%s$" % test, "--output-on-failure"],
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        done = threading.Event()
        pauser = threading.Thread(target=pause_at_random, args=(run.pid, done), daemon=True)
        pauser.start()
        output, _ = run.communicate()
        done.set()
        pauser.join()
        if run.returncode == 0:
            passed += 1
        else:
            failed = True
            with open(os.path.join(logs, "%s.%d.log" % (test, round_)), "w") as f:
                f.write(output)
    print("%-32s passed %d of %d" % (test, passed, args.rounds), flush=True)
sys.exit(1 if failed else 0)
