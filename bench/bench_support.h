// What the image-step benchmarks share: a large synthetic picture and the
// memory measure of one run of steps over it. Pictures are FreeImage
// bitmaps; a step that is handed one owns it from then on. Nothing here
// throws: a picture that cannot be had is null, a failed step is ok = false.
//
// Counters: peak_MiB is the resident high-water mark of the process during
// the steps, input_MiB the size of the given picture, and full_images the
// growth of the resident set over the steps (plus the given picture) in
// units of the given picture's size.
#ifndef PIC2JPG_BENCH_BENCH_SUPPORT_H_
#define PIC2JPG_BENCH_BENCH_SUPPORT_H_

#include <FreeImage.h>
#include <benchmark/benchmark.h>

namespace pic2jpg::bench {

// A 24-bit picture with red rising left to right, green top to bottom and a
// pattern of both in blue; null without memory.
FIBITMAP* MakeGradientPicture(int width, int height);

struct Measure {
  double peak_mib = 0;
  double input_mib = 0;
  double full_images = 0;
};

// Runs `work` on `image` (which it takes over) and measures the memory;
// *ok is what `work` returned.
Measure MeasureRun(FIBITMAP* image, bool (*work)(FIBITMAP*), bool* ok);

// The benchmark's iterations: each makes a picture with `make_picture`
// outside the timing and times `work` on it; the counters are those of the
// iteration with the highest peak. A picture that cannot be made or a step
// that fails (`failure` is then the message) ends the benchmark.
template <typename MakePicture>
void TimeSteps(benchmark::State& state, MakePicture make_picture, bool (*work)(FIBITMAP*),
               const char* failure) {
  Measure worst;
  for (auto _ : state) {
    state.PauseTiming();
    FIBITMAP* image = make_picture();
    if (image == nullptr) {
      state.SkipWithError("no memory for the picture");
      break;
    }
    state.ResumeTiming();
    bool ok = false;
    Measure m = MeasureRun(image, work, &ok);
    if (!ok) {
      state.SkipWithError(failure);
      break;
    }
    if (m.peak_mib > worst.peak_mib) worst = m;
  }
  state.counters["peak_MiB"] = worst.peak_mib;
  state.counters["input_MiB"] = worst.input_mib;
  state.counters["full_images"] = worst.full_images;
}

}  // namespace pic2jpg::bench

#endif  // PIC2JPG_BENCH_BENCH_SUPPORT_H_
