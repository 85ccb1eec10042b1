// replace: giving a file new contents so that a failed write leaves the old
// contents whole, and the temporary files that this takes.
#pragma once

#include <sys/stat.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/api.h"

namespace platform {
// Writes all n bytes, going on after interrupted and short writes. Past a
// file-size limit the write fails (EFBIG) instead of the signal ending the
// process.
PLATFORM_API bool WriteAll(int fd, const void* data, size_t n);
// Makes a file-size limit fail writes (EFBIG) rather than end the process,
// unless the host has its own handler for the signal. WriteAll calls it.
PLATFORM_API void KeepFileSizeLimitFromKilling();

// Creates an empty file beside `target` (same folder) for its new
// contents, locked (flock) for as long as the descriptor is open. Its name
// is the target's name (shortened to fit the file system's name length),
// ".tmp-", the new file's own inode number in hex, "-" and six random
// characters: the number tells a file this program left behind from a
// user's file of a like name. Returns the descriptor and sets `temp`, or
// -1 with errno set.
PLATFORM_API int CreateTempBeside(const std::string& target, std::string& temp);
// Removes the temporary files that replacing `path` left behind when the
// process was killed during the write: only files named as
// CreateTempBeside names them whose inode is the one in their name, that
// belong to this user and that no process holds locked any more. Through
// symbolic links as ReplaceFileContents.
PLATFORM_API void RemoveLeftTempsBeside(const std::string& path);

// What stands at the path about to be replaced, once its links are
// followed: `target` the file's path, `existing` its status (nullptr when
// there is no file), to be opened as `name` in the folder `folder` (a
// descriptor for openat). Returning false refuses the replacement; errno
// then says why.
using ReplaceCheck = std::function<bool(const std::string& target, int folder,
                                        const std::string& name, const struct stat* existing)>;

// Gives the file at `path` the concatenated pieces as its new contents.
// They are written to a temporary file in the file's folder, which then
// takes the file's place, so a failed write (a full disk, a file-size
// limit) leaves the old file whole and nothing behind; what stands at the
// path is looked at again just before, and a file put there meanwhile is
// left alone. Through a symbolic link the file it names is replaced; the
// new file keeps the old one's permissions and, where allowed, owner; a new
// file gets 0666 less the umask. A writable file in a folder that takes no
// new names is rewritten in place, its old bytes written back when the
// write fails. A character device (/dev/null) is written in place; a
// folder, FIFO or socket is refused, as is whatever `mayReplace` refuses.
// false with errno set.
PLATFORM_API bool ReplaceFileContents(const std::string& path,
                                      std::initializer_list<std::string_view> pieces,
                                      const ReplaceCheck& mayReplace = {});
}  // namespace platform
