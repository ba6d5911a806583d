#include "input/sinks.h"

namespace plotvue {

int TurboColor(int pen) {
  static constexpr int kColours[8] = {0, 12, 14, 10, 11, 9, 13, 15};
  return (pen >= 1 && pen <= 7) ? kColours[pen] : pen;
}

}  // namespace plotvue
