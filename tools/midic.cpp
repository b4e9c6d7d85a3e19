// Turns the tune sheet into standard MIDI files and a C++ source that carries them as resources.
//   midic SHEET OUTPUT_CPP [MIDI_FOLDER]
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kTicksPerQuarter = 480;

struct Event {
  std::uint32_t tick;
  int order;  // note-offs before note-ons at the same tick
  std::vector<std::uint8_t> bytes;
};

struct Tune {
  std::string name;
  int tempo = 120;
  std::vector<std::vector<Event>> tracks;
};

void PutVarLen(std::vector<std::uint8_t>& out, std::uint32_t v) {
  std::uint8_t buf[5];
  int n = 0;
  buf[n++] = v & 0x7F;
  while (v >>= 7) buf[n++] = static_cast<std::uint8_t>((v & 0x7F) | 0x80);
  while (n--) out.push_back(buf[n]);
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

std::vector<std::uint8_t> Track(std::vector<Event> events) {
  std::stable_sort(events.begin(), events.end(),
                   [](const Event& a, const Event& b) { return a.tick != b.tick ? a.tick < b.tick : a.order < b.order; });
  std::vector<std::uint8_t> body;
  std::uint32_t last = 0;
  for (const Event& e : events) {
    PutVarLen(body, e.tick - last);
    last = e.tick;
    body.insert(body.end(), e.bytes.begin(), e.bytes.end());
  }
  body.insert(body.end(), {0x00, 0xFF, 0x2F, 0x00});
  std::vector<std::uint8_t> out = {'M', 'T', 'r', 'k'};
  Put32(out, static_cast<std::uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

std::vector<std::uint8_t> Smf(const Tune& t) {
  std::vector<std::uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
  const auto tracks = static_cast<std::uint16_t>(t.tracks.size() + 1);
  out.push_back(static_cast<std::uint8_t>(tracks >> 8));
  out.push_back(static_cast<std::uint8_t>(tracks));
  out.push_back(kTicksPerQuarter >> 8);
  out.push_back(kTicksPerQuarter & 0xFF);
  const std::uint32_t usPerQuarter = 60000000u / static_cast<std::uint32_t>(t.tempo);
  std::vector<Event> conductor = {{0, 0,
                                   {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(usPerQuarter >> 16),
                                    static_cast<std::uint8_t>(usPerQuarter >> 8), static_cast<std::uint8_t>(usPerQuarter)}}};
  const auto c = Track(conductor);
  out.insert(out.end(), c.begin(), c.end());
  for (const auto& events : t.tracks) {
    const auto tr = Track(events);
    out.insert(out.end(), tr.begin(), tr.end());
  }
  return out;
}

// "C4" is middle C (60); "F#3", "Bb2"; a drum voice takes key numbers ("36").
bool ParsePitch(const std::string& s, int& key) {
  if (!s.empty() && std::isdigit(static_cast<unsigned char>(s[0]))) {
    key = std::stoi(s);
    return key >= 0 && key < 128;
  }
  static const std::map<char, int> base = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}, {'A', 9}, {'B', 11}};
  if (s.size() < 2 || !base.count(s[0])) return false;
  std::size_t i = 1;
  int k = base.at(s[0]);
  if (s[i] == '#') {
    ++k;
    ++i;
  } else if (s[i] == 'b') {
    --k;
    ++i;
  }
  if (i >= s.size()) return false;
  key = (std::stoi(s.substr(i)) + 1) * 12 + k;
  return key >= 0 && key < 128;
}

// "4" quarter, "8." dotted eighth, "2" half.
bool ParseLength(const std::string& s, std::uint32_t& ticks) {
  const bool dotted = !s.empty() && s.back() == '.';
  const int d = std::stoi(dotted ? s.substr(0, s.size() - 1) : s);
  if (d <= 0 || (kTicksPerQuarter * 4) % d != 0) return false;
  ticks = static_cast<std::uint32_t>(kTicksPerQuarter * 4 / d);
  if (dotted) ticks += ticks / 2;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: midic SHEET OUTPUT_CPP [MIDI_FOLDER]\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << "midic: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::vector<Tune> tunes;
  std::string line;
  int lineNo = 0;
  auto fail = [&](const std::string& why) {
    std::cerr << argv[1] << ":" << lineNo << ": " << why << "\n";
    return 1;
  };
  while (std::getline(in, line)) {
    ++lineNo;
    std::istringstream words(line);
    std::string first;
    if (!(words >> first) || first[0] == '#') continue;  // "#" starts a comment line; F#4 is a note
    if (first == "tune") {
      Tune t;
      std::string tempoWord;
      words >> t.name >> tempoWord >> t.tempo;
      if (t.name.empty() || tempoWord != "tempo" || t.tempo <= 0) return fail("tune NAME tempo BPM");
      tunes.push_back(t);
    } else if (first == "voice" || first == "drums") {
      if (tunes.empty()) return fail("voice before tune");
      int channel = 9, program = 0, velocity = 0;
      if (first == "voice") words >> channel >> program;
      words >> velocity;
      std::string colon;
      words >> colon;
      if (colon != ":" || channel < 0 || channel > 15 || velocity <= 0 || velocity > 127) {
        return fail("voice CHANNEL PROGRAM VELOCITY : notes  /  drums VELOCITY : notes");
      }
      std::vector<Event> events;
      if (first == "voice") events.push_back({0, 0, {static_cast<std::uint8_t>(0xC0 | channel), static_cast<std::uint8_t>(program)}});
      std::uint32_t tick = 0;
      std::string token;
      while (words >> token) {
        const auto slash = token.find('/');
        std::uint32_t len = 0;
        if (slash == std::string::npos || !ParseLength(token.substr(slash + 1), len)) return fail("bad length in " + token);
        const std::string pitches = token.substr(0, slash);
        if (pitches != "r") {
          std::istringstream chord(pitches);
          std::string p;
          while (std::getline(chord, p, '+')) {
            int key = 0;
            if (!ParsePitch(p, key)) return fail("bad pitch " + p);
            const auto k = static_cast<std::uint8_t>(key);
            // Notes are held a little short of their length so repeated notes sound apart.
            events.push_back({tick, 1, {static_cast<std::uint8_t>(0x90 | channel), k, static_cast<std::uint8_t>(velocity)}});
            events.push_back({tick + len * 9 / 10, 0, {static_cast<std::uint8_t>(0x80 | channel), k, 0}});
          }
        }
        tick += len;
      }
      tunes.back().tracks.push_back(events);
    } else {
      return fail("unexpected " + first);
    }
  }
  std::ofstream cpp(argv[2]);
  cpp << "// Generated by midic from the tune sheet; do not edit.\n#include \"sound/resources.h\"\n\n"
         "namespace kelvara {\n\nnamespace {\n";
  for (std::size_t i = 0; i < tunes.size(); ++i) {
    const auto bytes = Smf(tunes[i]);
    if (argc > 3) {
      std::ofstream mid(std::string(argv[3]) + "/" + tunes[i].name, std::ios::binary);
      mid.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    cpp << "const unsigned char kTune" << i << "[] = {";
    for (std::size_t b = 0; b < bytes.size(); ++b) cpp << (b % 16 ? " " : "\n    ") << static_cast<int>(bytes[b]) << ",";
    cpp << "\n};\n";
  }
  cpp << "}  // namespace\n\nconst std::vector<Resource>& BuiltInResources() {\n  static const std::vector<Resource> all = {\n";
  for (std::size_t i = 0; i < tunes.size(); ++i) {
    cpp << "      {\"DMSEG\", \"" << tunes[i].name << "\", std::string(reinterpret_cast<const char*>(kTune" << i
        << "), sizeof kTune" << i << ")},\n";
  }
  cpp << "  };\n  return all;\n}\n\n}  // namespace kelvara\n";
  if (!cpp) return fail("cannot write " + std::string(argv[2]));
  std::cout << "midic: " << tunes.size() << " tunes\n";
  return tunes.empty() ? 1 : 0;
}
