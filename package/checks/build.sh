#!/usr/bin/env bash
# Builds the release package into package/packages/ with Theos, then checks it.
#
#   package/checks/build.sh [--help]
#
# Theos comes from the iOS kit beside the repository (../shared/ios/setup),
# or from $THEOS when there is no kit. Both slices are built when the
# toolchain's linker can link 32-bit ARM; otherwise arm64 alone, and it says
# so. It prints a line per step (each source compiled, each binary linked,
# signed and packaged), then the checks' lines. Exit status: 0 built and
# checked, 1 the build or a check failed, 2 bad usage, 3 no Theos.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
here="$root/package/checks"

case "${1:-}" in
  -h|--help) sed -n '2,11p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
  "") ;;
  *) echo "build.sh: unknown argument: $1 (try --help)" >&2; exit 2 ;;
esac

kit="$root/../shared/ios/setup"
if [ -x "$kit" ]; then
  echo "device package: Theos from the iOS kit (../shared/ios/setup)"
  eval "$("$kit")"
elif [ -z "${THEOS:-}" ]; then
  echo "device package: no Theos; put the iOS kit beside the repository (../shared/ios) or set THEOS (https://theos.dev/docs/installation)" >&2
  exit 3
fi
export THEOS
# The header agreement check reads the headers through libclang.
if command -v dpkg-query >/dev/null &&
   ! dpkg-query -W -f='${Status}' python3-clang-19 2>/dev/null | grep -q "install ok installed"; then
  echo "Installing: python3-clang-19"
  sudo=""; [ "$(id -u)" = 0 ] || sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq python3-clang-19 >/dev/null
fi

# Whether the toolchain's linker links armv7: Apple's ld64 does, LLVM's
# Mach-O linker and Xcode 14 or later do not.
sdk=$(ls -d "$THEOS"/sdks/iPhoneOS11.4.sdk 2>/dev/null || ls -d "$THEOS"/sdks/iPhoneOS*.sdk | tail -n 1)
if [ -x "$THEOS/toolchain/linux/iphone/bin/clang" ]; then
  cc=("$THEOS/toolchain/linux/iphone/bin/clang")
else
  cc=(xcrun -sdk iphoneos clang)
fi
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'int lumivo_probe(void) { return 0; }' >"$probe/probe.c"
if "${cc[@]}" -target armv7-apple-ios7.0 -isysroot "$sdk" -dynamiclib "$probe/probe.c" \
     -o "$probe/probe.dylib" >"$probe/log" 2>&1; then
  archs="armv7 arm64"
else
  archs="arm64"
  echo "device package: this toolchain's linker cannot link armv7 ($(head -n 1 "$probe/log")); building arm64 only"
fi

# Compiles through ccache when there is one: a fresh clone (as in CI) then
# rebuilds from the cache.
compilers=()
if command -v ccache >/dev/null && [ -x "$THEOS/toolchain/linux/iphone/bin/clang" ]; then
  bin="$THEOS/toolchain/linux/iphone/bin"
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}"
  compilers=(TARGET_CC="ccache $bin/clang" TARGET_CXX="ccache $bin/clang++" TARGET_LD="$bin/clang++")
fi

cd "$root/package"
rm -f packages/*.deb
echo "device package: building slices $archs"
# Theos's own step lines are the progress; its sub-make chatter is not.
# Line-buffered, so that a log shows each step as it happens.
make package FINALPACKAGE=1 ARCHS="$archs" TARGET=iphone:clang:11.4:7.0 MODULESFLAGS= COLOR=0 "${compilers[@]}" 2>&1 \
  | { grep --line-buffered -v -e '^> Making' -e 'Nothing to be done' -e '^make\[[0-9]*\]: \(Entering\|Leaving\)' || true; }
deb=$(ls -t packages/*.deb | head -n 1)
echo "$archs" >packages/slices
echo "device package: built package/$deb (slices: $archs)"
python3 "$here/check.py" --archs "$archs" "$root/package/$deb"
