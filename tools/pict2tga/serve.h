// pict2tga --serve: one converter process for many files, so that a run of
// many pictures pays the program's start (the codec library and its shared
// libraries) once instead of once per file.
//
// Requests come on standard input, each the input path and the output path,
// each ended by a NUL byte (paths may hold any other byte, line breaks
// included). For each request the answer goes to standard output: a line
// "STATUS LENGTH", STATUS being the exit status the one-file form would have
// given (0 on success), followed by LENGTH bytes of the message that form
// would have written to standard error (none on success). The program ends
// when its input ends. A picture that crashes or hangs the reader ends
// the process; the caller starts a new one for the files after it.
#ifndef PIC2JPG_TOOLS_PICT2TGA_SERVE_H_
#define PIC2JPG_TOOLS_PICT2TGA_SERVE_H_

#include <string>

namespace pic2jpg {

// Serves requests with `convert` until standard input ends; returns 0, or 1
// when a request was cut short or the answer could not be written.
int Serve(int (*convert)(const std::string& input, const std::string& output,
                         std::string* message));

}  // namespace pic2jpg

#endif  // PIC2JPG_TOOLS_PICT2TGA_SERVE_H_
