// Any bytes as a locomotive list: never a crash, never more than 51 sets, never an empty set.
#include <cstdlib>

#include "data/loco.h"
#include "fuzz_support.h"

using namespace kelvara;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static testing::FakeTexts texts;
  static testing::FakeClock clock;
  static fuzzing::CountingMessageBox msg;
  static LocoClass loco(DataPorts{msg, texts, clock});
  loco.NoLoadCouplerBellows = size % 2 == 0;
  fuzzing::WriteInput("loco.lst", data, size);
  loco.Refresh();
  loco.LoadLst(fuzzing::ScratchFolder());
  if (loco.LocoSetCount() < 0 || loco.LocoSetCount() > LocoClass::kSets) std::abort();
  for (int s = 0; s < loco.LocoSetCount(); ++s) {
    loco.LocoSetIndex(s);
    if (loco.CarCount() < 1 || loco.CarCount() > 10) std::abort();
  }
  return 0;
}
