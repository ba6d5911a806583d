// Small file-system helpers shared by the modules that write the program's own files (the
// settings file, the history file): replacing a file atomically, testing whether a directory
// takes new files, and composing directory paths. Stateless: every call works on the paths it is
// given.
#ifndef PLOTVUE_BASE_FILEUTIL_H_
#define PLOTVUE_BASE_FILEUTIL_H_

#include <functional>
#include <string>
#include <string_view>

namespace plotvue {

// Replaces the file at `path` by `bytes` so that readers see either the old file or the whole new
// one: the bytes go to a new temporary file in the target's directory, which is flushed to disk
// (fsync) and then renamed over the target. A symbolic link at `path` is written through to the
// file it names. An existing target keeps its permission bits. On every failure (unwritable or
// missing directory, full disk, target is a directory or another non-regular file) the
// temporary file is removed, the old
// file stays as it was, false is returned and `*error` (when not null) gets a short reason.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error);

// The same with the content written by `fill` into the temporary file's descriptor; `fill`
// returns 0, or the errno value of its failure.
bool WriteFileAtomicallyWith(const std::string& path, const std::function<int(int fd)>& fill,
                             std::string* error);

// Copies the file `from` byte for byte to `to`, atomically as above, in blocks (a file of any
// size). Refuses a source that is not a regular file and a target that is the source itself.
bool CopyFileAtomically(const std::string& from, const std::string& to, std::string* error);

// True when a new file can be created in `dir` (empty means the current directory): a uniquely
// named file is created there and removed again. Never touches an existing file.
bool CanCreateFileIn(const std::string& dir);

// True when `path` names an existing directory (following symbolic links).
bool IsDirectory(const std::string& path);

// True when `path` names an existing file system entry of any kind.
bool PathExists(const std::string& path);

// `dir` with a "/" appended when it does not already end in one; an empty text stays empty
// (the current directory).
std::string WithTrailingSlash(const std::string& dir);

// The directory part of `path` up to and including its last "/", or empty when it has none.
std::string DirectoryPart(const std::string& path);

}  // namespace plotvue

#endif  // PLOTVUE_BASE_FILEUTIL_H_
