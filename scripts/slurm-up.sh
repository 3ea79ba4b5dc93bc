#!/usr/bin/env bash
# Brings up a one-node Slurm cluster on this machine for the tests, as root,
# with everything in a scratch state folder: its own munge key and socket, its
# own configuration, state, spool, logs and ports. Nothing outside the folder
# is touched, and scripts/slurm-down.sh stops exactly the daemons started here
# by their process ids.
#   scripts/slurm-up.sh STATE_FOLDER
# Writes STATE_FOLDER/env (export SLURM_CONF=...) for the client commands.
set -euo pipefail
state=${1:?usage: slurm-up.sh STATE_FOLDER}
[ "$(id -u)" -eq 0 ] || { echo "slurm-up.sh: needs root (the daemons run as root)" >&2; exit 2; }
for program in munged slurmctld slurmd sinfo; do
  command -v "$program" >/dev/null || { echo "slurm-up.sh: $program is not installed (slurm-wlm, munge)" >&2; exit 2; }
done
mkdir -p "$state"
state=$(cd "$state" && pwd)
mkdir -p "$state/munge" "$state/ctld" "$state/spool" "$state/log"

# munged checks that its files belong to the user it runs as and are private.
head -c 1024 /dev/urandom > "$state/munge/munge.key"
chown -R munge:munge "$state/munge"
chmod 755 "$state/munge"
chmod 400 "$state/munge/munge.key"
# munged also insists that every folder above its socket is not writable by others.
chmod 755 "$state"
runuser -u munge -- munged --key-file="$state/munge/munge.key" --socket="$state/munge/munge.socket" \
  --pid-file="$state/munge/munged.pid" --log-file="$state/munge/munged.log" --seed-file="$state/munge/munged.seed"

node=$(hostname -s)
cpus=$(nproc)
memory=$(( $(awk '/MemTotal/ {print $2}' /proc/meminfo) / 1024 * 9 / 10 ))
# Ports of our own, and a cluster name of our own: a state folder from another
# run is never mistaken for this one.
port=$(( 20000 + RANDOM % 20000 ))
cat > "$state/slurm.conf" <<CONF
ClusterName=portaltest$RANDOM
SlurmctldHost=$node
SlurmctldPort=$port
SlurmdPort=$((port + 1))
SlurmUser=root
AuthType=auth/munge
AuthInfo=socket=$state/munge/munge.socket
CredType=cred/munge
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
StateSaveLocation=$state/ctld
SlurmdSpoolDir=$state/spool
SlurmctldPidFile=$state/slurmctld.pid
SlurmdPidFile=$state/slurmd.pid
SlurmctldLogFile=$state/log/slurmctld.log
SlurmdLogFile=$state/log/slurmd.log
MpiDefault=none
SchedulerType=sched/builtin
SchedulerParameters=batch_sched_delay=0,sched_interval=1
NodeName=$node CPUs=$cpus RealMemory=$memory State=UNKNOWN
PartitionName=test Nodes=$node Default=YES MaxTime=INFINITE State=UP
CONF
echo "export SLURM_CONF=$state/slurm.conf" > "$state/env"
export SLURM_CONF="$state/slurm.conf"

slurmctld -f "$SLURM_CONF"
slurmd -f "$SLURM_CONF"
for _ in $(seq 1 60); do
  [ "$(sinfo -h -o %T 2>/dev/null | head -1)" = "idle" ] && { echo "slurm: node $node idle ($SLURM_CONF)"; exit 0; }
  sleep 0.5
done
echo "slurm-up.sh: the node did not come up; logs in $state/log" >&2
tail -5 "$state/log/slurmctld.log" "$state/log/slurmd.log" >&2 || true
exit 1
