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
// An existing target that is write-protected (no write bit set, or not writable for this user)
// is not replaced: a file made read-only is kept, as a plain write would keep it.
// Returns false on any failure; the previous file is then untouched and no temporary remains.
// `error`, when given, receives the reason as an errno value (0 on success).
bool writeFileAtomically(const std::string &path, std::string_view bytes, int *error = nullptr);

// Why a write failed, for "cannot write X: <why>": "permission denied", "no such folder",
// "the disk is full", "the file size limit is reached" ...
std::string writeErrorText(int error);

// An output written in full beside its target (as writeFileAtomically writes it) but not yet put
// in its place. A command with several outputs stages them all first and puts them in place
// only when every one could be written, so a failure leaves none of them changed. The
// temporary is removed when the object goes without being put in place.
class StagedFile {
public:
    StagedFile() = default;
    StagedFile(StagedFile &&other) noexcept;
    StagedFile &operator=(StagedFile &&other) noexcept;
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;
    ~StagedFile();

    // Writes `bytes` to a fresh temporary beside `path` and flushes it to disk. False, with
    // error() set and nothing left behind, when that fails or the target may not be replaced.
    bool stage(const std::string &path, std::string_view bytes);
    // Renames the temporary over the target. False, with error() set, when that fails; the
    // target is then as it was.
    bool commit();
    // Removes the temporary, if any, without touching the target.
    void discard();

    const std::string &path() const { return path_; }
    int error() const { return error_; }

private:
    std::string path_, tmpPath_;
    int error_ = 0;
};

// Whether writing to `output` would replace the file at `input`: the same file by identity (also
// when the two names differ by symbolic links, hard links, "." and ".." or a relative path), or,
// when one of them does not exist yet, the same path once made absolute and normalised with the
// symbolic links of its existing part resolved. Commands check every output against their inputs
// before writing anything.
bool isSameFile(const std::string &output, const std::string &input);

// The whole file, or nullopt when it cannot be opened or read (a folder cannot be read either).
std::optional<std::string> readWholeFile(const std::string &path);
// Its first `count` bytes (fewer when it is shorter), or nullopt as for readWholeFile.
std::optional<std::string> readFileHead(const std::string &path, std::size_t count);

// The user's temporary folder (TMPDIR, else /tmp) followed by the first prefix + i + suffix,
// i = 0, 1, 2 ..., that nothing exists under yet. Only a name is chosen; a caller that must not
// share the file with anybody has to create it with O_EXCL all the same.
std::string UniqueTempFileName(std::string_view prefix, std::string_view suffix);

} // namespace quentar::document
