// Converting one file, and the worker that converts every queued file.
#ifndef PIC2JPG_ENGINE_CONVERT_H_
#define PIC2JPG_ENGINE_CONVERT_H_

namespace pic2jpg {

// Converts the file named by g_run_state.input_path under g_settings.
// True when the output file was written.
bool ConvertFile();

// Walks g_input_list, converting each entry, publishing progress under
// g_progress_mutex; stops early when g_progress.keep_running is cleared.
// The parameter is ignored. Returns 0.
int ConversionWorker(int unused);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_CONVERT_H_
