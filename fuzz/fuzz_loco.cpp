// Any bytes as a locomotive list: never a crash, never more than 51 sets, never an empty set,
// every unit a car of the data folder.
#include <cstdlib>

#include "data/loco.h"
#include "fuzz_support.h"

using namespace kelvara;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static testing::FakeTexts texts;
  static testing::FakeClock clock;
  static fuzzing::CountingMessageBox msg;
  static LocoClass loco = [] {
    LocoClass l(DataPorts{msg, texts, clock});
    l.Finder = fuzzing::FindInMemory;
    return l;
  }();
  loco.NoLoadCouplerBellows = size % 2 == 0;
  loco.Refresh();
  loco.LoadLstBytes(std::string_view(reinterpret_cast<const char*>(data), size), fuzzing::kFolder);
  if (loco.LocoSetCount() < 0 || loco.LocoSetCount() > LocoClass::kSets) std::abort();
  for (int s = 0; s < loco.LocoSetCount(); ++s) {
    loco.LocoSetIndex(s);
    if (loco.CarCount() < 1 || loco.CarCount() > 10) std::abort();
    for (int p = 0; p < loco.CarCount(); ++p) {
      if (!fuzzing::FindInMemory(loco.Cars.FileNameOf(loco.CarIndex(p))).exists) std::abort();
    }
  }
  return 0;
}
