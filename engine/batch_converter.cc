#include "engine/batch_converter.h"

#include <ctime>
#include <unordered_map>

#include "platform/child_process.h"
#include "platform/file_system.h"

namespace pic2jpg {
namespace {

// Time a converter is given to end after its input is closed.
constexpr int kEndGraceMs = 2000;

enum class State { kWaiting, kRunning, kDone, kFailed, kTaken };

struct Item {
  std::string input;
  std::string targa;  // where the converter writes it
  State state = State::kWaiting;
};

struct Converter {
  platform::ChildProcess child;
  int item = -1;  // the file it is converting, -1 when idle
  long long deadline_ms = 0;
  std::string output;  // answers not yet read in full
};

struct BatchConverter {
  bool active = false;
  std::string program;
  std::string folder;  // private temporary folder of the Targa files
  long long timeout_ms = 0;
  std::vector<Item> items;
  std::unordered_map<std::string, size_t> index;
  std::vector<Converter> converters;
  size_t next = 0;       // first item not yet handed out
  size_t current = 0;    // the item asked for last
  size_t discarded = 0;  // items before this one are no longer wanted
};

BatchConverter g_batch;

long long NowMs() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000LL + now.tv_nsec / 1000000;
}

void Finish(Item* item, bool ok) {
  ok = ok && fs::FileSize(item->targa) > 0;
  if (!ok) fs::RemoveFile(item->targa);
  item->state = ok ? State::kDone : State::kFailed;
}

// The converter ended or was stopped: its file has failed.
void LoseConverter(Converter* converter) {
  platform::KillChild(&converter->child);
  if (converter->item >= 0) Finish(&g_batch.items[static_cast<size_t>(converter->item)], false);
  converter->item = -1;
  converter->output.clear();
}

// Hands the next files to idle converters, keeping at most one file per
// converter beyond the current one. False when a converter was needed and
// none could be started.
bool Dispatch() {
  BatchConverter& batch = g_batch;
  const size_t window = batch.current + batch.converters.size();
  for (Converter& converter : batch.converters) {
    if (converter.item >= 0) continue;
    while (batch.next < batch.items.size() && batch.items[batch.next].state != State::kWaiting) {
      ++batch.next;
    }
    if (batch.next >= batch.items.size() || batch.next > window) return true;
    if (!platform::ChildRunning(converter.child) &&
        !platform::StartChild(batch.program, {"--serve"}, &converter.child)) {
      return false;
    }
    Item& item = batch.items[batch.next];
    std::string request = item.input;
    request.push_back('\0');
    request += item.targa;
    request.push_back('\0');
    if (!platform::WriteToChild(&converter.child, request)) {
      // It had ended between two files: the next round starts a new one.
      LoseConverter(&converter);
      continue;
    }
    item.state = State::kRunning;
    converter.item = static_cast<int>(batch.next);
    converter.deadline_ms = NowMs() + batch.timeout_ms;
    ++batch.next;
  }
  return true;
}

// Reads a converter's answers: one line, its exit status, per file.
void ReadAnswers(Converter* converter) {
  const bool open = platform::ReadFromChild(&converter->child, &converter->output);
  size_t end = 0;
  while ((end = converter->output.find('\n')) != std::string::npos) {
    const bool ok = converter->output.compare(0, end, "0") == 0;
    converter->output.erase(0, end + 1);
    if (converter->item < 0) continue;  // an answer nobody asked for
    Finish(&g_batch.items[static_cast<size_t>(converter->item)], ok);
    converter->item = -1;
  }
  if (!open) LoseConverter(converter);
}

// Waits for the next answer, end or timeout of a busy converter. False when
// none is busy.
bool AwaitProgress() {
  BatchConverter& batch = g_batch;
  std::vector<const platform::ChildProcess*> children;
  std::vector<Converter*> owners;
  long long deadline = NowMs() + batch.timeout_ms;
  for (Converter& converter : batch.converters) {
    if (converter.item < 0) continue;
    children.push_back(&converter.child);
    owners.push_back(&converter);
    if (converter.deadline_ms < deadline) deadline = converter.deadline_ms;
  }
  if (children.empty()) return false;
  const long long left = deadline - NowMs();
  const int ready = platform::AwaitChildOutput(children, static_cast<int>(left > 0 ? left : 0));
  if (ready >= 0) {
    ReadAnswers(owners[static_cast<size_t>(ready)]);
    return true;
  }
  const long long now = NowMs();
  for (Converter* converter : owners) {
    if (converter->deadline_ms <= now) LoseConverter(converter);
  }
  return true;
}

}  // namespace

bool CanServeManyFiles(const ExternalConverter& converter) {
  return !converter.is_imagemagick && fs::NameOf(converter.program) == "pict2tga";
}

bool StartBatchConverter(const ExternalConverter& converter, const std::vector<std::string>& inputs,
                         int processes, int timeout_seconds) {
  StopBatchConverter();
  if (!CanServeManyFiles(converter) || processes < 1 || timeout_seconds < 1) return false;
  BatchConverter& batch = g_batch;
  batch.folder = fs::MakeTempFolder("pic2jpg-batch");
  if (batch.folder.empty()) return false;
  batch.program = converter.program;
  batch.timeout_ms = timeout_seconds * 1000LL;
  batch.items.reserve(inputs.size());
  for (const std::string& input : inputs) {
    if (batch.index.count(input) != 0) continue;
    batch.index[input] = batch.items.size();
    // Numbered names: the inputs' own names may clash or hold anything.
    batch.items.push_back({input, batch.folder + std::to_string(batch.items.size()) + ".tga"});
  }
  batch.converters.resize(static_cast<size_t>(processes));
  batch.active = true;
  return true;
}

void StopBatchConverter() {
  BatchConverter& batch = g_batch;
  for (Converter& converter : batch.converters) {
    if (converter.item >= 0) {
      // Stopped in the middle of a file: no need to wait for it.
      LoseConverter(&converter);
    } else {
      platform::EndChild(&converter.child, kEndGraceMs);
    }
  }
  if (!batch.folder.empty()) fs::RemoveTree(batch.folder);
  batch = BatchConverter{};
}

BatchResult TakeBatchConversion(const std::string& input_path, const std::string& targa_path) {
  BatchConverter& batch = g_batch;
  if (!batch.active) return BatchResult::kNotInBatch;
  auto found = batch.index.find(input_path);
  if (found == batch.index.end()) return BatchResult::kNotInBatch;
  Item& item = batch.items[found->second];
  if (item.state == State::kTaken) return BatchResult::kNotInBatch;
  batch.current = found->second;
  // Files passed over are not wanted any more: their Targa files go.
  for (; batch.discarded < batch.current; ++batch.discarded) {
    Item& old = batch.items[batch.discarded];
    if (old.state == State::kDone) fs::RemoveFile(old.targa);
    if (old.state != State::kRunning) old.state = State::kTaken;
  }
  while (item.state == State::kWaiting || item.state == State::kRunning) {
    if (!Dispatch() && item.state == State::kWaiting) return BatchResult::kNotInBatch;
    if (!AwaitProgress() && item.state == State::kWaiting) return BatchResult::kNotInBatch;
  }
  const bool ok = item.state == State::kDone && fs::RenameFile(item.targa, targa_path);
  if (!ok) fs::RemoveFile(item.targa);
  item.state = State::kTaken;
  // The converter that just finished takes the next file while this one is
  // transformed and saved.
  Dispatch();
  return ok ? BatchResult::kConverted : BatchResult::kFailed;
}

}  // namespace pic2jpg
