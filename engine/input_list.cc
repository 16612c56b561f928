#include "engine/input_list.h"

#include <mutex>
#include <random>

namespace pic2jpg {

int DrawRandomNumber() {
  static std::mutex mutex;
  static std::mt19937 generator{std::random_device{}()};
  std::lock_guard<std::mutex> lock(mutex);
  return std::uniform_int_distribution<int>(1, 99999)(generator);
}

}  // namespace pic2jpg
