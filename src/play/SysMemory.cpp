// Checked access to the program's own memory through process_vm_readv/process_vm_writev.
#include "play/SysMemory.h"

#include <sys/uio.h>
#include <unistd.h>

#include <cstring>

namespace {

bool Transfer(uintptr_t address, void* local, size_t bytes, bool write) {
    if (bytes == 0) {
        return true;
    }
    if (address + bytes < address) {
        return false; // wraps past the end of the address space
    }
    iovec localSpan{local, bytes};
    iovec remoteSpan{reinterpret_cast<void*>(address), bytes};
    const ssize_t done = write ? process_vm_writev(getpid(), &localSpan, 1, &remoteSpan, 1, 0)
                               : process_vm_readv(getpid(), &localSpan, 1, &remoteSpan, 1, 0);
    return done == static_cast<ssize_t>(bytes);
}

} // namespace

bool ReadSysMemory(uintptr_t address, void* buffer, size_t bytes) {
    // Read into a scratch copy first, so a partial read leaves the caller's buffer alone.
    unsigned char scratch[64];
    if (bytes > sizeof scratch) {
        return Transfer(address, buffer, bytes, false);
    }
    if (!Transfer(address, scratch, bytes, false)) {
        return false;
    }
    std::memcpy(buffer, scratch, bytes);
    return true;
}

bool WriteSysMemory(uintptr_t address, const void* buffer, size_t bytes) {
    return Transfer(address, const_cast<void*>(buffer), bytes, true);
}
