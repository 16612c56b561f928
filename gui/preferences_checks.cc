#include "gui/preferences_checks.h"

#include "text/placeholders.h"
#include "text/text_catalogue.h"

namespace pic2jpg {

std::string SettingsProblemText(const SettingsProblem& problem) {
  if (problem.catalogue_key.empty()) return problem.console_message;
  const std::string text = GetText("Msg", std::string(problem.catalogue_key));
  return problem.detail.empty() ? text : FillPlaceholders(text, problem.detail);
}

std::string EmptyFieldMessage() { return GetText("Msg", "Empty extensions"); }

}  // namespace pic2jpg
