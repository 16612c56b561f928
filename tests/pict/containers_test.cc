// The containers of PICT resources: real files of each kind list pictures
// the reader takes, and built damaged ones give a reason for what they lose
// while listing everything else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pict/container_formats.h"
#include "pict/pict_containers.h"
#include "pict/pict_reader.h"
#include "tests/support/test_support.h"

namespace pic2jpg::pict {
namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes* b, uint32_t v) {
  b->push_back(static_cast<uint8_t>(v >> 8));
  b->push_back(static_cast<uint8_t>(v));
}
void Put32(Bytes* b, uint32_t v) {
  Put16(b, v >> 16);
  Put16(b, v & 0xFFFF);
}
// Not inlined: the compiler takes the damaging lambdas for writes past the end.
[[gnu::noinline]] void Set32(Bytes* b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

Bytes FileBytes(const std::string& name) {
  const std::string text = test::ReadText(test::DataFile(name));
  return Bytes(text.begin(), text.end());
}

// A small version 1 picture: size, frame, version opcode, end.
Bytes TinyPict(uint8_t mark) {
  return {0x00, 0x0E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x08, 0x11, 0x01, 0xA0, mark, 0xFF};
}

struct BuiltResource {
  int id;
  std::string name;  // Mac OS Roman
  Bytes data;
  uint8_t attributes = 0;
};

// A resource fork in the usual layout: one 'PICT' type (and an 'ICON' type
// before it, so the list is searched), references, names.
Bytes BuildFork(const std::vector<BuiltResource>& resources) {
  Bytes data;
  Bytes refs;
  Bytes names;
  for (const BuiltResource& r : resources) {
    Put16(&refs, static_cast<uint16_t>(r.id));
    Put16(&refs, r.name.empty() ? 0xFFFF : static_cast<uint32_t>(names.size()));
    refs.push_back(r.attributes);
    refs.push_back(static_cast<uint8_t>(data.size() >> 16));
    Put16(&refs, data.size() & 0xFFFF);
    Put32(&refs, 0);
    if (!r.name.empty()) {
      names.push_back(static_cast<uint8_t>(r.name.size()));
      names.insert(names.end(), r.name.begin(), r.name.end());
    }
    Put32(&data, static_cast<uint32_t>(r.data.size()));
    data.insert(data.end(), r.data.begin(), r.data.end());
  }
  Bytes map(16 + 4 + 2 + 2, 0);
  const size_t type_list = 28;
  const size_t ref_list = 2 + 2 * 8;  // from the type list
  Put16(&map, type_list);
  Put16(&map, static_cast<uint32_t>(type_list + ref_list + 12 + refs.size()));
  Put16(&map, 1);           // two types
  Put32(&map, 0x49434F4E);  // 'ICON', one resource
  Put16(&map, 0);
  Put16(&map, ref_list);
  Put32(&map, 0x50494354);  // 'PICT'
  Put16(&map, static_cast<uint32_t>(resources.size() - 1));
  Put16(&map, ref_list + 12);
  Bytes icon_ref(12, 0);
  icon_ref[4] = 0xFF;  // no name... data offset 0xFF0000: never read
  map.insert(map.end(), icon_ref.begin(), icon_ref.end());
  map.insert(map.end(), refs.begin(), refs.end());
  map.insert(map.end(), names.begin(), names.end());
  Bytes fork;
  Put32(&fork, 256);
  Put32(&fork, static_cast<uint32_t>(256 + data.size()));
  Put32(&fork, static_cast<uint32_t>(data.size()));
  Put32(&fork, static_cast<uint32_t>(map.size()));
  fork.resize(256, 0);
  fork.insert(fork.end(), data.begin(), data.end());
  std::copy(fork.begin(), fork.begin() + 16, map.begin());
  fork.insert(fork.end(), map.begin(), map.end());
  return fork;
}

ContainerListing List(const Bytes& b) { return ListPictResources(b.data(), b.size()); }

int Usable(const ContainerListing& l) {
  int n = 0;
  for (const PictResource& r : l.resources) n += r.skipped.empty() ? 1 : 0;
  return n;
}

TEST(ContainersTest, RealFilesOfEveryKindListPicturesTheReaderTakes) {
  struct Case {
    const char* file;
    ContainerKind kind;
    int picts;
    int readable;  // the others are real but empty pictures
  };
  const Case cases[] = {
      {"containers/dashboard__._Routing_File_Icons", ContainerKind::kAppleDouble, 7, 6},
      {"containers/mactip__Iomega_Tester.rsrc.bin", ContainerKind::kMacBinary, 1, 1},
      {"containers/nethack__NH.rsrc.hqx", ContainerKind::kBinHex, 2, 2},
      {"containers/playerpro__FadeNote.r", ContainerKind::kRez, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const Bytes bytes = FileBytes(c.file);
    const ContainerListing l = List(bytes);
    EXPECT_EQ(l.kind, c.kind);
    EXPECT_EQ(l.problem, "");
    ASSERT_EQ(Usable(l), c.picts);
    const uint8_t* base = ContainerBytes(l, bytes.data());
    int readable = 0;
    for (const PictResource& r : l.resources) {
      PictInfo info;
      readable += ReadPictInfo(base + r.offset, r.size, &info).ok() ? 1 : 0;
    }
    EXPECT_EQ(readable, c.readable);
  }
}

TEST(ContainersTest, APictureFileIsNoContainer) {
  EXPECT_EQ(List(FileBytes("sample.pict")).kind, ContainerKind::kNone);
  EXPECT_EQ(List(TinyPict(1)).kind, ContainerKind::kNone);
  EXPECT_EQ(List(Bytes{}).kind, ContainerKind::kNone);
}

TEST(ContainersTest, ForkListsIdsNamesAndSkipsWhatItCannotHandOver) {
  const Bytes compressed = {0xA8, 0x9F, 0x65, 0x72, 0, 0, 0, 0};
  const Bytes fork = BuildFork({{128, "Title \xA5 Screen", TinyPict(1)},
                                {-5, "", TinyPict(2)},
                                {130, "", TinyPict(3), 0x01},
                                {131, "", compressed}});
  const ContainerListing l = List(fork);
  EXPECT_EQ(l.kind, ContainerKind::kResourceFork);
  ASSERT_EQ(l.resources.size(), 4u);
  EXPECT_EQ(l.resources[0].id, 128);
  EXPECT_EQ(l.resources[0].name, "Title \xE2\x80\xA2 Screen");
  EXPECT_EQ(Bytes(fork.begin() + l.resources[1].offset,
                  fork.begin() + l.resources[1].offset + l.resources[1].size),
            TinyPict(2));
  EXPECT_EQ(l.resources[1].id, -5);
  EXPECT_EQ(l.resources[2].skipped, "compressed resource");
  EXPECT_EQ(l.resources[3].skipped, "compressed resource");
}

// Each damage keeps the first resource and says what it lost.
TEST(ContainersTest, DamagedForksGiveReasonsAndKeepTheRest) {
  const Bytes good = BuildFork({{128, "", TinyPict(1)}, {129, "Ab", TinyPict(2)}});
  const size_t map = 256 + 2 * (4 + TinyPict(1).size());
  const size_t pict_refs = map + 28 + 2 + 16 + 12;
  struct Case {
    const char* what;
    void (*damage)(Bytes*, size_t map, size_t refs);
    bool in_problem;  // the reason is the container's, not the resource's
  };
  const Case cases[] = {
      {"second resource's data outside the fork",
       [](Bytes* b, size_t, size_t refs) { (*b)[refs + 12 + 5] = 0x7F; }, false},
      {"name past the end of the map",
       [](Bytes* b, size_t, size_t refs) { (*b)[refs + 12 + 2] = 0x7F; }, false},
      {"data longer than the fork",
       [](Bytes* b, size_t, size_t) { Set32(b, 256 + 4 + 15, 0x7FFFFFFF); }, false},
      {"65,535 resources",
       [](Bytes* b, size_t m, size_t) {
         (*b)[m + 28 + 2 + 8 + 4] = 0xFF;
         (*b)[m + 28 + 2 + 8 + 5] = 0xFE;
       },
       true},
      {"the reference list twice",
       [](Bytes* b, size_t m, size_t) {
         // The 'ICON' entry becomes a second 'PICT' entry with the same list.
         Set32(b, m + 28 + 2, 0x50494354);
         (*b)[m + 28 + 2 + 5] = 1;
         (*b)[m + 28 + 2 + 7] = 2 + 16 + 12;
       },
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes bytes = good;
    c.damage(&bytes, map, pict_refs);
    const ContainerListing l = List(bytes);
    EXPECT_EQ(l.kind, ContainerKind::kResourceFork);
    ASSERT_GE(l.resources.size(), 1u);
    EXPECT_EQ(l.resources[0].skipped, "");
    EXPECT_EQ(l.resources[0].id, 128);
    if (c.in_problem) {
      EXPECT_NE(l.problem, "");
    } else {
      ASSERT_EQ(l.resources.size(), 2u);
      EXPECT_NE(l.resources[1].skipped, "");
    }
  }
}

TEST(ContainersTest, MapOutsideTheForkListsNothingAndSaysSo) {
  const Bytes good = BuildFork({{128, "", TinyPict(1)}});
  Bytes long_map = good;
  Set32(&long_map, 12, 0x10000);
  // A header declaring 2 GiB of data, the map after it.
  Bytes huge = good;
  Set32(&huge, 8, 0x80000000);
  Set32(&huge, 4, 0x80000000 + 256);
  for (const Bytes& fork : {long_map, huge}) {
    const ContainerListing l = List(fork);
    EXPECT_EQ(l.kind, ContainerKind::kResourceFork);
    EXPECT_TRUE(l.resources.empty());
    EXPECT_NE(l.problem.find("outside the fork"), std::string::npos);
  }
}

// AppleDouble with its entries in any order and either filler; AppleSingle
// with a data fork typed 'PICT'.
TEST(ContainersTest, AppleFilesFindTheForkInAnyEntryOrder) {
  const Bytes fork = BuildFork({{128, "A", TinyPict(1)}, {129, "", TinyPict(2)}});
  for (const char* filler : {"", "Mac OS X        "}) {
    Bytes b;
    Put32(&b, 0x00051607);
    Put32(&b, 0x00020000);
    Bytes fill(16, 0);
    std::copy(filler, filler + std::string(filler).size(), fill.begin());
    b.insert(b.end(), fill.begin(), fill.end());
    Put16(&b, 2);
    const uint32_t entries_end = 26 + 24;
    Put32(&b, 2), Put32(&b, entries_end + 32), Put32(&b, static_cast<uint32_t>(fork.size()));
    Put32(&b, 9), Put32(&b, entries_end), Put32(&b, 32);
    b.resize(entries_end + 32, 0);
    b.insert(b.end(), fork.begin(), fork.end());
    const ContainerListing l = List(b);
    EXPECT_EQ(l.kind, ContainerKind::kAppleDouble);
    EXPECT_EQ(Usable(l), 2);
    // A fork entry past the end of the file.
    Set32(&b, 26 + 8, 0x7FFFFFFF);
    EXPECT_NE(List(b).problem, "");
  }
  Bytes single;
  Put32(&single, 0x00051600);
  Put32(&single, 0x00020000);
  single.resize(24, 0);
  Put16(&single, 2);
  Put32(&single, 9), Put32(&single, 50), Put32(&single, 32);
  Put32(&single, 1), Put32(&single, 82), Put32(&single, 15);
  single.resize(50, 0);
  Put32(&single, 0x50494354);
  single.resize(82, 0);
  const Bytes pict = TinyPict(7);
  single.insert(single.end(), pict.begin(), pict.end());
  const ContainerListing l = List(single);
  EXPECT_EQ(l.kind, ContainerKind::kAppleSingle);
  ASSERT_EQ(l.resources.size(), 1u);
  EXPECT_EQ(l.resources[0].id, kDataForkId);
  EXPECT_EQ(Bytes(single.begin() + l.resources[0].offset, single.end()), pict);
}

Bytes MacBinary(const Bytes& fork, bool version_iii) {
  Bytes h(128, 0);
  h[1] = 4;
  std::copy_n("Game", 4, h.begin() + 2);
  Set32(&h, 65, 0x72737263);
  Set32(&h, 87, static_cast<uint32_t>(fork.size()));
  if (version_iii) Set32(&h, 102, 0x6D42494E);
  h[122] = 130;
  h[123] = 129;
  const uint16_t crc = Crc16(h.data(), 124);
  h[124] = static_cast<uint8_t>(crc >> 8);
  h[125] = static_cast<uint8_t>(crc);
  h.insert(h.end(), fork.begin(), fork.end());
  h.resize((h.size() + 127) / 128 * 128, 0);
  return h;
}

TEST(ContainersTest, MacBinaryChecksItsCrcAndLengths) {
  const Bytes fork = BuildFork({{128, "", TinyPict(1)}});
  EXPECT_EQ(Usable(List(MacBinary(fork, false))), 1);
  Bytes bad_crc = MacBinary(fork, true);
  bad_crc[10] ^= 1;
  EXPECT_NE(List(bad_crc).problem.find("CRC"), std::string::npos);
  EXPECT_EQ(Usable(List(bad_crc)), 0);
  // Impossible lengths under a sound CRC.
  Bytes huge(128, 0);
  huge[1] = 1;
  huge[2] = 'x';
  Set32(&huge, 87, 0x80000000);
  const uint16_t crc = Crc16(huge.data(), 124);
  huge[124] = static_cast<uint8_t>(crc >> 8);
  huge[125] = static_cast<uint8_t>(crc);
  const ContainerListing l = List(huge);
  EXPECT_EQ(l.kind, ContainerKind::kMacBinary);
  EXPECT_NE(l.problem, "");
}

// BinHex from our own encoder: the header, both forks with their CRCs, run
// length coding of repeats and of 0x90 itself.
std::string BinHex(const Bytes& fork) {
  Bytes plain = {4, 'G', 'a', 'm', 'e', 0};
  Put32(&plain, 0x72737263);
  Put32(&plain, 0x3F3F3F3F);
  Put16(&plain, 0);
  Put32(&plain, 0);
  Put32(&plain, static_cast<uint32_t>(fork.size()));
  auto put_crc = [&plain](size_t from) {
    const uint16_t crc = Crc16(plain.data() + from, plain.size() - from);
    Put16(&plain, crc);
  };
  put_crc(0);
  put_crc(plain.size());  // the empty data fork
  const size_t start = plain.size();
  plain.insert(plain.end(), fork.begin(), fork.end());
  put_crc(start);
  Bytes coded;
  for (size_t i = 0; i < plain.size();) {
    size_t run = 1;
    while (i + run < plain.size() && plain[i + run] == plain[i] && run < 255) ++run;
    coded.push_back(plain[i]);
    if (plain[i] == 0x90) coded.push_back(0);
    if (run > 2) {
      coded.push_back(0x90);
      coded.push_back(static_cast<uint8_t>(run));
      i += run;
    } else {
      ++i;
    }
  }
  const std::string alphabet = "!\"#$%&'()*+,-012345689@ABCDEFGHIJKLMNPQRSTUVXYZ[`abcdefhijklmpqr";
  std::string text = "(This file must be converted with BinHex 4.0)\r\n:";
  uint32_t bits = 0;
  int count = 0;
  for (uint8_t c : coded) {
    bits = (bits << 8) | c;
    count += 8;
    while (count >= 6) {
      count -= 6;
      text += alphabet[(bits >> count) & 0x3F];
      if (text.size() % 64 == 0) text += "\r\n";
    }
  }
  if (count > 0) text += alphabet[(bits << (6 - count)) & 0x3F];
  return text + ":\r\n";
}

TEST(ContainersTest, BinHexDecodesRunsAndChecksBothCrcs) {
  Bytes pict = TinyPict(0x90);
  pict.insert(pict.end(), 40, 0x90);  // a run of the run mark
  const Bytes fork = BuildFork({{128, "", pict}, {129, "", TinyPict(2)}});
  const std::string text = BinHex(fork);
  const Bytes bytes(text.begin(), text.end());
  const ContainerListing l = List(bytes);
  EXPECT_EQ(l.kind, ContainerKind::kBinHex);
  EXPECT_EQ(l.problem, "");
  ASSERT_EQ(Usable(l), 2);
  const uint8_t* base = ContainerBytes(l, bytes.data());
  EXPECT_EQ(Bytes(base + l.resources[0].offset, base + l.resources[0].offset + l.resources[0].size),
            pict);
  // A character changed inside the resource fork.
  Bytes damaged = bytes;
  damaged[damaged.size() - 40] = damaged[damaged.size() - 40] == 'a' ? 'b' : 'a';
  const ContainerListing d = List(damaged);
  EXPECT_EQ(d.kind, ContainerKind::kBinHex);
  EXPECT_NE(d.problem.find("CRC"), std::string::npos);
  EXPECT_EQ(Usable(d), 0);
}

TEST(ContainersTest, RezTextInBothFormsWithAnUnterminatedString) {
  const std::string text =
      "/* 'PICT' \xA5 \"quoted\" \\ */\r\n"
      "#include \"Types.r\"\r\n"
      "data 'PICT' (128, \"Title \\\"A\\\"\", purgeable) {\r\n"
      "  $\"000E 0000 0000 0008 0008\"  // a comment with ' and \"\r\n"
      "  $\"11 01 A0 01 FF\"\r\n"
      "};\n"
      "data 'STR ' (128) { $\"0141\" };\n"
      "data 'PICT' (129) {\n"
      "  $\"000E 0000\n"
      "};\n"
      "resource 'PICT' (-130) {\n"
      "  14,\n"
      "  {0, 0, 8, 8},\n"
      "  $\"1101 A002 FF\"\n"
      "};\n";
  const Bytes bytes(text.begin(), text.end());
  const ContainerListing l = List(bytes);
  EXPECT_EQ(l.kind, ContainerKind::kRez);
  ASSERT_EQ(l.resources.size(), 3u);
  const uint8_t* base = ContainerBytes(l, bytes.data());
  auto data_of = [base](const PictResource& r) {
    return Bytes(base + r.offset, base + r.offset + r.size);
  };
  EXPECT_EQ(l.resources[0].name, "Title \"A\"");
  EXPECT_EQ(data_of(l.resources[0]), TinyPict(1));
  EXPECT_EQ(l.resources[1].id, 129);
  EXPECT_NE(l.resources[1].skipped.find("unterminated"), std::string::npos);
  EXPECT_EQ(l.resources[2].id, -130);
  EXPECT_EQ(data_of(l.resources[2]), TinyPict(2));
}

}  // namespace
}  // namespace pic2jpg::pict
