#!/usr/bin/env bash
# Runs the alerting rules on a metrics file the monitor wrote in an end-to-end run, so that the
# rules and the monitor are checked to speak of the same metrics, labels, fields and groups.
# Each sample becomes a series that holds its value for 40 minutes (the cycle time stamp and the
# cycle count advance as on a running machine, the data ages stay 0); EXPECTED names the alerts
# that must then fire.
# The demo machines' UPS works: its working field is set to 0 here to see that alert too.
#
# usage: rules_on_monitor_output.sh PROMTOOL RULES METRICS EXPECTED WORK
set -euo pipefail

promtool="$1" rules="$2" metrics="$3" expected="$4" work="$5"
rm -rf "$work"
mkdir -p "$work"

# Template texts are tested on their own (vexa-alerts.test.yml); here only the expressions and
# labels count, so the annotations are left out of the copy of the rules.
awk '/^        annotations:/ { skip = 1; next }
     skip && /^          / { next }
     { skip = 0; print }' "$rules" >"$work/rules.yml"
grep -q 'alert:' "$work/rules.yml" || { echo "no rules in $rules" >&2; exit 1; }

{
  printf 'rule_files:\n  - rules.yml\nevaluation_interval: 1m\ntests:\n  - interval: 1m\n'
  printf '    input_series:\n'
  sed -E 's/^(vexa_field_value\{field="Fan P24V250W"[^}]*\}) 1000$/\1 0/' "$metrics" |
    awk '
      /^#/ || NF == 0 { next }
      {
        value = $NF
        series = substr($0, 1, length($0) - length(value) - 1)
        labels = "instance=\"ipc-01\",job=\"vexa\""
        if (series ~ /\}$/) {
          series = substr(series, 1, length(series) - 1) "," labels "}"
        } else {
          series = series "{" labels "}"
        }
        if (series ~ /^vexa_last_cycle_timestamp_seconds\{/) values = "0+60x40"
        else if (series ~ /^vexa_cycles_total\{/) values = "0+6x40"
        else if (series ~ /^vexa_(sensor|disk)_data_age_seconds\{/) values = "0x40"
        else if (series ~ /^vexa_disk_first_seen_timestamp_seconds\{/) values = "0x40"
        else values = value "x40"
        gsub(/\x27/, "\x27\x27", series)
        printf "      - series: \x27%s\x27\n        values: \x27%s\x27\n", series, values
      }'
  printf '    alert_rule_test:\n'
  sed 's/^/      /' "$expected"
} >"$work/test.yml"

cd "$work" && "$promtool" test rules test.yml
