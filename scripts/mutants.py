#!/usr/bin/env python3
"""Plants each bug of scripts/mutants.txt in turn and records whether the
test suite notices.

Works on a scratch copy of the source tree (build/mutants/tree), so the
checkout itself is never modified, even when the run is interrupted. The copy
is refreshed file by file, so its dev build stays incremental between runs.

    scripts/mutants.py [--list FILE] [--out TABLE] [--only NAME ...] [--check]
"""
import argparse
import os
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


def load(list_path):
    mutants = []
    for n, line in enumerate(list_path.read_text().splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) != 4:
            sys.exit(f"{list_path}:{n}: want 4 tab-separated fields, got {len(fields)}")
        mutants.append(tuple(fields))
    return mutants


def check(mutants, tree):
    bad = []
    for name, path, old, _ in mutants:
        f = tree / path
        hits = f.read_text().count(old) if f.exists() else 0
        if hits != 1:
            bad.append(f"{name}: text found {hits} times in {path}")
    return bad


def shared_libraries(path, data):
    """With --shared the program's libraries are built shared, so a planted bug
    relinks one library instead of every test program."""
    if path.endswith("CMakeLists.txt") and path.startswith(("src/", "tools/")):
        return data.replace(b" STATIC", b" SHARED")
    return data


def tree_files(rev):
    """The files to test: the working tree's, or those of a commit."""
    if not rev:
        files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT,
                               check=True, capture_output=True).stdout.decode().split("\0")
        return {f: (ROOT / f).read_bytes() for f in files if f and (ROOT / f).is_file()}
    files = subprocess.run(["git", "ls-tree", "-r", "-z", "--name-only", rev], cwd=ROOT,
                           check=True, capture_output=True).stdout.decode().split("\0")
    return {f: subprocess.run(["git", "show", f"{rev}:{f}"], cwd=ROOT, check=True,
                              capture_output=True).stdout for f in files if f}


def sync_tree(scratch, shared, rev):
    """Copies the files into scratch, touching only those that differ."""
    wanted = tree_files(rev)
    for f, data in wanted.items():
        dst = scratch / f
        if shared:
            data = shared_libraries(f, data)
        if dst.exists() and dst.read_bytes() == data:
            continue
        dst.parent.mkdir(parents=True, exist_ok=True)
        dst.write_bytes(data)
        if f.endswith((".sh", ".py")):
            dst.chmod(0o755)
    for dst in list(scratch.rglob("*")):
        rel = dst.relative_to(scratch).as_posix()
        if rel.startswith("build/") or rel == "build" or not dst.is_file():
            continue
        if rel not in wanted:
            dst.unlink()


def run(cmd, cwd, log, timeout=None):
    with open(log, "a") as out:
        out.write(f"\n$ {' '.join(cmd)}\n")
        out.flush()
        try:
            return subprocess.run(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                  timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            return -1


def build(scratch, log):
    return run(["nice", "cmake", "--build", "--preset", "dev"], scratch, log) == 0


def failing_tests(build_dir):
    failed = build_dir / "Testing" / "Temporary" / "LastTestsFailed.log"
    if not failed.exists():
        return []
    return [line.split(":", 1)[1] for line in failed.read_text().splitlines() if ":" in line]


def test(scratch, log):
    build_dir = scratch / "build" / "dev"
    (build_dir / "Testing" / "Temporary" / "LastTestsFailed.log").unlink(missing_ok=True)
    env_cmd = ["env", "QT_QPA_PLATFORM=offscreen", "ctest", "-j2", "--timeout", "60"]
    rc = run(env_cmd, build_dir, log, timeout=900)
    return rc == 0, failing_tests(build_dir)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--list", type=Path, default=ROOT / "scripts" / "mutants.txt")
    ap.add_argument("--out", type=Path, help="write the result table here too")
    ap.add_argument("--only", nargs="*", help="run only these mutants")
    ap.add_argument("--check", action="store_true", help="only check that every text applies")
    ap.add_argument("--scratch", default="tree", help="name of the scratch copy under build/mutants")
    ap.add_argument("--rev", help="test this commit's tree instead of the working tree")
    ap.add_argument("--shared", action="store_true",
                    help="build the libraries shared: much faster, same verdicts")
    args = ap.parse_args()

    mutants = load(args.list)
    if args.only:
        mutants = [m for m in mutants if m[0] in args.only]
    bad = check(mutants, ROOT)
    if bad or args.check:
        print("\n".join(bad) or f"{len(mutants)} mutants apply")
        return 1 if bad else 0

    os.environ.setdefault("CMAKE_CXX_COMPILER_LAUNCHER", "ccache")
    scratch = ROOT / "build" / "mutants" / args.scratch
    scratch.mkdir(parents=True, exist_ok=True)
    log = ROOT / "build" / "mutants" / f"{args.scratch}.log"
    log.write_text("")
    sync_tree(scratch, args.shared, args.rev)
    configure = ["cmake", "--preset", "dev"]
    if args.shared:
        configure.append("-DCMAKE_LINK_DEPENDS_NO_SHARED=ON")
    if run(configure, scratch, log) != 0 or not build(scratch, log):
        sys.exit(f"the unmodified tree does not build; see {log}")
    ok, failed = test(scratch, log)
    if not ok:
        sys.exit(f"the unmodified tree fails {failed}; see {log}")

    rows = []
    for name, path, old, new in mutants:
        target = scratch / path
        original = target.read_text()
        started = time.monotonic()
        try:
            target.write_text(original.replace(old, new, 1))
            if not build(scratch, log):
                verdict, by = "no-build", []
            else:
                ok, by = test(scratch, log)
                verdict = "missed" if ok else "caught"
        finally:
            target.write_text(original)
        rows.append((name, path, verdict, " ".join(by)))
        print(f"{name:28} {verdict:8} {time.monotonic() - started:5.0f}s  {' '.join(by)}",
              flush=True)
    build(scratch, log)  # leave the scratch build matching the tree

    caught = sum(r[2] == "caught" for r in rows)
    lines = ["| mutant | file | result | failing tests |", "|---|---|---|---|"]
    lines += [f"| {n} | {p} | {v} | {b} |" for n, p, v, b in rows]
    lines.append(f"\ncaught {caught} of {len(rows)}")
    table = "\n".join(lines) + "\n"
    print(table)
    if args.out:
        args.out.write_text(table)
    return 0


if __name__ == "__main__":
    sys.exit(main())
