// Time and memory of a command and every process it starts, for the
// benchmarks that run the built programs against other tools.
#ifndef PIC2JPG_BENCH_PROCESS_FIGURES_H_
#define PIC2JPG_BENCH_PROCESS_FIGURES_H_

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace pic2jpg::bench {

struct RunFigures {
  bool ok = false;
  double seconds = 0;      // wall time
  double cpu_seconds = 0;  // user + system time of the process and the children it waited for
  std::map<std::string, long> peak_kb;  // by program name, the largest of its runs
  long total_kb = 0;                    // sum over the processes
};

// One run of `program` with `args` and its own XDG_RUNTIME_DIR, its output
// discarded: timed only, or with the memory of it and its children sampled.
// Peak memory is each process's high-water mark (VmHWM), sampled from /proc
// every millisecond while it runs and taken from wait4() for the process
// started; the total adds the peaks, an upper bound of what they hold at
// once. Sampling takes a good part of a core, so times come from runs that
// are only waited for.
RunFigures Measure(const std::string& program, const std::vector<std::string>& args,
                   const std::string& runtime_dir, bool sample_memory);

double Median(std::vector<double> values);

// Median wall or CPU time of `runs`.
double MedianSeconds(const std::vector<RunFigures>& runs);
double MedianCpuSeconds(const std::vector<RunFigures>& runs);

// How many entries a folder holds (0 when it cannot be read): the files a
// run wrote.
size_t CountFiles(const std::string& folder);

// The machine's load (the load averages of /proc/loadavg and the cores), to
// print beside every figure.
std::string MachineLoad();

// Prints the median time of the timed runs and the largest peaks of the
// sampled ones, under the title `what`.
void Report(const char* what, const std::vector<RunFigures>& timed,
            const std::vector<RunFigures>& sampled);

}  // namespace pic2jpg::bench

#endif  // PIC2JPG_BENCH_PROCESS_FIGURES_H_
