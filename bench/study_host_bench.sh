#!/usr/bin/env bash
# The study host's own costs, each against a named baseline in the same run:
#  1. per design, with a solver that does nothing (`true`): designs per second
#     with --jobs 1 and --jobs 2, against a shell loop doing the same file work
#     (a folder, two copies, one `true`) per design; and the host's processor
#     time per design, less what starting `true` costs on its own;
#  2. with SLURM_CONF set (scripts/slurm-up.sh), the time from a Slurm job's
#     end to its design's record in results.jsonl, against the time from a job's
#     end to `sbatch --wait` returning;
#  3. resuming a study of 10,000 and of 100,000 designs of which all but 10
#     finished, against reading the same journal with `wc -l`.
#   bench/study_host_bench.sh [BUILD_DIR]
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bench_init portal-host "${1:-}"
designs=${DESIGNS:-400}

cd "$work"
printf 'E 1\nh 1\n' > model.txt
printf 'result 1\n' > out.txt
study() {  # NAME LEVELS-OF-E LEVELS-OF-H COMMAND-JSON
  cat > "$1.json" <<JSON
{"name": "$1",
 "inputs": [{"file": "model.txt", "mark": {"E": {"mode": "free", "row": 1, "col": 2, "delims": "\\\\s"},
                                          "h": {"mode": "free", "row": 2, "col": 2, "delims": "\\\\s"}}}],
 "outputs": [{"file": "out.txt", "mark": {"r": {"mode": "free", "row": 1, "col": 2, "delims": "\\\\s"}}}],
 "files": ["out.txt"],
 "solver": {"command": $4},
 "parameters": {"E": {}, "h": {}},
 "responses": {"r": {}},
 "designs": {"grid": {"E": $2, "h": $3}}}
JSON
}
levels() { seq -s, 1 "$1" | sed 's/^/[/; s/$/]/'; }

# 1. Per design.
study nothing "$(levels $((designs / 2)))" "[1, 2]" '["true"]'
loop() {
  rm -rf loop && mkdir loop
  for (( i = 1; i <= designs; ++i )); do
    mkdir "loop/d$i" && cp model.txt out.txt "loop/d$i/" && (cd "loop/d$i" && /bin/true)
  done
}
trues() { seq "$designs" | xargs -n1 true; }
read -r one one_cpu < <(run_cpu_ms "$driver" study nothing.json --jobs 1 --out one --force)
read -r _ trues_cpu < <(run_cpu_ms trues)
two=$(run_ms "$driver" study nothing.json --jobs 2 --out two --force)
base=$(run_ms loop)
for folder in one two; do
  rows=$(($(wc -l < "$folder/results.csv") - 1))
  [ "$rows" -eq "$designs" ] || { echo "the study in $folder ran $rows of $designs designs" >&2; exit 1; }
done
printf 'host cost per design (solver true, %d designs): --jobs 1 %.0f designs/s (%.2f ms each), --jobs 2 %.0f designs/s; vs the shell loop (%.2f ms each): %s\n' \
  "$designs" "$(echo "$designs * 1000 / $one" | bc -l)" "$(echo "$one / $designs" | bc -l)" \
  "$(echo "$designs * 1000 / $two" | bc -l)" "$(echo "$base / $designs" | bc -l)" "$(ratio "$one" "$base")"

printf 'host processor time per design (solver true, %d designs, --jobs 1): %.2f ms (goal < 2 ms): the study %d ms less %d ms for starting `true` %d times from xargs\n' \
  "$designs" "$(echo "($one_cpu - $trues_cpu) / $designs" | bc -l)" "$one_cpu" "$trues_cpu" "$designs"

# 2. Slurm: from a job's end to the host noticing it.
if [ -n "${SLURM_CONF:-}" ]; then
  study slurm "[1, 2, 3, 4, 5]" "[1, 2]" '["sh", "-c", "date +%s.%N > ended.txt"]'
  python3 - "$driver" <<'PY'
import json, os, subprocess, sys, time
driver = sys.argv[1]
proc = subprocess.Popen([driver, "study", "slurm.json", "--jobs", "1", "--launcher", "slurm", "--out", "s", "--force"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
seen, lags, offset = {}, [], 0
def size():
    return os.path.getsize("s/results.jsonl") if os.path.exists("s/results.jsonl") else 0
while proc.poll() is None or offset < size():
    if size() > offset:
        with open("s/results.jsonl") as f:
            f.seek(offset); data = f.read(); now = time.time()
        if data.endswith("\n"):
            offset += len(data)
            for line in data.splitlines():
                record = json.loads(line)
                if record.get("status") != "submitted": seen[record["design"]] = now
    time.sleep(0.002)
for design, at in seen.items():
    lags.append(at - float(open("s/design_%04d/ended.txt" % design).read()))
waits = []
for i in range(5):
    out = subprocess.run(["sbatch", "--wait", "--output=/dev/null", "--chdir=" + os.getcwd(), "--wrap",
                          "date +%s.%N > wait-ended.txt"], capture_output=True)
    waits.append(time.time() - float(open("wait-ended.txt").read()))
lags.sort(); waits.sort()
print("slurm: job end -> record in results.jsonl: median %.2f s (max %.2f), sbatch --wait: median %.2f s; ratio %.2f"
      % (lags[len(lags) // 2], lags[-1], waits[len(waits) // 2], lags[len(lags) // 2] / waits[len(waits) // 2]))
PY
else
  echo "slurm: skipped (no SLURM_CONF; bring a cluster up with scripts/slurm-up.sh)"
fi

# 3. Resume: a journal of all but 10 designs finished.
resume() {  # DESIGNS-OF-E (times 100 h levels)
  local name=r$1
  study "$name" "$(levels "$1")" "$(levels 100)" '["true"]'
  local total=$(( $1 * 100 ))
  "$driver" study "$name.json" --out "$name" --jobs 1 > /dev/null 2>&1 &
  local pid=$!
  while [ ! -s "$name/results.jsonl" ]; do sleep 0.05; done
  kill -INT "$pid"; wait "$pid" || true
  # The finished designs, as the host writes them.
  awk -v total="$total" 'BEGIN { for (d = 1; d <= total - 10; ++d) {
    e = int((d - 1) / 100) + 1; h = (d - 1) % 100 + 1
    printf "{\"design\":%d,\"values\":{\"E\":%d.0,\"h\":%d.0},\"status\":\"ok\",\"responses\":{\"r\":[1.0]},\"messages\":[],\"exitCode\":0,\"seconds\":0.01,\"portalSeconds\":0.001,\"attempts\":1}\n", d, e, h } }' \
    > "$name/results.jsonl"
  local took; took=$(run_ms "$driver" study "$name.json" --out "$name" --resume --jobs 1)
  local count; count=$(run_ms wc -l "$name/results.jsonl")
  echo "$took $count"
}
read -r ten tenWc <<< "$(resume 100)"
read -r hundred hundredWc <<< "$(resume 1000)"
printf 'resume with 10 designs left: 10,000 designs %d ms, 100,000 designs %d ms (x%s for 10x the journal); wc -l of the journals: %d ms, %d ms\n' \
  "$ten" "$hundred" "$(ratio "$hundred" "$ten")" "$tenWc" "$hundredWc"
