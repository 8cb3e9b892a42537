#!/usr/bin/env bash
# Installs the Debian packages that a build needs, only those that are missing.
#   scripts/install-deps.sh run    packages to build and play the game
#   scripts/install-deps.sh test   the same plus what the test suite, the fuzzers and `make lint` use
#   scripts/install-deps.sh bench  the same as run plus the benchmarks' X tools and peer loaders
#   scripts/install-deps.sh package  only what builds the game itself, CPack's helpers and the
#                                    package checkers (no tools, no tests)
#   scripts/install-deps.sh web    the browser build (emscripten) and its tests (Chromium, npm)
set -euo pipefail

run_packages=(g++ cmake make pkg-config freeglut3-dev libglu1-mesa-dev libgl-dev libopenal-dev
              libx11-dev libsdl2-dev)
# The tools (resource generator, screenshots, frame comparer), which the tests and the
# benchmark build: the game itself needs none of these.
tool_packages=(libfreetype-dev libpng-dev fonts-dejavu-core fonts-dejavu-extra)
test_packages=(libgtest-dev xvfb xauth xdotool x11-apps imagemagick libxtst-dev
               clang-14 libclang-rt-14-dev libpng-dev dpkg-dev desktop-file-utils appstream
               groff-base man-db file libx11-dev clang-format clang-tidy
               mesa-vulkan-drivers)
# The browser build and its tests: emscripten with Debian's Node.js modules, headless Chromium,
# and npm for the tests' driver (a Node.js that brings its own npm needs no package).
web_packages=(emscripten chromium nodejs)
if ! command -v npm > /dev/null; then web_packages+=(npm); fi
bench_packages=(xvfb xauth libx11-dev libxtst-dev libgtest-dev libtinyobjloader-dev libstb-dev)
# The game's own build (GL, GLU, freeglut, OpenAL, Xlib, SDL2 for gamepads), dpkg-shlibdeps and
# file for the dependencies CPack works out, lintian and appstreamcli for the checks of the built
# package.
package_packages=(g++ cmake make pkg-config freeglut3-dev libglu1-mesa-dev libgl-dev libopenal-dev
                  libsdl2-dev libx11-dev dpkg-dev file lintian appstream)

wanted=("${run_packages[@]}")
case "${1:-run}" in
  test) wanted+=("${tool_packages[@]}" "${test_packages[@]}") ;;
  bench) wanted+=("${tool_packages[@]}" "${bench_packages[@]}") ;;
  package) wanted=("${package_packages[@]}") ;;
esac

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  if [ "$status" != "install ok installed" ]; then missing+=("$package"); fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
