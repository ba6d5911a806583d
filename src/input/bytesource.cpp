#include "input/bytesource.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace plotvue {

ByteSource ByteSource::FromString(std::string text) {
  ByteSource s;
  s.buf_.assign(text.begin(), text.end());
  s.buf_.resize(s.buf_.size() + kPadding, '\0');  // sentinel and padding
  s.pos_ = s.buf_.data();
  s.end_ = s.buf_.data() + text.size();
  s.size_ = text.size();
  s.eof_ = true;
  return s;
}

ByteSource::ByteSource(ByteSource&& o) noexcept
    : fd_(std::exchange(o.fd_, -1)),
      buf_(std::move(o.buf_)),
      pos_(o.pos_),
      end_(o.end_),
      base_(o.base_),
      size_(o.size_),
      failed_(o.failed_),
      eof_(o.eof_),
      progress_(o.progress_) {}

ByteSource::~ByteSource() {
  if (fd_ >= 0) ::close(fd_);
}

bool ByteSource::Open(const std::string& path, ByteSource* out) {
  // Opened without blocking, so that a FIFO with no writer does not hang the open.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  // Only regular files: a run reads its file more than once (scan, then convert or draw), which
  // a FIFO cannot give twice, and a device such as /dev/zero would never end.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (out->fd_ >= 0) ::close(out->fd_);
  out->fd_ = fd;
  out->buf_.assign(kBufferSize + kPadding, 0);
  out->pos_ = out->end_ = out->buf_.data();
  out->base_ = 0;
  out->size_ = static_cast<std::uint64_t>(st.st_size);
  out->failed_ = false;
  out->eof_ = false;
#ifdef POSIX_FADV_SEQUENTIAL
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
  return true;
}

bool ByteSource::Fill() {
  if (eof_ || fd_ < 0) return false;
  base_ += static_cast<std::uint64_t>(end_ - buf_.data());
  ssize_t n;
  do {
    n = ::read(fd_, buf_.data(), kBufferSize);
  } while (n < 0 && errno == EINTR);
  if (n <= 0) {
    if (n < 0) failed_ = true;
    eof_ = true;
    pos_ = end_ = buf_.data();
    return false;
  }
  pos_ = buf_.data();
  end_ = buf_.data() + n;
  std::fill_n(buf_.begin() + n, kPadding, '\0');
  if (progress_) progress_->Progress(base_ + static_cast<std::uint64_t>(n), size_);
  return true;
}

int ByteSource::Refill() {
  if (!Fill()) return -1;
  return static_cast<unsigned char>(*pos_++);
}

}  // namespace plotvue
