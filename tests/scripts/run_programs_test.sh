#!/usr/bin/env bash
# Tests of scripts/run-programs, the start of both programs behind `make run`, with the real
# server program on a free port and a stand-in client that records what it found.
#   run_programs_test.sh CASE KORDRAUM_ON_PORT     CASE: taken | starts | server-ends
set -uo pipefail
case_name=$1
kordraum_on_port=$2
run_programs="$(cd "$(dirname "$0")/../.." && pwd)/scripts/run-programs"
export QT_QPA_PLATFORM=offscreen

failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

listening() { ss -Hltnp "sport = :$1" 2>/dev/null; }

# A port below the ephemeral range that nothing listens on.
port=0
for _ in $(seq 50); do
  candidate=$((20000 + RANDOM % 12000))
  if [[ -z "$(listening "$candidate")" ]]; then
    port=$candidate
    break
  fi
done
[[ $port -ne 0 ]] || { echo "no free port found" >&2; exit 1; }

folder=$(mktemp -d)
cd "$folder" || exit 1
occupant=
cleanup() {
  [[ -n "$occupant" ]] && kill "$occupant" 2>/dev/null && wait "$occupant" 2>/dev/null
  rm -rf "$folder"
}
trap cleanup EXIT

# The server under test: the real program on our port.
cat >server <<SERVER
#!/bin/sh
exec "$kordraum_on_port" $port
SERVER
# The client: records the listeners it finds on the port and ends with status 7.
cat >client <<CLIENT
#!/bin/sh
ss -Hltnp "sport = :$port" >client-saw
exit 7
CLIENT
chmod +x server client

case "$case_name" in
  taken)
    # Another program holds the port: here a second server, started by hand.
    "$kordraum_on_port" "$port" >/dev/null 2>&1 &
    occupant=$!
    for _ in $(seq 300); do
      listening "$port" | grep -q "pid=$occupant," && break
      kill -0 "$occupant" 2>/dev/null || break
      sleep 0.1
    done
    listening "$port" | grep -q "pid=$occupant," || { echo "the occupant did not listen" >&2; exit 1; }
    timeout 60 "$run_programs" "$port" ./server ./client 2>stderr
    status=$?
    [[ $status -eq 1 ]] || fail "exit status $status, expected 1"
    grep -q "Port $port is already in use by another program" stderr || fail "no line: $(cat stderr)"
    grep -q "process $occupant" stderr || fail "the occupant is not named: $(cat stderr)"
    [[ ! -e client-saw ]] || fail "the client was started"
    # The occupant is still the only listener: no server of ours was started beside it.
    [[ $(listening "$port" | grep -c pid=) -eq 1 ]] || fail "listeners: $(listening "$port")"
    kill -0 "$occupant" 2>/dev/null || fail "the occupant was ended"
    ;;
  starts)
    timeout 60 "$run_programs" "$port" ./server ./client 2>stderr
    status=$?
    [[ $status -eq 7 ]] || fail "exit status $status, expected the client's 7: $(cat stderr)"
    grep -q "KordraumOnPort" client-saw 2>/dev/null || fail "the client started before the server listened"
    # The server was ended with the client, and had written its settings on the way out.
    [[ -z "$(listening "$port")" ]] || fail "the server still listens: $(listening "$port")"
    [[ -e QuellDraum.dat ]] || fail "the server did not close normally (no settings file)"
    ;;
  server-ends)
    printf '#!/bin/sh\nexit 3\n' >server
    timeout 60 "$run_programs" "$port" ./server ./client 2>stderr
    status=$?
    [[ $status -eq 1 ]] || fail "exit status $status, expected 1"
    grep -q "server ended (exit status 3) without listening on port $port" stderr ||
      fail "no line: $(cat stderr)"
    [[ ! -e client-saw ]] || fail "the client was started"
    ;;
  *)
    echo "unknown case $case_name" >&2
    exit 2
    ;;
esac
[[ $failures -eq 0 ]]
