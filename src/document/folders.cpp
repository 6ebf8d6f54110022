// Finding the program and data folders, and reading and writing the program's own files there.
#include "document/folders.h"

#include "document/safe_file.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <utility>

namespace quentar::document {

namespace {

constexpr std::string_view kDataSubfolder = "Morvane/Quentar/";

std::string withSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

bool fileExists(const std::string &path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// mkdir -p with mode 0700 for the folders it makes.
void createFolders(const std::string &folder) {
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return;
    }
}

} // namespace

std::string installedDataFolderOf(const std::string &exe) {
    const std::filesystem::path bin = std::filesystem::path(exe).parent_path();
    std::error_code ec;
    for (const auto &dir : {bin / "data", bin / ".." / "share" / "quentar"})
        if (std::filesystem::is_directory(dir, ec)) return dir.string();
    return "data";
}

std::string installedDataFolder() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "data";
    return installedDataFolderOf(exe.string());
}

std::string userDataFolder(const char *xdgDataHome, const char *home) {
    if (xdgDataHome && xdgDataHome[0] == '/')
        return withSlash(xdgDataHome) + std::string(kDataSubfolder);
    if (home && home[0] == '/')
        return withSlash(home) + ".local/share/" + std::string(kDataSubfolder);
    return {};
}

Folders::Folders(std::string programFolder, std::string dataFolder)
    : programFolder_(withSlash(std::move(programFolder))),
      dataFolder_(withSlash(std::move(dataFolder))) {
    if (dataFolder_.empty()) dataFolder_ = programFolder_;
}

Folders Folders::ofThisProgram() {
    return Folders(installedDataFolder(),
                   userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
}

std::string Folders::dataFolder(bool create) const {
    if (create) createFolders(dataFolder_);
    return dataFolder_;
}

std::string Folders::userCopy(std::string_view name) const {
    // When the data folder is the program folder there is no separate copy.
    if (dataFolder_ == programFolder_) return {};
    const std::string path = dataFolder_ + std::string(name);
    return fileExists(path) ? path : std::string();
}

std::string Folders::dataFileForReading(std::string_view name) const {
    std::string copy = userCopy(name);
    return copy.empty() ? programFolder_ + std::string(name) : copy;
}

std::optional<std::string> Folders::readDataFile(std::string_view name) const {
    const std::string path = dataFileForReading(name);
    if (!fileExists(path)) return std::nullopt;
    return document::readWholeFile(path).value_or(std::string());
}

bool Folders::writeDataFile(std::string_view name, std::string_view bytes) const {
    // Writing anywhere else would leave the user's copy in front of the new contents.
    const std::string copy = userCopy(name);
    if (!copy.empty()) return document::writeFileAtomically(copy, bytes);
    if (document::writeFileAtomically(programFolder_ + std::string(name), bytes)) return true;
    if (dataFolder_ == programFolder_) return false;
    return document::writeFileAtomically(dataFolder(true) + std::string(name), bytes);
}

} // namespace quentar::document
