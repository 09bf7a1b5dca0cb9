#!/usr/bin/env bash
# The main job on the bundled survey: run from the repository's top folder
# with the folder that holds cadhost and vog.arx. Everything it writes goes
# to out/.
set -euo pipefail
bin=${1:-build/bin}
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
mkdir -p out
cp -u examples/data/jacksboro-survey.xyz out/jacksboro-survey.xyz
"$bin/cadhost" --save out/jacksboro.dxf --svg out/jacksboro.svg examples/demo.lsp
echo "Drawing written to out/jacksboro.dxf, picture to out/jacksboro.svg"
