#include "engine/run_state.h"

namespace pic2jpg {

RunState g_run_state;
ConversionProgress g_progress;
std::mutex g_progress_mutex;
InputList g_input_list;

}  // namespace pic2jpg
