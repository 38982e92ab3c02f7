#!/usr/bin/env bash
# The score server's Debian package: its files and control data, that neither its programs nor
# its dependencies bring a graphics, sound or image library, its systemd unit as systemd reads it
# (systemd-analyze verify, and the sandboxing's exposure score), that the game's install leaves
# the server out, and the packaged server started as systemd would start it: as an unprivileged
# user with no capability, with its configuration handed over as a credential, on loopback port
# 8080 (in a network namespace of its own, where the port is surely free), proving replays on the
# levels the package brought, answering its health check and telling systemd it is ready.
# Usage: package_check.sh <build folder> <server program>...
set -euo pipefail
BUILD=${1:?build folder}
shift
PROGRAMS=("$@")
WORK=$(mktemp -d /tmp/lambrisk-server-package-XXXXXX)
SERVER_PID=""
cleanup() {
  [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -f "$WORK/server.log" ] && { echo "--- server log"; cat "$WORK/server.log"; } >&2
  exit 1
}
# What a web service has no use for: X11, OpenGL, images, fonts, sound.
GRAPHICS_SOUND='libx11|libxext|libxrandr|libxxf86vm|libgl1|libgl\.|libglu|libglx|libopengl|libpng|libfreetype|libvorbis|libogg|libopenal'

for program in "${PROGRAMS[@]}"; do
  needed=$(ldd "$program" | grep -iE "$GRAPHICS_SOUND" || true)
  [ -z "$needed" ] || fail "$(basename "$program") needs $needed"
done

cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/cpack" -D CPACK_COMPONENTS_ALL=score_server \
  >"$WORK/cpack.txt" 2>&1 || { cat "$WORK/cpack.txt"; fail "cpack failed"; }
deb=$(ls "$WORK"/cpack/lambrisk-score-server_*.deb)
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = lambrisk-score-server ] && [ "$(field Section)" = net ] || fail "package name or section wrong"
for lib in libsqlite3-0 libpq5 libsodium23; do
  field Depends | grep -q "$lib" || fail "Depends lacks $lib: $(field Depends)"
done
! field Depends | grep -qiE "$GRAPHICS_SOUND" || fail "Depends has a graphics or sound library: $(field Depends)"
dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles | grep -qx /etc/lambrisk-score-server/score_server.conf ||
  fail "the configuration is not a conffile in /etc"
