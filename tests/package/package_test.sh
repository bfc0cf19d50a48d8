#!/usr/bin/env bash
# Builds the Debian packages from a build folder with CPack (into a temporary folder, so the
# build folder's own packages stay as they are) and checks them as a user would meet them:
#   - lintian finds no error and no warning;
#   - the control fields: name, version, architecture, what ocr needs at run time, every shared
#     library each program links is provided by a package it depends on;
#   - extracted with dpkg-deb -x, ocr recognises the bundled example and lists its languages,
#     and the host answers a framed get_version, also with the arguments Firefox gives it;
#   - the manual pages format without a warning;
#   - morel-xy-host carries manifests exactly for the ids of the build (none without ids), and
#     installing it into an empty root with dpkg and removing it again leaves that root as it
#     was, including another host's manifests in the same folders.
#
# Usage: package_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail

BUILD_DIR="$1"
SOURCE_DIR="$2"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
need() {
  local missing=() tool
  for tool in "$@"; do command -v "$tool" >/dev/null || missing+=("$tool"); done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "missing required programs: ${missing[*]} (run scripts/install-deps)" >&2
    exit 1
  fi
}
need cpack dpkg dpkg-deb dpkg-shlibdeps file lintian man lexgrog objdump python3

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$BUILD_DIR/CPackConfig.cmake")
arch=$(dpkg --print-architecture)
[ -n "$version" ] || fail "no CPACK_PACKAGE_VERSION in $BUILD_DIR/CPackConfig.cmake"
# The host reports the project's version; the packages' carries the release's suffix.
host_version=${version%%~*}
case "$version" in *~deb[0-9]*) ;; *) grep -q '^ID=debian' /etc/os-release && fail "version $version names no Debian release" ;; esac
ocr_deb="morel-ocr_${version}_${arch}.deb"
host_deb="morel-xy-host_${version}_${arch}.deb"

# Two package builds: as a packager without ids gets them, and with ids for every browser.
CHROME_IDS='abcdefghijklmnopabcdefghijklmnop;ponmlkjihgfedcbaponmlkjihgfedcba'
FIREFOX_ID='automation@example.org'
build_packages() {
  local out="$1"
  shift
  if ! cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$out" "$@" >"$out.log" 2>&1; then
    cat "$out.log" >&2
    echo "cpack failed" >&2
    exit 1
  fi
}
build_packages "$work/plain" -D CPACK_MOREL_EXTENSION_IDS= -D CPACK_MOREL_FIREFOX_IDS=
build_packages "$work/ids" -D "CPACK_MOREL_EXTENSION_IDS=$CHROME_IDS" \
  -D "CPACK_MOREL_FIREFOX_IDS=$FIREFOX_ID" -D 'CPACK_COMPONENTS_ALL=native_host;native_host_extras'
for deb in "$work/plain/$ocr_deb" "$work/plain/$host_deb" "$work/ids/$host_deb"; do
  [ -f "$deb" ] || { echo "cpack made no $deb" >&2; exit 1; }
done

# --- lintian: no error, no warning (the information tags are explained in the README). ---
# Two runs: lintian checks a package name and version once per run.
{
  lintian --display-info "$work/plain/$ocr_deb" "$work/plain/$host_deb"
  lintian --display-info "$work/ids/$host_deb"
} >"$work/lintian.txt" 2>&1
grep -v 'running with root privileges' "$work/lintian.txt"
if grep -Eq '^[EW]: ' "$work/lintian.txt"; then
  fail "lintian reports errors or warnings: $(grep -E '^[EW]: ' "$work/lintian.txt" | tr '\n' ' ')"
fi

# --- Control fields ---
field() { dpkg-deb -f "$1" "$2"; }
for deb in "$work/plain/$ocr_deb" "$work/plain/$host_deb"; do
  [ "$(field "$deb" Version)" = "$version" ] || fail "$deb: version $(field "$deb" Version)"
  [ "$(field "$deb" Architecture)" = "$arch" ] || fail "$deb: architecture $(field "$deb" Architecture)"
done
[ "$(field "$work/plain/$ocr_deb" Package)" = morel-ocr ] || fail "ocr package name"
[ "$(field "$work/plain/$host_deb" Package)" = morel-xy-host ] || fail "host package name"
ocr_depends=$(field "$work/plain/$ocr_deb" Depends)
[[ ", $ocr_depends," == *", tesseract-ocr-eng,"* || "$ocr_depends" == tesseract-ocr-eng,* ]] ||
  fail "morel-ocr does not depend on tesseract-ocr-eng: $ocr_depends"
