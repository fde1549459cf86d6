#!/usr/bin/env python3
"""Mechanical faults: makes every candidate mutation of src/ by fixed rules, draws a
seeded sample that covers every folder, plants each in a scratch worktree of the last
commit (build/mutants/tree), rebuilds incrementally with the asan preset, runs the tests
and says whether the suite caught it. Unlike scripts/faults.txt nobody chose these faults,
so the rate is not tuned to the tests. The working tree is never touched: only what is
committed is tested. Too slow for CI.

  python3 scripts/mutants.py                  the default sample (--count 200 --seed 1)
  python3 scripts/mutants.py --list           print the sample, plant nothing
  python3 scripts/mutants.py ID...            only the faults named (any candidate)

An ID is path:line:operator:n, n counting that operator's sites on the line from 1:
  cmp    a comparison turned (< <=, > >=, == !=)
  arith  an arithmetic or bitwise operator swapped (+ -, * /, % *, & |, ^ &; also as +=)
  inc    an integer constant one larger
  dec    an integer constant one smaller
  not    the condition of an if or while negated
  del    a one-line statement dropped
"""

import argparse
import hashlib
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
OUT = ROOT / "build" / "mutants"
TREE = OUT / "tree"
TARGETS = ["scripted_tests", "random_test", "gui_window_test", "gui_edit_test"]
# Every folder of src/ gets at least this many faults, however few sites it has.
MIN_PER_FOLDER = 4


def blank_literals(text):
    """The text with comments and the insides of string and character literals turned to
    spaces (line breaks kept), so that offsets still match: operators in them are not code."""
    out = list(text)
    i, n = 0, len(text)

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif c == '"' and i > 0 and text[i - 1] == "R":
            m = re.compile(r'R"([^(\s]*)\(').match(text, i - 1)
            end = text.find(")" + m.group(1) + '"', m.end())
            blank(i + 1, end + len(m.group(1)) + 1)
            i = end + len(m.group(1)) + 2
        elif c in "\"'":
            # A quote right after a digit would be a digit separator; src/ has none.
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            blank(i + 1, j)
            i = j + 1
        else:
            i += 1
    return "".join(out)


CMP = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
ARITH = {"+": "-", "-": "+", "*": "/", "/": "*", "%": "*", "&": "|", "|": "&", "^": "&",
         "+=": "-=", "-=": "+=", "*=": "/=", "/=": "*=", "&=": "|=", "|=": "&=", "^=": "&="}
# clang-format puts spaces around binary operators and none inside template brackets,
# pointer and reference declarations or unary operators: the spaces tell them apart.
CMP_RE = re.compile(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)")
ARITH_RE = re.compile(r"(?<=\s)([-+*/%&|^]=?)(?=\s)")
INT_RE = re.compile(r"(?<![\w.])(0[xX][0-9a-fA-F]+|0[0-7]+|[0-9]+)([uUlL]*)(?![\w.])")
COND_RE = re.compile(r"\b(if|while)\s*\(")
DECLARED_RE = re.compile(r"^\s*(const\s+|auto\b|(::)?[A-Za-z_][\w:]*(<[^;=()]*>)?[*&]*\s+[*&]*\w+\s*=)")
NOT_STATEMENT = {
    "return", "using", "typedef", "namespace", "template", "class", "struct", "enum",
    "union", "static_assert", "friend", "case", "default", "public", "private", "protected",
    "goto", "extern", "inline", "static", "constexpr", "const", "auto", "unsigned", "signed",
    "int", "long", "short", "char", "bool", "double", "float", "void", "virtual", "explicit",
    "if", "for", "while", "else", "do", "switch", "try", "Q_OBJECT", "mutable", "volatile"}
# A type then a name: a declaration, whose removal breaks the build, not the behaviour.
DECLARATION_RE = re.compile(
    r"^(::)?[A-Za-z_][\w:]*(<[^;]*>)?[*&\s]+[*&]*[A-Za-z_]\w*\s*(=|;|\(|\{|\[)")
HEADER_RE = re.compile(r"^(\}\s*)?(else\s+)?(if|for|while)\b.*\)$|^(\}\s*)?else$")


