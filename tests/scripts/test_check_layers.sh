#!/usr/bin/env bash
# scripts/check-layers on a copy of src/: the tree as it is passes, and each kind of wrong
# include planted into the copy is reported at its line, with nothing else reported.
#   test_check_layers.sh SOURCE_DIR
set -euo pipefail
source_dir=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/vela-layers-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The copy is a repository of its own, never a part of one around it.
export GIT_CEILING_DIRECTORIES=$work

fail() { echo "FAILED: $*"; echo "--- scripts/check-layers said:"; cat "$work/out"; exit 1; }

copy=$work/tree
mkdir -p "$copy/scripts"
(cd "$source_dir" && git ls-files -co --exclude-standard src | xargs cp --parents -t "$copy")
cp "$source_dir/scripts/check-layers" "$copy/scripts/"

# Outside a repository the file list cannot be had: that must fail, never pass empty.
status=0
"$copy/scripts/check-layers" >"$work/out" 2>&1 || status=$?
[ "$status" -ne 0 ] || fail "passed without a file list"

git -C "$copy" init -q
status=0
"$copy/scripts/check-layers" >"$work/out" 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the tree as it is failed (status $status)"
grep -qx "layer check: passed" "$work/out" || fail "no pass line"

# Line 2 of each file, after its own header: file, planted include, what the report names.
plant() { sed -i "1a $2" "$copy/$1"; }
plant src/protocol/command.cpp '#include "mainwindow/ctrltooldlg.h"'
plant src/camera/valuecommit.cpp '#include <QString>'
plant src/transport/seriallink.cpp '#include <camera/valuecommit.h>'
plant src/app/regstore.cpp '#include <qstring.h>'
plant src/camera/flashareas.cpp '#include "platform/qt/qtprompt.h"'
plant src/dialogs/label.cpp '#include "mainwindow/gen.h"'
mkdir -p "$copy/src/extra"
printf '#include "protocol/command.h"\n' >"$copy/src/extra/stray.cpp"

status=0
"$copy/scripts/check-layers" >"$work/out" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "status $status with wrong includes, not 1"
expected=(
  'src/protocol/command.cpp:2: includes "mainwindow/ctrltooldlg.h"'
  'src/camera/valuecommit.cpp:2: #include <QString>: src/camera builds without Qt'
  'src/transport/seriallink.cpp:2: includes "camera/valuecommit.h"'
  'src/app/regstore.cpp:2: #include <qstring.h>: src/app builds without Qt'
  'src/camera/flashareas.cpp:2: includes "platform/qt/qtprompt.h"'
  'src/dialogs/label.cpp:2: includes "mainwindow/gen.h"'
  'src/extra/stray.cpp: folder src/extra has no place in the layers'
)
for line in "${expected[@]}"; do
  grep -qF "$line" "$work/out" || fail "not reported: $line"
done
reported=$(grep -c '^src/' "$work/out" || true)
[ "$reported" -eq "${#expected[@]}" ] || fail "$reported lines reported, ${#expected[@]} planted"
grep -qx "layer check: FAILED" "$work/out" || fail "no failure line"
echo "check-layers: the tree passes; ${#expected[@]} wrong includes reported"
