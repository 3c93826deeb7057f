#!/bin/sh
# The .deb as dpkg sees it: a version from git above the last commit's, the
# manual page help2man made, the udev rule and the link that turns the fonts
# alias on. Usage: package.sh SOURCE_DIR BUILD_DIR
source=$1 build=$2
out=$build/package-test
fail() { echo "FAIL: $*"; exit 1; }
git -C "$source" rev-parse -q --verify HEAD~1 >/dev/null || { echo "no git history: nothing to compare"; exit 77; }
rm -rf "$out" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out.log" 2>&1 || fail "cpack: $(tail -n 3 "$out.log")"
deb=$(ls "$out"/qt7020_*.deb)

version=$(dpkg-deb -f "$deb" Version)
head=$(cmake -P "$source/cmake/GitVersion.cmake")
before=$(cmake -DREVISION=HEAD~1 -P "$source/cmake/GitVersion.cmake")
[ "$version" = "$head" ] || fail "package $version, HEAD is $head: reconfigure"
dpkg --compare-versions "$version" gt "$before" || fail "$version does not replace $before"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6core6.*fonts-arphic\|fonts-arphic.*libqt6core6' || fail "Depends: $(dpkg-deb -f "$deb" Depends)"

dpkg-deb -c "$deb" | sed 's/^.* \.\//\//' >"$out/contents"
for entry in /usr/bin/qt7020 /usr/share/man/man1/qt7020.1.gz /usr/lib/udev/rules.d/70-qt7020-serial.rules \
    /usr/share/doc/qt7020/manual.html \
    /usr/share/fontconfig/conf.avail/65-qt7020-fonts.conf \
    "/etc/fonts/conf.d/65-qt7020-fonts.conf -> /usr/share/fontconfig/conf.avail/65-qt7020-fonts.conf"; do
    grep -qxF "$entry" "$out/contents" || fail "missing $entry"
done

dpkg-deb -x "$deb" "$out/root"
cmp -s "$out/root/usr/share/doc/qt7020/manual.html" "$source/app/manual/manual.html" || fail "installed manual is not 使用说明's text"
# Headings in Chinese mean help2man read --help in the locale made for it.
man=$(zcat "$out/root/usr/share/man/man1/qt7020.1.gz") || fail "manual page not gzipped"
for line in ".SH 摘要" ".SH 选项" ".SH 文件" '.SS "退出状态:"' "用法错误" '\-\-check' '\-\-list\-ports' "qt7020 $version"; do
    printf '%s\n' "$man" | grep -qF -- "$line" || fail "manual page without '$line'"
done

# udevadm verify came after systemd 252; meanwhile every rule is read here.
rules=$out/root/usr/lib/udev/rules.d/70-qt7020-serial.rules
[ "$(basename "$rules" | cut -d- -f1)" -lt 73 ] || fail "uaccess is applied at 73: the rule comes too late"
known="1a86:7523 1a86:5523 1a86:7522 067b:2303 067b:23a3 067b:23c3 067b:23d3 10c4:ea60 10c4:ea70 10c4:ea71
0403:6001 0403:6010 0403:6011 0403:6014 0403:6015"
grep -v '^#' "$rules" | grep . | while read -r rule; do
    pair=$(printf '%s' "$rule" | sed -n 's/^SUBSYSTEM=="tty", ATTRS{idVendor}=="\([0-9a-f]\{4\}\)", ATTRS{idProduct}=="\([0-9a-f]\{4\}\)", TAG+="uaccess", ENV{ID_MM_DEVICE_IGNORE}="1"$/\1:\2/p')
    [ -n "$pair" ] || fail "udev rule not of the usual shape: $rule"
    echo $known | tr ' ' '\n' | grep -qx "$pair" || fail "udev rule for an unknown cable: $pair"
done || exit 1
[ "$(grep -c '^SUBSYSTEM' "$rules")" -eq 15 ] || fail "not one rule for each of the 15 cables"
echo "package $version replaces $before"
