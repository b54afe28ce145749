#pragma once
// Room for the descriptors of many ports at once, made before the threads that use them
// start.

struct DescriptorRoom {
    int Needed = 0;   // what was asked for, with some to spare
    int Allowed = 0;  // what the limit allows, Needed or fewer
};

// Makes the process ready to hold the descriptors of items that each hold eachHolds, and
// some to spare for passing looks at files: the soft limit is raised to that when it is
// lower (never past the hard limit), and the descriptor table is grown to it. Linux grows
// a table that threads share only after an RCU grace period, and every thread that opens
// a file meanwhile waits for it: over 64 ports, several such waits fell on the ports'
// opens. Grown while one thread runs, the table costs no wait.
DescriptorRoom gMakeDescriptorRoom(int items, int eachHolds);
