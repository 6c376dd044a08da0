#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need. With --dev it adds the tools for
# fuzzing, benchmarks and formatting. Packages already present are not fetched again.
set -euo pipefail

# imagemagick and gifsicle judge our GIF, PNG, JPEG and Targa output, webpmux and ImageMagick
# our animated WebP, apngdis and Python's imaging library our APNG, headless Chromium (driven
# through selenium) our roll-over pages, cjpeg/djpeg our JPEG files and Cairo our rasterizer in
# the interop tests; Qt 6 is the desktop application's toolkit, and its image plug-ins (TIFF,
# WebP, ICO …) are the formats the translators offer beyond Qt's own; FreeType and fontconfig
# give the text tool its fonts, DejaVu being the face it falls back on; OSMesa draws the 3D
# layers (opened at run time: the programs start without it); assimp and its test models judge
# our LightWave reader; shared-mime-info and desktop-file-utils register an installed gravik with
# the desktop.
packages=(cmake ninja-build g++ pkg-config ccache zlib1g-dev libpng-dev libjpeg62-turbo-dev
          libgtest-dev libgmock-dev imagemagick gifsicle libjpeg-turbo-progs libcairo2-dev
          qt6-base-dev qt6-image-formats-plugins
          libwebp-dev webp apngdis python3-pil chromium chromium-driver python3-selenium
          libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-liberation2 libharfbuzz-dev
          libosmesa6-dev libassimp-dev assimp-testmodels shared-mime-info desktop-file-utils)
if [[ "${1:-}" == "--dev" ]]; then
    packages+=(clang libclang-rt-14-dev libbenchmark-dev clang-format libpixman-1-dev libgif-dev
               libimagequant-dev netpbm libagg-dev)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
