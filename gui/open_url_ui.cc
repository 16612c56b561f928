#include "gui/open_url_ui.h"

#include <wx/app.h>

#include "gui/main_window_ui.h"
#include "platform/process.h"
#include "text/placeholders.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

void ReportOpenFailure(const std::string& target) {
  MainWindow* window = FindMainWindow();
  if (window == nullptr || window->model.quit_requested) return;
  SetStatus(*window, FillPlaceholders(GetText("Msg", "Cannot open"), target));
}

}  // namespace

void OpenUrl(const std::string& target) {
  const bool started = MainPrompter().open_url(target, [target] {
    if (wxTheApp != nullptr) wxTheApp->CallAfter([target] { ReportOpenFailure(target); });
  });
  if (!started) ReportOpenFailure(target);
}

}  // namespace pic2jpg
