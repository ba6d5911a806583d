#include "base/fileutil.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>
#include <system_error>

namespace plotvue {
namespace {

namespace fs = std::filesystem;

// Attempts at finding a free temporary name before giving up.
constexpr int kNameAttempts = 100;
// The temporary file's name repeats at most this much of the target's name, so that it stays
// within the file-name limit of the file system.
constexpr std::size_t kMaxBaseInTempName = 200;

std::string ErrnoText(int err) { return std::strerror(err); }

// A name suffix that differs between processes, calls and attempts; O_EXCL makes a clash
// harmless, it only costs another attempt.
std::string UniqueSuffix(int attempt) {
  std::uint64_t x =
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  x ^= static_cast<std::uint64_t>(::getpid()) << 32;
  x += static_cast<std::uint64_t>(attempt) * 0x9E3779B97F4A7C15ULL;
  // A final mix (splitmix64) spreads neighbouring inputs over all digits.
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9ULL;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBULL;
  x ^= x >> 31;
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(x));
  return buf;
}

// Creates a new file "<dirSlash><prefix><suffix>" with O_EXCL; returns its descriptor and name,
// or -1 with errno set.
int CreateUniqueFile(const std::string& dirSlash, const std::string& prefix, std::string* name) {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    *name = dirSlash + prefix + UniqueSuffix(attempt);
    int fd = ::open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
  return WriteFileAtomicallyWith(
      path, [bytes](int fd) { return WriteAll(fd, bytes) ? 0 : errno; }, error);
}

bool WriteFileAtomicallyWith(const std::string& path, const std::function<int(int fd)>& fill,
                             std::string* error) {
  auto fail = [error](const std::string& reason) {
    if (error != nullptr) *error = reason;
    return false;
  };
  if (path.empty() || path.back() == '/') return fail("invalid file name");

  std::string target = path;
  std::error_code ec;
  if (fs::is_symlink(target, ec)) {
    fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved.string();
  }

  struct stat st;
  bool keepMode = false;
  mode_t mode = 0;
  if (::stat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return fail("is a directory");
    if (!S_ISREG(st.st_mode)) return fail("not a regular file");
    keepMode = true;
    mode = st.st_mode & 07777;
  }

  std::string dirSlash = DirectoryPart(target);
  std::string base = target.substr(dirSlash.size());
  if (base.size() > kMaxBaseInTempName) base.resize(kMaxBaseInTempName);

  std::string temp;
  int fd = CreateUniqueFile(dirSlash, "." + base + ".tmp", &temp);
  if (fd < 0) return fail("cannot create a file in the directory: " + ErrnoText(errno));

  auto abandon = [&](int err) {
    if (fd >= 0) ::close(fd);
    ::unlink(temp.c_str());
    return fail(ErrnoText(err));
  };
  if (keepMode) (void)::fchmod(fd, mode);  // best effort: the content matters more than the mode
  if (int err = fill(fd); err != 0) return abandon(err);
  if (::fsync(fd) != 0) return abandon(errno);
  int closed = ::close(fd);
  fd = -1;
  if (closed != 0) return abandon(errno);
  if (::rename(temp.c_str(), target.c_str()) != 0) return abandon(errno);

  // Make the rename itself durable; a failure here no longer endangers either file.
  int dirFd = ::open(dirSlash.empty() ? "." : dirSlash.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    (void)::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

bool CopyFileAtomically(const std::string& from, const std::string& to, std::string* error) {
  auto fail = [error](const std::string& reason) {
    if (error != nullptr) *error = reason;
    return false;
  };
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return fail(ErrnoText(errno));
  struct stat source, target;
  if (::fstat(in, &source) != 0 || !S_ISREG(source.st_mode)) {
    ::close(in);
    return fail("not a regular file");
  }
  // Writing a file over itself would empty it first.
  if (::stat(to.c_str(), &target) == 0 && target.st_dev == source.st_dev &&
      target.st_ino == source.st_ino) {
    ::close(in);
    return fail("same file");
  }
  const bool ok = WriteFileAtomicallyWith(
      to,
      [in](int out) {
        std::vector<char> block(1 << 20);
        for (;;) {
          const ssize_t n = ::read(in, block.data(), block.size());
          if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
          }
          if (n == 0) return 0;
          if (!WriteAll(out, std::string_view(block.data(), static_cast<std::size_t>(n))))
            return errno;
        }
      },
      error);
  ::close(in);
  return ok;
}

bool CanCreateFileIn(const std::string& dir) {
  std::string name;
  int fd = CreateUniqueFile(WithTrailingSlash(dir), "x.$$$", &name);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(name.c_str());
  return true;
}

bool IsDirectory(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

bool PathExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::exists(fs::symlink_status(path, ec));
}

std::string WithTrailingSlash(const std::string& dir) {
  if (dir.empty() || dir.back() == '/') return dir;
  return dir + '/';
}

std::string DirectoryPart(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace plotvue
