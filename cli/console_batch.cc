#include "cli/console_batch.h"

#include <cstdio>
#include <string_view>
#include <utility>

#include "cli/batch_input.h"
#include "cli/keywords.h"
#include "cli/option_table.h"
#include "engine/depth.h"
#include "engine/format_tables.h"
#include "engine/naming.h"
#include "engine/run_controller.h"
#include "engine/run_setup.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "runlist/run_list.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "text/ascii_case.h"
#include "text/placeholders.h"
#include "text/printable_text.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

constexpr int kConverted = 0;
constexpr int kNotConverted = 1;

void Print(std::string_view line) { platform::ConsoleWriteLine(line); }

std::string Number(int64_t value) { return std::to_string(value); }

// The lines and checks of one run. `debug` adds one line per setting.
struct Batch {
  bool quiet = false;
  bool debug = false;
  ManyInputs many;         // a folder or list named by -i
  RunResources resources;  // the watermark's font or picture, loaded once

  void Debug(std::string_view line) const {
    if (debug) Print(line);
  }
  void Progress(std::string_view line) const {
    if (!quiet) Print(line);
  }
  // Prints the error line and gives the run's result.
  int Stop(std::string_view message) {
    Print(message);
    ReleaseFont();
    return kNotConverted;
  }
  // Gives back the run's watermark font and picture.
  void ReleaseFont() { resources = RunResources{}; }
};

// Steps up to the resolved output folder. "" when they pass, else the error.
std::string CheckInputAndOutput(Batch* batch_record) {
  const Batch& batch = *batch_record;
  RunState& run = g_run_state;
  batch.Debug("Input: " + PrintableText(run.input_base_folder));

  // A folder or a list names many files; it stays the run's base folder.
  const InputKind kind = KindOfInput(run.input_base_folder);
  if (kind != InputKind::kFile) {
    ManyInputs& many = batch_record->many;
    if (!OpenManyInputs(run.input_base_folder, kind, &many)) {
      run.input_base_folder.clear();
      return "Error: Invalid input file";
    }
    run.input_path =
        kind == InputKind::kFolder ? many.base_folder : fs::AbsolutePath(run.input_base_folder);
    run.input_base_folder = many.base_folder;
    many.beside_inputs = run.output_folder.empty();
    if (many.beside_inputs) run.output_folder = many.base_folder;
  }

  // Otherwise the input names one file, with an extension.
  if (kind == InputKind::kFile && fs::ExtensionOf(run.input_base_folder).empty()) {
    run.input_base_folder.clear();
    return "Error: Invalid input file";
  }
  if (kind == InputKind::kFile) {
    run.input_path = run.input_base_folder;
    run.input_base_folder.clear();
    if (fs::FileSize(run.input_path) <= 0) return "Error: Invalid input file";
  }

  // Without -o the output goes next to the input file, also when the input
  // was named relative to the current folder.
  if (run.output_folder.empty()) {
    std::string folder = fs::FolderOf(run.input_path);
    if (!folder.starts_with("/")) folder = fs::AbsolutePath(folder.empty() ? "." : folder);
    if (!folder.empty() && folder.back() != '/') folder += '/';
    run.output_folder = folder;
  }
  batch.Debug("Output: " + PrintableText(run.output_folder));

  if (run.output_folder.starts_with("..")) return "Error: Incorrect output folder";
  // Relative output folders are taken from the program's folder.
  if (!run.output_folder.starts_with("/")) {
    if (run.output_folder.starts_with("./")) run.output_folder.erase(0, 2);
    run.output_folder = run.program_folder + run.output_folder;
  }
  if (run.output_folder.back() != '/') run.output_folder += '/';
  if (!fs::IsFolder(run.output_folder)) return "Error: Invalid output folder";
  return "";
}

void ListInputFormatSettings(const Batch& batch, const std::string& extension) {
  const InputSettings& input = g_settings.input;
  if (extension == "dds") {
    batch.Debug("DDS Load As: " + ValueToKeyword(kKindDdsLoadAs, input.dds_load_as));
  } else if (extension == "gif") {
    batch.Debug("GIF Frame Loading: " + ValueToKeyword(kKindFrameLoading, input.gif_frame_loading));
  } else if (extension == "ico") {
    batch.Debug("ICO Frame Loading: " + ValueToKeyword(kKindFrameLoading, input.ico_frame_loading));
  } else if (extension == "raw") {
    batch.Debug("RAW Load As: " + ValueToKeyword(kKindRawLoadAs, input.raw_load_as));
    batch.Debug("RAW Header Size: " + Number(input.raw_header_size));
    batch.Debug("RAW Image Width: " + Number(input.raw_image_width));
    batch.Debug("RAW Image Height: " + Number(input.raw_image_height));
    batch.Debug("RAW Tone Mapping: " + ValueToKeyword(kKindRawToneMapping, input.raw_tone_mapping));
  } else if (extension == "tiff") {
    batch.Debug("TIFF Frame Loading: " +
                ValueToKeyword(kKindFrameLoading, input.tiff_frame_loading));
  }
}