recommends=$(field "$work/plain/$ocr_deb" Recommends)
for lang in fra ita deu spa por chi-sim chi-tra; do
  [[ "$recommends" == *"tesseract-ocr-$lang"* ]] || fail "morel-ocr does not recommend tesseract-ocr-$lang"
done

# Every library a program names (DT_NEEDED) comes from a package its package depends on.
check_linked_libraries() {
  local deb="$1" program="$2" depends lib path owner
  depends=" $(field "$deb" Depends | sed 's/([^)]*)//g; s/,/ /g') "
  for lib in $(objdump -p "$program" | awk '/NEEDED/ {print $2}'); do
    path=$(ldd "$program" | awk -v lib="$lib" '$1 == lib {print $3}')
    if [ -z "$path" ] || [ "$path" = "not" ]; then
      fail "$(basename "$program"): $lib is not found"
      continue
    fi
    owner=$(dpkg -S "$(readlink -f "$path")" 2>/dev/null | head -1 | cut -d: -f1)
    [ -n "$owner" ] || owner=$(dpkg -S "$path" 2>/dev/null | head -1 | cut -d: -f1)
    [[ "$depends" == *" $owner "* ]] ||
      fail "$(basename "$program") links $lib from package '$owner', which $(basename "$deb") does not depend on"
  done
}

# --- Extracted programs ---
root="$work/root"
dpkg-deb -x "$work/plain/$ocr_deb" "$root"
dpkg-deb -x "$work/plain/$host_deb" "$root"
check_linked_libraries "$work/plain/$ocr_deb" "$root/usr/bin/ocr"
check_linked_libraries "$work/plain/$host_deb" "$root/usr/bin/morel_xy_host"

if "$root/usr/bin/ocr" --in "$SOURCE_DIR/examples/web_page.png" --out "$work/web_page.json" \
  >"$work/ocr.out" 2>&1; then
  python3 - "$work/web_page.json" <<'PY' || fail "the extracted ocr's result is wrong"
import json, sys
doc = json.load(open(sys.argv[1]))
text = " ".join(p["ParsedText"] for p in doc["ParsedResults"])
if "Morel Outdoor Supplies" not in text:
    sys.exit(f"the example's heading is not in the text: {text[:200]!r}")
PY
else
  fail "the extracted ocr failed: $(cat "$work/ocr.out")"
fi
status=0
"$root/usr/bin/ocr" --in get-installed-lng --out "$work/languages.json" >/dev/null 2>&1 || status=$?
[ $status -eq 2 ] || fail "ocr get-installed-lng exited with $status, not 2"
grep -q '"eng"' "$work/languages.json" 2>/dev/null || fail "ocr lists no English: $(cat "$work/languages.json")"

# A browser passes arguments: Chromium the extension's origin, Firefox the manifest and add-on.
request='{"id":7,"method":"get_version","params":{}}'
for args in "" "chrome-extension://$(echo "$CHROME_IDS" | cut -d';' -f1)/" \
  "/usr/lib/mozilla/native-messaging-hosts/com.morel.xy_host.json $FIREFOX_ID"; do
  # shellcheck disable=SC2086  # the arguments are split on purpose
  reply=$(printf '\x2b\x00\x00\x00%s' "$request" | env -u DISPLAY -u WAYLAND_DISPLAY \
    "$root/usr/bin/morel_xy_host" $args | tail -c +5; echo " exit ${PIPESTATUS[1]}")
  [ "$reply" = "{\"id\":7,\"result\":\"$host_version\"} exit 254" ] ||
    fail "extracted host with arguments '$args' answered '$reply'"
done

# --- Manual pages, as installed ---
for page in "$root/usr/share/man/man1/ocr.1.gz" "$root/usr/share/man/man1/morel_xy_host.1.gz"; do
  if [ ! -f "$page" ]; then
    fail "no $page"
    continue
  fi
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page: $warnings"
  lexgrog "$page" >/dev/null || fail "lexgrog cannot read the NAME section of $page"
done
for f in README.md copyright changelog.gz; do
  [ -f "$root/usr/share/doc/morel-ocr/$f" ] || fail "morel-ocr carries no $f"
  [ -f "$root/usr/share/doc/morel-xy-host/$f" ] || fail "morel-xy-host carries no $f"
done

# --- Manifests: none without ids, and the description says so. ---
if [ -e "$root/etc" ] || [ -e "$root/usr/lib/mozilla" ]; then
  fail "morel-xy-host built without ids installs manifests: $(find "$root/etc" "$root/usr/lib/mozilla" 2>/dev/null | tr '\n' ' ')"
