// The external converter run before loading: a command-line program that
// turns the input picture into a Targa file. Ours, pict2tga, is looked for
// beside the executable first; ImageMagick's convert on PATH stands in when
// it is absent.
#ifndef PIC2JPG_ENGINE_EXTERNAL_CONVERTER_H_
#define PIC2JPG_ENGINE_EXTERNAL_CONVERTER_H_

#include <string>
#include <vector>

namespace pic2jpg {

struct ExternalConverter {
  std::string program;  // full path; "" when there is none
  bool is_imagemagick = false;
  bool is_own_reader = false;  // our pict2tga: its refusal of a picture is final
};

// Finds the converter to use (an override for tests and odd installs: the
// environment variable PIC2JPG_CONVERTER naming a program, or "none").
ExternalConverter FindExternalConverter();

// The arguments handed to the converter for one file.
std::vector<std::string> ConverterArguments(const ExternalConverter& converter,
                                            const std::string& input_path,
                                            const std::string& targa_path);

// Runs the converter and returns its exit status (see platform::RunProgram);
// its standard error goes to `error_text` when given. The caller still checks
// the Targa file it finds afterwards.
int RunExternalConverter(const ExternalConverter& converter, const std::string& input_path,
                         const std::string& targa_path, std::string* error_text = nullptr);

// The time a converter or loader may take on one file before it is stopped.
inline constexpr int kConverterTimeoutSeconds = 300;

// A helper program of ours (pict2tga, pic2jpg-load), looked for beside the
// executable, then on the search path; "" when there is none.
std::string FindHelperProgram(const std::string& name);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_EXTERNAL_CONVERTER_H_
