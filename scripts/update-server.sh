# Sourced by run.sh and screenshots.sh: serves the sample firmware updates of
# a build from a web server on the loopback interface and points the program
# at them through VEXA_UPDATE_LIST. Unless the variable is set already.
# Usage: start_update_server BUILD-FOLDER; the caller stops $update_server_pid.
update_server_pid=
start_update_server() {
  [ -z "${VEXA_UPDATE_LIST:-}" ] || return 0
  command -v python3 >/dev/null || { echo "no python3: no local update server"; return 0; }
  local build=$1 samples=$1/update-samples port
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  "$build/tools/update-samples/vexa-update-samples" "$samples" "http://127.0.0.1:$port/"
  python3 -m http.server --bind 127.0.0.1 --directory "$samples" "$port" >/dev/null 2>&1 &
  update_server_pid=$!
  for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
  done
  export VEXA_UPDATE_LIST="http://127.0.0.1:$port/V6updates.txt"
  echo "sample firmware updates served at $VEXA_UPDATE_LIST"
}
