// The byte stream of one plot file. It reads through a large buffer, so the interpreter takes one
// byte at a time with an inline call and no system call or virtual call per byte; memory use does
// not depend on the file size. A string source serves tests.
#ifndef PLOTVUE_INPUT_BYTESOURCE_H_
#define PLOTVUE_INPUT_BYTESOURCE_H_

#include <cstdint>
#include <string>
#include <vector>

#include "base/services.h"

namespace plotvue {

class ByteSource {
 public:
  static constexpr std::size_t kBufferSize = 1 << 20;
  // Zero bytes after the data in the buffer: a sentinel, and room for 8-byte reads at limit().
  static constexpr std::size_t kPadding = 16;

  // A source over the bytes of `text` (copied).
  static ByteSource FromString(std::string text);

  ByteSource(ByteSource&& other) noexcept;
  ByteSource& operator=(ByteSource&&) = delete;
  ByteSource(const ByteSource&) = delete;
  ~ByteSource();

  // Opens a file for reading. Fails (returns false) when the path cannot be opened for reading
  // or names anything but a regular file (a directory, a FIFO, a device).
  static bool Open(const std::string& path, ByteSource* out);

  // The next byte (0..255), or -1 at the end of the data. A read error also ends the data and
  // sets failed().
  int Next() {
    if (pos_ < end_) return static_cast<unsigned char>(*pos_++);
    return Refill();
  }

  // True when no byte remains (reads ahead into the buffer without consuming anything).
  bool AtEnd() {
    if (pos_ < end_) return false;
    return !Fill();
  }

  // The unread bytes of the buffer, for readers that scan a token in place. Advance(p) consumes
  // up to p (cursor() <= p <= limit()). The bytes from limit() on are NUL (kPadding of them), so a
  // scan for digits or blanks stops there without testing the limit on every byte, and 8 bytes
  // may be read at any position up to limit().
  const char* cursor() const { return pos_; }
  const char* limit() const { return end_; }
  void Advance(const char* p) { pos_ = p; }

  bool failed() const { return failed_; }
  // Bytes delivered so far.
  std::uint64_t consumed() const { return base_ + static_cast<std::uint64_t>(pos_ - buf_.data()); }
  // Size of the file when known (0 for pipes).
  std::uint64_t size() const { return size_; }

  // Called after every buffer refill with the bytes read so far and the file size.
  void SetProgress(ProgressService* progress) { progress_ = progress; }

 private:
  ByteSource() = default;
  int Refill();
  bool Fill();  // loads the next block; false at the end of the data

  int fd_ = -1;
  std::vector<char> buf_;
  const char* pos_ = nullptr;
  const char* end_ = nullptr;
  std::uint64_t base_ = 0;  // file offset of buf_[0]
  std::uint64_t size_ = 0;
  bool failed_ = false;
  bool eof_ = false;
  ProgressService* progress_ = nullptr;
};

}  // namespace plotvue

#endif  // PLOTVUE_INPUT_BYTESOURCE_H_