// Lines and checks of the output format; "" when they pass.
std::string CheckOutputFormat(const Batch& batch, const std::string& extension) {
  const OutputSettings& output = g_settings.output;
  const int* depth_setting = DepthSettingFor(output, extension);
  int depth = depth_setting != nullptr ? *depth_setting : 0;
  batch.Debug(UpperAscii(extension) + " BPP: " + Number(depth));
  if (extension == "bmp") {
    batch.Debug("BMP Compression: " + CompressionKeyword("bmp", output.bmp_compression));
    batch.Debug("BMP Color Table: " + ValueToKeyword(kKindBmpColorTable, output.bmp_color_table));
  } else if (extension == "exr") {
    batch.Debug("EXR Compression: " + CompressionKeyword("exr", output.exr_compression));
  } else if (extension == "png") {
    batch.Debug("PNG Compression: " + CompressionKeyword("png", output.png_compression));
    batch.Debug("PNG Interlaced: " + Number(output.png_interlaced));
  } else if (extension == "tga") {
    batch.Debug("TGA Compression: " + CompressionKeyword("tga", output.tga_compression));
  } else if (extension == "tiff") {
    batch.Debug("TIFF Compression: " + CompressionKeyword("tiff", output.tiff_compression));
    batch.Debug("TIFF Color Model: " +
                ValueToKeyword(kKindTiffColorModel, output.tiff_color_model));
  } else if (extension == "jpg") {
    batch.Debug("JPG Quality: " + Number(output.jpg_quality));
    batch.Debug("JPG Chroma Subsampling: " + ValueToKeyword(kKindJpgChroma, output.jpg_chroma));
    batch.Debug("JPG Save As: " + ValueToKeyword(kKindJpgSaveAs, output.jpg_save_as));
  }
  if (!IsDepthAllowed(extension, depth)) return "Error: Invalid " + extension + "-bpp value";
  if (extension == "jpg" && (output.jpg_quality < 1 || output.jpg_quality > 100)) {
    return "Error: Invalid jpg-quality value";
  }
  return "";
}

// Rotation, resize, flips, colour correction, greyscale and threshold.
std::string CheckTransformAndAdjustment(const Batch& batch) {
  const TransformSettings& transform = g_settings.transform;
  if (transform.do_image_rotation != 0) {
    batch.Debug("Image Rotation Type: " +
                ValueToKeyword(kKindRotationType, transform.image_rotation_type));
    batch.Debug("Image Rotation: " + Number(transform.image_rotation));
    batch.Debug("Image Rotation Back Color: " + transform.image_rotation_back_color);
  }
  if (transform.do_image_resize != 0) {
    batch.Debug("Width: " + Number(transform.image_width) + " " +
                ValueToKeyword(kKindSizeUnit, transform.image_width_unit));
    if (CheckResizeSize(transform) == ResizeCheck::kZeroWidth) return "Error: Invalid width value";
    batch.Debug("Height: " + Number(transform.image_height) + " " +
                ValueToKeyword(kKindSizeUnit, transform.image_height_unit));
    if (CheckResizeSize(transform) == ResizeCheck::kZeroHeight)
      return "Error: Invalid height value";
    batch.Debug("Keep Aspect Ratio: " + Number(transform.keep_aspect_ratio));
    batch.Debug("Image Resize Type: " +
                ValueToKeyword(kKindResizeType, transform.image_resize_type));
    batch.Debug("Image Resize Algorithm: " +
                ValueToKeyword(kKindResizeAlgorithm, transform.image_resize_algorithm));
  }
  batch.Debug("Flip Horizontal: " + Number(transform.do_image_flip_horizontal));
  batch.Debug("Flip Vertical: " + Number(transform.do_image_flip_vertical));

  const AdjustmentSettings& adjustment = g_settings.adjustment;
  if (adjustment.do_image_color_correction != 0) {
    batch.Debug("Brightness: " + Number(adjustment.image_brightness));
    if (adjustment.image_brightness < -100 || adjustment.image_brightness > 100) {
      return "Error: Invalid brightness value";
    }
    batch.Debug("Contrast: " + Number(adjustment.image_contrast));
    if (adjustment.image_contrast < -100 || adjustment.image_contrast > 100) {
      return "Error: Invalid contrast value";
    }
    char gamma[64];
    std::snprintf(gamma, sizeof gamma, "%.2f", static_cast<double>(adjustment.image_gamma));
    batch.Debug(std::string("Gamma: ") + gamma);
    // Compared in single precision, both ends included; NaN fails both tests.
    if (!(adjustment.image_gamma >= 0.01f && adjustment.image_gamma <= 9.99f)) {
      return "Error: Invalid gamma value";
    }
    batch.Debug("Invert: " + Number(adjustment.image_invert));
  }
  batch.Debug("Greyscale: " + Number(adjustment.do_image_greyscale));
  if (adjustment.do_image_threshold != 0) {
    batch.Debug("Image Threshold: " + Number(adjustment.image_threshold));
  }
  return "";
}

