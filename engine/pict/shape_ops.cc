#include "engine/pict/decoder.h"

namespace pic2jpg::pict {

bool DoShapeOp(Decoder* d, int op) { return SkipOpcode(d, op); }

}  // namespace pic2jpg::pict
