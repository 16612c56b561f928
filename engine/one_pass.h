// One pass from a PICT picture to a JPEG file: our converter (pict2tga
// --rows, still a process of its own) streams the decoded rows over a pipe
// (platform/row_stream.h) and libjpeg-turbo encodes them as they come, in
// strips on two cores for a large baseline file. No Targa file is written
// and read back, and the rows are held a few strips at a time.
//
// Taken only when no step needs the whole picture: every rotation, resize,
// flip, tone step, frame and watermark is off, and the file is a JPEG whose
// depth follows the picture (Auto) or is 24 bits. The file comes out as the
// codec library's save of the same pixels and flags would make it (see
// jpeg_encoder.h and jpeg_strips.h), with the same name, result and reasons
// as the chain in convert.cc.
//
// A converter that fails, dies or hangs part way, or a stream cut short,
// leaves no output file and no temporary file: the file being written has
// no name until it is whole (fs::StartFileBelow).
#ifndef PIC2JPG_ENGINE_ONE_PASS_H_
#define PIC2JPG_ENGINE_ONE_PASS_H_

#include "engine/convert.h"

namespace pic2jpg {

bool ConvertsInOnePass(const ConversionJob& job);

ConversionResult ConvertInOnePass(const ConversionJob& job);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_ONE_PASS_H_
