#!/bin/sh
# The manual pages render without a warning, and velto_tcs_sim(1) lists the
# options, with their argument names, that velto_tcs_sim --help lists.
#     man_pages.sh SIMULATOR MAN_FOLDER
set -eu
sim=$1
pages=$2
status=0

for page in "$pages"/*.1; do
    warnings=$(MANWIDTH=80 man -l "$page" 2>&1 >/dev/null)
    if [ -n "$warnings" ]; then
        echo "$page: $warnings"
        status=1
    fi
done

# "--port PORT" from "  --port <PORT>  Port to listen on..."
from_help=$("$sim" --help | sed -n '/^Options:/,/^$/p' |
    grep -o -- '--[a-z-]*\( <[^>]*>\)\?' | tr -d '<>' | sort)
# "--port PORT" from ".BI \-\-port " PORT"" in the OPTIONS section
from_page=$(sed -n '/^\.SH OPTIONS/,/^\.SH [^O]/p' "$pages/velto_tcs_sim.1" |
    sed 's/\\-/-/g; s/"//g; s/\\f[BIR]//g' | tr -s ' ' |
    grep -o -- '--[a-z-]*\( [A-Z][A-Z=]*\)\?' | sort)
if [ "$from_help" != "$from_page" ]; then
    echo "velto_tcs_sim --help lists:"
    echo "$from_help"
    echo "but velto_tcs_sim(1) lists:"
    echo "$from_page"
    status=1
fi
exit $status
