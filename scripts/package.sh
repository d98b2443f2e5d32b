#!/usr/bin/env bash
# Builds the Debian packages (quayside, libquayside1, libquayside-dev) with CPack in
# build-package/, validates them (desktop-file-validate, appstreamcli, lintian errors) and
# runs the programs installed from them in a temporary root.
# Output: build-package/packages/*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
pkgs=(desktop-file-utils appstream lintian dpkg-dev file pkg-config)
scripts/install-packages.sh "${pkgs[@]}"
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
dir=build-package
# Installed under /usr the libraries land in the multiarch folder the system searches.
cmake -S . -B "$dir" "${launcher[@]}" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DQS_BUILD_TESTS=OFF -DQS_SKIP="bench;fuzz" >/dev/null
cmake --build "$dir" -j"${JOBS:-2}" >"$dir/build.log" 2>&1 || { tail -50 "$dir/build.log"; exit 1; }
rm -rf "$dir/packages"
(cd "$dir" && cpack -G DEB -B "$PWD/packages" >cpack.log 2>&1) || { tail -50 "$dir/cpack.log"; exit 1; }
rm -rf "$dir/packages/_CPack_Packages"
debs=("$dir"/packages/*.deb)
ls -l "${debs[@]}"

echo "== validate"
unpacked=$(mktemp -d /tmp/qs-package-XXXXXX)
trap 'rm -rf "$unpacked"' EXIT
for deb in "${debs[@]}"; do dpkg -x "$deb" "$unpacked"; done
for f in "$unpacked"/usr/share/applications/*.desktop; do desktop-file-validate "$f"; done
for f in "$unpacked"/usr/share/metainfo/*.xml; do appstreamcli validate --no-net "$f"; done
lintian --fail-on error --suppress-tags-from-file /dev/null "${debs[@]}"

echo "== run from the packages"
packaging/tests/install_test.sh --debs "${debs[@]}"
