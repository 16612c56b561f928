// The built-in English texts, in block order: group markers, entries, end.
#ifndef PIC2JPG_TEXT_CATALOGUE_CONTENT_H_
#define PIC2JPG_TEXT_CATALOGUE_CONTENT_H_

#include <span>

namespace pic2jpg {

// How an entry's text is formed.
enum class TextRule {
  kLiteral,   // `text` as written
  kKey,       // the key itself
  kKeyColon,  // the key followed by ":"
};

// One pair of the block. A `first` of "_GROUP_" opens the group named by
// `text`; "_END_" closes the block.
struct CatalogueItem {
  const char* first;
  const char* text;
  TextRule rule = TextRule::kLiteral;
};

std::span<const CatalogueItem> BuiltInCatalogue();

}  // namespace pic2jpg

#endif  // PIC2JPG_TEXT_CATALOGUE_CONTENT_H_