def int_text(old, value):
    """`value` written as `old` was: hex with its digits' case and width, octal, decimal."""
    if old[:2].lower() == "0x":
        digits = f"{value:0{len(old) - 2}x}"
        return old[:2] + (digits.upper() if old[2:] == old[2:].upper() else digits)
    if len(old) > 1 and old[0] == "0":
        return f"0{value:o}"
    return str(value)


def brace_kinds(code):
    """For each '{' offset: 'block' (a function body or a statement block), else 'scope'
    (class, namespace, enum) or 'init' (a braced initialiser)."""
    kinds = {}
    for m in re.finditer(r"\{", code):
        k = m.start()
        start = max(code.rfind(";", 0, k), code.rfind("{", 0, k), code.rfind("}", 0, k)) + 1
        head = " ".join(code[start:k].split())
        words = head.replace(":", " ").split()
        if any(w in ("class", "struct", "union", "enum", "namespace") for w in words[:3]):
            kinds[k] = "scope"
        elif head.endswith(("=", "(", ",", "return", "[")) or head == "":
            kinds[k] = "init" if head else "block"
        else:
            kinds[k] = "block"
    return kinds


def enclosing_kinds(code):
    """The kind of the innermost brace around each line start."""
    kinds = brace_kinds(code)
    stack, result = [], []
    for k, c in enumerate(code):
        if k == 0 or code[k - 1] == "\n":
            result.append(stack[-1] if stack else "file")
        if c == "{":
            stack.append(kinds[k])
        elif c == "}" and stack:
            stack.pop()
    return result


def candidates(path, text):
    """Every mutation of one file: (line, op, start, end, new) with offsets into text."""
    code = blank_literals(text)
    lines = code.split("\n")
    starts = [0]
    for line in lines:
        starts.append(starts[-1] + len(line) + 1)
    inside = enclosing_kinds(code)
    found = []
    for no, line in enumerate(lines):
        s = line.strip()
        if not s or s.startswith("#"):
            continue
        base = starts[no]
        for m in CMP_RE.finditer(line):
            found.append((no + 1, "cmp", base + m.start(), base + m.end(), CMP[m.group(1)]))
        for m in ARITH_RE.finditer(line):
            found.append((no + 1, "arith", base + m.start(), base + m.end(), ARITH[m.group(1)]))
        for m in INT_RE.finditer(line):
            value = int(m.group(1), 0) if not re.fullmatch(r"0[0-7]+", m.group(1)) \
                else int(m.group(1), 8)
            a, b = base + m.start(1), base + m.end(1)
            found.append((no + 1, "inc", a, b, int_text(m.group(1), value + 1)))
            if value > 0:
                found.append((no + 1, "dec", a, b, int_text(m.group(1), value - 1)))
        for m in COND_RE.finditer(line):
            if line[:m.start()].strip().endswith("#"):
                continue
            open_at = base + m.end() - 1
            depth, k = 0, open_at
            while True:
                depth += {"(": 1, ")": -1}.get(code[k], 0)
                if depth == 0:
                    break
                k += 1
            cond = code[open_at + 1:k]
            top = re.sub(r"\([^()]*\)", "", cond)
            if ";" in top or DECLARED_RE.match(cond):
                continue  # an init-statement or a declaration: no plain condition to negate
            found.append((no + 1, "not", open_at + 1, k, "!(" + text[open_at + 1:k] + ")"))
        if s.endswith(";") and inside[no] == "block" and statement_alone(s, lines, no):
            a = base + line.index(s[0])
            found.append((no + 1, "del", a, base + line.rindex(";") + 1, "{}"))
    return found


def statement_alone(s, lines, no):
    """True when the line holds one whole expression statement (or a bare jump)."""
    if s in ("return;", "break;", "continue;"):
        pass
    else:
        word = re.match(r"[A-Za-z_]\w*", s)
        if not (word or s.startswith(("*", "++", "--", "(", "::"))):
            return False
        if word and word.group(0) in NOT_STATEMENT:
            return False
        if word and word.group(0) not in ("delete", "throw", "emit") and DECLARATION_RE.match(s):
            return False
    for a, b in ("()", "[]", "{}"):
        if s.count(a) != s.count(b):
            return False
    prev = no - 1
    while prev >= 0 and not lines[prev].strip():
        prev -= 1
    if prev < 0:
        return False
    p = lines[prev].strip()
    return p.endswith((";", "{", "}", ":")) or bool(HEADER_RE.match(p))


