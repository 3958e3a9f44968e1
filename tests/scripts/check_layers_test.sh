#!/usr/bin/env bash
# scripts/check-layers passes on this tree and fails on each include planted into a copy of it,
# naming the file and the line of the planted include.
#
# usage: check_layers_test.sh REPOSITORY WORK_DIR
set -uo pipefail

repo="$1"
work="$2/tree"
rm -rf "$work" && mkdir -p "$work" && cp -r "$repo/src" "$repo/tools" "$repo/README.md" "$work/"
check="$repo/scripts/check-layers"

"$check" "$work" >/dev/null || { echo "FAIL: the unchanged tree does not pass"; exit 1; }

# file to plant into | the planted line | what the check must say
cases=(
  'src/support/string_list.cpp|#include "broadcast/broadcast.h"|support/ sits below broadcast/'
  'src/logging/log.cpp|#include "errors/exceptions.h"|logging/ sits below errors/'
  'src/broadcast/heartbeat.cpp|#include "acquisition/harddisk.h"|only through data/'
  'src/data/data_list.cpp|#  include <windows.h>|Windows headers belong'
  'tools/vexa-host/host_run.cpp|#include <objbase.h>|Windows headers belong'
  'src/service/monitor_assembly.cpp|#include "standins/reg_file.h"|use the stand-ins'
  'src/standins/reg_file.cpp|#include "settings/settings.h"|see only it'
)
failed=0
for entry in "${cases[@]}"; do
  IFS='|' read -r file line message <<<"$entry"
  cp "$work/$file" "$work/$file.orig"
  printf '%s\n' "$line" >>"$work/$file"
  where="$file:$(wc -l <"$work/$file"):"
  output="$("$check" "$work" 2>&1)"
  status=$?
  mv "$work/$file.orig" "$work/$file"
  if [[ $status == 0 || $output != *"$where"*"$message"* ]]; then
    echo "FAIL: $line in $file: status $status, output:"
    echo "$output"
    failed=1
  fi
done

# Without the order in the README there is nothing to check against: that fails too.
sed -i '/ → .* → /d' "$work/README.md"
if "$check" "$work" >/dev/null 2>&1; then
  echo "FAIL: a README without the layer order passes"
  failed=1
fi
exit $failed
