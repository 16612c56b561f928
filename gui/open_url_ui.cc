#include "gui/open_url_ui.h"

#include <wx/app.h>

#include "gui/main_window_ui.h"
#include "platform/process.h"
#include "text/placeholders.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

void ReportOpenFailure(const std::string& target) {
  if (g_main.frame == nullptr || g_main.quit_requested) return;
  SetStatus(FillPlaceholders(GetText("Msg", "Cannot open"), target));
}

}  // namespace

UrlOpener g_url_opener = [](const std::string& target, std::function<void()> failed_later) {
  return platform::OpenWithDesktop(target, [failed_later = std::move(failed_later)](int status) {
    if (status != 0) failed_later();
  });
};

void OpenUrl(const std::string& target) {
  const bool started = g_url_opener(target, [target] {
    if (wxTheApp != nullptr) wxTheApp->CallAfter([target] { ReportOpenFailure(target); });
  });
  if (!started) ReportOpenFailure(target);
}

}  // namespace pic2jpg
