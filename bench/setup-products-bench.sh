#!/bin/sh
# Installs what the products benchmark needs beyond the build: the peer
# contour generator (Debian's matplotlib, with numpy) and GNU time for the
# peak memory. Bench only: nothing in the build or the tests uses them.
set -e
if /usr/bin/python3 -c "import matplotlib, numpy" 2>/dev/null && [ -x /usr/bin/time ]; then
    exit 0
fi
if [ "$(id -u)" = 0 ]; then SUDO=; else SUDO=sudo; fi
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends \
    python3-matplotlib python3-numpy time
