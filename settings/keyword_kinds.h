// The keyword lists of small enumerated settings: the numbers by which the
// settings table names the list of a setting's option values and debug lines,
// and the keyword reader (cli/keywords.h) finds it.
#ifndef PIC2JPG_SETTINGS_KEYWORD_KINDS_H_
#define PIC2JPG_SETTINGS_KEYWORD_KINDS_H_

namespace pic2jpg {

// The kinds, by the settings they serve; kOptionKindCount counts them.
enum OptionKind : int {
  kKindDdsLoadAs,
  kKindRawLoadAs,
  kKindFrameLoading,
  kKindRawToneMapping,
  kKindCompression,
  kKindBmpColorTable,
  kKindTiffColorModel,
  kKindJpgChroma,
  kKindJpgSaveAs,
  kKindRotationType,
  kKindSizeUnit,
  kKindResizeType,
  kKindResizeAlgorithm,
  kKindFrame,      // listing only
  kKindWatermark,  // listing only
  kKindFontStyle,
  kKindFontEffect,
  kKindTextAlignment,
  kKindBoundary,
  kKindPosition,
  kKindWatermarkSize,
  kKindFileTimestamp,
  kOptionKindCount,
};

}  // namespace pic2jpg

#endif  // PIC2JPG_SETTINGS_KEYWORD_KINDS_H_
