// Any bytes as a train file: the loader never crashes, keeps its list within bounds and takes
// only cars that stand in the data folder.
#include <cstdlib>

#include "data/trd.h"
#include "fuzz_support.h"

using namespace kelvara;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static testing::FakeTexts texts;
  static testing::FakeClock clock;
  static fuzzing::CountingMessageBox msg;
  static TRDClass trd = [] {
    TRDClass t(DataPorts{msg, texts, clock});
    t.Finder = fuzzing::FindInMemory;
    return t;
  }();
  trd.NoLoadCouplerBellows = size % 2 == 0;
  trd.Refresh();
  trd.TrainFileName = "/cars/input.trd";
  trd.LoadTrdBytes(std::string_view(reinterpret_cast<const char*>(data), size), fuzzing::kFolder);
  if (trd.CarCount() < 0 || trd.CarCount() > TRDClass::kSlots) std::abort();
  for (int i = 0; i < trd.CarCount(); ++i) {
    const std::int32_t index = trd.CarIndex(i);
    if (index < 0 || index >= trd.Cars.Count()) std::abort();
    const CarFile car = fuzzing::FindInMemory(trd.Cars.FileNameOf(index));
    if (!car.exists) std::abort();
    if (trd.NoLoadCouplerBellows && TrdImageKind(car.width, car.height) == 0) std::abort();
  }
  if (trd.Cars.Count() > CarsClass::kCapacity) std::abort();
  return 0;
}
