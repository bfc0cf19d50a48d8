#!/usr/bin/env bash
# The manual pages as the build configures them: they format without a warning, lexgrog reads
# their NAME sections, and they still describe the programs: ocr.1 names exactly the options
# `ocr --help` lists, every method morel_xy_host.1 names is one the host answers, and the page
# and the README name the back-ends the host has built in.
#
# Usage: man_pages_test.sh BUILD_DIR SOURCE_DIR EVERY_BACKEND (1 when every back-end is built)
set -uo pipefail

BUILD_DIR="$1"
SOURCE_DIR="$2"
EVERY_BACKEND="$3"
man_dir="$BUILD_DIR/man"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
for tool in man lexgrog; do
  command -v "$tool" >/dev/null || { echo "missing required programs: $tool (run scripts/install-deps)" >&2; exit 1; }
done

# GROFF_NO_SGR: overstrikes, which col -b removes, rather than the escape sequences groff 1.23
# (Debian 13) prints by default.
render() { GROFF_NO_SGR=1 LC_ALL=C.UTF-8 MANWIDTH=200 man -E UTF-8 -l -Tutf8 "$1" 2>/dev/null | col -b; }

for page in "$man_dir/ocr.1" "$man_dir/morel_xy_host.1"; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
  lexgrog "$page" >/dev/null || fail "lexgrog cannot read the NAME section of $(basename "$page")"
done

# ocr: the long options of the usage text and of the page's OPTIONS section are the same.
help_options=$("$BUILD_DIR/ocr/ocr" --help | grep -o -- '--[A-Za-z-]*' | sort -u)
page_options=$(render "$man_dir/ocr.1" | sed -n '/^OPTIONS/,/^EXIT STATUS/p' | grep -o -- '--[A-Za-z-]*' | sort -u)
[ -n "$help_options" ] || fail "ocr --help lists no option"
[ "$help_options" = "$page_options" ] ||
  fail "ocr.1 and ocr --help disagree on the options: $(diff <(echo "$help_options") <(echo "$page_options") | grep '^[<>]' | tr '\n' ' ')"

# morel_xy_host: every method the page names is answered (an unknown method would end the host
# with status 251 and no answer).
methods=$(render "$man_dir/morel_xy_host.1" | tr -s ' \n' ' ' | sed -n 's/.*The methods:\(.*\)Positions are.*/\1/p' |
  grep -o '[a-z][a-z]*_[a-z_]*' | sort -u)
[ "$(echo "$methods" | wc -w)" -ge 1 ] || fail "morel_xy_host.1 names no method"
for method in $methods; do
  body="{\"id\":1,\"method\":\"$method\",\"params\":{}}"
  reply=$(printf "$(printf '\\x%02x\\x%02x\\x00\\x00' $((${#body} & 255)) $((${#body} >> 8)))%s" "$body" |
    env -u DISPLAY -u WAYLAND_DISPLAY "$BUILD_DIR/xy_host/morel_xy_host" | tail -c +5)
  [[ "$reply" == '{'*'"id":1'* ]] || fail "morel_xy_host.1 names \"$method\", which the host does not answer ('$reply')"
done

# The back-ends MOREL_XY_BACKEND takes: those --check lists as built in are the ones the page's
# ENVIRONMENT and the README's "Desktops" name (all of them when every back-end is built).
built=$(env -i "$BUILD_DIR/xy_host/morel_xy_host" --check | sed -n 's/^back-ends built in: //p')
[ -n "$built" ] || fail "morel_xy_host --check names no back-end built in"
page_backends=$(sed -n '/^\.B MOREL_XY_BACKEND$/,/^\.TP$/p' "$SOURCE_DIR/man/morel_xy_host.1.in" |
  sed -n 's/^\.BR "\(.*\)" \.$/\1/p')
readme_backends=$(sed -n 's/^`MOREL_XY_BACKEND` takes one of: \(.*\)\.$/\1/p' "$SOURCE_DIR/README.md" | tr -d '`')
for documented in "morel_xy_host.1:$page_backends" "README.md:$readme_backends"; do
  where=${documented%%:*}
  names=${documented#*:}
  [ -n "$names" ] || fail "$where names no back-end for MOREL_XY_BACKEND"
  if [ "$EVERY_BACKEND" = 1 ]; then
    [ "$names" = "$built" ] || fail "$where names the back-ends '$names'; the host has '$built'"
  else
    for name in ${built//,/ }; do
      [[ ", $names," == *", $name,"* ]] || fail "$where does not name the back-end $name"
    done
  fi
done

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "manual pages: all checks passed ($(echo "$methods" | wc -w) methods, $(echo "$help_options" | wc -l) ocr options)"