fi
[[ "$(field "$work/plain/$host_deb" Description)" == *"installs no native-messaging manifest"* ]] ||
  fail "morel-xy-host without ids does not say that it installs no manifest"
[[ "$(field "$work/ids/$host_deb" Description)" == *"Firefox add-on $FIREFOX_ID"* ]] ||
  fail "morel-xy-host with ids does not name them in its description"

# --- With ids: system-wide manifests naming /usr/bin/morel_xy_host and exactly those ids. ---
ids_root="$work/ids-root"
dpkg-deb -x "$work/ids/$host_deb" "$ids_root"
python3 - "$ids_root" "$CHROME_IDS" "$FIREFOX_ID" <<'PY' || fail "morel-xy-host's manifests are wrong"
import json, os, sys
root, chrome_ids, firefox_id = sys.argv[1], sys.argv[2].split(";"), sys.argv[3]
origins = [f"chrome-extension://{i}/" for i in chrome_ids]
want = {
    "/etc/opt/chrome/native-messaging-hosts/com.morel.xy_host.json": ("allowed_origins", origins),
    "/etc/chromium/native-messaging-hosts/com.morel.xy_host.json": ("allowed_origins", origins),
    "/usr/lib/mozilla/native-messaging-hosts/com.morel.xy_host.json":
        ("allowed_extensions", [firefox_id]),
}
bad = []
for path, (key, ids) in want.items():
    local = root + path
    if path.startswith("/etc/"):
        # A link into /usr/share, so that removing the package removes it (no conffile).
        if not os.path.islink(local):
            bad.append(f"{path} is not a symbolic link")
            continue
        local = root + os.readlink(local)
    try:
        m = json.load(open(local))
    except (OSError, ValueError) as e:
        bad.append(f"{path}: {e}")
        continue
    if m.get("path") != "/usr/bin/morel_xy_host" or m.get(key) != ids or m.get("type") != "stdio" \
            or m.get("name") != "com.morel.xy_host":
        bad.append(f"{path}: {m}")
manifests = [os.path.join(d, f) for d, _, fs in os.walk(root) for f in fs if f.endswith(".json")]
if len(manifests) != 5:  # three folders, two of them links to files in /usr/share
    bad.append(f"{len(manifests)} manifests: {manifests}")
if bad:
    sys.exit("\n".join(bad))
PY
if [[ "$(dpkg-deb --ctrl-tarfile "$work/ids/$host_deb" | tar -t)" == *conffiles* ]]; then
  fail "morel-xy-host marks configuration files, which dpkg would keep after removal"
fi

# --- Installed into an empty root and removed: the root is as it was before. ---
admin="$work/dpkg-root/var/lib/dpkg"
mkdir -p "$admin/info" "$admin/updates" "$admin/triggers" \
  "$work/dpkg-root/etc/chromium/native-messaging-hosts" \
  "$work/dpkg-root/usr/lib/mozilla/native-messaging-hosts"
touch "$admin/status" "$admin/available"
# Another host's manifests in the same folders.
echo '{"name":"org.other.host","path":"/usr/bin/other","type":"stdio","allowed_origins":[]}' \
  >"$work/dpkg-root/etc/chromium/native-messaging-hosts/org.other.host.json"
echo '{"name":"org.other.host","path":"/usr/bin/other","type":"stdio","allowed_extensions":[]}' \
  >"$work/dpkg-root/usr/lib/mozilla/native-messaging-hosts/org.other.host.json"
tree() { (cd "$work/dpkg-root" && find . -path ./var/lib/dpkg -prune -o -print | sort); }
before=$(tree)
dpkg_root() {
  dpkg --root="$work/dpkg-root" --force-not-root --force-depends --force-script-chrootless \
    --log=/dev/null "$@" >"$work/dpkg.log" 2>&1 || fail "dpkg $*: $(cat "$work/dpkg.log")"
}
dpkg_root --install "$work/ids/$host_deb"
for f in usr/bin/morel_xy_host etc/chromium/native-messaging-hosts/com.morel.xy_host.json \
  etc/opt/chrome/native-messaging-hosts/com.morel.xy_host.json \
  usr/lib/mozilla/native-messaging-hosts/com.morel.xy_host.json; do
  # -L: the links in /etc are absolute, so they point outside this root.
  [ -e "$work/dpkg-root/$f" ] || [ -L "$work/dpkg-root/$f" ] || fail "installed package has no /$f"
done
dpkg_root --remove morel-xy-host
after=$(tree)
if [ "$before" != "$after" ]; then
  fail "removing morel-xy-host did not restore the root: $(diff <(echo "$before") <(echo "$after") | tr '\n' ' ')"
fi

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "packages: all checks passed"
