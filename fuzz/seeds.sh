#!/usr/bin/env bash
# Small seed corpora for the fuzz targets, made by the project's own tools from the
# build in $1: logger-sim writes the settings, configuration, image, stream and live
# frames, logtool decodes a .dlg, mcf_seeds writes movie setups with the movie
# library's writer. Seeds land in $1/seeds/<target>/.
set -euo pipefail
build=$1
sim="$build/program/logger-sim"
logtool="$build/program/logtool"
out="$build/seeds"
rm -rf "$out"
mkdir -p "$out"/{fuzz_cfg,fuzz_settings,fuzz_dlg,fuzz_dlt,fuzz_download,fuzz_numtext,fuzz_live,fuzz_mcf}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$sim" --write-defaults "$tmp"
cp "$tmp/cfg/config.cfg" "$out/fuzz_cfg/config.cfg"
# init.prm, then the port map text the target reads from the bytes after its records.
{ cat "$tmp/cfg/init.prm"; printf '1=/dev/ttyUSB0\n2=/tmp/logger.tty\n4=/dev/pts/7\n'; } > "$out/fuzz_settings/init.prm"

n=0
for args in "--channels 1,2 --rate 10 --seconds 2" "--channels 1,2,3,11,12 --rate 25 --seconds 1" \
            "--channels 5,6 --rate 1 --seconds 9 --serial 12345"; do
  n=$((n + 1))
  # shellcheck disable=SC2086
  "$sim" $args --write-image "$out/fuzz_dlt/$n.dlt"
  "$logtool" decode "$out/fuzz_dlt/$n.dlt" -o "$out/fuzz_dlg/$n.dlg"
  # shellcheck disable=SC2086
  "$sim" $args --write-stream "$out/fuzz_download/$n.bin"
  # shellcheck disable=SC2086
  "$sim" $args --fault short-live --write-live "$out/fuzz_live/$n.bin"
done
"$sim" --channels 1 --seconds 1 --fault even-end-run --write-stream "$out/fuzz_download/even.bin"
"$sim" --channels 1 --seconds 1 --fault noise --write-stream "$out/fuzz_download/noise.bin"

for t in 0 12 -3 1.5 0.25 16.6666666666667 1e2 -1e-2 1,5 012 1.50; do printf '%s' "$t" > "$out/fuzz_numtext/$t"; done

"$build/fuzz/mcf_seeds" "$out/fuzz_mcf"
