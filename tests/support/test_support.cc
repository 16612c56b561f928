#include "support/test_support.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/directory.h"
#include "platform/file_system.h"

extern char** environ;

namespace pic2jpg::test {

TempDir::TempDir() { path_ = fs::MakeTempFolder("pic2jpg-test"); }
TempDir::~TempDir() {
  if (!path_.empty()) fs::RemoveTree(path_);
}

std::string DataFile(const std::string& name) { return std::string(TEST_DATA_DIR) + "/" + name; }

namespace {

void AddFilesBelow(const std::string& folder, const std::string& prefix,
                   std::vector<std::string>* found) {
  std::vector<fs::FolderEntry> entries;
  if (!fs::ListFolder(folder + prefix, &entries)) return;
  for (const fs::FolderEntry& entry : entries) {
    if (entry.kind == fs::EntryKind::kFolder) {
      AddFilesBelow(folder, prefix + entry.name + "/", found);
    } else {
      found->push_back(prefix + entry.name);
    }
  }
}

}  // namespace

std::vector<std::string> FilesBelow(const std::string& folder) {
  std::vector<std::string> found;
  AddFilesBelow(folder, "", &found);
  std::sort(found.begin(), found.end());
  return found;
}

bool CopyFile(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  if (!in) return false;
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
  return static_cast<bool>(out);
}

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

std::vector<std::string> RunResult::Lines() const {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream stream(output);
  while (std::getline(stream, line)) lines.push_back(line);
  return lines;
}

namespace {

std::string ReadAll(int fd) {
  std::string data;
  char buffer[4096];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof buffer)) > 0) data.append(buffer, static_cast<size_t>(n));
  return data;
}

}  // namespace

int SpawnWithDefaultSignals(pid_t* pid, const char* program,
                            const posix_spawn_file_actions_t* actions, char* const argv[],
                            char* const envp[]) {
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t all;
  sigfillset(&all);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  const int rc = posix_spawn(pid, program, actions, &attributes, argv, envp);
  posix_spawnattr_destroy(&attributes);
  return rc;
}

