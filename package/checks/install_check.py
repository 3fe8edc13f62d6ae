"""Whether a package installs, with no --force, on the devices it is for and
is refused on those it is not: dpkg's own resolver decides, against a
device's package database laid out by the iOS kit's repository folder
(../shared/ios/repository/make-root.sh): the firmware entry as the device
writes it and the real dependency packages' names, versions and Provides.
"""
import concurrent.futures
import os
import re
import shutil
import subprocess
import tempfile

REPOSITORY = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                          "..", "..", "..", "shared", "ios", "repository"))


class Profile:
    """A device: its iOS release and make-root.sh options, and whether the package belongs there."""

    def __init__(self, ios, installs, hooker="substrate", bootstrap="cydia", cpu="arm64"):
        self.ios, self.installs = ios, installs
        self.hooker, self.bootstrap, self.cpu = hooker, bootstrap, cpu

    def __str__(self):
        return f"iOS {self.ios} ({self.cpu}, {self.hooker}, {self.bootstrap})"

    def options(self):
        return ["--hooker", self.hooker, "--bootstrap", self.bootstrap, "--cpu", self.cpu]


PROFILES = (
    Profile("6.1.6", False, cpu="arm"),
    Profile("7.0.4", True, cpu="arm"),
    Profile("9.3.3", True),
    Profile("12.4", True),
    Profile("12.4", True, hooker="substitute"),
    Profile("12.4", True, hooker="libhooker"),
    Profile("13.5", True),
    Profile("14.4", True),
    Profile("14.4", True, hooker="libhooker", bootstrap="procursus"),
    Profile("15.0", False),
)


def unavailable(repository=REPOSITORY):
    """Why the check cannot run here (a sentence), or None."""
    if not os.access(os.path.join(repository, "make-root.sh"), os.X_OK):
        return f"no device package database to install into ({repository}/make-root.sh, beside the iOS kit)"
    for tool in ("dpkg", "dpkg-deb"):
        if not shutil.which(tool):
            return f"no {tool} (apt-get install dpkg)"
    return None


UNMET = re.compile(r"\s*\S+ (?:pre-)?depends on (.+?)(?:; however:|\.)$")


def unmet(output):
    """[(dependency as written, dpkg's why or "")] of every dependency dpkg found unmet."""
    lines = output.splitlines()
    found = []
    for i, line in enumerate(lines):
        m = UNMET.match(line)
        if m:
            why = []
            for following in lines[i + 1:]:
                if not following.startswith("  ") or UNMET.match(following):
                    break
                why.append(following.strip())
            found.append((m.group(1), " ".join(why)))
    return found


def reason(output):
    """dpkg's reason for refusing, in one line: each unmet dependency and why,
    else its last error."""
    found = unmet(output)
    if found:
        return "; ".join(f"needs {dependency}" + (f" ({why.rstrip('.')})" if why else ", which is not installed")
                         for dependency, why in found)
    lines = output.strip().splitlines()
    errors = [line.strip() for line in lines if line.startswith(("dpkg", "make-root"))]
    return errors[-1] if errors else (lines[-1].strip() if lines else "no output")


def try_profile(deb, profile, repository=REPOSITORY):
    """(passed, what dpkg said in one line) of installing `deb` on `profile`."""
    with tempfile.TemporaryDirectory() as folder:
        command = [os.path.join(repository, "make-root.sh"), "--quiet", *profile.options(),
                   "--check", os.path.abspath(deb), os.path.join(folder, "root"), profile.ios]
        try:
            result = subprocess.run(command, capture_output=True, text=True, timeout=120)
        except subprocess.TimeoutExpired:
            return False, "dpkg did not finish within 120 s"
    output = result.stdout + result.stderr
    if result.returncode == 0:
        return profile.installs, "installs" + ("" if profile.installs else ", but it is not for this release")
    if result.returncode != 3:
        return False, f"no device database (make-root.sh exit {result.returncode}: {reason(output)})"
    if profile.installs:
        return False, f"refused: {reason(output)}"
    if {dependency.split()[0] for dependency, _ in unmet(output)} == {"firmware"}:
        return True, f"refused as it should be: {reason(output)}"
    return False, f"refused, but not for the firmware alone: {reason(output)}"


def check(deb, profiles=PROFILES, repository=REPOSITORY):
    """[(profile, passed, line)] for every profile, tried side by side."""
    with concurrent.futures.ThreadPoolExecutor(max_workers=len(profiles)) as pool:
        results = list(pool.map(lambda p: try_profile(deb, p, repository), profiles))
    return [(p, passed, line) for p, (passed, line) in zip(profiles, results)]
