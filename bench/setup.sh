#!/bin/sh
# Bench-only dependencies of bench/run-surface.sh: the Delaunay library the
# peer program is built on, and GNU time for the peak memory. Not needed to
# build or test the plug-in.
set -e
if [ "$(id -u)" = 0 ]; then SUDO=; else SUDO=sudo; fi
$SUDO apt-get install -y --no-install-recommends libcgal-dev time
