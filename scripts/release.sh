#!/bin/sh
# Builds the release from a clean clone: both programs, stripped, and the German read-me.
#   dist/quenzel-VERSION.zip, holding
#   quenzel-VERSION/quenzel-win95.exe   the 32-bit program (Windows 95 as installed, 98, ME, the
#                                       NT family); its C runtime is crtdll.dll, part of them all
#   quenzel-VERSION/quenzel-x64.exe     the 64-bit program (64-bit Windows), on msvcrt.dll
#   quenzel-VERSION/LIESMICH.TXT        from scripts/LIESMICH.txt, in Windows-1252 with CR LF
#   dist/quenzel-VERSION.img   the same three files on a 1.44 MB floppy image (FAT12, label
#                              QUENZEL): long names for Windows 95, 8.3 names for DOS
#   dist/quenzel-VERSION.iso   the same three files on a CD image (ISO 9660, volume QUENZEL):
#                              Joliet names for Windows, ISO level 1 names for DOS
#   dist/SHA256SUMS            the SHA-256 of these three, for sha256sum -c in dist/
# The version is the project's (CMakeLists.txt). Before packing, both programs must carry their
# icon, version information and manifest, and pass tests/check_program.py (what each Windows takes
# from the manifest; the 32-bit program's imports against Windows 95).
# Then every file is read back from both images, by both its names, and must be the one packed.
# The same commit gives the same bytes: every time in the archives is the commit's.
# Usage: scripts/release.sh
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

version=$(sed -n 's/^project(Quenzel VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no project version in CMakeLists.txt" >&2; exit 1; }
if ! grep -q "^#define QUENZEL_VERSION_TEXT \"$version\"" window/version.rc; then
    echo "window/version.rc does not state version $version" >&2
    exit 1
fi

# The commit's time (now outside git) for every tool that stamps one, ld the programs' PE header
# first; UTC, since zip and FAT store local times.
epoch=$(git log -1 --format=%ct 2>/dev/null) || epoch=$(date +%s)
SOURCE_DATE_EPOCH=$epoch TZ=UTC
export SOURCE_DATE_EPOCH TZ

echo "== building quenzel $version: 64-bit (build/windows) and 32-bit (build/win95)"
# Linked anew, so that they carry the commit's time whoever built them last.
rm -f build/windows/quenzel.exe build/win95/quenzel.exe
cmake --preset windows >/dev/null
cmake --build --preset windows --target quenzel
cmake --preset win95 >/dev/null
cmake --build --preset win95 --target quenzel

echo "== checking"
# Resource types in the programs' resource directory: 0x0e icon group, 0x10 version, 0x18 manifest.
for exe in build/windows/quenzel.exe build/win95/quenzel.exe; do
    types=$(objdump -p "$exe" | awk '/^The .rsrc Resource Directory/ { on = 1 }
        on && /^[0-9a-f]+   Entry: ID: / { sub(/,$/, "", $4); print $4 }')
    for type in 0x00000e:icon 0x000010:version 0x000018:manifest; do
        if ! printf '%s\n' "$types" | grep -qx "${type%%:*}"; then
            echo "$exe has no ${type#*:} resource" >&2
            exit 1
        fi
    done
    echo "ok: $exe carries its icon, version information and manifest"
    python3 tests/check_program.py "$exe"
done

name="quenzel-$version"
stage="dist/$name"
img="dist/$name.img"
iso="dist/$name.iso"
rm -rf "$stage" "dist/$name.zip" "$img" "$iso" dist/SHA256SUMS
mkdir -p "$stage"
x86_64-w64-mingw32-strip -o "$stage/quenzel-x64.exe" build/windows/quenzel.exe
i686-w64-mingw32-strip -o "$stage/quenzel-win95.exe" build/win95/quenzel.exe
sed "s/@VERSION@/$version/" scripts/LIESMICH.txt | iconv -f UTF-8 -t WINDOWS-1252 |
    sed 's/$/\r/' >"$stage/LIESMICH.TXT"
# Modes and times are fixed, not left to the umask and the clock: zip stores both.
chmod 755 "$stage" "$stage"/*.exe
chmod 644 "$stage/LIESMICH.TXT"
touch -d "@$epoch" "$stage" "$stage"/*

# Named one by one, so that the order of the entries is ours, not the file system's.
(cd dist && zip -q -X "$name.zip" "$name/" "$name/quenzel-win95.exe" "$name/quenzel-x64.exe" \
    "$name/LIESMICH.TXT")

# The floppy's serial number is the commit's time, as DOS made it from the clock. The copy order
# gives the 8.3 names: quenzel-win95.exe becomes QUENZE~1.EXE.
mformat -C -i "$img" -f 1440 -v QUENZEL -N "$(printf %08X "$epoch")" ::
mcopy -m -i "$img" "$stage/quenzel-win95.exe" "$stage/quenzel-x64.exe" "$stage/LIESMICH.TXT" ::
# No Rock Ridge: it would record the builder's user and group.
xorriso -as mkisofs -quiet -iso-level 1 -J --norock -V QUENZEL -o "$iso" "$stage"

echo "== reading the images back"
check=$(mktemp -d)
trap 'rm -rf "$check"' EXIT
# xorriso greets on stderr at every start: what it says is shown only when it fails.
cd_extract() {
    said=$(xorriso -report_about SORRY -read_fs "$1" -indev "$iso" -osirrox on \
        -extract "/$2" "$3" 2>&1) || { printf '%s\n' "$said" >&2; return 1; }
}
# Each line: the file, its 8.3 name on the floppy, its ISO level 1 name on the CD.
while read -r file dos cd; do
    mcopy -n -i "$img" "::$file" "$check/floppy-long"
    mcopy -n -i "$img" "::$dos" "$check/floppy-8.3"
    cd_extract norock "$file" "$check/cd-joliet"
    cd_extract ecma119 "$cd" "$check/cd-level1"
    for copy in floppy-long floppy-8.3 cd-joliet cd-level1; do
        if ! cmp "$stage/$file" "$check/$copy"; then
            echo "$file reads back changed from the images ($copy)" >&2
            exit 1
        fi
    done
    rm -f "$check"/*
    echo "ok: $file, on the floppy also as $dos, on the CD also as $cd"
done <<EOF
quenzel-win95.exe QUENZE~1.EXE QUENZEL0.EXE
quenzel-x64.exe QUENZE~2.EXE QUENZEL1.EXE
LIESMICH.TXT LIESMICH.TXT LIESMICH.TXT
EOF

# Read as the users will: sha256sum -c in the folder of the downloads.
(cd dist && sha256sum "$name.zip" "$name.img" "$name.iso" >SHA256SUMS && sha256sum -c SHA256SUMS)
echo "== dist"
ls -l "$stage" "dist/$name.zip" "$img" "$iso" dist/SHA256SUMS
cat dist/SHA256SUMS
