#!/usr/bin/env bash
# scripts/test-unprivileged from a clone other users cannot enter (root's home is 0700, so
# is a private mktemp -d): the unprivileged user must still run every test it is given.
#   test_unprivileged_private_clone.sh SOURCE_DIR BUILD_DIR
# A copy of the script and of the built tests, programs and libraries it needs goes into a
# 0700 folder, laid out as a clone with its build tree. Needs root; exits 77 (skipped) else.
set -euo pipefail
source_dir=$(realpath "$1")
build=$(realpath "$2")
# One test without helpers, one that runs vela-cli, one that loads the simulated libraries;
# of vela-cli's, only two quick cases.
tests=(test_atomicfile test_vela_cli test_cameralinkseriallibrary)
export GTEST_FILTER='AtomicFileTest.*:CliTest.HelpListsEveryCommandAndExitCode:CliTest.UnknownNames*:*Clserial*:DefaultLibraryChannel.*'


if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: only root can run tests as another user"
  exit 77
fi

private=$(mktemp -d "${TMPDIR:-/tmp}/vela-private.XXXXXX")
trap 'rm -rf "$private"' EXIT
chmod 700 "$private"
clone=$private/clone
mkdir -p "$clone/scripts" "$clone/build/bin" "$clone/build/lib"
cp "$source_dir/scripts/test-unprivileged" "$clone/scripts/"
for p in "${tests[@]}" vela-cli vela-control; do cp "$build/bin/$p" "$clone/build/bin/"; done
cp "$build"/lib/*.so "$clone/build/lib/"

status=0
"$clone/scripts/test-unprivileged" "$clone/build" "${tests[@]}" >"$private/out" 2>&1 || status=$?
tail -n 1 "$private/out"
if [ "$status" -ne 0 ] || ! grep -q ", 0 tests failed out of" "$private/out"; then
  echo "FAILED: scripts/test-unprivileged from a 0700 folder ended with status $status:"
  grep -v '^  passed' "$private/out"
  exit 1
fi
echo "passed"
