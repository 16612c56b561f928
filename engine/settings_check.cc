#include "engine/settings_check.h"

#include "engine/format_tables.h"
#include "engine/naming.h"
#include "engine/watermark.h"
#include "platform/file_system.h"
#include "text/ascii_case.h"

namespace pic2jpg {
namespace {

// "Error: Invalid jpg-quality value": the option's name is the value's name.
std::string OptionValueMessage(const SettingField& field) {
  std::string_view name = field.option;
  if (name.starts_with("--")) name.remove_prefix(2);
  return "Error: Invalid " + LowerAscii(name) + " value";
}

bool OutsideRange(const Settings& settings, const SettingField& field) {
  if (!field.range.limited) return false;
  const SettingRef ref = field.ref(const_cast<Settings&>(settings));
  if (const float* const* value = std::get_if<float*>(&ref)) {
    // Compared in single precision, both ends included; NaN is outside.
    return !(**value >= static_cast<float>(field.range.min) &&
             **value <= static_cast<float>(field.range.max));
  }
  const auto value = static_cast<double>(SettingInt(settings, field));
  return value < field.range.min || value > field.range.max;
}

SettingsProblem Refused(const SettingField& field, std::string console_message,
                        std::string_view catalogue_key = "", std::string detail = "") {
  SettingsProblem problem;
  problem.field = &field;
  problem.console_message = std::move(console_message);
  problem.catalogue_key = catalogue_key;
  problem.detail = std::move(detail);
  return problem;
}

// The problem of one setting in use; a problem without a field when it passes.
SettingsProblem CheckSetting(const Settings& settings, const SettingField& field) {
  const WatermarkSettings& mark = settings.watermark;
  switch (field.refuse) {
    case SettingRefusal::kNever:
      break;
    case SettingRefusal::kOutsideRange:
      if (OutsideRange(settings, field)) return Refused(field, OptionValueMessage(field));
      break;
    case SettingRefusal::kZero:
      if (SettingInt(settings, field) == 0) {
        return Refused(field, OptionValueMessage(field),
                       field.key.ends_with("Width") ? "Invalid width" : "Invalid height");
      }
      break;
    case SettingRefusal::kDepth:
      if (!IsDepthAllowed(std::string(field.format),
                          static_cast<int>(SettingInt(settings, field)))) {
        return Refused(field, "Error: Invalid " + std::string(field.format) + "-bpp value");
      }
      break;
    case SettingRefusal::kWatermarkFont:
      if (CreateWatermarkFont(mark) == nullptr) {
        return Refused(field, "Error: Invalid watermark font", "Invalid watermark font", mark.font);
      }
      break;
    case SettingRefusal::kWatermarkImage:
      if (mark.image.empty()) {
        return Refused(field, "Error: Invalid watermark image", "Empty watermark image");
      }
      if (fs::FileSize(mark.image) <= 0) {
        return Refused(field, "Error: Invalid watermark image", "Invalid watermark image",
                       mark.image);
      }
      // A picture that does not load is refused here, with the reason.
      if (std::string reason; LoadMarkPicture(mark.image, &reason).canvas == nullptr) {
        SettingsProblem problem =
            Refused(field, "Error: Invalid watermark image", "Invalid watermark image", mark.image);
        problem.reason = std::move(reason);
        return problem;
      }
      break;
    case SettingRefusal::kFilenameMask: {
      const std::string& mask = settings.advanced.filename_mask;
      if (mask.empty()) return Refused(field, "Error: Invalid filename mask", "Empty extensions");
      if (!RelativePathStaysBelow(mask)) {
        return Refused(field, "Error: Invalid filename mask", "Invalid filename mask", mask);
      }
      break;
    }
  }
  return SettingsProblem{};
}

}  // namespace

SettingsProblem CheckSettings(const Settings& settings) {
  for (const SettingField& field : SettingFields()) {
    if (field.refuse == SettingRefusal::kNever || !SettingInUse(settings, field)) continue;
    SettingsProblem problem = CheckSetting(settings, field);
    if (problem.field != nullptr) return problem;
  }
  return SettingsProblem{};
}

}  // namespace pic2jpg
