#!/bin/sh
# Signs a build of the setup program with a throw-away self-signed
# certificate through the build's own signing step, checks the signature
# with osslsigncode, and installs from the signed exe through its wizard:
# every installed file must be the sample payload's, so signing left the
# resources intact.
#
#   signed_install_test.sh SOURCE_DIR WORK_DIR MAIN_BUILD_DIR
#
# WORK_DIR/a-second-build-folder is the reproducibility test's second build
# when that ran first; otherwise it is built here. Runs the install in the
# main build's Wine prefix (through its wine-run.sh); needs a display.
# Exits 77 (skipped) where this machine cannot run the build's programs.
set -e
source_dir="$(cd "$1" && pwd)"
mkdir -p "$2"
work="$(cd "$2" && pwd)"
main_build="$(cd "$3" && pwd)"
build="$work/a-second-build-folder"
keys="$work/signing"
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$keys" && mkdir -p "$keys"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Tavik throw-away test signer" \
  -keyout "$keys/key.pem" -out "$keys/cert.pem" >"$keys/openssl.log" 2>&1 ||
  { cat "$keys/openssl.log"; fail "openssl could not make a certificate"; }

(cd "$source_dir" && cmake --preset windows -B "$build" -DTAVIK_PAYLOAD_PROFILE=small -DTAVIK_NATIVE_TESTS=OFF \
   -DTAVIK_SIGN_CERT="$keys/cert.pem" -DTAVIK_SIGN_KEY="$keys/key.pem") >"$keys/build.log" 2>&1 &&
  cmake --build "$build" --target TavikSetup bench_wizard_drive -j 2 >>"$keys/build.log" 2>&1 ||
  { tail -30 "$keys/build.log"; fail "the signed build failed"; }

exe="$build/TavikSetup.exe"
osslsigncode verify -CAfile "$keys/cert.pem" -in "$exe" >"$keys/verify.log" 2>&1 ||
  { cat "$keys/verify.log"; fail "osslsigncode verify rejected the signed exe"; }
grep -q "Signature verification: ok" "$keys/verify.log" || { cat "$keys/verify.log"; fail "no verified signature"; }
grep -q "Tavik throw-away test signer" "$keys/verify.log" || { cat "$keys/verify.log"; fail "signed by someone else"; }

# The install, driven through the wizard to its end.
windows() { echo "Z:$1" | tr / '\\'; }
folder="$work/signed-install"
result="$work/signed-install.txt"
rm -rf "$folder" "$result"
status=0
"$main_build/wine-run.sh" "$build/bench/wizard_drive.exe" "$(windows "$exe")" "$(windows "$folder")" \
  "$(windows "$result")" || status=$?
# 77: wine-run.sh found that this machine cannot run the build's kind of
# program; the signing and the verification above still counted.
if [ "$status" -eq 77 ]; then
  echo "SKIP: signed and verified, but this machine cannot run the signed exe"
  exit 77
fi
[ "$status" -eq 0 ] || fail "the wizard did not complete the install from the signed exe"
read -r setup_exit peak boxes <"$result" || fail "the driver left no result"
[ "$setup_exit" = 0 ] || fail "the signed setup program ended with $setup_exit ($boxes boxes answered)"

# Every installed file as packed; the configuration file is rewritten by
# the install and the speech package is not installed.
sample="$build/payload/sample-small"
count=0
for file in "$sample"/*; do
  name="$(basename "$file")"
  case "$name" in dodazaze.ini|Sapi51forTavik.msi) continue ;; esac
  cmp -s "$file" "$folder/$name" || fail "$name was not installed as packed"
  count=$((count + 1))
done
[ "$count" -ge 120 ] || fail "only $count sample files compared"
echo "PASS: signed, verified, and $count files installed as packed from the signed exe (peak $peak bytes)"
rm -rf "$work"
