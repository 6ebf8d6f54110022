// POSIX implementation of the atomic replace, the whole-file read and the temporary names.
#include "document/safe_file.h"

#include <atomic>
#include <cctype>
#include <cstring>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace quentar::document {

namespace {

bool exists(const std::string &path) {
    struct stat st;
    // lstat: a dangling symbolic link still blocks the name.
    return ::lstat(path.c_str(), &st) == 0;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Opens a new file next to `path` that nobody else can have opened. The name starts with a dot
// so that folder listings of the user do not show it while it exists.
int createTemporary(const std::string &path, mode_t mode, std::string &tmpPath) {
    static std::atomic<unsigned> serial{0};
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        tmpPath = dir + "." + base + ".tmp" + std::to_string(::getpid()) + "-" +
                  std::to_string(serial.fetch_add(1));
        const int fd = ::open(tmpPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Whether an existing target may be replaced. A symbolic link is replaced itself, so only what
// the name holds counts; a folder never is.
int replaceableError(const std::string &path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return 0;
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (S_ISLNK(st.st_mode)) return 0;
    // The write bits count for root too: a file made read-only is meant to stay as it is.
    if ((st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0) return EACCES;
    return 0;
}

} // namespace

StagedFile::StagedFile(StagedFile &&other) noexcept
    : path_(std::move(other.path_)), tmpPath_(std::move(other.tmpPath_)), error_(other.error_) {
    other.tmpPath_.clear();
}

StagedFile &StagedFile::operator=(StagedFile &&other) noexcept {
    if (this != &other) {
        discard();
        path_ = std::move(other.path_);
        tmpPath_ = std::move(other.tmpPath_);
        error_ = other.error_;
        other.tmpPath_.clear();
    }
    return *this;
}

StagedFile::~StagedFile() { discard(); }

void StagedFile::discard() {
    if (!tmpPath_.empty()) ::unlink(tmpPath_.c_str());
    tmpPath_.clear();
}

bool StagedFile::stage(const std::string &path, std::string_view bytes) {
    discard();
    path_ = path;
    error_ = 0;
    if (path.empty() || path.back() == '/') {
        error_ = path.empty() ? ENOENT : EISDIR;
        return false;
    }
    if ((error_ = replaceableError(path)) != 0) return false;
    struct stat st;
    const bool hadTarget = ::stat(path.c_str(), &st) == 0;
    const mode_t mode = hadTarget ? (st.st_mode & 07777) : 0644;

    std::string tmpPath;
    const int fd = createTemporary(path, mode, tmpPath);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    // open() applies the umask; the old file's bits are wanted exactly.
    bool ok = !hadTarget || ::fchmod(fd, mode) == 0;
    ok = ok && writeAll(fd, bytes);
    ok = ok && ::fsync(fd) == 0;
    if (!ok) error_ = errno;
    // close() can report a failed delayed write, so its result counts.
    if (::close(fd) != 0 && ok) {
        error_ = errno;
        ok = false;
    }
    if (!ok) {
        if (error_ == 0) error_ = EIO;
        ::unlink(tmpPath.c_str());
        return false;
    }
    tmpPath_ = std::move(tmpPath);
    return true;
}

bool StagedFile::commit() {
    if (tmpPath_.empty()) {
        if (error_ == 0) error_ = EINVAL;
        return false;
    }
    if (::rename(tmpPath_.c_str(), path_.c_str()) != 0) {
        error_ = errno;
        discard();
        return false;
    }
    tmpPath_.clear();
    // Makes the rename itself durable. The new contents are in place either way, so a failure
    // here is not reported.
    const std::size_t slash = path_.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path_.substr(0, slash + 1);
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

bool writeFileAtomically(const std::string &path, std::string_view bytes, int *error) {
    StagedFile file;
    const bool ok = file.stage(path, bytes) && file.commit();
    if (error) *error = ok ? 0 : file.error();
    return ok;
}

std::string writeErrorText(int error) {
    switch (error) {
    case 0: return {};
    case EACCES:
    case EPERM: return "permission denied";
    case EROFS: return "the file system is read-only";
    case ENOENT: return "no such folder";
    case ENOTDIR: return "a part of its path is not a folder";
    case EISDIR: return "it is a folder";
    case ENOSPC:
    case EDQUOT: return "the disk is full";
    case EFBIG: return "the file size limit is reached";
    case ENAMETOOLONG: return "the name is too long";
    default: {
        std::string text = std::strerror(error);
        if (!text.empty())
            text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
        return text;
    }
    }
}

bool isSameFile(const std::string &output, const std::string &input) {
    namespace fs = std::filesystem;
    if (output.empty() || input.empty()) return false;
    std::error_code ec;
    const bool both = fs::exists(output, ec) && fs::exists(input, ec);
    if (both) {
        const bool same = fs::equivalent(output, input, ec);
        if (!ec) return same;
    }
    const fs::path a = fs::weakly_canonical(fs::absolute(output, ec), ec);
    if (ec) return false;
    const fs::path b = fs::weakly_canonical(fs::absolute(input, ec), ec);
    return !ec && a == b;
}

std::optional<std::string> readWholeFile(const std::string &path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string data;
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_size > 0) data.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        data.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return data;
}

std::optional<std::string> readFileHead(const std::string &path, std::size_t count) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string data(count, '\0');
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = ::read(fd, data.data() + got, count - got);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return std::nullopt;
        }
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    data.resize(got);
    return data;
}

std::string UniqueTempFileName(std::string_view prefix, std::string_view suffix) {
    const char *env = std::getenv("TMPDIR");
    std::string dir = env && *env ? env : "/tmp";
    if (dir.back() != '/') dir += '/';
    for (unsigned long long i = 0;; ++i) {
        std::string name = dir;
        name.append(prefix).append(std::to_string(i)).append(suffix);
        if (!exists(name)) return name;
    }
}

} // namespace quentar::document
