// SPDX-License-Identifier: MIT
#include "batch/file_source.h"

#include <cerrno>
#include <climits>
#include <string>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace rms {

FileIdentity identityOf(int descriptor) {
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor));
  BY_HANDLE_FILE_INFORMATION information{};
  if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &information)) {
    return {};
  }
  const unsigned long long index =
      (static_cast<unsigned long long>(information.nFileIndexHigh) << 32) |
      information.nFileIndexLow;
  return {information.dwVolumeSerialNumber, index, true,
          GetFileType(handle) == FILE_TYPE_DISK &&
              (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0};
}

// _write waits for a Windows pipe to take the bytes; there is no EAGAIN to wait out.
bool writeStandardOutput(std::string_view bytes) {
  while (!bytes.empty()) {
    const unsigned int size =
        bytes.size() > INT_MAX ? INT_MAX : static_cast<unsigned int>(bytes.size());
    const int count = ::_write(1, bytes.data(), size);
    if (count < 0) {
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(count));
  }
  return true;
}

// The path is UTF-8 (the command line reads it from the UTF-16 command line), opened with
// the wide function, which takes any name the file system holds.
std::optional<FileSource> FileSource::open(const std::string& path) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
  if (size <= 0) {
    errno = EINVAL;
    return std::nullopt;
  }
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), size);
  const int descriptor = ::_wopen(wide.c_str(), _O_RDONLY | _O_BINARY);
  if (descriptor < 0) {
    return std::nullopt;
  }
  return FileSource(descriptor, true);
}

void FileSource::close(int descriptor) {
  ::_close(descriptor);
}

long FileSource::readSome(char* buffer, size_t size) {
  // _read takes an unsigned int; a pipe returns what it holds, as on other systems.
  const unsigned int count = size > INT_MAX ? INT_MAX : static_cast<unsigned int>(size);
  return ::_read(descriptor_, buffer, count);
}

}  // namespace rms
