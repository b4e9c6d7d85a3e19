#include "base/textfile.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace kelvara {

bool IsValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    // Most text is ASCII: eight bytes at a time while no byte has its top bit set.
    std::uint64_t word;
    if (s.size() - i >= sizeof word && (std::memcpy(&word, s.data() + i, sizeof word), (word & 0x8080808080808080u) == 0)) {
      i += sizeof word;
      continue;
    }
    const auto c = static_cast<unsigned char>(s[i]);
    int extra = 0;
    std::uint32_t cp = 0;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + extra >= s.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      const auto cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) ||
        (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
      return false;
    }
    i += static_cast<std::size_t>(extra) + 1;
  }
  return true;
}

namespace {

// One converter a direction and thread, opened on first use: opening one costs far more than a
// line of text does to convert.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (Ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Replaces what cannot be converted with `bad` and goes on.
  std::string Run(std::string_view in, std::string_view bad, std::size_t badWidth) {
    if (!Ok()) return std::string(in);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    out.reserve(in.size() * 3 / 2 + 16);
    char buf[4096];
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    while (left > 0) {
      char* dst = buf;
      std::size_t room = sizeof buf;
      const std::size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<std::size_t>(dst - buf));
      if (r == static_cast<std::size_t>(-1)) {
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL: skip the offending bytes.
        out += bad;
        const std::size_t skip = std::min(left, badWidth);
        src += skip;
        left -= skip;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    return out;
  }

 private:
  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t cd_;
};

bool IsAscii(std::string_view s) {
  std::size_t i = 0;
  for (std::uint64_t word; s.size() - i >= sizeof word; i += sizeof word) {
    std::memcpy(&word, s.data() + i, sizeof word);
    if (word & 0x8080808080808080u) return false;
  }
  return std::all_of(s.begin() + static_cast<std::ptrdiff_t>(i), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// UTF-8 from CP932 or CP932 from UTF-8: the only two conversions these files need.
std::string Convert(const char* to, std::string_view in, std::string_view bad, std::size_t badWidth) {
  // Both read ASCII as it stands: most lines of most files need no converter.
  if (IsAscii(in)) return std::string(in);
  if (std::string_view(to) == "UTF-8") {
    thread_local Converter fromCp932("UTF-8", "CP932");
    return fromCp932.Run(in, bad, badWidth);
  }
  thread_local Converter toCp932("CP932", "UTF-8");
  return toCp932.Run(in, bad, badWidth);
}

}  // namespace

std::string DecodeText(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return Convert("UTF-8", bytes, "\xEF\xBF\xBD", 1);
}

std::string DecodeCp932(std::string_view bytes) { return Convert("UTF-8", bytes, "\xEF\xBF\xBD", 1); }

bool EncodeCp932Exactly(std::string_view utf8, std::string& out) {
  if (!IsValidUtf8(utf8)) return false;
  out = EncodeCp932(utf8);
  return DecodeCp932(out) == utf8;
}

std::string EncodeCp932(std::string_view utf8) {
  std::size_t width = 1;
  return Convert("CP932", utf8, "?", width);
}

namespace {

constexpr int kNotRegular = -1;  // FileRead::error for a FIFO, a device, a socket or a folder

}  // namespace

std::string FileRead::Reason() const {
  if (error == kNotRegular) return "not a regular file";
  return std::strerror(error);
}

namespace {

// Reads the file whole (`head` 0) or its first `head` bytes.
FileRead Read(const std::string& path, std::size_t limit, std::size_t head) {
  FileRead r;
  // Non-blocking, so that opening a FIFO never waits for a writer; the type is checked before
  // anything is read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    r.error = errno;
    r.missing = errno == ENOENT;
    return r;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    r.error = errno;
  } else if (!S_ISREG(info.st_mode)) {
    r.error = kNotRegular;
  } else if (head == 0 && static_cast<std::uint64_t>(info.st_size) > limit) {
    r.error = EFBIG;
  }
  std::string data;
  if (r.error == 0) {
    data.resize(head > 0 ? head : static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    for (;;) {
      if (done == data.size()) {
        // The file may have grown since: read on, up to the limit and one byte past it.
        if (head > 0 || data.size() > limit) break;
        data.resize(std::min(limit + 1, std::max<std::size_t>(data.size() * 2, 4096)));
      }
      const ssize_t n = ::read(fd, data.data() + done, data.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        r.error = errno;
        break;
      }
      if (n == 0) break;
      done += static_cast<std::size_t>(n);
    }
    data.resize(done);
    if (r.error == 0 && done > limit) r.error = EFBIG;
  }
  ::close(fd);
  if (r.error == 0) r.bytes = std::move(data);
  return r;
}

}  // namespace

FileRead ReadGameFile(const std::string& path, std::size_t limit) { return Read(path, limit, 0); }

FileRead ReadFileHead(const std::string& path, std::size_t count) { return Read(path, count, count); }

std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t limit) {
  FileRead r = ReadGameFile(path, limit);
  if (!r.bytes) errno = r.error == kNotRegular ? EINVAL : r.error;
  return std::move(r.bytes);
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace kelvara
