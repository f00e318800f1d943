#pragma once
// Checked access to the program's own memory: the sys tokens (and the file commands' SYS area)
// read and write bytes at an address the user typed. The copy goes through the kernel's
// process-memory calls on our own process, so an address that is not mapped (or not writable)
// fails with an error instead of a signal.
//
//     uint32_t value = 0;
//     if (!ReadSysMemory(address, &value, 4)) { /* "Address is not readable." */ }
#include <cstddef>
#include <cstdint>

// Copies bytes from the program's memory at address into buffer; false (buffer unchanged)
// when any of them cannot be read.
bool ReadSysMemory(uintptr_t address, void* buffer, size_t bytes);

// Copies bytes from buffer into the program's memory at address; false when any of them cannot
// be written (nothing is written then for a unit of at most one page).
bool WriteSysMemory(uintptr_t address, const void* buffer, size_t bytes);