dpkg-deb -x "$deb" "$WORK/root"
ROOT=$WORK/root
# The unit where systemd's own are.
UNIT=$(pkg-config --variable=systemdsystemunitdir systemd 2>/dev/null || echo /usr/lib/systemd/system)
UNIT=${UNIT#/}/lambrisk-score-server.service
for f in usr/sbin/lambrisk-score-server usr/sbin/lambrisk-score-admin "$UNIT" etc/lambrisk-score-server/score_server.conf \
         usr/share/doc/lambrisk-score-server/copyright usr/share/lambrisk-score-server/Lambrisk.txt; do
  [ -e "$ROOT/$f" ] || fail "missing /$f"
done
grep -qx "LoadCredential=score_server.conf:/etc/lambrisk-score-server/score_server.conf" "$ROOT/$UNIT" &&
  grep -qx 'ExecStart=/usr/sbin/lambrisk-score-server --config ${CREDENTIALS_DIRECTORY}/score_server.conf' "$ROOT/$UNIT" ||
  fail "the unit does not start the packaged server with its configuration: $(grep -E 'ExecStart|LoadCredential' "$ROOT/$UNIT")"
[ "$(stat -c %a "$ROOT/etc/lambrisk-score-server/score_server.conf")" = 640 ] ||
  fail "the configuration, which may hold the database's password, is not 0640"
[ -z "$(cd "$ROOT" && find . -path './usr/share/lambrisk' -o -path './usr/share/lambrisk/*' -o -path './usr/bin/*')" ] ||
  fail "game files in the server's package"

cmake --install "$BUILD" --prefix "$WORK/game" >/dev/null || fail "cmake --install failed"
[ -z "$(find "$WORK/game" -name '*score*')" ] || fail "the game's install brings the score server"

# systemd checks the unit inside a root that also holds its own units (the targets it names) and
# the commands it runs.
mkdir -p "$ROOT/usr/lib/systemd"
cp -r /usr/lib/systemd/system "$ROOT/usr/lib/systemd/"
systemd-analyze verify --root="$ROOT" "/$UNIT" >"$WORK/verify.txt" 2>&1 || { cat "$WORK/verify.txt"; fail "systemd-analyze verify"; }
[ ! -s "$WORK/verify.txt" ] || { cat "$WORK/verify.txt"; fail "systemd-analyze verify complained"; }
exposure=$(systemd-analyze security --offline=yes "$ROOT/$UNIT" 2>&1 | sed -n 's/.*Overall exposure level for [^:]*: \([0-9.]*\).*/\1/p')
echo "systemd's exposure score of the unit: $exposure (0 safest, 10 least)"
awk -v e="$exposure" 'BEGIN { exit !(e != "" && e < 2.5) }' || fail "the unit's sandboxing is weaker than expected ($exposure)"

# As the unit runs it: a user with no capability, the packaged configuration as a credential (a
# copy that user may read), the database in a state folder of its own, a notification socket.
mkdir -p "$WORK/state" "$WORK/credentials"
cp "$ROOT/etc/lambrisk-score-server/score_server.conf" "$WORK/credentials/"
chown -R nobody:nogroup "$WORK/state" "$WORK/credentials"
chmod 755 "$WORK"
python3 -c 'import socket, sys; s = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM); s.bind(sys.argv[1]); s.settimeout(30)
print(s.recv(512).decode().split("\n")[0], flush=True)' "$WORK/notify" >"$WORK/notified.txt" &
NOTIFY_PID=$!
for _ in $(seq 100); do [ -S "$WORK/notify" ] && break; sleep 0.1; done
chown nobody "$WORK/notify"
CREDENTIALS_DIRECTORY=$WORK/credentials NOTIFY_SOCKET=$WORK/notify unshare --net -- bash -c '
  ip link set lo up
  exec setpriv --reuid=nobody --regid=nogroup --clear-groups --no-new-privs \
    --inh-caps=-all --ambient-caps=-all --bounding-set=-all \
    "$1/usr/sbin/lambrisk-score-server" --config "$CREDENTIALS_DIRECTORY/score_server.conf" \
    --database "$2/state/scores.db"' server "$ROOT" "$WORK" >"$WORK/server.log" 2>&1 &
SERVER_PID=$!
for _ in $(seq 200); do
  grep -q "listening on 127.0.0.1:8080," "$WORK/server.log" && break
  kill -0 "$SERVER_PID" 2>/dev/null || fail "the server did not start"
  sleep 0.1
done
grep -q "listening on 127.0.0.1:8080," "$WORK/server.log" || fail "the server did not listen on 127.0.0.1:8080"
# It proves replays on the levels its package brought.
grep -q "levels $ROOT/usr/share/lambrisk-score-server/Lambrisk.txt," "$WORK/server.log" ||
  fail "the server does not prove replays on its package's levels"
# unshare, bash and setpriv each replaced themselves: the process started is the server.
server=$SERVER_PID
[ "$(ps -o user= -p "$server")" = nobody ] || fail "the server does not run as nobody"
grep -q "^CapEff:.*0000000000000000$" "/proc/$server/status" || fail "the server has a capability"
reply=$(nsenter --net="/proc/$server/ns/net" bash -c \
  'exec 3<>/dev/tcp/127.0.0.1/8080; printf "GET /healthz HTTP/1.0\r\n\r\n" >&3; cat <&3')
[ "$(echo "$reply" | head -n 1 | tr -d '\r')" = "HTTP/1.1 200 OK" ] || fail "no health on port 8080: $reply"
[ "$(stat -c %U "$WORK/state/scores.db")" = nobody ] || fail "the database is not the server user's"
wait "$NOTIFY_PID" || true
[ "$(cat "$WORK/notified.txt")" = READY=1 ] || fail "systemd was not told it is ready: $(cat "$WORK/notified.txt")"
echo ok