pid_t StartProgram(const std::string& program, const std::vector<std::string>& args,
                   const std::vector<std::string>& env, const std::string& output_path,
                   const std::string& error_path) {
  std::vector<std::string> environment;
  for (char** e = environ; *e != nullptr; ++e) {
    std::string entry = *e;
    std::string name = entry.substr(0, entry.find('='));
    bool overridden = false;
    for (const std::string& x : env) overridden |= x.substr(0, x.find('=')) == name;
    if (!overridden) environment.push_back(entry);
  }
  environment.insert(environment.end(), env.begin(), env.end());
  std::vector<char*> envp;
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, output_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, error_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  pid_t pid = -1;
  if (SpawnWithDefaultSignals(&pid, program.c_str(), &actions, argv.data(), envp.data()) != 0) {
    pid = -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

RunResult Run(const std::string& program, const std::vector<std::string>& args,
              const std::vector<std::string>& env) {
  RunResult result;
  TempDir capture;
  std::string out_path = capture.File("stdout");
  std::string err_path = capture.File("stderr");
  std::vector<std::string> environment = env;
  bool has_runtime = false;
  for (const std::string& e : env) has_runtime |= e.rfind("XDG_RUNTIME_DIR=", 0) == 0;
  if (!has_runtime) {
    std::string runtime_dir = capture.path() + "runtime";
    fs::MakeFolder(runtime_dir);
    environment.push_back("XDG_RUNTIME_DIR=" + runtime_dir);
  }
  pid_t pid = StartProgram(program, args, environment, out_path, err_path);
  if (pid < 0) return result;
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.exit_status = 128 + WTERMSIG(status);
  int fd = open(out_path.c_str(), O_RDONLY);
  if (fd >= 0) {
    result.output = ReadAll(fd);
    close(fd);
  }
  fd = open(err_path.c_str(), O_RDONLY);
  if (fd >= 0) {
    result.error = ReadAll(fd);
    close(fd);
  }
  return result;
}

RunResult RunPic2jpg(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  return Run(PIC2JPG_EXE, args, env);
}

FIBITMAP* LoadImage(const std::string& path) {
  FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
  if (format == FIF_UNKNOWN) format = FreeImage_GetFIFFromFilename(path.c_str());
  if (format == FIF_UNKNOWN) return nullptr;
  return FreeImage_Load(format, path.c_str(), 0);
}

bool PutPhoto(const TempDir& dir, std::string* input, std::string* out) {
  *input = dir.File("photo.pic");
  *out = dir.File("out");
  return CopyFile(DataFile("FLAG_B24.PCT"), *input) && fs::MakeFolder(*out);
}

bool PictureConversion::Complete() const {
  for (const std::string& line : run.Lines()) {
    if (line.starts_with("Conversion complete")) return true;
  }
  return false;
}

PictureConversion ConvertDataPicture(const std::string& name,
                                     const std::vector<std::string>& options) {
  TempDir in;
  TempDir out;
  const std::string input = in.File(name);
  PictureConversion result;
  if (!CopyFile(DataFile(name), input)) return result;
  std::vector<std::string> args = {"-i", input, "-o", out.path()};
  args.insert(args.end(), options.begin(), options.end());
  result.run = RunPic2jpg(args);
  result.output.reset(LoadImage(out.File(name.substr(0, name.rfind('.')) + ".jpg")));
  return result;
}

BitmapPtr ReferenceDecode(const std::string& name) {
  BitmapPtr loaded(LoadImage(DataFile(name + ".png")));
  return BitmapPtr(loaded == nullptr ? nullptr : FreeImage_ConvertTo24Bits(loaded.get()));
}

std::string JoinedArgs(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& a : args) text += a + " ";
  return text;
}

double PsnrOfFiles(const std::string& image, const std::string& reference) {
  FIBITMAP* a = LoadImage(image);
  FIBITMAP* b = LoadImage(reference);
  double psnr = Psnr(a, b);
  if (a != nullptr) FreeImage_Unload(a);
  if (b != nullptr) FreeImage_Unload(b);
  return psnr;
}

std::string LibraryJpeg(FIBITMAP* image, int flags) {
  FIMEMORY* memory = FreeImage_OpenMemory();
  std::string bytes;
  if (FreeImage_SaveToMemory(FIF_JPEG, image, memory, flags)) {
    BYTE* data = nullptr;
    DWORD size = 0;
    FreeImage_AcquireMemory(memory, &data, &size);
    bytes.assign(reinterpret_cast<const char*>(data), size);
  }
  FreeImage_CloseMemory(memory);
  return bytes;
}

FIBITMAP* MakeImage(int width, int height, int bpp, int rgb) {
  FIBITMAP* image = FreeImage_Allocate(width, height, 24);
  for (int y = 0; y < height; ++y) {
    BYTE* row = FreeImage_GetScanLine(image, height - 1 - y);
    for (int x = 0; x < width; ++x) {
      int r = rgb >= 0 ? (rgb >> 16) & 255 : (x * 255) / std::max(1, width - 1);
      int g = rgb >= 0 ? (rgb >> 8) & 255 : (y * 255) / std::max(1, height - 1);
      int b = rgb >= 0 ? rgb & 255 : ((x + y) * 127) / std::max(1, width + height - 2);
      row[x * 3 + FI_RGBA_RED] = static_cast<BYTE>(r);
      row[x * 3 + FI_RGBA_GREEN] = static_cast<BYTE>(g);
      row[x * 3 + FI_RGBA_BLUE] = static_cast<BYTE>(b);
    }
  }
  if (bpp == 24) return image;
  // The codec library's conversion to each other depth.
  const struct {
    int bpp;
    FIBITMAP* (*convert)(FIBITMAP*);
  } kConversions[] = {
      {1, [](FIBITMAP* i) { return FreeImage_Threshold(i, 128); }},
      {4, FreeImage_ConvertTo4Bits},
      {8, FreeImage_ConvertTo8Bits},
      {16, FreeImage_ConvertTo16Bits565},
      {32, FreeImage_ConvertTo32Bits},
      {48, FreeImage_ConvertToRGB16},
  };
  FIBITMAP* converted = nullptr;
  for (const auto& c : kConversions) {
    if (c.bpp == bpp) converted = c.convert(image);
  }
  FreeImage_Unload(image);
  return converted;
}

int PixelAt(FIBITMAP* image, int x, int y) {
  RGBQUAD colour{};
  unsigned height = FreeImage_GetHeight(image);
  if (FreeImage_GetBPP(image) == 48) {
    FIBITMAP* c = FreeImage_ConvertTo24Bits(image);
    FreeImage_GetPixelColor(c, static_cast<unsigned>(x), height - 1 - static_cast<unsigned>(y),
                            &colour);
    FreeImage_Unload(c);
  } else if (FreeImage_GetBPP(image) <= 8) {
    BYTE index = 0;
    FreeImage_GetPixelIndex(image, static_cast<unsigned>(x), height - 1 - static_cast<unsigned>(y),
                            &index);
    RGBQUAD* palette = FreeImage_GetPalette(image);
    if (palette != nullptr) colour = palette[index];
  } else {
    FreeImage_GetPixelColor(image, static_cast<unsigned>(x), height - 1 - static_cast<unsigned>(y),
                            &colour);
  }
  return (colour.rgbRed << 16) | (colour.rgbGreen << 8) | colour.rgbBlue;
}

}  // namespace pic2jpg::test
