#!/bin/bash
# Fetches the command-line gpsbabel of Debian 11 (bullseye), the last Debian release whose
# gpsbabel still reads PCX5 files, into a scratch folder for the Garmin writer's tests.
#
# Usage: fetch_gpsbabel.sh [SCRATCH]   (default: ${TMPDIR:-/tmp}/plotvue-gpsbabel)
#
# Nothing is installed and the machine's apt state is not touched: the script uses its own
# sources list, package lists and cache under SCRATCH, downloads the .deb files with
# `apt-get download` and unpacks them with `dpkg -x` into SCRATCH/root. The libraries gpsbabel
# needs that are not installed here are taken from this machine's own Debian release and unpacked
# beside it. The result is SCRATCH/gpsbabel, a wrapper that runs the unpacked binary with those
# libraries; the tests find it there (or through PLOTVUE_GPSBABEL).
set -euo pipefail

scratch="${1:-${TMPDIR:-/tmp}/plotvue-gpsbabel}"
mkdir -p "$scratch"
scratch="$(cd "$scratch" && pwd)"
wrapper="$scratch/gpsbabel"

if [ -x "$wrapper" ] && "$wrapper" -V >/dev/null 2>&1; then
  echo "gpsbabel already in $scratch"
  exit 0
fi

# The Debian mirror this machine uses (first http(s) URI of its sources), else the main one.
mirror="$(grep -rhoE '(URIs:|^deb)[[:space:]]+(\[[^]]*\][[:space:]]+)?https?://[^[:space:]]+/debian/?([[:space:]]|$)' \
            /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null \
          | grep -oE 'https?://[^[:space:]]+' | head -n 1 || true)"
mirror="${mirror:-http://deb.debian.org/debian}"
mirror="${mirror%/}"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"

mkdir -p "$scratch/apt/etc/sources.list.d" "$scratch/apt/lists/partial" \
         "$scratch/apt/cache/archives/partial" "$scratch/debs" "$scratch/root"
{
  echo "deb [signed-by=$keyring] $mirror bullseye main"
  if [ -n "$codename" ] && [ "$codename" != bullseye ]; then
    echo "deb [signed-by=$keyring] $mirror $codename main"
  fi
} > "$scratch/apt/etc/sources.list"

apt_opts=(
  -o "Dir::Etc::SourceList=$scratch/apt/etc/sources.list"
  -o "Dir::Etc::SourceParts=$scratch/apt/etc/sources.list.d"
  -o "Dir::State::Lists=$scratch/apt/lists"
  -o "Dir::Cache=$scratch/apt/cache"
  -o "Debug::NoLocking=1"
)

apt-get "${apt_opts[@]}" -q update

cd "$scratch/debs"
rm -f ./*.deb
apt-get "${apt_opts[@]}" -q download gpsbabel/bullseye

# The libraries of its dependencies (and theirs) that are not installed on this machine.
deps="$(dpkg-deb -f gpsbabel_*.deb Depends | tr ',' '\n' | sed -E 's/\(.*\)//; s/\|.*//; s/[[:space:]]//g' | grep -v '^$')"
missing=()
for pkg in $(apt-cache "${apt_opts[@]}" depends --recurse --no-recommends --no-suggests \
               --no-conflicts --no-breaks --no-replaces --no-enhances $deps \
             | grep -v '^[[:space:]]' | grep -v '^<' | sort -u); do
  if ! dpkg-query -W -f='${Status}\n' "$pkg" 2>/dev/null | grep -q '^install ok installed'; then
    missing+=("$pkg")
  fi
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "also fetching: ${missing[*]}"
  apt-get "${apt_opts[@]}" -q download "${missing[@]}"
fi

for deb in ./*.deb; do
  dpkg -x "$deb" "$scratch/root"
done

libs="$scratch/root/usr/lib/x86_64-linux-gnu:$scratch/root/lib/x86_64-linux-gnu"
libs="$libs:$scratch/root/usr/lib:$scratch/root/lib"
cat > "$wrapper" <<WRAP
#!/bin/sh
LD_LIBRARY_PATH="$libs\${LD_LIBRARY_PATH:+:\$LD_LIBRARY_PATH}" exec "$scratch/root/usr/bin/gpsbabel" "\$@"
WRAP
chmod +x "$wrapper"

if ! "$wrapper" -V; then
  echo "the unpacked gpsbabel does not run" >&2
  exit 1
fi
echo "gpsbabel ready: $wrapper"
