#!/usr/bin/env bash
# vexa-scramble's command line: the argument and standard input give the same text; input that is
# not UTF-8 (cut off, overlong, surrogate, beyond U+10FFFF) and a password that cannot be scrambled
# are refused with their exit status and nothing on standard output.
set -u
tool="$1"
fail() { echo "FAIL: $*" >&2; exit 1; }

argument=$("$tool" $'s\xc3\xa9cret\xf0\x9f\x98\x80') || fail "argument refused"
input=$(printf 's\xc3\xa9cret\xf0\x9f\x98\x80\r\n' | "$tool" -) || fail "standard input refused"
[[ $argument == "$input" ]] || fail "argument gives $argument, standard input $input"
[[ $argument =~ ^[0-9ABC]+$ ]] || fail "unexpected text $argument"

expect_status() {
  local want="$1" label="$2" output status
  shift 2
  output=$("$@" 2>/dev/null)
  status=$?
  [[ $status == "$want" ]] || fail "$label: status $status, expected $want"
  [[ -z $output ]] || fail "$label: printed $output"
}
for bad in $'\xc3' $'\xc0\xaf' $'\xe0\x80\xaf' $'\xf0\x80\x80\xaf' $'\xed\xa0\x80' $'\xf4\x90\x80\x80' \
           $'\xf5\x80\x80\x80' $'\xff'; do
  expect_status 1 "argument $(printf '%q' "$bad")" "$tool" "a${bad}"
  expect_status 1 "input $(printf '%q' "$bad")" bash -c 'printf "%s\n" "$1" | "$2" -' _ "a${bad}" "$tool"
done
expect_status 2 "empty password" "$tool" ""
expect_status 2 "52 characters" "$tool" "$(printf 'x%.0s' {1..52})"
expect_status 1 "two arguments" "$tool" a b
echo "vexa-scramble: all cases passed"
