#!/usr/bin/env bash
# The main job on the bundled survey: run from anywhere with the folder that
# holds cadhost, vog.arx and the tools. Everything it writes goes to out/.
set -euo pipefail
bin=$(cd "${1:-build/bin}" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
mkdir -p out
cp -u examples/data/jacksboro-survey.xyz out/jacksboro-survey.xyz
cp -u examples/data/jacksboro-faults.flt out/jacksboro-faults.flt
cp -u examples/data/jacksboro-boundary.bnd out/jacksboro-boundary.bnd
cp -u examples/data/jacksboro-pad.xyz out/jacksboro-pad.xyz

# The project (demo.lsp), its surface (surface.lsp), the drawing products and
# volumes (products.lsp): one session, so the drawing holds all of them.
scripts=(examples/demo.lsp)
for step in surface products; do
    [ -f "examples/$step.lsp" ] && scripts+=("examples/$step.lsp")
done
"$bin/cadhost" --save out/jacksboro.dxf --svg out/jacksboro.svg "${scripts[@]}"
echo
echo "Drawing written to out/jacksboro.dxf, picture to out/jacksboro.svg"
# The contours alone, without the triangles and the mesh, for the README.
"$bin/cadhost" --open out/jacksboro.dxf --svg out/jacksboro-contours.svg examples/picture.lsp >/dev/null
echo "Contour picture written to out/jacksboro-contours.svg"

# The profile, cut in the saved drawing against the surface's edges.
if [ -f out/jacksboro-survey.tin ]; then
    "$bin/tin-edges" out/jacksboro-survey.tin out/kttin.asc
    "$bin/cadhost" --open out/jacksboro.dxf --save out/jacksboro.dxf --svg out/jacksboro.svg \
        examples/profile.lsp
    echo
    # The drawing is in metres and profile.lsp starts the profile at station 0.
    "$bin/profile-chart" --units m --start 0 out/jacksboro.pfl out/jacksboro-profile.svg \
        "Jacksboro survey: ground profile"
    echo "Profile written to out/jacksboro.pfl, chart to out/jacksboro-profile.svg"
fi

# The surface as LandXML, for a field controller or another program.
if [ -f out/jacksboro-survey.tin ] && [ -x "$bin/tin-landxml" ]; then
    "$bin/tin-landxml" export out/jacksboro-survey.tin out/jacksboro-survey.xml --name "Jacksboro survey"
    echo "Surface written as LandXML to out/jacksboro-survey.xml"
elif [ -f out/jacksboro-survey.tin ]; then
    echo "tin-landxml was not built (libxml2-dev missing): no LandXML export"
fi
