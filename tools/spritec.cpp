// Turns the text-grid sprite sheet into 24-bit Windows bitmaps.
//   spritec SHEET OUTPUT_FOLDER
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Rgb {
  std::uint8_t r, g, b;
};

bool ParseColour(const std::string& text, Rgb& out) {
  if (text.size() != 7 || text[0] != '#') return false;
  unsigned v = 0;
  if (std::sscanf(text.c_str() + 1, "%6x", &v) != 1) return false;
  out = {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
  return true;
}

void Put32(std::string& s, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put16(std::string& s, std::uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}

std::string Bitmap(const std::vector<std::string>& rows, const std::map<char, Rgb>& palette) {
  const auto w = static_cast<std::uint32_t>(rows[0].size());
  const auto h = static_cast<std::uint32_t>(rows.size());
  const std::uint32_t stride = (w * 3 + 3) & ~3u;
  const std::uint32_t size = 54 + stride * h;
  std::string s;
  s += "BM";
  Put32(s, size);
  Put32(s, 0);
  Put32(s, 54);
  Put32(s, 40);
  Put32(s, w);
  Put32(s, h);
  Put16(s, 1);
  Put16(s, 24);
  Put32(s, 0);
  Put32(s, stride * h);
  Put32(s, 2835);
  Put32(s, 2835);
  Put32(s, 0);
  Put32(s, 0);
  for (std::uint32_t y = h; y-- > 0;) {  // bottom-up rows
    std::string line;
    for (char c : rows[y]) {
      const Rgb& p = palette.at(c);
      line += static_cast<char>(p.b);
      line += static_cast<char>(p.g);
      line += static_cast<char>(p.r);
    }
    line.resize(stride, '\0');
    s += line;
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: spritec SHEET OUTPUT_FOLDER\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << "spritec: cannot read " << argv[1] << "\n";
    return 1;
  }
  const std::string outDir = argv[2];
  const std::map<char, Rgb> shared = {
      {'.', {0, 0, 0}}, {'k', {0x22, 0x22, 0x22}}, {'g', {0x88, 0x88, 0x88}}, {'w', {0xF4, 0xF4, 0xF4}}};
  std::map<std::string, std::vector<std::string>> shapes;
  std::string current;
  std::string line;
  int lineNo = 0;
  int written = 0;
  auto fail = [&](const std::string& why) {
    std::cerr << argv[1] << ":" << lineNo << ": " << why << "\n";
    return 1;
  };
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') {
      current.clear();
      continue;
    }
    std::istringstream words(line);
    std::string first;
    words >> first;
    if (first == "shape") {
      words >> current;
      shapes[current].clear();
    } else if (first == "image") {
      std::string file, eq, shape;
      words >> file >> eq >> shape;
      if (eq != "=" || !shapes.count(shape)) return fail("image needs: FILE = KNOWN_SHAPE");
      std::map<char, Rgb> palette = shared;
      std::string entry;
      while (words >> entry) {
        Rgb c;
        if (entry.size() < 3 || entry[1] != '=' || !ParseColour(entry.substr(2), c)) return fail("bad colour " + entry);
        palette[entry[0]] = c;
      }
      const auto& rows = shapes[shape];
      for (const auto& r : rows) {
        for (char c : r) {
          if (!palette.count(c)) return fail(std::string("no colour for '") + c + "' in " + file);
        }
      }
      std::ofstream out(outDir + "/" + file, std::ios::binary);
      const std::string bmp = Bitmap(rows, palette);
      out.write(bmp.data(), static_cast<std::streamsize>(bmp.size()));
      if (!out) return fail("cannot write " + file);
      ++written;
    } else if (!current.empty()) {
      auto& rows = shapes[current];
      if (!rows.empty() && rows[0].size() != line.size()) return fail("row width differs in shape " + current);
      rows.push_back(line);
    } else {
      return fail("unexpected line");
    }
  }
  std::cout << "spritec: " << written << " bitmaps\n";
  return written > 0 ? 0 : 1;
}
