#include "platform/rtl/Files.h"

#include "platform/rtl/Exceptions.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rtl {

namespace {

[[noreturn]] void RaiseIo(const std::string &what, const std::string &path, int err) {
  throw EInOutError(what + " \"" + path + "\": " + std::strerror(err));
}

std::string FolderOf(const std::string &path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

} // namespace

std::string ReadFileBytes(const std::string &path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) RaiseIo("Cannot open file", path, errno);
  std::string bytes;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      RaiseIo("Cannot read file", path, err);
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return bytes;
}

void WriteFileAtomic(const std::string &path, std::string_view bytes) {
  std::string tmp = FolderOf(path) + "/.kvel-save-XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) RaiseIo("Cannot write file", path, errno);

  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(tmp.c_str());
    RaiseIo("Cannot write file", path, err);
  };

  // Keep the permissions of the file being replaced; a new file gets the
  // usual ones, less the umask.
  struct stat st {};
  mode_t mode = 0666;
  if (::stat(path.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  if (::fchmod(fd, mode) != 0) fail(errno);

  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) fail(errno);
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(tmp.c_str());
    RaiseIo("Cannot write file", path, err);
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(tmp.c_str());
    RaiseIo("Cannot write file", path, err);
  }
}

bool FileExists(const std::string &path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    auto end = bytes.find('\n', start);
    const bool last = end == std::string_view::npos;
    if (last) end = bytes.size();
    std::size_t stop = end;
    if (!last && stop > start && bytes[stop - 1] == '\r') --stop;
    lines.emplace_back(bytes.substr(start, stop - start));
    start = last ? bytes.size() : end + 1;
  }
  return lines;
}

std::string JoinLinesCrLf(const std::vector<std::string> &lines) {
  std::string out;
  for (const auto &l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

} // namespace rtl
