#pragma once
// Room for the descriptors of many ports at once, made before the threads that use them
// start.

// Makes the process ready to hold count descriptors at once: the soft limit is raised
// to count when it is lower (never past the hard limit), and the descriptor table is
// grown to count. Linux grows a table that threads share only after an RCU grace period,
// and every thread that opens a file meanwhile waits for it: over 64 ports, several such
// waits fell on the ports' opens. Grown while one thread runs, the table costs no wait.
// Returns the number of descriptors the limit allows, count or fewer.
int gMakeDescriptorRoom(int count);
