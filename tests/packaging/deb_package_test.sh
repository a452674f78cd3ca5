#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it as Debian would see it: its contents,
# the dependencies dpkg-shlibdeps found, lintian's verdict, and manual pages that render cleanly.
# Usage: deb_package_test.sh BUILD_DIR CPACK
set -euo pipefail

build_dir=$1
cpack=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "deb_package_test: $*" >&2
  exit 1
}
for tool in dpkg-deb dpkg-shlibdeps lintian man file; do
  command -v "$tool" >/dev/null || fail "$tool is missing (bash scripts/install-deps.sh test)"
done

"$cpack" -G DEB -B "$work" --config "$build_dir/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
version=$(dpkg-deb -f "$work"/vandrel_*.deb Version)
deb="$work/vandrel_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(ls "$work")"

contents=$(dpkg-deb --contents "$deb" | awk '{ print $6 }')
for path in usr/bin/vandrel usr/bin/vandrel-convert \
  usr/share/icons/hicolor/32x32/apps/vandrel.png usr/share/applications/vandrel.desktop \
  usr/share/man/man1/vandrel.1.gz usr/share/man/man1/vandrel-convert.1.gz \
  usr/share/cmake/Vandrel/VandrelConfig.cmake usr/share/cmake/Vandrel/VandrelConfigVersion.cmake \
  usr/share/cmake/Vandrel/VandrelAddPicture.cmake usr/include/vandrel/decode.h \
  usr/share/vandrel/firmware/vandrel/decode.h \
  usr/share/doc/vandrel/copyright usr/share/doc/vandrel/changelog.gz; do
  grep -qxF "./$path" <<<"$contents" || fail "the package lacks /$path"
done
# The command line's Qt decoders, in the library folder of the prefix's kind (multiarch or not).
grep -qE '^\./usr/lib/(.+/)?vandrel/plugins/vandrel-qt-decoder\.so$' <<<"$contents" ||
  fail "the package lacks the command line's Qt decoder module"

# Taken from the linked libraries (the C library, Qt's for the window, libtiff for the TIFF checks,
# libspng for the PNGs), and Qt's image format plug-ins, which nothing links.
depends=$(dpkg-deb -f "$deb" Depends)
for package in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libtiff6 libspng0 qt6-image-formats-plugins; do
  grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
done

dpkg-deb -x "$deb" "$work/root"
# A release whose changelog has no entry of its own version leaves its users nothing to read.
head -n1 < <(zcat "$work/root/usr/share/doc/vandrel/changelog.gz") | grep -qF "vandrel ($version) " ||
  fail "the changelog's newest entry is not $version"

# lintian's errors fail the test; its warnings and notes are shown for whoever reads the log.
lintian "$deb" >"$work/lintian.log" 2>&1 || true
grep -v '^running with root privileges' "$work/lintian.log" || true
! grep -q '^E:' "$work/lintian.log" || fail "lintian reports errors"

for page in vandrel vandrel-convert; do
  file="$work/root/usr/share/man/man1/$page.1.gz"
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" >"$work/$page.txt" 2>"$work/$page.err" ||
    fail "man could not show $page(1)"
  grep -q '^NAME' "$work/$page.txt" || fail "$page(1) renders without a NAME section"
  [ ! -s "$work/$page.err" ] || { cat "$work/$page.err" >&2; fail "$page(1) renders with warnings"; }
done
# vandrel-convert(1) is made from the option table: every option of --help heads one entry of OPTIONS,
# nothing else does, and --layout's words stand in a list of their own, each beside its meaning.
sed -n '/^OPTIONS$/,/^[A-Z]/{/^ \{7\}[^ ]/p}' "$work/vandrel-convert.txt" >"$work/headings"
! grep -v '^ *-' "$work/headings" >&2 || fail "vandrel-convert(1) has headings that are no option (above)"
sed -E 's/^ *(-[a-z], )?(--[a-z-]+).*/\2/' "$work/headings" | sort >"$work/page-options"
"$work/root/usr/bin/vandrel-convert" --help | sed -nE 's/^  (-[a-z], )?(--[a-z-]+).*/\2/p' | sort >"$work/help-options"
diff "$work/help-options" "$work/page-options" >&2 || fail "vandrel-convert(1) and --help list other options"
for layout in rgb666 rgb666-high rgb565 rgb565-le; do
  grep -qE "^ {14}$layout {2,}[a-z]" "$work/vandrel-convert.txt" || fail "--layout's $layout is not listed in the page"
done
echo "deb_package_test: passed"
