#!/usr/bin/env bash
# Runs a desktop validator on files: validate.sh desktop-file-validate|appstreamcli FILE...
# Fails on an error, a warning or a hint (appstreamcli: its errors and warnings); exits 77
# (skipped) when the validator is not installed.
set -uo pipefail
validator=$1
shift
if ! command -v "$validator" >/dev/null; then
    echo "SKIPPED: $validator is not installed (scripts/setup.sh --test installs it)"
    exit 77
fi
status=0
for file in "$@"; do
    if [[ "$validator" == appstreamcli ]]; then
        output=$(appstreamcli validate --no-net --no-color "$file" 2>&1)
    else
        output=$(desktop-file-validate "$file" 2>&1)
    fi
    rc=$?
    echo "$validator $file: exit $rc"
    [[ -n "$output" ]] && echo "$output"
    # desktop-file-validate exits 0 on warnings and hints (such as no main category, which
    # puts the entry under "Other"): those fail too.
    if [[ $rc -ne 0 || ("$validator" != appstreamcli && -n "$output") ]]; then
        status=1
    fi
done
exit $status
