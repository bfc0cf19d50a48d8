#!/usr/bin/env bash
# Checks scripts/install-native-host against a throw-away HOME and DESTDIR: the manifests land
# in each browser's folder with the right content, bad names and ids are refused, and
# uninstall removes what install wrote and nothing else.
#
# Usage: install_native_host_test.sh SCRIPT BUILD_DIR VERSION
set -uo pipefail

SCRIPT="$1"
BUILD_DIR="$2"
VERSION="$3"  # the build's, which the host reports

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home"
mkdir -p "$HOME"
unset DESTDIR

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

ID1=abcdefghijklmnopabcdefghijklmnop
ID2=ponmlkjihgfedcbaponmlkjihgfedcba
FFID='morel-test@example.org'

# Checks one manifest with Python's JSON parser: exact keys and values.
check_manifest() {
  local file="$1" name="$2" path="$3" key="$4"
  shift 4
  python3 - "$file" "$name" "$path" "$key" "$@" <<'EOF' || fail "manifest $1 is wrong"
import json, sys
file, name, path, key, *expected = sys.argv[1:]
with open(file) as f:
    m = json.load(f)
want = {"name": name, "description": m.get("description"), "path": path, "type": "stdio",
        key: expected}
if m != want or not isinstance(m.get("description"), str) or not m["description"]:
    print("got ", json.dumps(m, sort_keys=True), file=sys.stderr)
    print("want", json.dumps(want, sort_keys=True), file=sys.stderr)
    sys.exit(1)
EOF
}

expect_refused() {
  local what="$1"
  shift
  local out
  if out=$("$SCRIPT" "$@" 2>&1); then
    fail "$what: accepted ($*)"
  elif [[ "$out" != *"error:"* ]]; then
    fail "$what: no error message ($out)"
  fi
}

# --- 1. Per-user install from the build folder: the program and three manifests. ---
prefix="$work/prefix"
"$SCRIPT" --build-dir "$BUILD_DIR" --prefix "$prefix" --extension-id "$ID1" --extension-id "$ID2" \
  --firefox-extension-id "$FFID" >"$work/out" 2>&1 || fail "per-user install failed: $(cat "$work/out")"
program="$prefix/bin/morel_xy_host"
[ -x "$program" ] || fail "program not installed at $program"
# The installed program is the host: it answers get_version.
if [ -x "$program" ]; then
  reply=$(printf '\x2b\x00\x00\x00{"id":1,"method":"get_version","params":{}}' | env -u DISPLAY "$program" | tail -c +5)
  [ "$reply" = "{\"id\":1,\"result\":\"$VERSION\"}" ] || fail "installed program answered '$reply'"
fi
check_manifest "$HOME/.config/google-chrome/NativeMessagingHosts/com.morel.xy_host.json" \
  com.morel.xy_host "$program" allowed_origins "chrome-extension://$ID1/" "chrome-extension://$ID2/"
check_manifest "$HOME/.config/chromium/NativeMessagingHosts/com.morel.xy_host.json" \
  com.morel.xy_host "$program" allowed_origins "chrome-extension://$ID1/" "chrome-extension://$ID2/"
check_manifest "$HOME/.mozilla/native-messaging-hosts/com.morel.xy_host.json" \
  com.morel.xy_host "$program" allowed_extensions "$FFID"
if grep -rq '\*' "$HOME"; then fail "a manifest holds a wildcard"; fi

# A manifest somebody else wrote under the same name in another folder is not ours to remove.
mkdir -p "$HOME/.config/chromium/NativeMessagingHosts"
other="$HOME/.config/chromium/NativeMessagingHosts/org.other.host.json"
echo '{"name":"org.other.host","path":"/usr/bin/other","type":"stdio","allowed_origins":[]}' >"$other"

# --- 2. Uninstall removes the three manifests and the program, nothing else. ---
"$SCRIPT" uninstall --prefix "$prefix" >"$work/out" 2>&1 || fail "uninstall failed: $(cat "$work/out")"
for f in "$HOME/.config/google-chrome/NativeMessagingHosts/com.morel.xy_host.json" \
  "$HOME/.config/chromium/NativeMessagingHosts/com.morel.xy_host.json" \
  "$HOME/.mozilla/native-messaging-hosts/com.morel.xy_host.json" "$program"; do
  [ -e "$f" ] && fail "uninstall left $f"
done
[ -e "$other" ] || fail "uninstall removed a manifest it did not write"

# Uninstall keeps a manifest under our name that points at some other program.
echo '{"name":"com.morel.xy_host","path":"/usr/bin/other","type":"stdio"}' \
  >"$HOME/.config/chromium/NativeMessagingHosts/com.morel.xy_host.json"