void ListFrame(const Batch& batch) {
  const FrameSettings& frame = g_settings.frame;
  batch.Debug("Frame: " + ValueToKeyword(kKindFrame, frame.do_frame));
  if (frame.do_frame != 1) return;
  batch.Debug("Frame left: " + Number(frame.solid_left));
  batch.Debug("Frame right: " + Number(frame.solid_right));
  batch.Debug("Frame top: " + Number(frame.solid_top));
  batch.Debug("Frame bottom: " + Number(frame.solid_bottom));
  batch.Debug("Frame left color: " + frame.solid_left_color);
  batch.Debug("Frame right color: " + frame.solid_right_color);
  batch.Debug("Frame top color: " + frame.solid_top_color);
  batch.Debug("Frame bottom color: " + frame.solid_bottom_color);
  batch.Debug("Frame opacity: " + Number(frame.solid_opacity));
}

// Where a watermark goes: the same settings for a text and an image mark.
void ListMarkPlacement(const Batch& batch, int boundary, int position, int32_t x_offset,
                       int32_t y_offset, int32_t rotation, int size) {
  batch.Debug("Watermark boundary: " + ValueToKeyword(kKindBoundary, boundary));
  batch.Debug("Watermark position: " + ValueToKeyword(kKindPosition, position));
  batch.Debug("Watermark offset (x/y): " + Number(x_offset) + "/" + Number(y_offset));
  batch.Debug("Watermark rotation: " + Number(rotation));
  batch.Debug("Watermark size/mode: " + ValueToKeyword(kKindWatermarkSize, size));
}

std::string CheckWatermark(Batch* batch) {
  const WatermarkSettings& wm = g_settings.watermark;
  batch->Debug("Watermark: " + ValueToKeyword(kKindWatermark, wm.do_watermark));
  if (wm.do_watermark == 1) {
    batch->Debug("Watermark text: " + wm.text);
    batch->Debug("Watermark font: " + wm.font);
    batch->Debug("Watermark font size: " + Number(wm.font_size));
    batch->Debug("Watermark font leading: " + Number(wm.font_leading));
    batch->Debug("Watermark font color: " + wm.font_color);
    batch->Debug("Watermark font style: " + ValueToKeyword(kKindFontStyle, wm.font_style));
    batch->Debug("Watermark font effect: " + ValueToKeyword(kKindFontEffect, wm.font_effect));
    batch->Debug("Watermark text antialiasing: " + Number(wm.text_antialiasing));
    batch->Debug("Watermark text alignment: " +
                 ValueToKeyword(kKindTextAlignment, wm.text_alignment));
    batch->Debug("Watermark text padding: " + Number(wm.text_padding));
    batch->Debug("Watermark text opacity: " + Number(wm.text_opacity));
    batch->Debug("Watermark background color: " + wm.back_color);
    batch->Debug("Watermark background opacity: " + Number(wm.back_opacity));
    ListMarkPlacement(*batch, wm.text_boundary, wm.text_position, wm.text_x_offset,
                      wm.text_y_offset, wm.text_rotation, wm.text_size);
    if (!LoadRunWatermarkFont(wm, &batch->resources)) return "Error: Invalid watermark font";
  } else if (wm.do_watermark == 2) {
    batch->Debug("Watermark image: " + wm.image);
    batch->Debug("Watermark greyscale: " + Number(wm.image_greyscale));
    batch->Debug("Watermark opacity: " + Number(wm.image_opacity));
    ListMarkPlacement(*batch, wm.image_boundary, wm.image_position, wm.image_x_offset,
                      wm.image_y_offset, wm.image_rotation, wm.image_size);
    // Loaded once for the run, in a helper process: a hostile file fails here
    // with its reason, not in the middle of the conversion.
    std::string reason;
    if (CheckWatermarkImage(wm, &batch->resources, &reason) != WatermarkImageCheck::kOk) {
      if (!reason.empty()) platform::ErrorWriteLine("pic2jpg: " + wm.image + ": " + reason);
      return "Error: Invalid watermark image";
    }
  }
  return "";
}

