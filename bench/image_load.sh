#!/usr/bin/env bash
# Loading a 1 MiB image written as S3 records of 32 bytes: our loader (native
# and, under Wine, the Windows build) against srec_cat converting the same
# file to binary, measured side by side in one run. Prints times and ratios.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/ready-for-wine.sh
work=$(mktemp -d)
trap 'rm -rf "$work"; /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
head -c 1048576 /dev/urandom >"$work/image.bin"
srec_cat "$work/image.bin" -binary -o "$work/image.mot" -motorola -address-length=4 -obs=32
runs=${RUNS:-5}

srec_best=1e30
for _ in $(seq "$runs"); do
    start=$(date +%s.%N)
    srec_cat "$work/image.mot" -fill 0xFF 0 0x100000 -o "$work/out.bin" -binary 2>/dev/null
    end=$(date +%s.%N)
    srec_best=$(echo "$end $start $srec_best" | awk '{t=($1-$2)*1000; print (t<$3)?t:$3}')
done
native=$(build/native/bench/image_load_bench "$work/image.mot" "$runs" | cut -d' ' -f1)
wine=$(scripts/wine-run.sh "$TARVELIN_WINDOWS_BUILD/bench/image_load_bench.exe" "Z:${work//\//\\}\\image.mot" "$runs" | cut -d' ' -f1)
printf 'file: %s bytes of S3 records, 32 data bytes each; best of %d runs\n' "$(stat -c %s "$work/image.mot")" "$runs"
printf 'srec_cat to binary:   %9.2f ms\n' "$srec_best"
printf 'ours, native:         %9.2f ms  ratio %.3f\n' "$native" "$(echo "$native $srec_best" | awk '{print $1/$2}')"
printf 'ours, Win32 on Wine:  %9.2f ms  ratio %.3f\n' "$wine" "$(echo "$wine $srec_best" | awk '{print $1/$2}')"