def all_candidates(rev):
    """Every candidate of every .cpp and .h of src/ at rev, by ID, in a fixed order."""
    result = {}
    files = subprocess.run(["git", "ls-tree", "-r", "--name-only", rev, "src/"], cwd=ROOT,
                           check=True, capture_output=True, text=True).stdout.split()
    for rel in sorted(f for f in files if f.endswith((".cpp", ".h"))):
        text = subprocess.run(["git", "show", f"{rev}:{rel}"], cwd=ROOT, check=True,
                              capture_output=True).stdout.decode()
        seen = {}
        for line, op, a, b, new in sorted(candidates(rel, text), key=lambda c: (c[0], c[2], c[1])):
            seen[(line, op)] = seen.get((line, op), 0) + 1
            fid = f"{rel}:{line}:{op}:{seen[(line, op)]}"
            result[fid] = {"id": fid, "path": rel, "line": line, "a": a, "b": b, "new": new,
                           "folder": os.path.dirname(rel)[len("src/"):], "text": text}
    return result


def sample(cands, count, seed):
    """`count` faults drawn with `seed`: at least MIN_PER_FOLDER from each folder of src/
    (or all it has), the rest shared out by each folder's number of sites."""
    folders = {}
    for c in cands.values():
        folders.setdefault(c["folder"], []).append(c["id"])
    take = {f: min(len(ids), MIN_PER_FOLDER) for f, ids in folders.items()}
    rest = count - sum(take.values())
    spare = {f: len(ids) - take[f] for f, ids in folders.items()}
    total = sum(spare.values())
    if rest > 0 and total > 0:
        shares = {f: rest * spare[f] / total for f in folders}
        for f in folders:
            take[f] += int(shares[f])
        left = count - sum(take.values())
        for f in sorted(folders, key=lambda f: (int(shares[f]) - shares[f], f))[:left]:
            take[f] += 1
    chosen = []
    for f in sorted(folders):
        rng = random.Random(f"{seed}:{f}")
        chosen += rng.sample(sorted(folders[f]), min(take[f], len(folders[f])))
    return chosen


def mutated(c):
    return c["text"][:c["a"]] + c["new"] + c["text"][c["b"]:]


def diff_line(c):
    """The fault's line before and after, without indentation."""
    text, new = c["text"], mutated(c)
    lo = text.rfind("\n", 0, c["a"]) + 1
    old_hi = text.find("\n", c["b"])
    new_hi = old_hi + len(new) - len(text)
    return " ".join(text[lo:old_hi].split()), " ".join(new[lo:new_hi].split())


def digest(path):
    with open(path, "rb") as f:
        return hashlib.file_digest(f, "sha1").hexdigest()


def run(cmd, log, timeout=None):
    """Runs cmd in the tree at the lowest priority, its output to log; the exit status,
    or None when it ran past the timeout (then it and its children are ended)."""
    with open(log, "w") as out:
        p = subprocess.Popen(["nice", "-n", "19"] + cmd, cwd=TREE, stdout=out,
                             stderr=subprocess.STDOUT, start_new_session=True)
        try:
            return p.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(p.pid, signal.SIGKILL)
            p.wait()
            return None


FAILED_RE = re.compile(r"^ *\d+/\d+ Test +#(\d+): (\S+) .*\*\*\*(\w*)", re.M)


