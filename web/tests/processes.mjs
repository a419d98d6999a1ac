// A browser is a tree of processes: its web, network and GPU processes can
// outlive the one the test started, still writing their caches into the
// profile. Each browser is started as the leader of a process group of its
// own, so its profile is removed only once that whole group has ended.
import fs from 'node:fs';

// The processes of `group` that still run (a zombie has ended).
export function groupMembers(group) {
  const members = [];
  for (const entry of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) continue;
    let stat;
    try {
      stat = fs.readFileSync(`/proc/${entry}/stat`, 'utf8');
    } catch {
      continue; // ended while we looked
    }
    // pid (comm) state ppid pgrp ...: comm may hold spaces and parentheses.
    const [state, , pgrp] = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
    if (Number(pgrp) === group && state !== 'Z') members.push(Number(entry));
  }
  return members;
}

function signalGroup(group, signal) {
  try {
    process.kill(-group, signal);
  } catch (error) {
    if (error.code !== 'ESRCH') throw error; // ESRCH: the group has ended
  }
}

// Whether `group` has ended by `deadline`. No event tells of the end of a
// process that is not our child, so /proc is read again every 50 ms.
async function emptied(group, deadline) {
  while (Date.now() < deadline) {
    if (groupMembers(group).length === 0) return true;
    await new Promise((r) => setTimeout(r, 50));
  }
  return groupMembers(group).length === 0;
}

// Ends every process of `group` (SIGTERM, then SIGKILL to what is left after
// `grace` ms) and returns once none runs. `what` names the browser in the error.
export async function endGroup(group, what, { grace = 10000 } = {}) {
  signalGroup(group, 'SIGTERM');
  if (await emptied(group, Date.now() + grace)) return;
  signalGroup(group, 'SIGKILL');
  if (await emptied(group, Date.now() + 5000)) return;
  throw new Error(`${what}: processes ${groupMembers(group).join(', ')} did not end`);
}

// Removes a browser's profile once the browser's process group has ended.
export async function removeProfile(group, profile, what) {
  await endGroup(group, what);
  fs.rmSync(profile, { recursive: true, force: true });
}
