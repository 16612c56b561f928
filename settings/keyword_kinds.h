// The keyword lists of small enumerated settings: the numbers by which the
// settings table names the list of a setting's option values and debug lines,
// and the keyword reader (cli/keywords.h) finds it.
#ifndef PIC2JPG_SETTINGS_KEYWORD_KINDS_H_
#define PIC2JPG_SETTINGS_KEYWORD_KINDS_H_

namespace pic2jpg {

// Kind numbers, by the settings they serve.
enum OptionKind : int {
  kKindDdsLoadAs = 0,
  kKindRawLoadAs = 1,
  kKindFrameLoading = 2,
  kKindRawToneMapping = 3,
  kKindCompression = 4,
  kKindBmpColorTable = 5,
  kKindTiffColorModel = 6,
  kKindJpgChroma = 7,
  kKindJpgSaveAs = 8,
  kKindRotationType = 9,
  kKindSizeUnit = 10,
  kKindResizeType = 11,
  kKindResizeAlgorithm = 12,
  kKindFrame = 13,      // listing only
  kKindWatermark = 14,  // listing only
  kKindFontStyle = 15,
  kKindFontEffect = 16,
  kKindTextAlignment = 17,
  kKindBoundary = 18,
  kKindPosition = 19,
  kKindWatermarkSize = 20,
  kKindFileTimestamp = 21,
};
inline constexpr int kOptionKindCount = 22;

}  // namespace pic2jpg

#endif  // PIC2JPG_SETTINGS_KEYWORD_KINDS_H_
