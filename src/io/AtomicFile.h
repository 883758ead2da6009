#pragma once
#include <cstddef>
#include <optional>
#include <string>

namespace io {

// Replaces the file at `path` with `bytes` so that a crash, a kill or a full disk never leaves
// a damaged or half-written file, nor a stray temporary one: the bytes go to an unnamed file in
// the same folder (a named one where the system has none), are synced, and the file is renamed
// over the old one. The new file gets the permissions a new file gets (0666 less the umask).
// A symbolic link stays: the file it leads to is replaced, in that file's folder. A file its
// owner may not write is left as it is (EACCES). Returns 0, or the errno of what failed.
int writeAtomically(const std::string& path, const std::string& bytes);

// The system's text for an errno.
std::string errorText(int err);

// Removes the named temporaries that writeAtomically() leaves when its process is killed in the
// moment between naming and renaming one: "<file>.<pid>-<n>" of processes no longer running,
// beside the file a symbolic link at `path` leads to.
void removeStaleTemporaries(const std::string& path);

// At most `limit` bytes of a regular file; nullopt when it cannot be read. `complete` tells
// whether that was the whole file.
std::optional<std::string> readBounded(const std::string& path, std::size_t limit, bool& complete);

// The path made absolute, for messages.
std::string absolutePath(const std::string& path);

}  // namespace io
