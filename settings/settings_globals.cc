#include "settings/settings.h"

namespace pic2jpg {

Settings g_settings;
std::string g_preferences_path;

}  // namespace pic2jpg
