#include "runlist/run_state.h"

namespace pic2jpg {

RunState g_run_state;
InputList g_input_list;

}  // namespace pic2jpg
