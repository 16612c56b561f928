// Output file names from the filename mask, and the same token expansion for
// the watermark text.
#ifndef PIC2JPG_ENGINE_NAMING_H_
#define PIC2JPG_ENGINE_NAMING_H_

#include <cstdint>
#include <string>

#include "settings/settings.h"

namespace pic2jpg {

// The values the tokens stand for, for one file.
struct NameContext {
  std::string input_path;        // %filename%
  std::string output_extension;  // %ext%
  int32_t depth = 0;             // %bpp%: the depth the file is saved with
  int32_t width = 0;             // %width%, %height%: the size after the resize step
  int32_t height = 0;
  int32_t random_number = 0;  // %rnd%
  int32_t counter = 0;        // %n%
};

// A uniform draw from 1 to 99999: the %rnd% value of the name mask. Safe
// from any thread.
int DrawRandomNumber();

// The name without its last extension and the dot before it ("a.b.pic" gives
// "a.b"); a name without a dot is returned unchanged.
std::string RemoveExtension(const std::string& name);

// Replaces every occurrence of `token` (any letter case) by its value.
std::string ReplaceMaskToken(const std::string& text, const std::string& token,
                             const NameContext& context);

// The output file name from Advanced/Filename Mask (empty: "%filename%.%ext%").
std::string ExpandFilenameMask(const std::string& filename_mask, const NameContext& context);
// Watermark/Text with its tokens replaced; literal text keeps its case.
std::string ExpandTextPlaceholders(const std::string& watermark_text, const NameContext& context);
// Output folder + relative subfolder (when kept) + the expanded mask.
std::string BuildOutputPath(const AdvancedSettings& advanced, const std::string& output_folder,
                            const std::string& relative_subfolder, const NameContext& context);

// True when a path relative to the output folder stays below it: not
// absolute and without a ".." component. Folders inside a mask are fine.
bool RelativePathStaysBelow(const std::string& relative);
// True when `path` lies below `folder` (which ends with "/") by that rule.
bool OutputPathStaysInFolder(const std::string& path, const std::string& folder);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_NAMING_H_
