# Shared by the tool's shell tests: a scratch folder and pass/fail counting.
# Source it after setting orvex=...; finish with cli_summary.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
passed=0 failed=0

check() {  # name, expected status, command...
    local name=$1 want=$2
    shift 2
    "$@" >"$tmp/out" 2>"$tmp/err"
    local got=$?
    if [ "$got" -eq "$want" ]; then passed=$((passed + 1)); else
        failed=$((failed + 1)); echo "FAIL $name: status $got, expected $want"; cat "$tmp/err"; fi
}
expect_in() {  # name, file, pattern
    if grep -q -- "$3" "$2"; then passed=$((passed + 1)); else
        failed=$((failed + 1)); echo "FAIL $1: '$3' not in $(basename "$2")"; cat "$2"; fi
}
cli_summary() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
