// Tables of texts and what a function makes of each: number and colour
// readers, name cleaning, line splitting.
#ifndef PIC2JPG_TESTS_SUPPORT_TEXT_CASES_H_
#define PIC2JPG_TESTS_SUPPORT_TEXT_CASES_H_

#include <gtest/gtest.h>

#include <cstddef>

namespace pic2jpg::test {

template <typename T>
struct TextCase {
  const char* text;
  T expected;
};

// Checks that `read` makes each case's text into its expected value; a
// failure names the text.
template <typename T, typename Read, size_t N>
void ExpectEachText(Read read, const TextCase<T> (&cases)[N]) {
  for (const TextCase<T>& c : cases) EXPECT_EQ(read(c.text), c.expected) << '"' << c.text << '"';
}

}  // namespace pic2jpg::test

#endif  // PIC2JPG_TESTS_SUPPORT_TEXT_CASES_H_
