#!/usr/bin/env bash
# Installs the Debian packages PLOTVUE needs to build and test, only those that are missing.
# Sourced by tools/run.sh and tools/test.sh; runs apt-get as root (or through sudo).
plotvue_install_missing() {
  local missing=()
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing missing Debian packages: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What the build needs.
PLOTVUE_BUILD_PACKAGES=(cmake make g++ libgtest-dev qt6-base-dev)
# Independent readers that the tests feed our output to.
PLOTVUE_TEST_PACKAGES=(python3 python3-ezdxf occt-draw gcc libc6-dev fonts-dejavu-core ghostscript hp2xx
  fp-compiler fp-units-rtl hershey-fonts-data poppler-utils cups printer-driver-cups-pdf)
# What the benchmark scripts use.
PLOTVUE_BENCH_PACKAGES=(time hp2xx)
# What the fuzz targets need (fuzz/, the "fuzz" preset).
PLOTVUE_FUZZ_PACKAGES=(clang libfuzzer-14-dev)
