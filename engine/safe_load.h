// Loading picture files without running a decoder in this process. A PICT
// picture goes through the external converter (our pict2tga, or a stand-in);
// any other picture, and a PICT picture when no converter of ours is there,
// goes through pic2jpg-load, the codec library's readers in a process of
// their own. Either writes a Targa into the caller's private temporary
// folder, which is used only when the helper ended well and the file holds
// all its pixels. A crash, hang or refusal fails the file with a reason;
// what our own reader refuses as damaged is not handed to the library.
//
// Images come back as LoadTarga gives them: possibly a view of `pixels`.
#ifndef PIC2JPG_ENGINE_SAFE_LOAD_H_
#define PIC2JPG_ENGINE_SAFE_LOAD_H_

#include <FreeImage.h>

#include <string>

#include "engine/external_converter.h"
#include "engine/targa_load.h"

namespace pic2jpg {

// True for a name with a PICT extension (pic, pict, pct, any letter case) or
// a file that begins like a PICT picture.
bool IsPictFile(const std::string& path);

// Why a converter's run failed, from its exit status (RunProgram's; the
// helpers' own codes: 2 input unreadable, 3 picture refused, 4 output not
// written; 0 for output that is not whole) and its standard error.
std::string DescribeConverterFailure(int status, const std::string& error_text,
                                     const std::string& input_path, int timeout_seconds);

// False, with the system's reason, for a file that cannot be opened.
bool Readable(const std::string& path, std::string* reason);

// The input picture of a conversion, decoded as `decoding` says. Null on
// failure, with `reason` set ("damaged picture: truncated: ...",
// "permission denied", ...).
FIBITMAP* LoadInputPicture(const std::string& path, const std::string& temp_folder,
                           const PictureDecoding& decoding, TargaPixels* pixels,
                           std::string* reason);

// Any picture the codec library reads, or a PICT picture (watermark images).
FIBITMAP* LoadAnyPicture(const std::string& path, const std::string& temp_folder,
                         const PictureDecoding& decoding, TargaPixels* pixels, std::string* reason);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_SAFE_LOAD_H_
