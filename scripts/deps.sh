#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those missing. Idempotent.
set -euo pipefail
pkgs=(build-essential cmake ccache pkg-config zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev clang-14 clang-format-14 libclang-rt-14-dev
      qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools libgl-dev
      xvfb xauth imagemagick fonts-wqy-microhei libfuse3-dev fuse3 rsync)
"$(dirname "$0")/install-packages.sh" "${pkgs[@]}"
