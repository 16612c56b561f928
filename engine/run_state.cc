#include "engine/run_state.h"

#include <random>

namespace pic2jpg {

RunState g_run_state;
ConversionProgress g_progress;
std::mutex g_progress_mutex;
InputList g_input_list;

int DrawRandomNumber() {
  static std::mt19937 generator{std::random_device{}()};
  return std::uniform_int_distribution<int>(1, 99999)(generator);
}

}  // namespace pic2jpg
