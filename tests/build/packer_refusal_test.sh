#!/bin/sh
# The packer against a payload folder that the setup program could not
# install: each case copies the sample payload (as links), puts one wrong
# file in, and checks what the packer says and whether it packs.
#
#   packer_refusal_test.sh CASE PACKER SAMPLE_DIR WORK_DIR
set -e
case_name="$1" packer="$2" sample="$3" work="$4/$1"
rm -rf "$work"
mkdir -p "$work/payload"
for file in "$sample"/*; do ln -s "$file" "$work/payload/"; done

# Replaces one file of the copy by one of SIZE bytes (sparse: only its size
# matters to the packer's checks).
resize() {
  rm -f "$work/payload/$1"
  truncate -s "$2" "$work/payload/$1"
}

# CASE: file, size, text the refusal must carry (the file and the limit).
case "$case_name" in
  installed) resize pykeys.dic 30408705; expect="pykeys.dic (id 106) is 30,408,705 bytes.*30,408,704" ;;
  licence)   resize License_en.txt 65536; expect="License_en.txt (id 164) is 65,536 bytes.*65,536" ;;
  package)   resize Sapi51forTavik.msi 12582913; expect="Sapi51forTavik.msi (id 1029) is 12,582,913 bytes.*12,582,912" ;;
  font)      resize ChnBmp.bin 241663; expect="ChnBmp.bin (id 110) is 241,663 bytes.*241,664" ;;
  stray)
    # A file no row names is only reported; a licence one byte inside its
    # limit packs.
    echo "not a product file" >"$work/payload/notes.txt"
    head -c 65535 /dev/zero | tr '\0' 'a' >"$work/payload/License_en.txt.new"
    rm "$work/payload/License_en.txt" && mv "$work/payload/License_en.txt.new" "$work/payload/License_en.txt"
    expect="warning: .*/notes.txt is named by no manifest row" ;;
  *) echo "unknown case $case_name" >&2; exit 2 ;;
esac

status=0
"$packer" --payload "$work/payload" --out "$work/out" --rc "$work/out/payload.rc" --quiet \
  >"$work/stdout" 2>"$work/stderr" || status=$?
cat "$work/stderr"
if ! grep -q "$expect" "$work/stderr"; then
  echo "FAIL: the packer's messages lack: $expect" >&2
  exit 1
fi
if [ "$case_name" = stray ]; then
  [ "$status" -eq 0 ] || { echo "FAIL: the packer refused a sound folder (exit $status)" >&2; exit 1; }
  grep -q '^164 TEXT' "$work/out/payload.rc" || { echo "FAIL: the licence was not packed" >&2; exit 1; }
  if grep -q notes "$work/out/payload.rc"; then echo "FAIL: the stray file was packed" >&2; exit 1; fi
else
  [ "$status" -ne 0 ] || { echo "FAIL: the packer accepted the folder" >&2; exit 1; }
  # Refused before anything was written.
  [ ! -e "$work/out/payload.rc" ] || { echo "FAIL: a resource script was written" >&2; exit 1; }
fi
rm -rf "$work"
echo "PASS: $case_name"
