// Output file names from the filename mask, and the same token expansion for
// the watermark text.
#ifndef PIC2JPG_ENGINE_NAMING_H_
#define PIC2JPG_ENGINE_NAMING_H_

#include <string>

namespace pic2jpg {

// The name without its last extension and the dot before it ("a.b.pic" gives
// "a.b"); a name without a dot is returned unchanged.
std::string RemoveExtension(const std::string& name);

// Replaces every occurrence of `token` (any letter case) by its current value.
std::string ReplaceMaskToken(const std::string& text, const std::string& token);

// The output file name of the current file from Advanced/Filename Mask.
std::string ExpandFilenameMask();
// Watermark/Text with its tokens replaced; literal text keeps its case.
std::string ExpandTextPlaceholders();
// Output folder + relative subfolder (when kept) + ExpandFilenameMask().
std::string BuildOutputPath();

// True when a path relative to the output folder stays below it: not
// absolute and without a ".." component. Folders inside a mask are fine.
bool RelativePathStaysBelow(const std::string& relative);
// True when `path` lies below `folder` (which ends with "/") by that rule.
bool OutputPathStaysInFolder(const std::string& path, const std::string& folder);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_NAMING_H_
