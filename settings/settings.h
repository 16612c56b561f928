// The one settings record of the program. Every field is one key of one group
// of the preferences file; the comments name the group and the key. Console
// runs fill it from defaults, profile files and options; the desktop mode
// loads and saves it (settings_file.h).
#ifndef PIC2JPG_SETTINGS_SETTINGS_H_
#define PIC2JPG_SETTINGS_SETTINGS_H_

#include <cstdint>
#include <string>

namespace pic2jpg {

struct GeneralSettings {
  int32_t cfg = 17;                 // CFG
  std::string language = "en";      // Language
  int32_t update_range = 2;         // Update Range
  int32_t update_date = 0;          // Update Date (seconds since 1970 UTC)
  int8_t save_window_position = 1;  // Save Window Position
};

struct WindowSettings {
  int8_t is_maximized = 0;  // IsMaximized
  int32_t width = 510;      // Width
  int32_t height = 260;     // Height
  int32_t x = 100;          // X
  int32_t y = 100;          // Y
};

struct InterfaceSettings {
  std::string ui_theme = "handdrawn";  // UI Theme
  int32_t ui_size = 2;                 // UI Size
};

struct InputSettings {
  std::string format = "pic";      // Format
  int32_t dds_load_as = 0;         // DDS Load As
  int32_t gif_frame_loading = 0;   // GIF Frame Loading
  int32_t ico_frame_loading = 0;   // ICO Frame Loading
  int32_t tiff_frame_loading = 0;  // TIFF Frame Loading
  int32_t raw_load_as = 0;         // RAW Load As
  int32_t raw_header_size = 0;     // RAW Header Size
  int32_t raw_image_width = 0;     // RAW Image Width
  int32_t raw_image_height = 0;    // RAW Image Height
  int32_t raw_tone_mapping = 2;    // RAW Tone Mapping
};

struct OutputSettings {
  std::string format = "jpg";    // Format
  int32_t bmp_bpp = 0;           // BMP BPP
  int32_t dds_bpp = 0;           // DDS BPP
  int32_t exr_bpp = 0;           // EXR BPP
  int32_t gif_bpp = 0;           // GIF BPP
  int32_t hdr_bpp = 0;           // HDR BPP
  int32_t ico_bpp = 0;           // ICO BPP
  int32_t j2k_bpp = 0;           // J2K BPP
  int32_t jng_bpp = 0;           // JNG BPP
  int32_t jp2_bpp = 0;           // JP2 BPP
  int32_t jpg_bpp = 0;           // JPG BPP
  int32_t jxr_bpp = 0;           // JXR BPP
  int32_t pbm_bpp = 0;           // PBM BPP
  int32_t pcx_bpp = 0;           // PCX BPP
  int32_t pfm_bpp = 0;           // PFM BPP
  int32_t pgm_bpp = 0;           // PGM BPP
  int32_t png_bpp = 0;           // PNG BPP
  int32_t ppm_bpp = 0;           // PPM BPP
  int32_t psd_bpp = 0;           // PSD BPP
  int32_t tga_bpp = 0;           // TGA BPP
  int32_t tiff_bpp = 0;          // TIFF BPP
  int32_t wbmp_bpp = 0;          // WBMP BPP
  int32_t webp_bpp = 0;          // WEBP BPP
  int32_t xpm_bpp = 0;           // XPM BPP
  int32_t bmp_compression = 0;   // BMP Compression
  int32_t bmp_color_table = 0;   // BMP Color Table
  int32_t exr_compression = 0;   // EXR Compression
  int32_t jpg_quality = 95;      // JPG Quality
  int32_t jpg_chroma = 0;        // JPG Chroma
  int32_t jpg_save_as = 0;       // JPG Save As
  int32_t png_compression = 0;   // PNG Compression
  int8_t png_interlaced = 0;     // PNG Interlaced
  int32_t tga_compression = 0;   // TGA Compression
  int32_t tiff_compression = 0;  // TIFF Compression
  int32_t tiff_color_model = 0;  // TIFF Color Model
};

struct TransformSettings {
  int8_t do_image_rotation = 0;                      // Do Image Rotation
  int8_t image_rotation_type = 0;                    // Image Rotation Type
  int32_t image_rotation = 0;                        // Image Rotation
  std::string image_rotation_back_color = "000000";  // Image Rotation Back Color
  int8_t do_image_resize = 0;                        // Do Image Resize
  int32_t image_width = 0;                           // Image Width
  int8_t image_width_unit = 0;                       // Image Width Unit
  int32_t image_height = 0;                          // Image Height
  int8_t image_height_unit = 0;                      // Image Height Unit
  int8_t keep_aspect_ratio = 1;                      // Keep Aspect Ratio
  int8_t image_resize_type = 0;                      // Image Resize Type
  int8_t image_resize_algorithm = 3;                 // Image Resize Algorithm
  int8_t do_image_flip_horizontal = 0;               // Do Image Flip Horizontal
  int8_t do_image_flip_vertical = 0;                 // Do Image Flip Vertical
};

// The numbers of Image Rotation Type: on a canvas large enough for the whole
// picture (the corners filled with the back colour), or about the centre at
// the picture's own size.
inline constexpr int kRotateWithCanvas = 0;
inline constexpr int kRotateAboutCentre = 1;
// The numbers of Image Width Unit and Image Height Unit.
inline constexpr int kUnitPixels = 0;
inline constexpr int kUnitPercent = 1;
// The numbers of Image Resize Type: every picture, or only pictures larger
// than the target (smaller ones stay as they are).
inline constexpr int kResizeAllImages = 0;
inline constexpr int kResizeLargeImagesOnly = 1;

struct AdjustmentSettings {
  int8_t do_image_color_correction = 0;  // Do Image Color Correction
  int32_t image_brightness = 0;          // Image Brightness
  int32_t image_contrast = 0;            // Image Contrast
  float image_gamma = 1.0f;              // Image Gamma
  int8_t image_invert = 0;               // Image Invert
  int8_t do_image_greyscale = 0;         // Do Image Greyscale
  int8_t do_image_threshold = 0;         // Do Image Threshold
  int32_t image_threshold = 0;           // Image Threshold
};

struct FrameSettings {
  int8_t do_frame = 0;                        // Do Frame
  int32_t solid_left = 0;                     // Solid Left
  int32_t solid_right = 0;                    // Solid Right
  int32_t solid_top = 0;                      // Solid Top
  int32_t solid_bottom = 0;                   // Solid Bottom
  std::string solid_left_color = "000000";    // Solid Left Color
  std::string solid_right_color = "000000";   // Solid Right Color
  std::string solid_top_color = "000000";     // Solid Top Color
  std::string solid_bottom_color = "000000";  // Solid Bottom Color
  int32_t solid_opacity = 255;                // Solid Opacity
};

// The watermark text a fresh installation starts with.
inline constexpr const char* kDefaultWatermarkText =
    "(c) Morvane Software - converted with Morvane PIC to JPG";
inline constexpr const char* kDefaultColorList =
    "000000,FFFFFF,FF0000,FF8000,FFFF00,008000,00FFFF,0000FF,8000FF";

// Which mark a run puts on each picture. The preferences file and the
// setting table hold it as the number.
enum class WatermarkKind : int8_t { kNone = 0, kText = 1, kImage = 2 };

// Where a mark sits and how large it is; the text mark and the image mark
// each have one, under keys that start with "Text" or "Image".
struct MarkPlacement {
  int8_t boundary = 0;    // Boundary
  int8_t position = 8;    // Position
  int32_t x_offset = 10;  // X Offset
  int32_t y_offset = 10;  // Y Offset
  int32_t rotation = 0;   // Rotation
  int8_t size = 0;        // Size
  int32_t scale = 10;     // Scale
};

struct WatermarkSettings {
  WatermarkKind kind = WatermarkKind::kNone;    // Do Watermark
  std::string text = kDefaultWatermarkText;     // Text
  std::string fonts = "Arial,Tahoma,Verdana";   // Fonts
  std::string font = "Arial";                   // Font
  int32_t font_size = 14;                       // Font Size
  int32_t font_leading = 0;                     // Font Leading
  std::string font_colors = kDefaultColorList;  // Font Colors
  std::string font_color = "FFFFFF";            // Font Color
  int8_t font_style = 0;                        // Font Style
  int8_t font_effect = 0;                       // Font Effect
  int8_t text_antialiasing = 0;                 // Text Antialiasing
  int8_t text_alignment = 0;                    // Text Alignment
  int32_t text_padding = 0;                     // Text Padding
  int32_t text_opacity = 255;                   // Text Opacity
  std::string back_colors = kDefaultColorList;  // Back Colors
  std::string back_color = "000000";            // Back Color
  int32_t back_opacity = 1;                     // Back Opacity
  MarkPlacement text_place;                     // Text Boundary ... Text Scale
  std::string image;                            // Image
  int8_t image_greyscale = 0;                   // Image Greyscale
  int32_t image_opacity = 255;                  // Image Opacity
  MarkPlacement image_place;                    // Image Boundary ... Image Scale
};

struct AdvancedSettings {
  std::string filename_mask = "%filename%.%ext%";  // Filename Mask
  int8_t file_timestamp = 0;                       // File Timestamp
  int32_t custom_timestamp = 0;                    // Custom Timestamp (seconds since 1970 UTC)
  int8_t out_folders_history = 1;                  // Out Folders History
  int8_t out_folders_number = 5;                   // Out Folders Number
  int8_t keep_subfolders = 1;                      // Keep Subfolders
};

struct FileSettings {
  std::string recent_out_folders;  // Recent Out Folders (tab-separated)
};

struct Settings {
  GeneralSettings general;
  WindowSettings window;
  InterfaceSettings interface;
  InputSettings input;
  OutputSettings output;
  TransformSettings transform;
  AdjustmentSettings adjustment;
  FrameSettings frame;
  WatermarkSettings watermark;
  AdvancedSettings advanced;
  FileSettings file;
};

// The process-wide settings record.
extern Settings g_settings;

// Full path of the preferences file; empty in console runs.
extern std::string g_preferences_path;

}  // namespace pic2jpg

#endif  // PIC2JPG_SETTINGS_SETTINGS_H_
