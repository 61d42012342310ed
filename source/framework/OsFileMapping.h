// Windows of an open file mapped shared into memory. What is copied into a window is in the
// system's page cache at once: it reaches the file even when the process is killed, though the
// device only after a flush.
//
// Another program may shorten a mapped file on POSIX (Windows refuses while it is mapped); a copy
// into a window past the file's new end would then raise SIGBUS. A handler of the framework's
// own, installed with the first window, takes such a fault: it puts memory of no file in the
// window's place, so that the copy completes harmlessly, and marks the window as cut. Faults
// elsewhere go on to the handler the program had, or to its default action.
#pragma once

#include "CFile.h"

#include <cstddef>
#include <cstdint>

namespace os
{
struct FileWindow
{
    char* data = nullptr;
    // Where data lies in the file.
    std::uint64_t offset = 0;
    std::size_t size = 0;
    // POSIX: the window's entry among those guarded against a shortened file.
    int guard = -1;
};

// The size no file of this process may grow past: POSIX's RLIMIT_FSIZE (a write or growth past
// it raises SIGXFSZ, which ends the process unless the program handles it); UINT64_MAX where
// there is none.
std::uint64_t GetFileSizeLimit();

// What a window's offset in the file must be a multiple of.
std::size_t GetFileWindowAlignment();
// Keeps other mapping writers from emptying the file under this one's windows (which would end
// this process with SIGBUS on POSIX): an advisory lock on POSIX; on Windows a mapped file cannot
// be shortened anyway. False, with the system's error code, when another writer holds the file.
bool ClaimFileForMapping(CFile& file, DWORD& error);
// Keeps mapping writers out while this process writes the file without mapping it, since it
// empties the file at its restarts: a shared advisory lock on POSIX, which any number of such
// writers hold together; nothing on Windows. False, with the system's error code, when a mapping
// writer holds the file.
bool ClaimFileForWriting(CFile& file, DWORD& error);
// Keeps every other program of the suite out of the file while this one holds it, so that only
// this one renames or empties it: an exclusive advisory lock on POSIX (as for mapping), a lock on
// a byte range far past any content on Windows. False, with the system's error code, when another
// program holds the file in any way.
bool ClaimFileAlone(CFile& file, DWORD& error);
// Makes the file at least length bytes long with its blocks allocated, so that writing through a
// window never meets a full disk; false when the disk cannot hold them.
bool ReserveFileLength(CFile& file, std::uint64_t length);
// Maps size bytes from offset (a multiple of the alignment), which must lie within the file.
bool MapFileWindow(CFile& file, std::uint64_t offset, std::size_t size, FileWindow& window);
// True once another program shortened the file below a page of the window that was then
// written: that copy went to memory of no file.
bool IsFileWindowCut(const FileWindow& window);
// Leaves the window empty; nothing when it is.
void UnmapFileWindow(FileWindow& window);
// Writes the window's changed pages to the device and waits for them; true for an empty window.
bool FlushFileWindow(const FileWindow& window);
} // namespace os