// The advanced settings; "" when they pass.
std::string CheckAdvanced(const Batch& batch) {
  const AdvancedSettings& advanced = g_settings.advanced;
  batch.Debug("Filename Mask: " + advanced.filename_mask);
  // Folders inside the mask are fine; a way out of the output folder is not.
  if (!RelativePathStaysBelow(advanced.filename_mask)) return "Error: Invalid filename mask";
  batch.Debug("File Timestamp: " + ValueToKeyword(kKindFileTimestamp, advanced.file_timestamp));
  if (advanced.file_timestamp == 2) {
    batch.Debug("Custom Timestamp: " + Number(advanced.custom_timestamp));
  }
  batch.Debug("Keep Subfolders: " + Number(advanced.keep_subfolders));
  return "";
}

}  // namespace

bool IsOutputExtension(const std::string& extension) {
  for (const char* format : kMainOutputFormats) {
    if (format[0] != '\0' && extension == format) return true;
  }
  return false;
}

int RunConsoleBatch(bool quiet) {
  RunState& run = g_run_state;
  Batch batch;
  batch.quiet = quiet;
  batch.debug = run.message_level == "DEBUG";

  batch.Progress(GetText("General", "Preparing"));
  std::string error = CheckInputAndOutput(&batch);
  if (!error.empty()) return batch.Stop(error);

  if (run.input_extension.empty()) run.input_extension = kMainInputFormats[0];
  if (run.output_extension.empty()) run.output_extension = kMainOutputFormats[0];
  batch.Debug("Conversion: " + run.output_extension);
  if (!IsOutputExtension(run.output_extension)) {
    return batch.Stop("Error: Invalid conversion type");
  }
  ListInputFormatSettings(batch, run.input_extension);
  error = CheckOutputFormat(batch, run.output_extension);
  if (error.empty()) error = CheckTransformAndAdjustment(batch);
  if (!error.empty()) return batch.Stop(error);
  ListFrame(batch);
  error = CheckWatermark(&batch);
  if (!error.empty()) return batch.Stop(error);
  error = CheckAdvanced(batch);
  if (!error.empty()) return batch.Stop(error);

  batch.Progress(GetText("General", "Importing"));
  int imported = 0;
  // Files named or found that cannot be converted: they count in the total.
  QueueCount many;
  if (batch.many.kind != InputKind::kFile) {
    many = QueueManyInputs(batch.many);
    imported = many.queued;
  } else if (AddInputFile(run.input_path)) {
    imported = 1;
  }
  batch.Progress(FillPlaceholders(GetText("Msg", "Import complete"), Number(imported)));
  if (imported == 0) {
    Print(GetText("Msg", "Conversion is not complete"));
    Print(GetText("Msg", "Empty input files"));
    batch.ReleaseFont();
    return kNotConverted;
  }

  batch.Progress(GetText("General", "Converting"));
  // The run gets its own copy of the settings.
  RunPlan plan = PlanRun(g_settings, EntriesOf(g_input_list), {run.counter, run.random_number});
  plan.output = SaveOptionsFor(g_settings.output, run.output_extension);
  plan.output_folder = run.output_folder;
  plan.resources = std::move(batch.resources);
  plan.trace = batch.debug;
  RunController controller;
  StartRun(&controller, std::move(plan));
  const RunOutcome outcome = FinishRun(&controller);
  run.counter = outcome.counter;
  run.random_number = outcome.random_number;
  const int converted = outcome.progress.converted;
  // Standard output keeps its own lines; why each file failed goes to
  // standard error, one line a file.
  for (const FileFailure& failure : outcome.progress.failures) {
    platform::ErrorWriteLine("pic2jpg: " + PrintableText(failure.path) + ": " +
                             PrintableText(failure.reason));
  }

  int result = kNotConverted;
  if (converted > 0) {
    batch.Progress(GetText("Msg", "Conversion complete"));
    batch.Progress(FillPlaceholders(GetText("Msg", "Files converted"), Number(converted),
                                    Number(imported + many.refused)));
    // Success only when every file was converted.
    if (converted == imported && !many.problem) result = kConverted;
  } else {
    Print(GetText("Msg", "Conversion is not complete"));
  }
  batch.ReleaseFont();
  return result;
}

}  // namespace pic2jpg
