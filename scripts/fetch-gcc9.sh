#!/usr/bin/env bash
# Fetches GCC 9.3 (Debian 11's g++-9, the release Ubuntu 20.04 ships for ROS 2
# Foxy) into DIR without installing anything: a private apt state reads
# Debian 11's package lists from the archive host of this machine's own apt
# sources, `apt-get download` fetches the packages and `dpkg -x` extracts them.
# The compilers then run from where they lie. A second run fetches nothing.
#
#   scripts/fetch-gcc9.sh DIR
#   -> DIR/root/usr/bin/x86_64-linux-gnu-gcc-9 and x86_64-linux-gnu-g++-9
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 DIR" >&2
  exit 2
fi
dir=$(realpath -m "$1")
root="$dir/root"
packages=(g++-9 gcc-9 cpp-9 libstdc++-9-dev libgcc-9-dev gcc-9-base)

if [ -x "$root/usr/bin/x86_64-linux-gnu-g++-9" ] && [ -x "$root/usr/bin/x86_64-linux-gnu-gcc-9" ]; then
  exit 0
fi

# The Debian archive this machine already uses; bullseye lives on the same host.
archive=$(apt-get indextargets --format '$(LABEL) $(REPO_URI)' 2>/dev/null |
  awk '$1 == "Debian" { print $2; exit }')
archive=${archive:-http://deb.debian.org/debian/}

state="$dir/apt"
mkdir -p "$state/lists/partial" "$state/cache/archives/partial" "$dir/debs"
echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $archive bullseye main" \
  > "$state/sources.list"
apt_options=(
  -o "Dir::Etc::SourceList=$state/sources.list"
  -o "Dir::Etc::SourceParts=-"
  -o "Dir::State::Lists=$state/lists"
  -o "Dir::Cache=$state/cache"
  -o "Dir::State::status=/dev/null"
  -o "Debug::NoLocking=1"
  -o "APT::Sandbox::User=$(id -un)"
)

log="$dir/fetch.log"
missing=()
for package in "${packages[@]}"; do
  compgen -G "$dir/debs/${package}_*.deb" >/dev/null || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "fetch-gcc9: downloading ${missing[*]} from ${archive} bullseye"
  if ! (apt-get "${apt_options[@]}" update &&
      cd "$dir/debs" && apt-get "${apt_options[@]}" download "${missing[@]}") >"$log" 2>&1; then
    echo "fetch-gcc9: cannot download GCC 9 from ${archive} bullseye main: $(grep -m1 -E '^(E|Err):' "$log" || tail -n 1 "$log")" >&2
    exit 1
  fi
fi

rm -rf "$root.partial"
mkdir -p "$root.partial"
for deb in "$dir"/debs/*.deb; do
  dpkg -x "$deb" "$root.partial"
done
# Installed, g++-9 would link the system's libstdc++6, which its libstdc++.so
# link names; extracted, that link dangles and the static archive would be
# linked instead, which lacks what libraries built by the system compiler use.
mkdir -p "$root.partial/usr/lib/x86_64-linux-gnu"
ln -s /usr/lib/x86_64-linux-gnu/libstdc++.so.6 "$root.partial/usr/lib/x86_64-linux-gnu/libstdc++.so.6"
rm -rf "$root"
mv "$root.partial" "$root"
"$root/usr/bin/x86_64-linux-gnu-g++-9" --version | head -n 1
