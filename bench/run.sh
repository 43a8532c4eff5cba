#!/usr/bin/env bash
# Times kelvane-cli against reference tools on a generated tree and records
# the results in bench/README.md. See bench/README.md for what it measures.
#
#   bench/run.sh              run every group
#   bench/run.sh walk ...     run only the named groups
#   bench/run.sh --list       list the groups
#
# Environment:
#   KELVANE_BUILD        build directory holding bin/kelvane-cli and
#                        bin/kelvane-gentree (default: build, relative to the
#                        repository root)
#   KELVANE_BENCH_TREE   where the tree is generated (default:
#                        /var/tmp/kelvane-bench-tree; reused when complete)
#   KELVANE_BENCH_FILES  files in the tree (default 1000000)
#   KELVANE_BENCH_DIRS   directories in the tree (default 60000)
#   KELVANE_BENCH_RUNS   timed runs per command (default 5)
#   KELVANE_BENCH_COLD_RUNS  timed runs per command of the cold groups
#                        (default 3)
#   KELVANE_BENCH_COMB   where the comb tree is made (default:
#                        /var/tmp/kelvane-bench-comb; reused when complete)
#   KELVANE_BENCH_COMB_LEVELS  levels of the comb tree (default 4000)
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true  # '&' in a path stays '&'

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${KELVANE_BUILD:-build}
[[ $BUILD == /* ]] || BUILD=$ROOT/$BUILD
CLI=$BUILD/bin/kelvane-cli
GENTREE=$BUILD/bin/kelvane-gentree
FLOOR=$BUILD/bin/kelvane-floorwalk
TREE=${KELVANE_BENCH_TREE:-/var/tmp/kelvane-bench-tree}
FILES=${KELVANE_BENCH_FILES:-1000000}
DIRS=${KELVANE_BENCH_DIRS:-60000}
RUNS=${KELVANE_BENCH_RUNS:-5}
COLD_RUNS=${KELVANE_BENCH_COLD_RUNS:-3}
COMB=${KELVANE_BENCH_COMB:-/var/tmp/kelvane-bench-comb}
COMB_LEVELS=${KELVANE_BENCH_COMB_LEVELS:-4000}
README=$ROOT/bench/README.md
PACKAGES=(hyperfine ncdu gdu time)

# ---------------------------------------------------------------- groups ---
# Each group times one kelvane command against one or more reference
# commands. In commands, {cli} stands for kelvane-cli, {floor} for
# kelvane-floorwalk, {tree} for the tree and {comb} for the comb tree (each
# level holds the chain a/ and an empty b/); commands run through bash, so
# pipelines work. All output goes to /dev/null.
#
#   group NAME "what it compares"
#   cold                         the page cache is dropped before every run
#   kelvane "COMMAND"            exactly one per group, first
#   reference LABEL "COMMAND"    one or more

GROUP_NAMES=()
declare -A GROUP_TITLE=()
declare -A GROUP_COLD=()
ENTRY_GROUP=()
ENTRY_LABEL=()
ENTRY_COMMAND=()

group() {
  GROUP_NAMES+=("$1")
  GROUP_TITLE[$1]=$2
}
cold() {
  GROUP_COLD[${GROUP_NAMES[-1]}]=1
}
kelvane() {
  ENTRY_GROUP+=("${GROUP_NAMES[-1]}")
  ENTRY_LABEL+=(kelvane)
  ENTRY_COMMAND+=("$1")
}
reference() {
  ENTRY_GROUP+=("${GROUP_NAMES[-1]}")
  ENTRY_LABEL+=("$1")
  ENTRY_COMMAND+=("$2")
}

group walk "Walk the whole tree and total its sizes"
kelvane "{cli} walk {tree}"
reference du "du -s --apparent-size {tree}"
reference find "find {tree} -printf '%s %p\n'"
reference ncdu "ncdu -0 -x -o /dev/null {tree}"
reference gdu "gdu -n -p -c {tree}"

group cold "Walk the whole tree from a cold cache (the first scan after boot)"
cold
kelvane "{cli} walk {tree}"
reference du "du -s --apparent-size {tree}"
reference ncdu "ncdu -0 -x -o /dev/null {tree}"
reference gdu "gdu -n -p -c {tree}"
reference floor-2 "{floor} --threads 2 {tree}"
reference floor-16 "{floor} --threads 16 {tree}"

group walk-disk "Walk the whole tree, hidden folders included, and total its space on disk (hard links once)"
kelvane "{cli} walk --hidden --disk-usage {tree}"
reference du "du -s -x {tree}"

group dirhogs "Directory hogs: every directory with the files directly in it, largest first"
kelvane "{cli} dirhogs {tree}"
reference du "du -S --apparent-size {tree}"

group dirhogs-main "Directory hogs: each directory under the root with its whole subtree"
kelvane "{cli} dirhogs --main {tree}"
reference du "du --apparent-size -d1 {tree}"

group hogs "File hogs: every file above 0 KB, largest first"
kelvane "{cli} hogs --limit 0 {tree}"
reference find-sort "find {tree} -type f -printf '%s %p\n' | sort -rn"

group duplicates "Duplicate files: names that occur more than once, letter case ignored"
kelvane "{cli} duplicates --limit 0 {tree}"
# In the C locale, as the fastest form of the pipeline (no collation).
reference find-sort-uniq "export LC_ALL=C; find {tree} -type f -printf '%f\n' | sort -f | uniq -di"

group stats "File statistics: files and bytes per extension (and per size and age band)"
kelvane "{cli} stats {tree}"
reference find-awk "find {tree} -type f -printf '%s %f\n' | awk '{ n = substr(\$0, length(\$1) + 2); k = match(n, /\\.[^.]*\$/) ? toupper(substr(n, RSTART)) : \"\"; c[k]++; b[k] += \$1 } END { for (k in c) printf \"%s\\t%.0f\\t%.0f\\n\", k, c[k], b[k] }'"

group changed "Files changed: every file last written in one year (2020), whole days"
kelvane "{cli} changed --from 2020-01-01 --to 2020-12-31 {tree}"
reference find "find {tree} -newermt 2020-01-01 ! -newermt 2021-01-01 -printf '%p\n'"

group comb "One thread on a comb tree: each of 4,000 levels holds the chain a/ and an empty b/"
kelvane "{cli} --threads 1 walk {comb}"
reference du "du -s --apparent-size {comb}"

# ---------------------------------------------------------------- helpers --

die() {
  echo "bench/run.sh: $*" >&2
  exit 1
}

usage() {
  sed -n '2,17s/^# \{0,1\}//p' "${BASH_SOURCE[0]}"
  echo
  echo "Groups: ${GROUP_NAMES[*]}"
}

python() {
  if [[ -x /usr/bin/python3 ]]; then /usr/bin/python3 "$@"; else python3 "$@"; fi
}

# ---------------------------------------------------------------- options --

SELECTED=()
for arg in "$@"; do
  case $arg in
    -h|--help) usage; exit 0 ;;
    --list)
      for g in "${GROUP_NAMES[@]}"; do printf '%-12s %s\n' "$g" "${GROUP_TITLE[$g]}"; done
      exit 0 ;;
    -*) die "unknown option $arg (try --help)" ;;
    *)
      [[ -v GROUP_TITLE[$arg] ]] || die "no group '$arg'; groups: ${GROUP_NAMES[*]}"
      [[ " ${SELECTED[*]-} " == *" $arg "* ]] || SELECTED+=("$arg") ;;
  esac
done
((${#SELECTED[@]})) || SELECTED=("${GROUP_NAMES[@]}")
[[ $RUNS =~ ^[1-9][0-9]*$ ]] || die "KELVANE_BENCH_RUNS must be a positive number"
[[ $COLD_RUNS =~ ^[1-9][0-9]*$ ]] || die "KELVANE_BENCH_COLD_RUNS must be a positive number"
[[ $COMB_LEVELS =~ ^[1-9][0-9]*$ ]] || die "KELVANE_BENCH_COMB_LEVELS must be a positive number"

# Dropping the page cache takes root; without it the cold groups are left out.
if [[ $(id -u) -ne 0 ]]; then
  kept=()
  for g in "${SELECTED[@]}"; do
    if [[ -v GROUP_COLD[$g] ]]; then
      echo "bench/run.sh: skipping group '$g': dropping the page cache needs root" >&2
    else
      kept+=("$g")
    fi
  done
  ((${#kept[@]})) || die "no group left to run"
  SELECTED=("${kept[@]}")
fi

# ---------------------------------------------------------------- setup ----

for binary in "$CLI" "$GENTREE" "$FLOOR"; do
  if [[ ! -x $binary ]]; then
    die "$binary is missing. Build first, from $ROOT:
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release && cmake --build build -j2
(or point KELVANE_BUILD at another build directory)"
  fi
done

missing=()
for pkg in "${PACKAGES[@]}"; do
  dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
done
if ((${#missing[@]})); then
  if [[ $(id -u) -eq 0 ]]; then
    echo "== installing ${missing[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  else
    die "missing packages: ${missing[*]} (as root: apt-get install ${missing[*]})"
  fi
fi
for tool in hyperfine ncdu gdu /usr/bin/time; do
  command -v "$tool" >/dev/null || die "$tool not found"
done

# Which trees the selected groups use.
NEED_TREE=0
NEED_COMB=0
for i in "${!ENTRY_GROUP[@]}"; do
  [[ " ${SELECTED[*]} " == *" ${ENTRY_GROUP[$i]} "* ]] || continue
  [[ ${ENTRY_COMMAND[$i]} == *'{tree}'* ]] && NEED_TREE=1
  [[ ${ENTRY_COMMAND[$i]} == *'{comb}'* ]] && NEED_COMB=1
done

if ((NEED_TREE)); then
  echo "== tree: $TREE"
  "$GENTREE" "$TREE" --files "$FILES" --dirs "$DIRS" --replace
fi

# The comb is made level by level from inside (its paths pass PATH_MAX);
# a marker at the top records that it is complete.
if ((NEED_COMB)); then
  echo "== comb tree: $COMB ($COMB_LEVELS levels)"
  if [[ $(cat "$COMB/kelvane-comb.done" 2>/dev/null) != "levels=$COMB_LEVELS" ]]; then
    if [[ -e $COMB ]]; then
      # Only ever delete an earlier comb (or an empty directory).
      [[ -e $COMB/kelvane-comb.done || -z $(ls -A "$COMB") ]] ||
        die "$COMB exists and is not a comb tree; move it away or set KELVANE_BENCH_COMB"
      rm -rf "$COMB"
    fi
    mkdir -p "$COMB"
    python - "$COMB" "$COMB_LEVELS" <<'PY'
import os
import sys

# Relative to descriptors: the paths soon pass PATH_MAX.
fd = os.open(sys.argv[1], os.O_RDONLY | os.O_DIRECTORY)
for _ in range(int(sys.argv[2])):
    os.mkdir("a", dir_fd=fd)
    os.mkdir("b", dir_fd=fd)
    below = os.open("a", os.O_RDONLY | os.O_DIRECTORY, dir_fd=fd)
    os.close(fd)
    fd = below
os.close(fd)
PY
    echo "levels=$COMB_LEVELS" >"$COMB/kelvane-comb.done"
  fi
fi

WORK=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# Fill in {cli} and {tree}, quoted for bash.
expand() {
  local command=$1
  command=${command//\{cli\}/$(printf '%q' "$CLI")}
  command=${command//\{floor\}/$(printf '%q' "$FLOOR")}
  command=${command//\{tree\}/$(printf '%q' "$TREE")}
  command=${command//\{comb\}/$(printf '%q' "$COMB")}
  printf '%s' "$command"
}

# How the command is shown in README: the build directory relative to the
# repository when it is inside it.
shown() {
  local command=$1 cli=$CLI floor=$FLOOR
  [[ $cli == "$ROOT"/* ]] && cli=${cli#"$ROOT"/}
  [[ $floor == "$ROOT"/* ]] && floor=${floor#"$ROOT"/}
  command=${command//\{cli\}/$(printf '%q' "$cli")}
  command=${command//\{floor\}/$(printf '%q' "$floor")}
  command=${command//\{tree\}/$(printf '%q' "$TREE")}
  command=${command//\{comb\}/$(printf '%q' "$COMB")}
  printf '%s' "$command"
}

# ---------------------------------------------------------------- runs -----
# One untimed run of each command warms the cache; it runs under
# /usr/bin/time -v, which gives the peak resident set size.

ENTRIES="$WORK/entries.tsv"
: >"$ENTRIES"
HYPERFINE_ARGS=()
COLD_ARGS=()
for i in "${!ENTRY_GROUP[@]}"; do
  g=${ENTRY_GROUP[$i]}
  [[ " ${SELECTED[*]} " == *" $g "* ]] || continue
  label=${ENTRY_LABEL[$i]}
  command=$(expand "${ENTRY_COMMAND[$i]}")
  echo "== warm-up and peak memory: $g/$label"
  if ! /usr/bin/time -v -o "$WORK/time.txt" bash -c "$command" >/dev/null 2>"$WORK/stderr.txt"; then
    cat "$WORK/stderr.txt" >&2
    die "'$command' failed"
  fi
  rss=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$WORK/time.txt")
  uses=tree
  [[ ${ENTRY_COMMAND[$i]} == *'{comb}'* ]] && uses=comb
  printf '%s\t%s\t%s\t%s\t%s\n' "$g" "$label" "${rss:-0}" "$uses" "$(shown "${ENTRY_COMMAND[$i]}")" >>"$ENTRIES"
  if [[ -v GROUP_COLD[$g] ]]; then
    COLD_ARGS+=(--command-name "$g/$label" "$command")
  else
    HYPERFINE_ARGS+=(--command-name "$g/$label" "$command")
  fi
done

echo '{"results": []}' >"$WORK/hyperfine.json"
echo '{"results": []}' >"$WORK/cold.json"
if ((${#HYPERFINE_ARGS[@]})); then
  echo "== timing (hyperfine, warm cache, $RUNS runs each)"
  hyperfine --shell=bash --warmup 1 --runs "$RUNS" --output=null \
    --export-json "$WORK/hyperfine.json" "${HYPERFINE_ARGS[@]}"
fi
if ((${#COLD_ARGS[@]})); then
  echo "== timing (hyperfine, cold cache, $COLD_RUNS runs each)"
  hyperfine --shell=bash --runs "$COLD_RUNS" --output=null \
    --prepare 'sync; echo 3 > /proc/sys/vm/drop_caches' \
    --export-json "$WORK/cold.json" "${COLD_ARGS[@]}"
fi

# ---------------------------------------------------------------- report ---

machine="$(nproc) CPUs ($(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)), \
$(awk '/MemTotal/ {printf "%.1f GiB RAM", $2 / 1048576}' /proc/meminfo), \
Linux $(uname -r)"
fstype() { findmnt -n -o FSTYPE -T "$1" 2>/dev/null || stat -f -c %T "$1"; }
if ((NEED_TREE)); then TREE_FS=$(fstype "$TREE"); else TREE_FS=; fi
if ((NEED_COMB)); then COMB_FS=$(fstype "$COMB"); else COMB_FS=; fi
# shellcheck disable=SC2185  # find --version needs no path
versions="hyperfine $(hyperfine --version | awk '{print $2}'), \
$(du --version | head -n1), $(find --version | head -n1), \
$(ncdu -v | head -n1), gdu $(gdu --version | sed -n 's/^Version:[[:space:]]*//p' | head -n1)"

PYTHONPATH="$ROOT/bench" python - "$README" "$WORK/hyperfine.json" "$ENTRIES" "$TREE/kelvane-gentree.done" \
  "$machine" "$versions" "$TREE" "$RUNS" "$WORK/cold.json" "$COLD_RUNS" \
  "$COMB" "$COMB_LEVELS" "$TREE_FS" "$COMB_FS" "${SELECTED[@]}" <<'PY'
import datetime
import json
import sys

from recordtable import record

readme, results_path, entries_path, marker_path, machine, versions, tree, runs = sys.argv[1:9]
cold_path, cold_runs, comb, comb_levels, tree_fs, comb_fs = sys.argv[9:15]
groups = sys.argv[15:]

results = {}
cold = set()
for path in (results_path, cold_path):
    with open(path) as f:
        for r in json.load(f)["results"]:
            results[r["command"]] = r
            if path == cold_path:
                cold.add(r["command"].split("/")[0])
entries = []
with open(entries_path) as f:
    for line in f:
        group, label, rss, uses, command = line.rstrip("\n").split("\t", 4)
        entries.append({"group": group, "label": label, "rss_kib": int(rss or 0), "uses": uses,
                        "command": command})
marker = {}
try:
    with open(marker_path) as f:
        for line in f:
            key, _, value = line.strip().partition("=")
            marker[key] = value
except FileNotFoundError:
    pass

stamp = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
apparent = int(marker.get("apparent_bytes", "0"))
tree_text = (f"`{tree}`: {int(marker.get('dirs', 0)):,} directories, "
             f"{int(marker.get('files', 0)):,} files, {apparent / 2**30:.1f} GiB apparent "
             f"(sparse), deepest directory {marker.get('max_depth', '?')} levels down "
             f"(kelvane-gentree format {marker.get('format', '?')}, seed {marker.get('seed', '?')})")
comb_text = (f"`{comb}`: a comb of {int(comb_levels):,} levels, {2 * int(comb_levels) + 1:,} "
             "directories (each level holds the chain `a/` and an empty `b/`) and one file, the marker")


def section(group):
    rows = [e for e in entries if e["group"] == group]
    kelvane = results[f"{group}/kelvane"]
    # Seconds, or milliseconds when every mean is under a second (small trees).
    fast = all(results[f"{group}/{e['label']}"]["mean"] < 1 for e in rows)
    unit, scale, digits = ("ms", 1000, 1) if fast else ("s", 1, 3)

    def t(seconds):
        return f"{(seconds or 0) * scale:.{digits}f}"

    on_comb = rows[0]["uses"] == "comb"
    lines = [
        f"Recorded {stamp} on {machine}, tree on {comb_fs if on_comb else tree_fs}.",
        "",
        f"Tree: {comb_text if on_comb else tree_text}.",
        "",
        (f"Cold cache: `sync; echo 3 > /proc/sys/vm/drop_caches` before each run; mean ± "
         f"standard deviation of {cold_runs} runs (hyperfine); peak RSS from one run under "
         "`/usr/bin/time -v`. " if group in cold else
         f"Warm cache; mean ± standard deviation of {runs} runs after 1 warm-up run "
         "(hyperfine); peak RSS from one run under `/usr/bin/time -v`. ") +
        "Ratio = kelvane mean / reference mean: below 1.0 means Kelvane is faster.",
        "",
        f"| Command | Mean ± σ ({unit}) | Min … max ({unit}) | Ratio | Peak RSS (MiB) |",
        "| --- | ---: | ---: | ---: | ---: |",
    ]
    for e in rows:
        r = results[f"{group}/{e['label']}"]
        ratio = "—" if e["label"] == "kelvane" else f"{kelvane['mean'] / r['mean']:.2f}"
        lines.append(
            f"| {e['label']} | {t(r['mean'])} ± {t(r['stddev'])} | "
            f"{t(r['min'])} … {t(r['max'])} | {ratio} | {e['rss_kib'] / 1024:.1f} |")
    lines += ["", "Commands (output to /dev/null):", "", "```"]
    width = max(len(e["label"]) for e in rows)
    lines += [f"{e['label']:<{width}}  {e['command']}" for e in rows]
    lines += ["```", "", f"Versions: {versions}."]
    return "\n".join(lines)


record(readme, [(group, section(group)) for group in groups])
print(f"== results written to {readme}: {', '.join(groups)}")
PY

# Show the new sections.
for g in "${SELECTED[@]}"; do
  sed -n "/<!-- results:$g -->/,/<!-- \/results:$g -->/p" "$README"
done
