// Helpers shared by the test programs: private temporary folders, running the
// built executables, and comparing pictures with a tolerance.
#ifndef PIC2JPG_TESTS_SUPPORT_TEST_SUPPORT_H_
#define PIC2JPG_TESTS_SUPPORT_TEST_SUPPORT_H_

#include <FreeImage.h>
#include <spawn.h>

#include <string>
#include <vector>

#include "platform/bitmap_ptr.h"
#include "tools/compare_images/psnr.h"

namespace pic2jpg::test {

// A fresh folder below the temporary folder, removed with everything in it
// when the object goes. path() ends with "/".
struct TempDir {
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }
  std::string path_;
};

// Path of a file in tests/data.
std::string DataFile(const std::string& name);

// Copies a file; false on failure.
bool CopyFile(const std::string& from, const std::string& to);
bool WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
// Every file below `folder` (which ends with "/"), relative to it, sorted.
std::vector<std::string> FilesBelow(const std::string& folder);

struct RunResult {
  int exit_status = -1;                    // 128 + signal when a signal ended it
  std::string output;                      // standard output
  std::string error;                       // standard error
  std::vector<std::string> Lines() const;  // output split at "\n"
};

// posix_spawn, with the child's signals all at their default dispositions
// and none blocked: a test run in the background or under nohup inherits
// ignored signals, which the programs rightly keep ignored.
int SpawnWithDefaultSignals(pid_t* pid, const char* program,
                            const posix_spawn_file_actions_t* actions, char* const argv[],
                            char* const envp[]);

// Starts a program with arguments in the background, with default signals
// (above): standard input from /dev/null, standard output and error written
// to the files named. The environment is this process's, with the
// "NAME=value" settings of `env` in place of those of the same name. The
// program's id, -1 when it cannot start; the caller waits for it.
pid_t StartProgram(const std::string& program, const std::vector<std::string>& args,
                   const std::vector<std::string>& env,
                   const std::string& output_path = "/dev/null",
                   const std::string& error_path = "/dev/null");

// Runs a program with arguments, standard input from /dev/null. `env` holds
// extra "NAME=value" settings; each run gets its own XDG_RUNTIME_DIR unless
// `env` names one.
RunResult Run(const std::string& program, const std::vector<std::string>& args,
              const std::vector<std::string>& env = {});
// The built pic2jpg.
RunResult RunPic2jpg(const std::vector<std::string>& args,
                     const std::vector<std::string>& env = {});

// Loads any image the codec library reads; nullptr on failure. Caller unloads.
FIBITMAP* LoadImage(const std::string& path);
// The set-up of a run on one picture: the test picture FLAG_B24.PCT copied
// to photo.pic in `dir`, and an empty folder "out" beside it (`out` without
// a final "/"). False when either fails.
bool PutPhoto(const TempDir& dir, std::string* input, std::string* out);

// pic2jpg run on a copy of the test picture `name` (tests/data) with
// `options` after its -i and -o; `output` is the JPEG it wrote, null when
// none.
struct PictureConversion {
  RunResult run;
  BitmapPtr output;
  bool Complete() const;  // an output line starts "Conversion complete"
};
PictureConversion ConvertDataPicture(const std::string& name,
                                     const std::vector<std::string>& options);
// The reference decode of a test picture (its ".png" beside it), 24-bit.
BitmapPtr ReferenceDecode(const std::string& name);
// Arguments joined by spaces, for failure messages.
std::string JoinedArgs(const std::vector<std::string>& args);

// Peak signal-to-noise ratio of two pictures of the same size after both are
// turned into 24-bit RGB; -1 when the sizes differ or either is null.
using ::pic2jpg::Psnr;
// The same for two image files; -1 also when either cannot be loaded.
double PsnrOfFiles(const std::string& image, const std::string& reference);
// The JPEG file the codec library's save makes of `image` with `flags`;
// "" when it refuses.
std::string LibraryJpeg(FIBITMAP* image, int flags);
// A width x height 24-bit picture filled by a smooth pattern, or with one
// colour when `rgb` is given (0xRRGGBB).
FIBITMAP* MakeImage(int width, int height, int bpp = 24, int rgb = -1);
// Colour of one pixel as 0xRRGGBB (y counted from the top).
int PixelAt(FIBITMAP* image, int x, int y);

}  // namespace pic2jpg::test

#endif  // PIC2JPG_TESTS_SUPPORT_TEST_SUPPORT_H_
