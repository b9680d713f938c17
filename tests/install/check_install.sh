#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks the installed tree as
# a desktop and a packager see it: the desktop entry, the AppStream data,
# every icon, both manual pages, the documentation, and an installed
# zarvex-server that answers a player.
#
# check_install.sh BUILD_DIR; the install folders come from the environment
# (PREFIX, BINDIR, DATADIR, MANDIR, DOCDIR, DOCDIR_FROM_BINDIR,
# LIBDIR_FROM_BINDIR, APP_ID), as
# the test command hands them over.
set -uo pipefail
export LC_ALL=C
build=$1
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "PASS: $*"; }

missing=()
for tool in desktop-file-validate appstreamcli man gzip; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -ne 0 ]; then
  echo "FAIL: missing ${missing[*]} (Debian: desktop-file-utils appstream man-db; bash scripts/test.sh installs them)"
  exit 1
fi

dest=$(mktemp -d)
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  rm -rf "$dest"
}
trap cleanup EXIT

if ! DESTDIR=$dest cmake --install "$build" >"$dest.log" 2>&1; then
  cat "$dest.log"; rm -f "$dest.log"
  echo "FAIL: cmake --install"; exit 1
fi
rm -f "$dest.log"
root=$dest$PREFIX

# The programs, and the speakers' and web door's libraries where the
# program looks for them.
for program in zarvex zarvex-server; do
  [ -x "$root/$BINDIR/$program" ] && pass "bin/$program" || fail "$BINDIR/$program is not installed"
done
for library in speakers webdoor; do
  [ -f "$root/$BINDIR/$LIBDIR_FROM_BINDIR/libzarvex-$library.so" ] && pass "the $library library" \
    || fail "libzarvex-$library.so is not at $BINDIR/$LIBDIR_FROM_BINDIR"
done

# The desktop entry.
desktop=$root/$DATADIR/applications/$APP_ID.desktop
if [ -f "$desktop" ] && out=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$out" ]; then
  pass "desktop-file-validate $APP_ID.desktop"
else
  fail "desktop entry: ${out:-missing}"
fi
for line in "Type=Application" "Categories=Game;BoardGame;" "Icon=$APP_ID" "Exec=zarvex" "StartupNotify=true"; do
  grep -qxF "$line" "$desktop" 2>/dev/null || fail "desktop entry lacks $line"
done

# The AppStream data, and that what it names is installed.
metainfo=$root/$DATADIR/metainfo/$APP_ID.metainfo.xml
if out=$(appstreamcli validate --no-net "$metainfo" 2>&1); then
  pass "appstreamcli validate --no-net $APP_ID.metainfo.xml"
else
  fail "AppStream data: $out"
fi
grep -q "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>" "$metainfo" || fail "metainfo launches no $APP_ID.desktop"
for binary in $(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$metainfo"); do
  [ -x "$root/$BINDIR/$binary" ] || fail "metainfo provides $binary, which is not installed"
done
grep -q '<content_rating type="oars-1.1">' "$metainfo" || fail "metainfo has no OARS rating"
grep -q '<release version=' "$metainfo" || fail "metainfo has no release"

# Every icon size, each a PNG of its own size, and the scalable one.
png_size() {  # width x height from the PNG header
  local bytes
  bytes=$(od -An -tu1 -j16 -N8 "$1" | tr -s ' ')
  set -- $bytes
  echo "$(( ($1 << 24) | ($2 << 16) | ($3 << 8) | $4 ))x$(( ($5 << 24) | ($6 << 16) | ($7 << 8) | $8 ))"
}
for size in 16 22 24 32 48 64 128 256; do
  icon=$root/$DATADIR/icons/hicolor/${size}x${size}/apps/$APP_ID.png
  if [ ! -f "$icon" ]; then
    fail "no ${size}x${size} icon"
  elif [ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' ')" != 89504e470d0a1a0a ]; then
    fail "${size}x${size} icon is no PNG"
  elif [ "$(png_size "$icon")" != "${size}x${size}" ]; then
    fail "${size}x${size} icon is $(png_size "$icon")"
  else
    pass "icon ${size}x${size}"
  fi
done
svg=$root/$DATADIR/icons/hicolor/scalable/apps/$APP_ID.svg
grep -q '<svg xmlns="http://www.w3.org/2000/svg"' "$svg" 2>/dev/null && pass "scalable icon" || fail "no scalable icon"

# Both manual pages render without a warning.
for page in zarvex zarvex-server; do
  file=$root/$MANDIR/man6/$page.6.gz
  if [ ! -f "$file" ]; then
    fail "no manual page $page(6)"
    continue
  fi
  text=$(MANWIDTH=80 man --warnings -l "$file" 2>"$dest/man.err")
  if [ -s "$dest/man.err" ]; then
    fail "man -l $page.6.gz: $(cat "$dest/man.err")"
  elif ! grep -q "^NAME" <<<"$text" || ! grep -q "$page -" <<<"$text"; then
    fail "man -l $page.6.gz shows no NAME section"
  else
    pass "man -l $page.6.gz"
  fi
done

# Data and documentation; the about window finds the README beside the program.
[ -d "$root/$DATADIR/zarvex" ] && pass "data folder" || fail "no $DATADIR/zarvex"
for doc in README.md LICENSE copyright dictionary-copyright.txt zarvex-server.service; do
  [ -s "$root/$DOCDIR/$doc" ] || fail "no $DOCDIR/$doc"
done
[ -f "$root/$BINDIR/$DOCDIR_FROM_BINDIR/README.md" ] && pass "README beside the program" \
  || fail "the README is not at $BINDIR/$DOCDIR_FROM_BINDIR"
unit=$root/$DOCDIR/zarvex-server.service
grep -qx "ExecStart=$PREFIX/$BINDIR/zarvex-server --port 7772" "$unit" || fail "the service runs no installed zarvex-server"
grep -qx "DynamicUser=yes" "$unit" && grep -qx "Restart=on-failure" "$unit" \
  || fail "the service runs as root or is not restarted"

# The installed server answers a player's connection with its seat.
answered=
page=
for attempt in 1 2 3 4 5; do
  port=$(( 20000 + (RANDOM * 7 + attempt) % 40000 ))
  # Announced on no network: the test has no multicast DNS daemon of its own.
  "$root/$BINDIR/zarvex-server" --port "$port" --web-port "$((port + 1))" --no-announce >"$dest/server.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 100); do
    grep -q "listening on port $port" "$dest/server.log" && break
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.1
  done
  if ! kill -0 "$server_pid" 2>/dev/null; then
    wait "$server_pid"; server_pid=
    continue   # the port was taken: another one
  fi
  if exec 3<>"/dev/tcp/127.0.0.1/$port"; then
    IFS= read -r -d $'\xff' -t 10 answered <&3
    exec 3<&-
  fi
  # The browser page is compiled into the program.
  if exec 4<>"/dev/tcp/127.0.0.1/$((port + 1))"; then
    printf 'GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n' >&4
    IFS= read -r -t 10 page <&4
    exec 4<&-
  fi
  break
done
if [ "${page%$'\r'}" = "HTTP/1.1 200 OK" ]; then
  pass "installed zarvex-server serves the browser page"
else
  fail "installed zarvex-server answered '${page}' for the page"
fi
if [ "$answered" = "CMD_sendlogininfo+1" ]; then
  pass "installed zarvex-server --port $port answers CMD_sendlogininfo+1"
else
  fail "installed zarvex-server answered '${answered}': $(cat "$dest/server.log" 2>/dev/null)"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of the installed tree failed"
  exit 1
fi
echo "The installed tree is complete"
