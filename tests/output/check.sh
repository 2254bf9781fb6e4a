#!/usr/bin/env bash
# Checks that generated code compiles: installs the Swift parser (npm, no install scripts) when it is missing,
# then runs check.js over the documents of tests/data/compile and the shared sample corpus.
#   check.sh MORVEX_CLI
# Exits 77 (skipped) when a tool is missing, unless MORVEX_OUTPUT_STRICT=1, which makes that a failure.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cli="$1"

missing() {
    echo "output check: $1" >&2
    [ "${MORVEX_OUTPUT_STRICT:-0}" = 1 ] && exit 1
    exit 77
}

command -v node >/dev/null && command -v npm >/dev/null || missing "node and npm are needed"
if [ ! -d "$here/node_modules/tree-sitter-swift" ]; then
    # The packages carry prebuilt parsers; their install scripts would only try to download or compile.
    (cd "$here" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error) || missing "npm ci failed"
fi

node "$here/check.js" "$cli" "$here/../data/compile" "$here/../../../shared/corpus/priority" \
    "$here/../../../shared/corpus/samples"
status=$?
[ $status = 77 ] && missing "a checking tool is not installed"
exit $status
