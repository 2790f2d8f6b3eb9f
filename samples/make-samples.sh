#!/usr/bin/env bash
# Makes the sample tracks of samples/: seven short pieces of one made-up
# album, "Tidewater Hours" by Marrow Lane, each in another format, made with
# real encoders and taggers. The outputs are committed, so the encoders are
# needed only to make them again:
#   ffmpeg (synthesis, wmav2, aac), lame, oggenc, flac + metaflac, mpcenc,
#   id3v2, python3-mutagen, ImageMagick (the cover picture).
# Runs from anywhere; writes into the folder of this script.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
PYTHON3=${PYTHON3:-/usr/bin/python3}

artist="Marrow Lane"
album="Tidewater Hours"
year=2024
genre="Ambient"

# A melody of plucked notes: each note is a sine that starts on its beat and
# dies away, over a soft drone an octave below the first note.
# Arguments: name, seconds, beats per second, note frequencies in Hz.
# Writes $tmp/<name>.wav.
note_wav() {
  local name=$1 seconds=$2 rate=$3
  shift 3
  local expr="0.10*sin(2*PI*t*$1/2)" k=0
  for f in "$@"; do
    local start
    start=$(awk -v k=$k -v r="$rate" 'BEGIN { printf "%.3f", k / r }')
    expr+="+0.40*gte(t,$start)*exp(-2.5*(t-$start))*sin(2*PI*$f*(t-$start))"
    k=$((k + 1))
  done
  local fade
  fade=$(awk -v s="$seconds" 'BEGIN { print s - 0.8 }')
  ffmpeg -v error -y -f lavfi -i "aevalsrc=exprs='$expr':s=22050:d=$seconds" \
    -af "afade=t=in:d=0.05,afade=t=out:st=$fade:d=0.8" -fflags +bitexact -map_metadata -1 "$tmp/$name.wav"
}

# Notes of A minor pentatonic and friends, Hz.
A3=220 C4=261.63 D4=293.66 E4=329.63 G4=392 A4=440 C5=523.25 D5=587.33 E5=659.25 G5=783.99
note_wav t1 6 2 $A3 $E4 $A4 $C5 $E5 $D5 $C5 $A4 $G4 $E4 $A4 $A4
note_wav t2 5 2.5 $C4 $E4 $G4 $C5 $G4 $E4 $D4 $E4 $G4 $C5 $E5 $C5
note_wav t3 5 2 $D4 $A4 $D5 $E5 $D5 $A4 $G4 $A4 $D5 $D5
note_wav t4 5 3 $E4 $G4 $A4 $C5 $A4 $G4 $E4 $D4 $E4 $G4 $A4 $C5 $E5 $D5 $C5
note_wav t5 5 2 $G4 $D5 $G5 $E5 $D5 $C5 $A4 $G4 $G4 $G4
note_wav t6 5 2.5 $A4 $C5 $E5 $A4 $C5 $E5 $G5 $E5 $D5 $C5 $A4 $A4
note_wav t7 6 1.5 $A3 $C4 $E4 $A4 $E4 $C4 $A3 $A3 $A3

# The cover: a dusk sky over a calm sea with the title, 300 x 300 JPEG.
font=/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf
font_opt=()
[[ -f "$font" ]] && font_opt=(-font "$font")
convert -size 300x190 gradient:'#f6c28b-#5b6c9e' \
  \( -size 300x110 gradient:'#3d5a80-#1b263b' \) -append \
  -fill '#fde8b0' -draw 'circle 210,150 210,118' \
  -fill '#3d5a80' -draw 'rectangle 0,190 300,300' \
  -stroke '#e8d9b5' -strokewidth 2 -fill none \
  -draw 'line 150,205 270,205' -draw 'line 170,222 250,222' -draw 'line 188,240 232,240' \
  -stroke none -fill '#1b263b' -draw 'polygon 40,190 70,150 78,190' -draw 'rectangle 66,150 70,110' \
  "${font_opt[@]}" -fill white -pointsize 26 -gravity northwest -annotate +18+18 'Tidewater' \
  -annotate +18+50 'Hours' -pointsize 14 -fill '#1b263b' -annotate +20+86 'MARROW LANE' \
  -quality 82 -strip "$tmp/cover.jpg"

# An ID3v2.3 tag of the album's texts before the file's own bytes.
# Arguments: file, title, track.
id3v23_tag() {
  "$PYTHON3" - "$@" "$artist" "$album" "$year" "$genre" <<'PY'
import sys
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TYER, TCON, TRCK
path, title, track, artist, album, year, genre = sys.argv[1:8]
tag = ID3()
for frame in (TIT2(encoding=3, text=title), TPE1(encoding=3, text=artist), TALB(encoding=3, text=album),
              TYER(encoding=3, text=year), TCON(encoding=3, text=genre), TRCK(encoding=3, text=track)):
    tag.add(frame)
tag.save(path, v2_version=3)
PY
}