"$SCRIPT" uninstall >/dev/null 2>&1
[ -e "$HOME/.config/chromium/NativeMessagingHosts/com.morel.xy_host.json" ] ||
  fail "uninstall removed a manifest naming another program"
rm -f "$HOME/.config/chromium/NativeMessagingHosts/com.morel.xy_host.json"

# --- 3. One browser profile folder, a custom name, an existing program. ---
host="$BUILD_DIR/xy_host/morel_xy_host"
profile="$work/profile"
"$SCRIPT" --user-data-dir "$profile" --name org.example.e2e_host --extension-id "$ID2" \
  --host-path "$host" >/dev/null 2>&1 || fail "profile install failed"
check_manifest "$profile/NativeMessagingHosts/org.example.e2e_host.json" org.example.e2e_host \
  "$host" allowed_origins "chrome-extension://$ID2/"
[ -e "$HOME/.config/chromium/NativeMessagingHosts/org.example.e2e_host.json" ] &&
  fail "profile install also wrote the user folder"
"$SCRIPT" uninstall --user-data-dir "$profile" --name org.example.e2e_host --host-path "$host" \
  >/dev/null 2>&1 || fail "profile uninstall failed"
[ -e "$profile/NativeMessagingHosts/org.example.e2e_host.json" ] && fail "profile uninstall left the manifest"
[ -x "$host" ] || fail "uninstall with --host-path removed the build's program"

# --- 4. System-wide folders (under DESTDIR, so the test touches nothing real). ---
dest="$work/dest"
mkdir -p "$dest/usr/local/bin"
cp "$host" "$dest/usr/local/bin/morel_xy_host"
DESTDIR="$dest" "$SCRIPT" --system --extension-id "$ID1" --firefox-extension-id '{12345678-abcd-ef01-2345-6789abcdef01}' \
  >/dev/null 2>&1 || fail "system install failed"
check_manifest "$dest/etc/opt/chrome/native-messaging-hosts/com.morel.xy_host.json" \
  com.morel.xy_host /usr/local/bin/morel_xy_host allowed_origins "chrome-extension://$ID1/"
check_manifest "$dest/etc/chromium/native-messaging-hosts/com.morel.xy_host.json" \
  com.morel.xy_host /usr/local/bin/morel_xy_host allowed_origins "chrome-extension://$ID1/"
check_manifest "$dest/usr/lib/mozilla/native-messaging-hosts/com.morel.xy_host.json" \
  com.morel.xy_host /usr/local/bin/morel_xy_host allowed_extensions '{12345678-abcd-ef01-2345-6789abcdef01}'
DESTDIR="$dest" "$SCRIPT" uninstall --system >/dev/null 2>&1 || fail "system uninstall failed"
left=$(find "$dest" -name '*.json' | wc -l)
[ "$left" -eq 0 ] || fail "system uninstall left $left manifests"
[ -x "$dest/usr/local/bin/morel_xy_host" ] || fail "system uninstall without --prefix removed the program"

# --- 5. Refusals: wildcards, bad names and ids, relative or missing programs. ---
expect_refused "wildcard extension id" --extension-id '*' --host-path "$host"
expect_refused "short extension id" --extension-id abcdefghijklmnop --host-path "$host"
expect_refused "upper-case extension id" --extension-id ABCDEFGHIJKLMNOPABCDEFGHIJKLMNOP --host-path "$host"
expect_refused "extension id with letters beyond p" --extension-id abcdefghijklmnopabcdefghijklmnoz --host-path "$host"
expect_refused "wildcard Firefox id" --firefox-extension-id '*' --host-path "$host"
expect_refused "Firefox id with a quote" --firefox-extension-id 'a"b@c' --host-path "$host"
expect_refused "upper-case host name" --name Com.Morel --extension-id "$ID1" --host-path "$host"
expect_refused "host name with a slash" --name ../evil --extension-id "$ID1" --host-path "$host"
expect_refused "host name with two dots" --name com..morel --extension-id "$ID1" --host-path "$host"
expect_refused "no extension id" --host-path "$host"
expect_refused "relative program path" --extension-id "$ID1" --host-path xy_host/morel_xy_host
expect_refused "missing program" --extension-id "$ID1" --host-path "$work/nothing/morel_xy_host"
expect_refused "Firefox without its id" --browser firefox --extension-id "$ID1" --host-path "$host"
expect_refused "unknown browser" --browser opera --extension-id "$ID1" --host-path "$host"
expect_refused "unknown option" --extension-id "$ID1" --host-path "$host" --frobnicate
expect_refused "system and profile together" --system --user-data-dir "$profile" --extension-id "$ID1" --host-path "$host"
# Nothing was written by the refused runs.
n=$(find "$HOME" -name '*.json' ! -name org.other.host.json | wc -l)
[ "$n" -eq 0 ] || fail "refused runs wrote $n manifests"

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "install-native-host: all checks passed"
