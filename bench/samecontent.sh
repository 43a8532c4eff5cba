#!/usr/bin/env bash
# Times `kelvane-cli same-content` against fdupes, jdupes and rmlint on a
# generated tree of copies and near copies, checks that its groups equal
# those of `fdupes -r -n`, and records the table in bench/README.md.
#
#   bench/samecontent.sh
#
# Environment:
#   KELVANE_BUILD          build directory with bin/kelvane-cli and
#                          bin/kelvane-gencontent (default: build)
#   KELVANE_CONTENT_TREE   where the tree goes (default:
#                          /var/tmp/kelvane-content-tree; reused when complete)
#   KELVANE_CONTENT_SCALE  size of the tree (default 100: about 4 GiB)
#   KELVANE_BENCH_RUNS     timed runs per command (default 5)
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${KELVANE_BUILD:-build}
[[ $BUILD == /* ]] || BUILD=$ROOT/$BUILD
CLI=$BUILD/bin/kelvane-cli
GEN=$BUILD/bin/kelvane-gencontent
TREE=${KELVANE_CONTENT_TREE:-/var/tmp/kelvane-content-tree}
SCALE=${KELVANE_CONTENT_SCALE:-100}
RUNS=${KELVANE_BENCH_RUNS:-5}
README=$ROOT/bench/README.md

die() {
  echo "bench/samecontent.sh: $*" >&2
  exit 1
}

for binary in "$CLI" "$GEN"; do
  [[ -x $binary ]] || die "$binary is missing; build first (cmake --build build)"
done
missing=()
for pkg in hyperfine fdupes jdupes rmlint time; do
  dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
done
if ((${#missing[@]})); then
  [[ $(id -u) -eq 0 ]] || die "missing packages: ${missing[*]} (as root: apt-get install ${missing[*]})"
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The tree takes about 4 GiB at scale 100; keep room to spare.
mkdir -p "$(dirname "$TREE")"
need_kib=$((SCALE * 60 * 1024))
free_kib=$(df -Pk "$(dirname "$TREE")" | awk 'NR == 2 {print $4}')
if [[ ! -e $TREE/kelvane-gencontent.done ]] && ((free_kib < need_kib)); then
  die "$(dirname "$TREE") has $((free_kib / 1024)) MiB free; the tree needs about $((need_kib / 1024)) MiB"
fi
echo "== tree: $TREE (scale $SCALE)"
"$GEN" "$TREE" --scale "$SCALE"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/kelvane-samecontent.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" # rmlint writes nothing here with -o, but stay out of the repository

q=$(printf '%q' "$TREE")
qcli=$(printf '%q' "$CLI")
labels=(kelvane fdupes jdupes rmlint)
commands=(
  "$qcli same-content $q"
  "fdupes -q -r -n $q"
  "jdupes -r -q $q"
  "rmlint -T df -o fdupes $q"
)

echo "== groups against fdupes -r -n"
"$CLI" same-content "$TREE" >"$WORK/kelvane.txt"
fdupes -q -r -n "$TREE" >"$WORK/fdupes.txt"
python3 "$ROOT/bench/samecontent-check.py" "$WORK/kelvane.txt" "$WORK/fdupes.txt" | tee "$WORK/check.txt"

: >"$WORK/rss.tsv"
args=()
for i in "${!labels[@]}"; do
  echo "== warm-up and peak memory: ${labels[$i]}"
  /usr/bin/time -v -o "$WORK/time.txt" bash -c "${commands[$i]}" >/dev/null 2>"$WORK/stderr.txt" ||
    { cat "$WORK/stderr.txt" >&2; die "'${commands[$i]}' failed"; }
  rss=$(sed -n 's/^[[:space:]]*Maximum resident set size (kbytes): //p' "$WORK/time.txt")
  printf '%s\t%s\n' "${labels[$i]}" "$rss" >>"$WORK/rss.tsv"
  args+=(--command-name "${labels[$i]}" "${commands[$i]}")
done

echo "== timing (hyperfine, warm cache, $RUNS runs each)"
hyperfine --shell=bash --warmup 1 --runs "$RUNS" --output=null --export-json "$WORK/hyperfine.json" "${args[@]}"

shown_cli=$CLI
[[ $shown_cli == "$ROOT"/* ]] && shown_cli=${shown_cli#"$ROOT"/}
machine="$(nproc) CPUs ($(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)), \
$(awk '/MemTotal/ {printf "%.1f GiB RAM", $2 / 1048576}' /proc/meminfo), Linux $(uname -r), \
tree on $(findmnt -n -o FSTYPE -T "$TREE" 2>/dev/null || stat -f -c %T "$TREE")"
versions="$(fdupes --version | head -n1), $(jdupes --version | head -n1 | cut -d' ' -f1-2), \
rmlint $(rmlint --version 2>&1 | head -n1 | awk '{print $2}'), hyperfine $(hyperfine --version | awk '{print $2}')"

python3 - "$README" "$WORK/hyperfine.json" "$WORK/rss.tsv" "$TREE/kelvane-gencontent.done" \
  "$machine" "$versions" "$TREE" "$RUNS" "$(cat "$WORK/check.txt")" "$shown_cli" "${commands[@]}" <<'PY'
import datetime, json, re, sys

readme, results_path, rss_path, marker_path, machine, versions, tree, runs, check, cli = sys.argv[1:11]
commands = sys.argv[11:]
labels = ["kelvane", "fdupes", "jdupes", "rmlint"]
with open(results_path) as f:
    results = {r["command"]: r for r in json.load(f)["results"]}
rss = dict(line.rstrip("\n").split("\t") for line in open(rss_path))
marker = dict(line.strip().split("=", 1) for line in open(marker_path) if "=" in line)
stamp = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
fastest = min((results[l]["mean"], l) for l in labels[1:])
lines = [
    f"Recorded {stamp} on {machine}.",
    "",
    f"Tree: `{tree}`: {int(marker['files']):,} files, {int(marker['bytes']) / 2**30:.2f} GiB of real "
    f"content (kelvane-gencontent scale {marker['scale']}, format {marker['format']}).",
    "",
    f"Groups: `kelvane-cli same-content` against `fdupes -r -n`: {check.strip()}.",
    "",
    f"Warm cache; mean ± standard deviation of {runs} runs after 1 warm-up run (hyperfine); "
    "peak RSS from one run under `/usr/bin/time -v`. Ratio = kelvane mean / that tool's mean: "
    f"below 1.0 means Kelvane is faster. Fastest other tool: {fastest[1]}.",
    "",
    "| Command | Mean ± σ (s) | Min … max (s) | Ratio | Peak RSS (MiB) |",
    "| --- | ---: | ---: | ---: | ---: |",
]
k = results["kelvane"]["mean"]
for l in labels:
    r = results[l]
    ratio = "—" if l == "kelvane" else f"{k / r['mean']:.2f}"
    lines.append(f"| {l} | {r['mean']:.3f} ± {r['stddev']:.3f} | {r['min']:.3f} … {r['max']:.3f} | "
                 f"{ratio} | {int(rss[l]) / 1024:.1f} |")
lines += ["", "Commands (output to /dev/null):", "", "```"]
for l, c in zip(labels, commands):
    if l == "kelvane":
        c = cli + c[c.index(" same-content"):]
    lines.append(f"{l:<8} {c}")
lines += ["```", "", f"Versions: {versions}."]
body = "<!-- results:same-content -->\n" + "\n".join(lines) + "\n<!-- /results:same-content -->"
text = open(readme).read()
pattern = re.compile(r"<!-- results:same-content -->.*?<!-- /results:same-content -->", re.S)
if pattern.search(text):
    text = pattern.sub(lambda _: body, text, count=1)
else:
    text = text.rstrip("\n") + "\n\n### same-content\n\n" + body + "\n"
open(readme, "w").write(text)
print(f"== results written to {readme}")
print(body)
PY
