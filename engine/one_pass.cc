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
#include "platform/file_system.h"
#include "platform/memory_advice.h"
#include "platform/process.h"
#include "platform/row_stream.h"
#include "text/resource_reference.h"

namespace pic2jpg {
namespace {

// Strips whose rows are in but which no encoder has taken yet, at most: the
// converter waits on the pipe meanwhile.
constexpr int kWaitingStrips = 2;
// Strips whose rows are held at once: waiting, being encoded, being read.
constexpr int kPooledStrips = kWaitingStrips + kJpegStripThreads + 1;
// An input of this size is a large picture. Its strips' pool is faulted in
// while the converter starts and reads, by this thread, which would only wait
// for the first rows then: fresh memory costs most on its first touch. The
// pool has room for strips of a little over kJpegStripBytes, which every
// picture but a very wide one is cut into.
constexpr int64_t kEarlyPoolInputBytes = int64_t{8} << 20;
constexpr size_t kEarlyPoolBytes = kPooledStrips * (static_cast<size_t>(kJpegStripBytes) +
                                                    static_cast<size_t>(kJpegStripBytes) / 8);

// Memory for the rows of the strips in hand.
struct RowPool {
  platform::LargeBuffer data;
  size_t size = 0;
};

RowPool FaultedInPool(size_t size) {
  RowPool pool;
  pool.data = platform::AllocateLargeBuffer(size);
  if (pool.data == nullptr) return pool;
  pool.size = platform::LargeBufferSize(size);
  platform::FaultInBuffer(pool.data.get(), pool.size);
  return pool;
}

// Rows go to the one-pass encoder in pieces of about this size.
constexpr size_t kRowChunkBytes = size_t{1} << 20;

enum class Outcome { kOk, kStreamShort, kEncodeFailed };

struct RowSource {
  platform::ReadingProgram* program = nullptr;
  RowStreamHeader header;
  int components = 3;        // in the file: 1 grey, 3 colour
  size_t in_row_bytes = 0;   // a row in the stream
  size_t out_row_bytes = 0;  // a row as the encoder takes it
  int flags = 0;             // the save flags
  std::vector<uint8_t> scratch;
  RowPool early_pool;  // faulted in before the first rows came, or none
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

Outcome EncodeInOnePass(RowSource* source, fs::FileWriter* writer) {
  const RowStreamHeader& header = source->header;
  JpegEncoderPtr encoder = StartJpegEncoder({header.width, header.height, source->components},
                                            source->flags, nullptr, writer);
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

struct Strip {
  uint8_t* rows = nullptr;  // in the row pool while the strip is read and encoded
  JpegBytes jpeg;
};

// Strips from the reading thread to the encoding threads, in order, and
// from them to the file, in order again.
struct StripQueue {
  std::mutex mutex;
  std::condition_variable changed;
  int read = 0;   // strips whose rows are all in
  int taken = 0;  // strips an encoder has taken
  bool stopped = false;
  bool encode_failed = false;
  std::vector<Strip> strips;
  // Room for the rows of the strips being read, waiting and being encoded,
  // taken in turn: memory used again faults no more, and the pool is one
  // buffer on large pages.
  platform::LargeBuffer pool;
  std::vector<uint8_t*> spare;
  // Each strip is written as soon as those above it are; whichever encoder
  // finds the next one encoded writes it, and its stream's memory serves a
  // later strip.
  std::vector<char> encoded;
  int written = 0;
  bool writing = false;
  std::vector<JpegBytes> spare_jpeg;
  JpegSplice splice;
  fs::FileWriter* writer = nullptr;
};

// Writes the strips that are encoded and next in order, until one is not.
void WriteEncodedStrips(StripQueue* queue) {
  std::vector<std::string_view> pieces;
  std::unique_lock lock(queue->mutex);
  while (!queue->stopped && queue->written < queue->splice.plan.strip_count &&
         queue->encoded[static_cast<size_t>(queue->written)]) {
    Strip& strip = queue->strips[static_cast<size_t>(queue->written)];
    lock.unlock();
    pieces.clear();
    bool ok = SpliceNextJpegStrip(&queue->splice, strip.jpeg.View(), &pieces);
    for (std::string_view piece : pieces) {
      ok = ok && fs::WritePart(queue->writer, piece.data(), piece.size());
    }
    lock.lock();
    if (!ok) {
      queue->stopped = true;
      queue->encode_failed = true;
      queue->changed.notify_all();
      break;
    }
    ++queue->written;
    queue->spare_jpeg.push_back(std::move(strip.jpeg));
  }
  queue->writing = false;
}

// Encodes the strips the queue hands out until there are no more.
void EncodeStrips(const RowSource& source, StripQueue* queue) {
  const JpegStripPlan& plan = queue->splice.plan;
  for (;;) {
    int k = 0;
    JpegBytes jpeg;
    {
      std::unique_lock lock(queue->mutex);
      queue->changed.wait(lock, [&] {
        return queue->stopped || queue->taken < queue->read || queue->taken == plan.strip_count;
      });
      if (queue->stopped || queue->taken == plan.strip_count) return;
      k = queue->taken++;
      if (!queue->spare_jpeg.empty()) {
        jpeg = std::move(queue->spare_jpeg.back());
        queue->spare_jpeg.pop_back();
      }
    }
    queue->changed.notify_all();  // the reader may go on
    Strip& strip = queue->strips[static_cast<size_t>(k)];
    strip.jpeg = std::move(jpeg);
    strip.jpeg.size = 0;
    const int rows = std::min(plan.strip_height, source.header.height - k * plan.strip_height);
    JpegEncoderPtr encoder = StartJpegEncoder({source.header.width, rows, source.components},
                                              source.flags, &strip.jpeg, nullptr);
    const bool ok = encoder != nullptr &&
                    WriteJpegRows(encoder.get(), strip.rows, rows, source.out_row_bytes) &&
                    FinishJpegEncoder(encoder.get());
    bool write = false;
    {
      std::lock_guard lock(queue->mutex);
      queue->spare.push_back(strip.rows);
      strip.rows = nullptr;
      if (!ok) {
        queue->stopped = true;
        queue->encode_failed = true;
      } else {
        queue->encoded[static_cast<size_t>(k)] = 1;
        write = !queue->writing;
        queue->writing = true;
      }
    }
    queue->changed.notify_all();  // a row buffer is free, or all stop
    if (write) WriteEncodedStrips(queue);
  }
}

// Reads the strips on this thread while kJpegStripThreads others encode
// them and write the file.
Outcome EncodeInStrips(RowSource* source, const JpegStripPlan& plan, fs::FileWriter* writer) {
  StripQueue queue;
  queue.strips.resize(static_cast<size_t>(plan.strip_count));
  queue.encoded.assign(static_cast<size_t>(plan.strip_count), 0);
  queue.splice.plan = plan;
  queue.splice.width = source->header.width;
  queue.splice.height = source->header.height;
  queue.splice.components = source->components;
  queue.writer = writer;
  const size_t strip_bytes = static_cast<size_t>(plan.strip_height) * source->out_row_bytes;
  const int pooled = std::min(plan.strip_count, kPooledStrips);
  const size_t pool_bytes = strip_bytes * static_cast<size_t>(pooled);
  queue.pool = source->early_pool.size >= pool_bytes ? std::move(source->early_pool.data)
                                                     : platform::AllocateLargeBuffer(pool_bytes);
  if (queue.pool == nullptr) return EncodeInOnePass(source, writer);
  for (int i = pooled - 1; i >= 0; --i) {
    queue.spare.push_back(queue.pool.get() + strip_bytes * static_cast<size_t>(i));
  }
  std::vector<std::thread> encoders;
  for (int t = 0; t < kJpegStripThreads; ++t) {
    try {
      encoders.emplace_back(EncodeStrips, std::cref(*source), &queue);
    } catch (const std::system_error&) {
      break;  // fewer threads
    }
  }
  if (encoders.empty()) return EncodeInOnePass(source, writer);
  bool short_stream = false;
  const int height = source->header.height;
  for (int k = 0; k < plan.strip_count; ++k) {
    Strip& strip = queue.strips[static_cast<size_t>(k)];
    {
      std::unique_lock lock(queue.mutex);
      queue.changed.wait(lock, [&] {
        return queue.stopped || (queue.read - queue.taken < kWaitingStrips && !queue.spare.empty());
      });
      if (queue.stopped) break;
      strip.rows = queue.spare.back();
      queue.spare.pop_back();
    }
    const int rows = std::min(plan.strip_height, height - k * plan.strip_height);
    short_stream = !ReadRows(source, rows, strip.rows);
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
  if (queue.encode_failed || queue.written != plan.strip_count) return Outcome::kEncodeFailed;
  return Outcome::kOk;
}

Outcome Encode(RowSource* source, fs::FileWriter* writer) {
  const RowStreamHeader& header = source->header;
  JpegStripPlan plan;
  const bool greyscale = source->components == 1;
  if (JpegFlagsAllowStrips(source->flags) &&
      int64_t{header.width} * int64_t{header.height} >= kMinJpegStripPixels &&
      PlanJpegStrips(header.width, header.height, source->flags, greyscale,
                     JpegStripMinimum(header.width, header.height, source->components), &plan)) {
    return EncodeInStrips(source, plan, writer);
  }
  return EncodeInOnePass(source, writer);
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
  source.flags = job.output.save_flags;
  if (fs::FileSize(input) >= kEarlyPoolInputBytes)
    source.early_pool = FaultedInPool(kEarlyPoolBytes);
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
  const Outcome outcome = started ? Encode(&source, &writer) : Outcome::kEncodeFailed;
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
