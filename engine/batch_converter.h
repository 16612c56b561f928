// The external converter for a run of many files. Instead of one converter
// start per file, a few converter processes (pict2tga --serve) stay up for
// the run and decode the files ahead of the one being converted, each on a
// core of its own, while this process loads, transforms and saves in input
// order, so that output names and the mask's counter are exactly those of a
// one-at-a-time run. A converter that crashes or hangs on a file fails that
// file only; a new one is started for the files after it.
#ifndef PIC2JPG_ENGINE_BATCH_CONVERTER_H_
#define PIC2JPG_ENGINE_BATCH_CONVERTER_H_

#include <memory>
#include <string>
#include <vector>

#include "engine/external_converter.h"

namespace pic2jpg {

// True for a converter that can take many files in one process (ours).
bool CanServeManyFiles(const ExternalConverter& converter);

// The converter processes of one run, used by that run's worker only.
struct ConverterPool;

// Starts a pool for `inputs`, in the order they will be asked for, with
// `processes` converter processes. Null (and nothing started) when the
// converter cannot serve many files or there is no temporary folder.
// `timeout_seconds` bounds each file. Letting go of the pool ends its
// processes and removes what is left of their files.
std::shared_ptr<ConverterPool> StartConverterPool(const ExternalConverter& converter,
                                                  const std::vector<std::string>& inputs,
                                                  int processes, int timeout_seconds);

// A folder of the pool's own for the intermediate files of the file being
// converted: the same one for every file, which the caller empties after
// each (fs::EmptyFolder) instead of making and removing a folder per file.
// "" when the pool is stopped.
std::string PoolWorkFolder(const ConverterPool& pool);

// Ends the pool's processes now; it knows no file afterwards.
void StopConverterPool(ConverterPool* pool);

// When the pool knows `input_path`: waits for its conversion and returns
// true with the converter's exit status and message, as a run of the
// converter for that one file gives them (the Targa, on success, put at
// `targa_path`). False when it does not know the file (or gave it out
// already): the caller then runs the converter itself.
bool TakePooledConversion(ConverterPool* pool, const std::string& input_path,
                          const std::string& targa_path, int* status, std::string* error_text);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_BATCH_CONVERTER_H_
