#include "text/identity.h"

#include <algorithm>

namespace pic2jpg {

std::string VersionText(int version) {
  // A dot after the first and after the second digit ("270" -> "2.7.0"),
  // then a zero patch number is dropped ("2.7").
  const std::string digits = std::to_string(version);
  std::string text;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i == 1 || i == 2) text += '.';
    text += digits[i];
  }
  if (!text.empty() && text.back() == '0') text.resize(std::min<size_t>(text.size(), 3));
  return text;
}

std::string TitleWithVersion() {
  return std::string(kProgramTitle) + " " + VersionText(kProgramVersion);
}

}  // namespace pic2jpg
