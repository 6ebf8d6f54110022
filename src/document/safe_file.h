// Whole-file reads, crash-safe replacement of files, and free names in the temporary folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quentar::document {

// Replaces the file at `path` by `bytes` so that a crash or a full disk leaves either the old
// or the new contents, never a mix: the bytes go to a fresh file in the same folder (rename only
// replaces atomically within one file system), are flushed to disk, and that file is renamed over
// the target. An existing target's permission bits are kept; a new file gets 0644 less the umask.
// A symbolic link at `path` is replaced by a regular file, not followed.
// Returns false on any failure; the previous file is then untouched and no temporary remains.
bool writeFileAtomically(const std::string &path, std::string_view bytes);

// Whether writing to `output` would replace the file at `input`: the same file by identity (also
// when the two names differ by symbolic links, hard links, "." and ".." or a relative path), or,
// when one of them does not exist yet, the same path once made absolute and normalised with the
// symbolic links of its existing part resolved. Commands check every output against their inputs
// before writing anything.
bool isSameFile(const std::string &output, const std::string &input);

// The whole file, or nullopt when it cannot be opened or read (a folder cannot be read either).
std::optional<std::string> readWholeFile(const std::string &path);

// The user's temporary folder (TMPDIR, else /tmp) followed by the first prefix + i + suffix,
// i = 0, 1, 2 ..., that nothing exists under yet. Only a name is chosen; a caller that must not
// share the file with anybody has to create it with O_EXCL all the same.
std::string UniqueTempFileName(std::string_view prefix, std::string_view suffix);

} // namespace quentar::document
