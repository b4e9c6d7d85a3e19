// Any bytes as a train file: the loader never crashes and keeps its list within bounds.
#include <cstdlib>

#include "data/trd.h"
#include "fuzz_support.h"

using namespace kelvara;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static testing::FakeTexts texts;
  static testing::FakeClock clock;
  static fuzzing::CountingMessageBox msg;
  static TRDClass trd(DataPorts{msg, texts, clock});
  trd.NoLoadCouplerBellows = size % 2 == 0;
  trd.Refresh();
  trd.TrainFileName = fuzzing::WriteInput("input.trd", data, size);
  trd.LoadTrd();
  if (trd.CarCount() < 0 || trd.CarCount() > TRDClass::kSlots) std::abort();
  for (int i = 0; i < trd.CarCount(); ++i) {
    if (trd.CarIndex(i) < 0 || trd.CarIndex(i) >= trd.Cars.Count()) std::abort();
  }
  return 0;
}
