#!/bin/sh
# Signs a Windows executable in place with osslsigncode:
#   sign-exe.sh OSSLSIGNCODE EXE CERT KEY [URL]
# Signed into a second file and moved over the first. On failure the exe is
# removed, so that the next build links and signs it again instead of
# finding an unsigned one up to date.
tool="$1" exe="$2" cert="$3" key="$4" url="$5"
set -- sign -certs "$cert" -key "$key" -h sha256 -n "Tavik Roved Editor Setup"
[ -n "$url" ] && set -- "$@" -i "$url"
if "$tool" "$@" -in "$exe" -out "$exe.signed" >"$exe.sign.log" 2>&1 && mv -f "$exe.signed" "$exe"; then
  rm -f "$exe.sign.log"
  exit 0
fi
cat "$exe.sign.log" >&2
rm -f "$exe" "$exe.signed" "$exe.sign.log"
echo "sign-exe: signing $exe failed; the unsigned file is removed" >&2
exit 1
