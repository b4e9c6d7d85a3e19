#include "model/yard.h"

#include "data/mylib.h"

namespace kelvara {

std::string Slot::Text() const {
  switch (kind_) {
    case Kind::Empty:
      return " .";
    case Kind::Loco:
      return "L" + std::to_string(number_);
    case Kind::Car:
      break;
  }
  return std::to_string(number_);
}

int Yard::GetLocoNum(int line) const {
  int n = 0;
  for (int p = 0; p < kVisible; ++p) n += at(line, p).IsLoco() ? 1 : 0;
  return n;
}

int Yard::GetCarNum(int line) const {
  int n = 0;
  for (int p = 0; p < kVisible; ++p) n += at(line, p).IsCar() ? 1 : 0;
  return n;
}

int Yard::FirstLocoPosition(int line) const {
  for (int p = 0; p < kVisible; ++p) {
    if (at(line, p).IsLoco()) return p;
  }
  return -1;
}

int Yard::GetLocoAfterPosition(int line) const {
  const int p = FirstLocoPosition(line);
  if (p < 0) return kVisible;
  int q = p + 1;
  while (q < kVisible && at(line, q).IsLoco()) ++q;
  return q;
}

int Yard::GetCoupledCarsNum(int line) const {
  const int p = FirstLocoPosition(line);
  const int q = GetLocoAfterPosition(line);
  if (p < 0 || q >= kVisible) return 0;
  int r = q;
  while (r < kVisible && !at(line, r).IsEmpty()) ++r;
  return r - p;
}

int Yard::GetMaxPushing(int line) const {
  if (FirstLocoPosition(line) < 0) return 0;
  int n = 0;
  for (int p = GetLocoAfterPosition(line); p < kVisible; ++p) n += at(line, p).IsEmpty() ? 1 : 0;
  return n;
}

std::string Yard::DumpLine(int line) const {
  std::string out = "Line " + std::to_string(line) + ":";
  for (int p = 0; p < kVisible; ++p) {
    out += MyLibClass::RightAlignmentStrings(at(line, p).Text(), 2);
    out += ' ';
  }
  return out;
}

}  // namespace kelvara
