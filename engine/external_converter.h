// The external converter run before loading: a command-line program that
// turns the input picture into a Targa file. Ours, pict2tga, is looked for
// beside the executable first; ImageMagick's convert on PATH stands in when
// it is absent.
#ifndef PIC2JPG_ENGINE_EXTERNAL_CONVERTER_H_
#define PIC2JPG_ENGINE_EXTERNAL_CONVERTER_H_

#include <string>
#include <vector>

namespace pic2jpg {

// A converter that hangs on a hostile file is stopped after this long.
inline constexpr int kConverterTimeoutSeconds = 300;

struct ExternalConverter {
  std::string program;  // full path; "" when there is none
  bool is_imagemagick = false;
};

// Finds the converter to use (an override for tests and odd installs: the
// environment variable PIC2JPG_CONVERTER naming a program, or "none").
ExternalConverter FindExternalConverter();

// The arguments handed to the converter for one file.
std::vector<std::string> ConverterArguments(const ExternalConverter& converter,
                                            const std::string& input_path,
                                            const std::string& targa_path);

// Runs the converter; true when it ended with status 0. The caller judges the
// result by the Targa file it finds afterwards.
bool RunExternalConverter(const ExternalConverter& converter, const std::string& input_path,
                          const std::string& targa_path);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_EXTERNAL_CONVERTER_H_
