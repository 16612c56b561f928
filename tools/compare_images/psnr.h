// Peak signal-to-noise ratio of two pictures, the one measure of fidelity
// used by compare_images, the fidelity benchmark and the tests.
#ifndef PIC2JPG_TOOLS_COMPARE_IMAGES_PSNR_H_
#define PIC2JPG_TOOLS_COMPARE_IMAGES_PSNR_H_

#include <FreeImage.h>

namespace pic2jpg {

// PSNR in dB of `a` against `b` after both are turned into 24-bit RGB; 99
// for identical pictures, -1 when the sizes differ or either is null.
double Psnr(FIBITMAP* a, FIBITMAP* b);

}  // namespace pic2jpg

#endif  // PIC2JPG_TOOLS_COMPARE_IMAGES_PSNR_H_
