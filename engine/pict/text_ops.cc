#include "engine/pict/decoder.h"

namespace pic2jpg::pict {

bool DoTextOp(Decoder* d, int op) { return SkipOpcode(d, op); }

}  // namespace pic2jpg::pict
