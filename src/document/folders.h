// The program folder (the files shipped with the program) and the user's data folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quentar::document {

// Where the shipped files (translations, templates, examples) of the running program are: the
// "data" folder beside the executable (the build tree copies data/ there), else the
// "../share/quentar" folder of an installation, else "data" below the working folder. No
// trailing slash.
std::string installedDataFolder();
// The same search for an executable at `exe`.
std::string installedDataFolderOf(const std::string &exe);

// The per-user data folder of this platform: $XDG_DATA_HOME, else $HOME/.local/share, followed by
// "Morvane/Quentar/". Only absolute paths count (the XDG base directory rule): a relative one
// would move with the working folder. Empty when neither is usable. Arguments may be null.
std::string userDataFolder(const char *xdgDataHome, const char *home);

// The two folders the program keeps its own files in, each with a trailing slash.
//
// translate.dat and options.dat belong in the program folder, which an installed program usually
// may not write. Each therefore may also have a copy in the data folder: once there, that copy is
// the one read and written, so the user's changes persist and are found again.
class Folders {
public:
    // An empty data folder stands for "this platform has none": the program folder serves then.
    Folders(std::string programFolder, std::string dataFolder);
    // The folders of the running program and the current user. The program folder is
    // installedDataFolder(): this port keeps the shipped files there, not beside the executable.
    static Folders ofThisProgram();

    const std::string &programFolder() const { return programFolder_; }
    // The data folder; with `create`, it and every missing parent are made first (mode 0700, the
    // XDG rule for these folders). A failure to create is not reported here: the caller's
    // following write fails instead.
    std::string dataFolder(bool create = false) const;

    // The path to read one of the program-folder files from: the user's copy in the data folder
    // when there is one, else the file in the program folder.
    std::string dataFileForReading(std::string_view name) const;
    // The file as dataFileForReading finds it; nullopt when there is none. A file that exists but
    // cannot be read gives empty bytes, so that callers treat it as damaged, not as absent.
    std::optional<std::string> readDataFile(std::string_view name) const;
    // Replaces the file completely (temporary file, then rename). Where: the user's copy when
    // there is one; else the program folder; if that write fails, a new user copy in the data
    // folder. Trying the write, rather than asking in advance whether the folder is writable,
    // gives the right answer for read-only mounts and access lists too. False when no write
    // succeeded; nothing is changed then.
    bool writeDataFile(std::string_view name, std::string_view bytes) const;

private:
    std::string userCopy(std::string_view name) const;

    std::string programFolder_;
    std::string dataFolder_;
};

} // namespace quentar::document
