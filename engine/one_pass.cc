#include "engine/one_pass.h"

#include <FreeImage.h>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/depth.h"
#include "engine/jpeg_encoder.h"
#include "engine/jpeg_strips.h"
#include "engine/output_claims.h"
#include "engine/safe_load.h"
#include "platform/process.h"
#include "platform/row_stream.h"
#include "text/resource_reference.h"

namespace pic2jpg {
namespace {

// Strips whose rows are in but which no encoder has taken yet, at most: the
// converter waits on the pipe meanwhile.
constexpr int kWaitingStrips = 2;
// Rows go to the one-pass encoder in pieces of about this size.
constexpr size_t kRowChunkBytes = size_t{1} << 20;

enum class Outcome { kOk, kStreamShort, kEncodeFailed };

struct RowSource {
  platform::ReadingProgram* program = nullptr;
  RowStreamHeader header;
  int components = 3;        // in the file: 1 grey, 3 colour
  size_t in_row_bytes = 0;   // a row in the stream
  size_t out_row_bytes = 0;  // a row as the encoder takes it
  std::vector<uint8_t> scratch;
};

// Reads the next `count` rows into `to`; grey rows become blue, green, red
// when the file is in colour. False when the stream ends first.
bool ReadRows(RowSource* source, int count, uint8_t* to) {
  const auto rows = static_cast<size_t>(count);
  if (source->in_row_bytes == source->out_row_bytes) {
    const size_t size = rows * source->out_row_bytes;
    return platform::ReadFromProgram(source->program, to, size) == size;
  }
  source->scratch.resize(rows * source->in_row_bytes);
  if (platform::ReadFromProgram(source->program, source->scratch.data(), source->scratch.size()) !=
      source->scratch.size()) {
    return false;
  }
  for (size_t i = 0; i < source->scratch.size(); ++i) {
    to[3 * i] = to[3 * i + 1] = to[3 * i + 2] = source->scratch[i];
  }
  return true;
}

Outcome EncodeInOnePass(RowSource* source, int flags, fs::FileWriter* writer) {
  const RowStreamHeader& header = source->header;
  JpegEncoderPtr encoder =
      StartJpegEncoder({header.width, header.height, source->components}, flags, nullptr, writer);
  if (encoder == nullptr) return Outcome::kEncodeFailed;
  const int chunk_rows = std::min(
      header.height, std::max(1, static_cast<int>(kRowChunkBytes / source->out_row_bytes)));
  std::vector<uint8_t> rows(static_cast<size_t>(chunk_rows) * source->out_row_bytes);
  for (int y = 0; y < header.height; y += chunk_rows) {
    const int count = std::min(chunk_rows, header.height - y);
    if (!ReadRows(source, count, rows.data())) return Outcome::kStreamShort;
    if (!WriteJpegRows(encoder.get(), rows.data(), count, source->out_row_bytes)) {
      return Outcome::kEncodeFailed;
    }
  }
  return FinishJpegEncoder(encoder.get()) ? Outcome::kOk : Outcome::kEncodeFailed;
}

// Rows of one strip. Left uninitialised: the stream fills them.
struct RowBuffer {
  std::unique_ptr<uint8_t[]> data;
  size_t capacity = 0;
};

struct Strip {
  RowBuffer rows;
  std::string jpeg;
};

// Strips from the reading thread to the encoding threads, in order.
struct StripQueue {
  std::mutex mutex;
  std::condition_variable changed;
  int read = 0;   // strips whose rows are all in
  int taken = 0;  // strips an encoder has taken
  bool stopped = false;
  bool encode_failed = false;
  // Buffers of strips already encoded, for the next strips: fresh memory
  // costs a page fault every 4 KiB.
  std::vector<RowBuffer> spare;
};

// Encodes the strips the queue hands out until there are no more.
void EncodeStrips(const RowSource& source, const JpegStripPlan& plan, int flags,
                  std::vector<Strip>* strips, StripQueue* queue) {
  for (;;) {
    int k = 0;
    {
      std::unique_lock lock(queue->mutex);
      queue->changed.wait(lock, [&] {
        return queue->stopped || queue->taken < queue->read || queue->taken == plan.strip_count;
      });
      if (queue->stopped || queue->taken == plan.strip_count) return;
      k = queue->taken++;
    }
    queue->changed.notify_all();  // the reader may go on
    Strip& strip = (*strips)[static_cast<size_t>(k)];
    const int rows = std::min(plan.strip_height, source.header.height - k * plan.strip_height);
    strip.jpeg.reserve(strip.rows.capacity / 4);
    JpegEncoderPtr encoder = StartJpegEncoder({source.header.width, rows, source.components}, flags,
                                              &strip.jpeg, nullptr);
    const bool ok =
        encoder != nullptr &&
        WriteJpegRows(encoder.get(), strip.rows.data.get(), rows, source.out_row_bytes) &&
        FinishJpegEncoder(encoder.get());
    {
      std::lock_guard lock(queue->mutex);
      queue->spare.push_back(std::move(strip.rows));
      if (!ok) {
        queue->stopped = true;
        queue->encode_failed = true;
      }
    }
    if (!ok) queue->changed.notify_all();
  }
}

// Reads the strips on this thread while kJpegStripThreads others encode
// them, then splices and writes the file.
Outcome EncodeInStrips(RowSource* source, const JpegStripPlan& plan, int flags,
                       fs::FileWriter* writer) {
  std::vector<Strip> strips(static_cast<size_t>(plan.strip_count));
  StripQueue queue;
  std::vector<std::thread> encoders;
  for (int t = 0; t < kJpegStripThreads; ++t) {
    try {
      encoders.emplace_back(EncodeStrips, std::cref(*source), std::cref(plan), flags, &strips,
                            &queue);
    } catch (const std::system_error&) {
      break;  // fewer threads
    }
  }
  if (encoders.empty()) return EncodeInOnePass(source, flags, writer);
  bool short_stream = false;
  const int height = source->header.height;
  for (int k = 0; k < plan.strip_count; ++k) {
    Strip& strip = strips[static_cast<size_t>(k)];
    {
      std::unique_lock lock(queue.mutex);
      queue.changed.wait(
          lock, [&] { return queue.stopped || queue.read - queue.taken < kWaitingStrips; });
      if (queue.stopped) break;
      if (!queue.spare.empty()) {
        strip.rows = std::move(queue.spare.back());
        queue.spare.pop_back();
      }
    }
    const int rows = std::min(plan.strip_height, height - k * plan.strip_height);
    const size_t size = static_cast<size_t>(rows) * source->out_row_bytes;
    if (strip.rows.capacity < size) {
      strip.rows.data.reset(new uint8_t[size]);
      strip.rows.capacity = size;
    }
    short_stream = !ReadRows(source, rows, strip.rows.data.get());
    {
      std::lock_guard lock(queue.mutex);
      if (short_stream) {
        queue.stopped = true;
      } else {
        ++queue.read;
      }
    }
    queue.changed.notify_all();
    if (short_stream) break;
  }
  for (std::thread& encoder : encoders) encoder.join();
  if (short_stream) return Outcome::kStreamShort;
  if (queue.encode_failed) return Outcome::kEncodeFailed;
  std::vector<std::string_view> streams;
  for (const Strip& strip : strips) streams.emplace_back(strip.jpeg);
  std::string header;
  std::vector<std::string_view> pieces;
  if (!SpliceJpegStrips(plan, streams, source->header.width, height, source->components, &header,
                        &pieces)) {
    return Outcome::kEncodeFailed;
  }
  for (std::string_view piece : pieces) {
    if (!fs::WritePart(writer, piece.data(), piece.size())) return Outcome::kEncodeFailed;
  }
  return Outcome::kOk;
}

Outcome Encode(RowSource* source, int flags, fs::FileWriter* writer) {
  const RowStreamHeader& header = source->header;
  JpegStripPlan plan;
  const bool greyscale = source->components == 1;
  if (JpegFlagsAllowStrips(flags) &&
      int64_t{header.width} * int64_t{header.height} >= kMinJpegStripPixels &&
      PlanJpegStrips(header.width, header.height, flags, greyscale,
                     JpegStripMinimum(header.width, header.height, source->components), &plan)) {
    return EncodeInStrips(source, plan, flags, writer);
  }
  return EncodeInOnePass(source, flags, writer);
}

// Why a file failed whose rows were read (or not) with `outcome`, after the
// converter ended with `status`; "" when the writer's own error says it.
std::string FailureReason(Outcome outcome, int status, const platform::ReadingProgram& program,
                          const ConversionJob& job, const fs::FileWriter& writer) {
  if (outcome == Outcome::kStreamShort || (outcome == Outcome::kOk && status != 0)) {
    return DescribeConverterFailure(status, program.error_text, job.input_path,
                                    job.decoding.timeout_seconds);
  }
  if (outcome == Outcome::kEncodeFailed && writer.ok) return "the picture cannot be encoded";
  return "";
}

}  // namespace

bool ConvertsInOnePass(const ConversionJob& job) {
  const Settings& s = *job.settings;
  const bool nothing_to_do =
      s.transform.do_image_rotation == 0 && s.transform.do_image_resize == 0 &&
      s.transform.do_image_flip_horizontal == 0 && s.transform.do_image_flip_vertical == 0 &&
      s.adjustment.do_image_color_correction == 0 && s.adjustment.do_image_greyscale == 0 &&
      s.adjustment.do_image_threshold == 0 && s.frame.do_frame == 0 &&
      s.watermark.kind == WatermarkKind::kNone;
  const ExternalConverter& converter = job.decoding.converter;
  // A run of many files has its pool convert ahead instead.
  return nothing_to_do && job.output.codec_id == FIF_JPEG &&
         (job.output.auto_depth || job.output.target_depth == 24) && converter.is_own_reader &&
         !converter.program.empty() && job.decoding.pool == nullptr;
}

ConversionResult ConvertInOnePass(const ConversionJob& job) {
  ConversionResult result;
  const std::string& input = job.input_path;
  if (!Readable(ContainerOfInput(input), &result.reason)) return result;
  const PictureDecoding& decoding = job.decoding;
  platform::ReadingProgram program;
  if (platform::StartReadingProgram(decoding.converter.program, {"--rows", input},
                                    decoding.timeout_seconds, &program) != 0) {
    result.reason =
        DescribeConverterFailure(-1, program.error_text, input, decoding.timeout_seconds);
    return result;
  }
  RowSource source;
  source.program = &program;
  uint8_t head[kRowStreamHeaderSize];
  const size_t got = platform::ReadFromProgram(&program, head, sizeof head);
  if (got != sizeof head || !ReadRowStreamHeader(head, &source.header)) {
    // A converter that refused the picture wrote nothing; its status says why.
    const int status = platform::FinishReadingProgram(&program, got == sizeof head);
    result.reason = DescribeConverterFailure(got == sizeof head ? 0 : status, program.error_text,
                                             input, decoding.timeout_seconds);
    return result;
  }
  const RowStreamHeader& header = source.header;
  result.source_depth = header.depth;
  result.depth = TargetDepth(job.output, header.depth);
  result.width = header.width;
  result.height = header.height;
  source.components = result.depth == 8 ? 1 : 3;
  source.in_row_bytes = static_cast<size_t>(header.width) * RowStreamChannels(header);
  source.out_row_bytes = static_cast<size_t>(header.width) * source.components;
  if ((result.depth != 8 && result.depth != 24) || (result.depth == 8 && header.depth != 8) ||
      !ChooseOutputPath(job, OutputNames(job, result.depth, header.width, header.height),
                        &result)) {
    platform::FinishReadingProgram(&program, /*stop=*/true);
    if (result.reason.empty()) result.reason = "the picture could not be processed";
    return result;
  }
  fs::FileWriter writer;
  const bool started = fs::StartFileBelow(
      job.output_folder, result.output_path.substr(job.output_folder.size()), &writer);
  const Outcome outcome =
      started ? Encode(&source, job.output.save_flags, &writer) : Outcome::kEncodeFailed;
  // A stream cut short: the converter is ending (or hangs, and is stopped
  // at its deadline); its status says why.
  const int status =
      platform::FinishReadingProgram(&program, /*stop=*/outcome == Outcome::kEncodeFailed);
  result.reason = FailureReason(outcome, status, program, job, writer);
  result.ok = EndOutputFile(outcome == Outcome::kOk && status == 0, &writer, &result.reason);
  if (result.ok) {
    result.reason.clear();
    if (job.claims != nullptr) ClaimOutputPath(job.claims, result.output_path, input);
  } else if (result.reason.empty()) {
    result.reason = "the picture could not be processed";
  }
  return result;
}

}  // namespace pic2jpg
