#!/usr/bin/env bash
# Builds a corpus of music files for the loading benchmarks from copies of
# committed test files, in the proportions of a typical collection: half MP3
# with an ID3v2.3 tag and a 45 KB cover, a quarter FLAC, and the rest Ogg
# Vorbis, AAC and Windows Media (three fifths, one fifth, one fifth).
#
#   bench/make-corpus.sh OUTDIR [COUNT]     (COUNT defaults to 10000)
#
# Files go into folders of 100, as albums would, and every file is a real
# copy (not a link), so each has pages of its own in the page cache. OUTDIR
# must be new, empty or an earlier corpus; a corpus of the same COUNT that is
# already there is kept as it is.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
fixtures="$top/tests/fixtures"

if [[ $# -lt 1 || $# -gt 2 ]]; then
  echo "usage: $0 OUTDIR [COUNT]" >&2
  exit 2
fi
out=$1
count=${2:-10000}
if ! [[ $count =~ ^[1-9][0-9]*$ ]]; then
  echo "$0: COUNT must be a positive number" >&2
  exit 2
fi

stamp="$out/.corpus-$count"
if [[ -f $stamp ]]; then
  exit 0
fi

mp3=$((count / 2))
flac=$((count / 4))
rest=$((count - mp3 - flac))
ogg=$((rest * 3 / 5))
aac=$((rest / 5))
wma=$((rest - ogg - aac))

# Never empty a folder this script did not make.
if [[ -d $out ]] && [[ -n $(ls -A "$out") ]] && ! compgen -G "$out/.corpus-*" >/dev/null; then
  echo "$0: $out holds other files; give a new or empty folder" >&2
  exit 2
fi
rm -rf "$out"
mkdir -p "$out"

n=0
# copy SOURCE EXTENSION HOW_MANY
copy() {
  local source=$1 ext=$2 k
  for ((k = 0; k < $3; k++)); do
    local folder
    folder=$(printf '%s/album%03d' "$out" $((n / 100)))
    [[ $((n % 100)) -eq 0 ]] && mkdir -p "$folder"
    cp "$source" "$(printf '%s/track%05d.%s' "$folder" "$n" "$ext")"
    n=$((n + 1))
  done
}

copy "$fixtures/corpus/cover_v23.mp3" mp3 "$mp3"
copy "$fixtures/apeflac/stereo.flac" flac "$flac"
copy "$fixtures/ogg/tagged_stereo.ogg" ogg "$ogg"
copy "$fixtures/apeflac/tagged.aac" aac "$aac"
copy "$fixtures/wma/tagged.wma" wma "$wma"

printf 'mp3 %d\nflac %d\nogg %d\naac %d\nwma %d\n' "$mp3" "$flac" "$ogg" "$aac" "$wma" >"$stamp"
echo "$out: $count files ($mp3 MP3, $flac FLAC, $ogg Ogg, $aac AAC, $wma WMA)" >&2
