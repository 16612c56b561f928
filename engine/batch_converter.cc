#include "engine/batch_converter.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <unordered_map>
#include <utility>

#include "platform/child_process.h"
#include "platform/cleanup.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/memory_advice.h"

namespace pic2jpg {
namespace {

// Time a converter is given to end after its input is closed.
constexpr int kEndGraceMs = 2000;
// Files a converter is given at once: it starts the next one as soon as it
// has answered for one, without waiting for this process to come back for
// the answer between two saves.
constexpr size_t kQueuedPerConverter = 3;

enum class State { kWaiting, kRunning, kDone, kTaken };

struct Item {
  std::string input;
  std::string targa;  // where the converter writes it
  State state = State::kWaiting;
  int status = -1;      // the converter's exit status for this file
  std::string message;  // and what it said about it
};

struct Converter {
  platform::ChildProcess child;
  // The files it was given and has not answered for, in order; it is
  // converting the first, which must be done by the deadline.
  std::deque<size_t> queue;
  long long deadline_ms = 0;
  std::string output;  // answers not yet read in full
};

// Answers are a line "STATUS LENGTH" and LENGTH bytes of message.
struct Answer {
  int status = -1;
  std::string message;
};

}  // namespace

struct ConverterPool {
  bool active = false;
  std::string program;
  std::string folder;       // private temporary folder of the Targa files
  std::string work_folder;  // below it: see PoolWorkFolder
  int cleanup_slot = -1;
  long long timeout_ms = 0;
  std::vector<Item> items;
  std::unordered_map<std::string, size_t> index;
  std::vector<Converter> converters;
  size_t next = 0;       // first item not yet handed out
  size_t current = 0;    // the item asked for last
  size_t discarded = 0;  // items before this one are no longer wanted
};

namespace {

void Finish(Item* item, int status, std::string message) {
  item->status = status;
  item->message = std::move(message);
  if (status != 0) fs::RemoveFile(item->targa);
  item->state = State::kDone;
}

// The converter ended or was stopped: the file it was converting has
// failed, with the status the converter ended with (128 + SIGKILL when it
// was stopped); the files queued behind it wait for another converter.
void LoseConverter(ConverterPool* pool, Converter* converter) {
  const int status = platform::KillChild(&converter->child);
  if (!converter->queue.empty()) {
    Finish(&pool->items[converter->queue.front()], status == 0 ? -1 : status, "");
    converter->queue.pop_front();
  }
  for (const size_t queued : converter->queue) {
    pool->items[queued].state = State::kWaiting;
    pool->next = std::min(pool->next, queued);
  }
  converter->queue.clear();
  converter->output.clear();
}

// True when a file waits to be converted no further ahead than `window`;
// it is then the `next` item.
bool FileWaits(ConverterPool* pool, size_t window) {
  ConverterPool& batch = *pool;
  while (batch.next < batch.items.size() && batch.items[batch.next].state != State::kWaiting) {
    ++batch.next;
  }
  return batch.next < batch.items.size() && batch.next <= window;
}

// Gives `converter` the next waiting file; false when it could not take it.
bool GiveNextFile(ConverterPool* pool, Converter* converter) {
  ConverterPool& batch = *pool;
  Item& item = batch.items[batch.next];
  std::string request = item.input;
  request.push_back('\0');
  request += item.targa;
  request.push_back('\0');
  if (!platform::WriteToChild(&converter->child, request)) {
    // It had ended: the next round starts a new one.
    LoseConverter(pool, converter);
    return false;
  }
  item.state = State::kRunning;
  if (converter->queue.empty())
    converter->deadline_ms = platform::MonotonicMilliseconds() + batch.timeout_ms;
  converter->queue.push_back(batch.next);
  ++batch.next;
  return true;
}

// Hands the next files to the converters, a few to each, no further ahead
// of the current file than they can all hold. False when a converter was
// needed and none could be started.
bool Dispatch(ConverterPool* pool) {
  ConverterPool& batch = *pool;
  const size_t window = batch.current + batch.converters.size() * kQueuedPerConverter;
  for (Converter& converter : batch.converters) {
    while (converter.queue.size() < kQueuedPerConverter && FileWaits(pool, window)) {
      if (converter.queue.empty() && !platform::ChildRunning(converter.child) &&
          !platform::StartChild(batch.program, {"--serve"}, &converter.child)) {
        return false;
      }
      if (!GiveNextFile(pool, &converter)) break;
    }
  }
  return true;
}

// Takes one whole answer off the front of `output`; false when it is not
// all there yet.
bool TakeAnswer(std::string* output, Answer* answer) {
  const size_t end = output->find('\n');
  if (end == std::string::npos) return false;
  int status = -1;
  size_t length = 0;
  if (std::sscanf(output->c_str(), "%d %zu", &status, &length) != 2) {
    // Not our protocol: the line counts as a failure without a message.
    output->erase(0, end + 1);
    *answer = Answer{};
    return true;
  }
  if (output->size() < end + 1 + length) return false;
  answer->status = status;
  answer->message = output->substr(end + 1, length);
  output->erase(0, end + 1 + length);
  return true;
}

// Reads a converter's answers, one per file.
void ReadAnswers(ConverterPool* pool, Converter* converter) {
  const bool open = platform::ReadFromChild(&converter->child, &converter->output);
  Answer answer;
  while (TakeAnswer(&converter->output, &answer)) {
    if (converter->queue.empty()) continue;  // an answer nobody asked for
    Finish(&pool->items[converter->queue.front()], answer.status, std::move(answer.message));
    converter->queue.pop_front();
    // The next file's time starts now.
    converter->deadline_ms = platform::MonotonicMilliseconds() + pool->timeout_ms;
  }
  if (!open) LoseConverter(pool, converter);
}

// Waits for the next answer, end or timeout of a busy converter. False when
// none is busy.
bool AwaitProgress(ConverterPool* pool) {
  ConverterPool& batch = *pool;
  std::vector<const platform::ChildProcess*> children;
  std::vector<Converter*> owners;
  long long deadline = platform::MonotonicMilliseconds() + batch.timeout_ms;
  for (Converter& converter : batch.converters) {
    if (converter.queue.empty()) continue;
    children.push_back(&converter.child);
    owners.push_back(&converter);
    if (converter.deadline_ms < deadline) deadline = converter.deadline_ms;
  }
  if (children.empty()) return false;
  const long long left = deadline - platform::MonotonicMilliseconds();
  const int ready = platform::AwaitChildOutput(children, static_cast<int>(left > 0 ? left : 0));
  if (ready >= 0) {
    ReadAnswers(pool, owners[static_cast<size_t>(ready)]);
    return true;
  }
  const long long now = platform::MonotonicMilliseconds();
  for (Converter* converter : owners) {
    if (converter->deadline_ms <= now) LoseConverter(pool, converter);
  }
  return true;
}

}  // namespace

bool CanServeManyFiles(const ExternalConverter& converter) {
  return converter.is_own_reader && !converter.is_imagemagick;
}

std::shared_ptr<ConverterPool> StartConverterPool(const ExternalConverter& converter,
                                                  const std::vector<std::string>& inputs,
                                                  int processes, int timeout_seconds) {
  if (!CanServeManyFiles(converter) || processes < 1 || timeout_seconds < 1) return nullptr;
  std::shared_ptr<ConverterPool> pool(new ConverterPool, [](ConverterPool* ended) {
    StopConverterPool(ended);
    delete ended;
  });
  ConverterPool& batch = *pool;
  batch.folder = fs::MakeTempFolder("pic2jpg");
  if (batch.folder.empty()) return nullptr;
  batch.cleanup_slot = platform::RegisterPath(batch.folder, /*is_folder=*/true);
  if (fs::MakeFolder(batch.folder + "work")) batch.work_folder = batch.folder + "work/";
  batch.program = converter.program;
  batch.timeout_ms = timeout_seconds * 1000LL;
  batch.items.reserve(inputs.size());
  for (const std::string& input : inputs) {
    if (batch.index.count(input) != 0) continue;
    batch.index[input] = batch.items.size();
    // Numbered names: the inputs' own names may clash or hold anything.
    Item item;
    item.input = input;
    item.targa = batch.folder + std::to_string(batch.items.size()) + ".tga";
    batch.items.push_back(std::move(item));
  }
  batch.converters.resize(static_cast<size_t>(processes));
  batch.active = true;
  // One picture after another: their buffers are reused, not faulted in anew.
  platform::ReuseFreedMemory();
  return pool;
}

std::string PoolWorkFolder(const ConverterPool& pool) { return pool.work_folder; }

void StopConverterPool(ConverterPool* pool) {
  ConverterPool& batch = *pool;
  for (Converter& converter : batch.converters) {
    if (!converter.queue.empty()) {
      // Stopped in the middle of a file: no need to wait for it.
      LoseConverter(pool, &converter);
    } else {
      platform::EndChild(&converter.child, kEndGraceMs);
    }
  }
  if (!batch.folder.empty()) fs::RemoveTree(batch.folder);
  platform::UnregisterPath(batch.cleanup_slot);
  batch = ConverterPool{};
}

bool TakePooledConversion(ConverterPool* pool, const std::string& input_path,
                          const std::string& targa_path, int* status, std::string* error_text) {
  ConverterPool& batch = *pool;
  if (!batch.active) return false;
  auto found = batch.index.find(input_path);
  if (found == batch.index.end()) return false;
  Item& item = batch.items[found->second];
  if (item.state == State::kTaken) return false;
  batch.current = found->second;
  // Files passed over are not wanted any more: their Targa files go.
  for (; batch.discarded < batch.current; ++batch.discarded) {
    Item& old = batch.items[batch.discarded];
    if (old.state == State::kDone) fs::RemoveFile(old.targa);
    if (old.state != State::kRunning) old.state = State::kTaken;
  }
  while (item.state == State::kWaiting || item.state == State::kRunning) {
    if (!Dispatch(pool) && item.state == State::kWaiting) return false;
    if (!AwaitProgress(pool) && item.state == State::kWaiting) return false;
  }
  // The Targa moves into the caller's folder; should that fail, the caller
  // converts the file itself.
  if (item.status == 0 && !fs::RenameFile(item.targa, targa_path)) {
    fs::RemoveFile(item.targa);
    item.state = State::kTaken;
    return false;
  }
  item.state = State::kTaken;
  *status = item.status;
  if (error_text != nullptr) *error_text = item.message;
  // The converter that just finished takes the next file while this one is
  // transformed and saved.
  Dispatch(pool);
  return true;
}

}  // namespace pic2jpg
