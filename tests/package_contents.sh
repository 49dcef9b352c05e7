#!/bin/sh
# Builds the Debian package into a scratch folder and checks what it holds: the program, its
# desktop entry and icons, the Python module (which Debian's Python imports from the package's
# files), and run-time dependencies by name (no -dev packages).
# Usage: package_contents.sh BUILD_FOLDER
set -eu
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(ls "$out"/splinewave_*.deb)
dpkg-deb --info "$deb" > "$out/info"
dpkg-deb --contents "$deb" | awk '{print $6}' > "$out/contents"
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/splinewave.desktop > "$out/entry"
dpkg-deb --extract "$deb" "$out/root"
PYTHONPATH="$out/root/usr/lib/python3/dist-packages" LD_PRELOAD="${SPLINEWAVE_PRELOAD:-}" \
    /usr/bin/python3 -c \
    "import splinewave; print(splinewave.__file__); c = splinewave.forward([0, 1], m=2, J=3); print(round(float(splinewave.inverse(c, 0.25)), 12))" \
    > "$out/module" 2>&1 || true

failures=0
expect() { # FILE PATTERN
    if ! grep -q -e "$2" "$out/$1"; then
        echo "not in the package's $1: $2"
        failures=$((failures + 1))
    fi
}
expect info "^ Package: splinewave$"
for dependency in libqt6core6 libqt6gui6 libqt6widgets6 libqt6charts6 libqt6svg6 libmuparser2v5 liblapacke libgsl27 \
    qt6-qpa-plugins qt6-image-formats-plugins qt6-translations-l10n; do
    expect info "^ Depends:.*$dependency"
done
if grep "^ Depends:" "$out/info" | grep -q -e "-dev"; then
    echo "a -dev package among the run-time dependencies"
    failures=$((failures + 1))
fi
expect info "^ Recommends:.*python3-numpy"
expect contents "^\./usr/bin/splinewave$"
expect contents "^\./usr/bin/splinewave-cli$"
expect contents "^\./usr/share/applications/splinewave\.desktop$"
expect contents "^\./usr/share/doc/splinewave/copyright$"
expect contents "^\./usr/share/icons/hicolor/scalable/apps/splinewave\.svg$"
for size in 16 32 48 64 128 256; do
    expect contents "^\./usr/share/icons/hicolor/${size}x${size}/apps/splinewave\.png$"
done
expect contents "^\./usr/lib/python3/dist-packages/splinewave\.cpython-311-.*\.so$"
expect module "^$out/root/usr/lib/python3/dist-packages/splinewave\."
expect module "^0\.25$"
expect entry "^Name=Spline Wavelets$"
expect entry "^Name\[ru\]=Сплайновые вейвлеты$"
expect entry "^Categories=Education;Math;$"
expect entry "^Icon=splinewave$"
expect entry "^Exec=splinewave$"
[ "$failures" -eq 0 ] && echo "package contents: all checks passed"
exit "$failures"