rm -f ./*.mp3 ./*.ogg ./*.flac ./*.wma ./*.aac ./*.mpc ./*.ape

# 1. MP3 with an ID3v2.4 tag: cover, lyrics, comment and link.
lame --quiet -b 48 -m m "$tmp/t1.wav" "01 Morning at the Pier.mp3"
"$PYTHON3" - "$tmp/cover.jpg" "$artist" "$album" "$year" "$genre" <<'PY'
import sys
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TDRC, TCON, TRCK, COMM, USLT, APIC, WXXX
cover, artist, album, year, genre = sys.argv[1:6]
tag = ID3()
tag.add(TIT2(encoding=3, text="Morning at the Pier"))
tag.add(TPE1(encoding=3, text=artist))
tag.add(TALB(encoding=3, text=album))
tag.add(TDRC(encoding=3, text=year))
tag.add(TCON(encoding=3, text=genre))
tag.add(TRCK(encoding=3, text="1/7"))
tag.add(COMM(encoding=3, lang="eng", desc="", text="Recorded at first light & mixed by ear"))
tag.add(USLT(encoding=3, lang="eng", desc="",
             text="Ropes on the bollards,\ngulls on the rail,\nthe tide comes in slowly\nand turns without fail."))
tag.add(WXXX(encoding=3, desc="", url="https://marrow-lane.example.org/tidewater"))
tag.add(APIC(encoding=3, mime="image/jpeg", type=3, desc="Cover", data=open(cover, "rb").read()))
tag.save("01 Morning at the Pier.mp3", v2_version=4)
PY

# 2. MP3 with an ID3v1.1 tag only (genre 26 is Ambient).
lame --quiet -b 48 -m m "$tmp/t2.wav" "02 Gulls Over Slate.mp3"
id3v2 -1 -t "Gulls Over Slate" -a "$artist" -A "$album" -y "$year" -T 2 -g 26 -c "Plain old tag" \
  "02 Gulls Over Slate.mp3" >/dev/null

# 3. Ogg Vorbis with Vorbis comments.
oggenc --quiet -q 0 -t "Lantern Walk" -a "$artist" -l "$album" -d "$year" -G "$genre" -c "TRACKNUMBER=3/7" \
  -c "TRACKTOTAL=7" -c "COMMENT=Footsteps on the harbour wall" -o "03 Lantern Walk.ogg" "$tmp/t3.wav"

# 4. FLAC: Vorbis comments for other players, and the ID3v2 tag this
#    program shows for FLAC files.
flac --silent -f --best -o "04 Salt and Cedar.flac" "$tmp/t4.wav"
metaflac --set-tag="TITLE=Salt and Cedar" --set-tag="ARTIST=$artist" --set-tag="ALBUM=$album" \
  --set-tag="DATE=$year" --set-tag="GENRE=$genre" --set-tag="TRACKNUMBER=4" "04 Salt and Cedar.flac"
id3v23_tag "04 Salt and Cedar.flac" "Salt and Cedar" 4/7

# 5. Windows Media Audio (wmav2) with ASF tags.
ffmpeg -v error -y -fflags +bitexact -i "$tmp/t5.wav" -c:a wmav2 -b:a 32k \
  -metadata title="Fog Signal" -metadata artist="$artist" -metadata album="$album" \
  -metadata genre="$genre" -metadata track="5/7" -metadata "WM/Year=$year" \
  -metadata comment="Two long notes and a short one" "05 Fog Signal.wma"

# 6. AAC in ADTS frames behind an ID3v2 tag.
ffmpeg -v error -y -i "$tmp/t6.wav" -c:a aac -b:a 40k -bitexact -f adts "06 Low Tide Radio.aac"
id3v23_tag "06 Low Tide Radio.aac" "Low Tide Radio" 6/7

# 7. Musepack (mpcenc writes stream version 8) with an APEv2 tag; the
#    encoder takes 32, 44.1 or 48 kHz only.
ffmpeg -v error -y -i "$tmp/t7.wav" -ar 44100 -fflags +bitexact -map_metadata -1 "$tmp/t7-44k.wav"
mpcenc --silent --overwrite --quality 1 --artist "$artist" --album "$album" --title "Harbour Clock" \
  --year "$year" --genre "$genre" --track 7/7 "$tmp/t7-44k.wav" "07 Harbour Clock.mpc"

ls -l ./*.mp3 ./*.ogg ./*.flac ./*.wma ./*.aac ./*.mpc
