#!/usr/bin/env bash
# The metrics file as a Prometheus agent serves it: runs the native vexa-host on the machine of
# the "machine" scenario with "MetricsFile" set, checks the file with promtool, starts
# node_exporter with only its textfile collector on a free loopback port, fetches /metrics and
# finds the monitor's metrics there with no textfile scrape error.
#
# usage: metrics_scrape.sh HOST WORK
set -euo pipefail

host="$1" work="$2"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
fail() { echo "FAIL (metrics scrape): $*" >&2; exit 1; }

for tool in promtool prometheus-node-exporter python3; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup installs it)"
done

rm -rf "$work"
mkdir -p "$work"
run="$work/run"
bash "$here/run_scenario.sh" native machine "$host" - "$run" - >/dev/null ||
  fail "the host run failed"
[[ -f $run/vexa.prom ]] || fail "no metrics file written"
promtool check metrics <"$run/vexa.prom" || fail "promtool rejects the metrics file"

# A free loopback port: the system picks one for a moment, node_exporter takes it over.
port="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
exporter_pid=
stop_exporter() {
  if [[ -n $exporter_pid ]]; then
    kill "$exporter_pid" 2>/dev/null || true
    wait "$exporter_pid" 2>/dev/null || true
    exporter_pid=
  fi
}
trap stop_exporter EXIT
# The folder holds the run's other files as well: the collector reads only *.prom.
prometheus-node-exporter --collector.disable-defaults --collector.textfile \
  --collector.textfile.directory="$run" --web.listen-address="127.0.0.1:$port" \
  >"$work/exporter.log" 2>&1 &
exporter_pid=$!

fetch() {
  python3 - "$1" <<'PY'
import sys, urllib.request
with urllib.request.urlopen(sys.argv[1], timeout=5) as response:
    sys.stdout.write(response.read().decode("utf-8"))
PY
}
deadline=$((SECONDS + 20))
until fetch "http://127.0.0.1:$port/metrics" >"$work/scrape.txt" 2>/dev/null; do
  kill -0 "$exporter_pid" 2>/dev/null || fail "node_exporter ended: $(cat "$work/exporter.log")"
  ((SECONDS < deadline)) || fail "node_exporter did not answer on port $port"
  sleep 0.2
done
stop_exporter

grep -qx 'node_textfile_scrape_error 0' "$work/scrape.txt" ||
  fail "textfile scrape error: $(grep node_textfile "$work/scrape.txt")"
# Every sample of the file reaches the scrape with its value (the exporter writes large numbers
# in exponent form).
python3 - "$run/vexa.prom" "$work/scrape.txt" <<'PY' || fail "scraped samples differ from the file"
import sys
def samples(path):
    found = {}
    for line in open(path, encoding="utf-8"):
        if line.startswith("vexa_"):
            series, value = line.rstrip("\n").rsplit(" ", 1)
            found[series] = float(value)
    return found
written, scraped = samples(sys.argv[1]), samples(sys.argv[2])
if written != scraped:
    for series in sorted(set(written) | set(scraped)):
        if written.get(series) != scraped.get(series):
            print(series, written.get(series), scraped.get(series), file=sys.stderr)
    sys.exit(1)
PY
for family in vexa_field_value vexa_field_setpoint vexa_field_rating vexa_group_rating \
              vexa_ups_state_of_charge vexa_disk_source vexa_disk_info vexa_last_cycle_timestamp_seconds \
              vexa_cycles_total vexa_cycle_failures_total vexa_build_info; do
  grep -q "^# TYPE $family " "$work/scrape.txt" || fail "$family missing from the scrape"
done
grep -qx 'vexa_disk_source{source="ata"} 1' "$work/scrape.txt" || fail "disk source not ATA"
grep -qx 'vexa_cycles_total 3' "$work/scrape.txt" || fail "not three cycles"
echo "ok (metrics scrape on port $port)"
