#include "cli/option_table.h"

#include <limits>
#include <string>
#include <vector>

#include "cli/keywords.h"
#include "cli/number_reading.h"
#include "settings/settings.h"
#include "text/ascii_scan.h"

namespace pic2jpg {
namespace {

using VT = ValueType;
using OA = OptionAction;

std::vector<OptionSpec> BuildOptions() {
  std::vector<OptionSpec> options = {
      {"--INPUT", "-I", OA::kInput, VT::kText},
      {"--OUTPUT", "-O", OA::kOutput, VT::kText},
      {"--CONVERSION", "-C", OA::kConversion, VT::kText},
  };
  for (const SettingField& field : SettingFields()) {
    if (!field.option.empty())
      options.push_back({field.option, "", OA::kSetting, field.value, &field});
  }
  options.insert(options.end(), {
                                    {"--PROFILE", "", OA::kProfile, VT::kText},
                                    {"--DEBUG", "-D", OA::kDebug, VT::kNone},
                                    {"--QUIET", "-Q", OA::kQuiet, VT::kNone},
                                    {"--PAUSE", "-P", OA::kPause, VT::kNone},
                                });
  return options;
}

// Values beyond the single-precision range become infinities.
float ToFloat(double value) {
  if (value > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
  if (value < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

}  // namespace

std::span<const OptionSpec> AllOptions() {
  static const std::vector<OptionSpec> kOptions = BuildOptions();
  return kOptions;
}

const OptionSpec* FindOption(std::string_view upper_name) {
  if (upper_name.empty()) return nullptr;
  for (const OptionSpec& option : AllOptions()) {
    if (upper_name == option.name || upper_name == option.short_name) return &option;
  }
  return nullptr;
}

void ApplySettingValue(const OptionSpec& option, std::string_view value) {
  if (option.action != OptionAction::kSetting || option.field == nullptr) return;
  const SettingField& field = *option.field;
  Settings* settings = &g_settings;
  const SettingRef ref = field.ref(*settings);
  switch (option.type) {
    case ValueType::kText:
      if (auto* p = std::get_if<std::string*>(&ref); p != nullptr) {
        **p = std::string(value);
      }
      break;
    case ValueType::kInteger:
      SetSettingInt(settings, field, ReadInteger(value));
      break;
    case ValueType::kDecimal:
      if (auto* p = std::get_if<float*>(&ref); p != nullptr) {
        **p = ToFloat(ReadDecimal(value));
      }
      break;
    case ValueType::kKeyword:
      SetSettingInt(settings, field, KeywordToValue(field.keyword_kind, TrimAsciiBlanks(value)));
      break;
    case ValueType::kFlag:
      SetSettingInt(settings, field, field.flag_value);
      break;
    case ValueType::kNone:
      break;
  }
  if (const SettingField* switched = FindSettingField(field.group, field.switches)) {
    SetSettingInt(settings, *switched, field.switch_value);
  }
}

}  // namespace pic2jpg