def tests_run(numbers, limit, log, each=None):
    """(passed, first failing test or 'timeout') for the tests of these numbers; a test
    without a timeout of its own may take `each` seconds."""
    cmd = ["ctest", "--preset", "asan", "--parallel", "2", "--stop-on-failure",
           "--timeout", str(each or limit), "-I", "0,0,0," + ",".join(map(str, sorted(numbers)))]
    rc = run(cmd, log, timeout=limit)
    if rc is None:
        return False, f"timeout after {limit}s"
    if rc == 0:
        return True, None
    # A skipped test is marked with *** too.
    m = next((m for m in FAILED_RE.finditer(Path(log).read_text(errors="replace"))
              if m.group(3) != "Skipped"), None)
    if m and m.group(3) == "Timeout":
        return False, f"timeout after {each}s ({m.group(2)})"
    return False, m.group(2) if m else f"ctest exit {rc}"


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--count", type=int, default=200)
    ap.add_argument("--rev", default="HEAD", help="the commit to test (default HEAD)")
    ap.add_argument("--out", help="the folder of the scratch tree and results, for a second "
                    "run beside one going on (default build/mutants)")
    ap.add_argument("--list", action="store_true", help="print the faults, plant none")
    ap.add_argument("--resume", action="store_true",
                    help="keep the results of build/mutants/result.txt, plant the rest")
    ap.add_argument("ids", nargs="*")
    args = ap.parse_args()
    global OUT, TREE
    if args.out:
        OUT = Path(args.out).resolve()
        TREE = OUT / "tree"

    cands = all_candidates(args.rev)
    unknown = [i for i in args.ids if i not in cands]
    if unknown:
        sys.exit("no such fault: " + " ".join(unknown))
    chosen = args.ids or sample(cands, args.count, args.seed)
    # Faults of one file in a row: each rebuild then compiles little more than that file.
    chosen.sort(key=lambda i: (cands[i]["path"], cands[i]["line"], i))
    if args.list:
        by_folder = {}
        for i in chosen:
            by_folder[cands[i]["folder"]] = by_folder.get(cands[i]["folder"], 0) + 1
        print(f"{len(cands)} candidates; {len(chosen)} chosen:",
              ", ".join(f"{f} {n}" for f, n in sorted(by_folder.items())))
        for i in chosen:
            old, new = diff_line(cands[i])
            print(f"{i}\t{old}  ->  {new}")
        return

    OUT.mkdir(parents=True, exist_ok=True)
    result_file = OUT / "result.txt"
    header = f"{'ID':44} {'RESULT':8} {'SECS':>5}  FIRST-FAILING-TEST"
    done = {}
    if args.resume and result_file.exists():
        for m in re.finditer(r"^(\S+) +(CAUGHT|MISSED|BROKEN|TIMEOUT) +(\d+)  (.*)$",
                             result_file.read_text(), re.M):
            if m.group(1) in cands:
                done[m.group(1)] = m
    # A resumed run with nothing left to plant only sums up.
    if any(fid not in done for fid in chosen):
        subprocess.run(["git", "worktree", "prune"], cwd=ROOT, check=True)
        if not (TREE / ".git").exists():
            subprocess.run(["git", "worktree", "add", "-q", "--detach", str(TREE), "HEAD"],
                           cwd=ROOT, check=True)
        head = subprocess.run(["git", "rev-parse", args.rev], cwd=ROOT, check=True,
                              capture_output=True, text=True).stdout.strip()
        subprocess.run(["git", "checkout", "-q", "--force", "--detach", head], cwd=TREE, check=True)

        print(f"Building and testing the unchanged commit {head[:10]} first", flush=True)
        configure = ["cmake", "--preset", "asan"]
        # Putting a file back recompiles all that includes it: with ccache, from its cache.
        if shutil.which("ccache"):
            os.environ["CCACHE_DIR"] = str(OUT / "ccache")
            configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        if run(configure, OUT / "build.log") != 0:
            sys.exit(f"cmake fails: {OUT / 'build.log'}")
        build = ["cmake", "--build", "--preset", "asan", "-j2", "--target"] + TARGETS
        if run(build, OUT / "build.log") != 0:
            sys.exit(f"the commit does not build: {OUT / 'build.log'}")
        listing = subprocess.run(["ctest", "--preset", "asan", "--show-only=json-v1"], cwd=TREE,
                                 check=True, capture_output=True, text=True).stdout
        tests = json.loads(listing)["tests"]
        # Test numbers by the executable they run. The build is reproducible: an executable
        # the fault left byte for byte as it was passes as it did on the unchanged commit.
        by_exe = {}
        for number, t in enumerate(tests, 1):
            by_exe.setdefault(t["command"][0], []).append(number)
        pristine = {exe: digest(exe) for exe in by_exe}
        began = time.time()
        ok, first = tests_run(range(1, len(tests) + 1), 3600, OUT / "test.log")
        suite = time.time() - began
        if not ok:
            sys.exit(f"the suite fails without a fault ({first}): {OUT / 'test.log'}")
        # The machine is shared: the same suite can take three times as long an hour later.
        limit = max(300, int(3 * suite))
        # A hang in a short test shows long before the whole suite's time is up.
        each = max(30, 3 * max(float(t) for t in re.findall(r"Passed +([\d.]+) sec",
                                                             (OUT / "test.log").read_text())))
        each = min(limit, int(each))
        objects = {}
        database = json.loads((TREE / "build/asan/compile_commands.json").read_text())
        for entry in database:
            rel = os.path.relpath(entry["file"], TREE)
            output = re.search(r" -o (\S+)", entry["command"]).group(1)
            objects.setdefault(rel, []).append(output)
        print(f"The suite takes {suite:.0f} s; a run of one fault may take {limit} s, "
              f"a test {each} s", flush=True)

    rows = [header]
    print(header, flush=True)
    caught = missed = broken = 0
    seconds = 0
    survivors = []
    for fid in chosen:
        if fid not in done:
            continue
        m = done[fid]
        rows.append(m.group(0))
        print(m.group(0), flush=True)
        seconds += int(m.group(3))
        caught += m.group(2) in ("CAUGHT", "TIMEOUT")
        broken += m.group(2) == "BROKEN"
        if m.group(2) == "MISSED":
            missed += 1
            survivors.append(fid)
    killers = {}  # by file: the tests that caught its faults so far, tried first
    for fid in chosen:
        if fid in done:
            continue
        c = cands[fid]
        t0 = time.time()
        target = TREE / c["path"]
        target.write_text(mutated(c))
        first = "-"
        try:
            # A file no test links is compiled all the same, to tell a fault that does
            # not build from one no test can see.
            extra = objects.get(c["path"], [])
            if run(build + extra, OUT / "build.log") != 0:
                result, broken = "BROKEN", broken + 1
                (OUT / f"{fid.replace('/', '_')}.build.log").write_text(
                    (OUT / "build.log").read_text(errors="replace"))
            else:
                numbers = [n for exe, ns in by_exe.items() if digest(exe) != pristine[exe]
                           for n in ns]
                passed, first = True, None
                prior = [n for n in numbers if tests[n - 1]["name"] in killers.get(c["path"], ())]
                for part in (prior, [n for n in numbers if n not in prior]):
                    if part and passed:
                        passed, first = tests_run(part, limit, OUT / "test.log", each)
                if passed:
                    result, missed = "MISSED", missed + 1
                    first = "-" if numbers else "(no test executable changed)"
                    survivors.append(fid)
                else:
                    result = "TIMEOUT" if first.startswith("timeout") else "CAUGHT"
                    caught += 1
                    if result == "CAUGHT":
                        killers.setdefault(c["path"], set()).add(first)
                    (OUT / f"{fid.replace('/', '_')}.test.log").write_text(
                        (OUT / "test.log").read_text(errors="replace"))
        finally:
            target.write_text(c["text"])
        seconds += round(time.time() - t0)
        row = f"{fid:44} {result:8} {time.time() - t0:5.0f}  {first}"
        rows.append(row)
        print(row, flush=True)
        result_file.write_text("\n".join(rows) + "\n")

    compiled = caught + missed
    rate = 100.0 * caught / compiled if compiled else 0.0
    lines = [f"Caught {caught} of {compiled} faults that compiled ({rate:.1f}%); "
             f"{broken} did not compile",
             f"seed {args.seed}, count {len(chosen)}, {seconds:.0f} s, "
             f"{seconds / max(1, len(chosen)):.1f} s a fault", "", "Survivors:"]
    survivors.sort(key=chosen.index)
    for fid in survivors:
        old, new = diff_line(cands[fid])
        lines.append(f"{fid}\n    {old}\n -> {new}")
    print("\n".join(lines))
    result_file.write_text("\n".join(rows + [""] + lines) + "\n")


if __name__ == "__main__":
    main()
