#!/bin/sh
# Collects every file named in LIST (one path per line) with tonmira-cli on the hosts given to
# GNU parallel's --sshlogin, then merges the per-file event logs into OUT/events.csv in list
# order, header once. The event lines come out on stdout in list order.
#
# Every host must see tonmira-cli, the inputs and OUT under the same paths (a shared folder);
# ":" is this machine. TONMIRA_CLI names the program when it is not on the PATH.
#
#   examples/collect-parallel.sh files.txt /shared/events 8/:,8/node2,8/node3 --settings rec.ars
#
# Exit status: 0 when every file was collected, 1 otherwise (the others are still done).
set -u
if [ $# -lt 3 ]; then
  echo "usage: $0 LIST OUT SSHLOGINS [collect options...]" >&2
  exit 2
fi
list=$1 out=$2 hosts=$3
shift 3
cli=${TONMIRA_CLI:-tonmira-cli}
logs=$out/logs.$$
mkdir -p "$out" "$logs" || exit 1

# One job per file, numbered {#} in list order; --keep-order prints each job's lines in that order.
status=0
parallel --will-cite -q --sshlogin "$hosts" --workdir . --keep-order --halt never \
  "$cli" collect {} --out "$out" --log "$logs/{#}.csv" "$@" :::: "$list" || status=1

n=$(grep -c '' "$list")
i=1
while [ "$i" -le "$n" ]; do
  log=$logs/$i.csv
  if [ -f "$log" ]; then
    [ -s "$out/events.csv" ] || head -n 1 "$log" > "$out/events.csv"
    tail -n +2 "$log" >> "$out/events.csv"
    rm -f "$log"
  fi
  i=$((i + 1))
done
rmdir "$logs" 2>/dev/null
exit $status
