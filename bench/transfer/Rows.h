#pragma once

// The rows of the transfer benchmark. A row is one function that starts its own emulated MFPs
// (on host numbers no other row uses), runs, prints its lines and says whether every run
// succeeded. Adding a row: a function here, its file, and one line in the table of main.cpp.

#include "BenchSupport.h"

namespace dialvane::bench {

// Hosts 90: download and upload+verify in process, each beside the zero-work reference client,
// with the split of one command's time.
bool TransferRows(const BenchOptions& options);

// Host 91: the command-line program's upload+verify in a process of its own, peak memory.
bool CliRow(const BenchOptions& options);

// Host 92: download and upload+verify over USB (the channel library on the emulator's stand-in
// printer node) beside the same runs over TCP, and the difference per command.
bool UsbRow(const BenchOptions& options);
// Hosts 101-110: the command-line program's upload+verify to one MFP, then to ten at once, all
// answering after 20 ms; the wall times side by side and the peak memory of the ten.
bool FleetRow(const BenchOptions& options);
// Hosts 111-161: dialvane-cli sync of a 200-contact address book to one MFP, then to fifty at
// once (each first holding another list), answering after 20 ms; wall times, peak memory of the
// fifty, and the commands of a sync to an MFP that already holds the result.
bool SyncRow(const BenchOptions& options);

}  // namespace dialvane::bench
