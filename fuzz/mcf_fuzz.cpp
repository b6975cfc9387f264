// The .mcf reader, against what the record table alone foretells: a file is refused
// exactly when it is short, a scale is not a finite number or a format length lies
// outside 0..126, and then the layout is as it was; a file read moves every element to
// its records (sizes, visibility and pending scales stay; the time labels take the
// last block) and takes the scales and formats; written back it is 324 records that
// read the same.
#include "fuzz_support.h"
#include "logger/movie/mcf.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>

namespace {

using movie::Kind;
using movie::MovieLayout;

constexpr int kRecord = 128;
constexpr int kRecords = movie::kChannels * movie::kMcfRecordsPerChannel;

// Record n (1..27) of channel c's block.
qint64 At(int c, int n) { return (qint64(c - 1) * movie::kMcfRecordsPerChannel + n - 1) * kRecord; }
template <typename T>
T Value(const QByteArray& b, qint64 at) {
  return qFromLittleEndian<T>(b.constData() + at);
}

// The record of each element's top; its left follows.
constexpr std::pair<Kind, int> kTops[] = {{Kind::Bar, 5},         {Kind::Mitta, 9},      {Kind::CHLabel, 11},
                                          {Kind::ChUnit, 13},     {Kind::ChValue, 15},   {Kind::HorBar, 18},
                                          {Kind::Vaakamitta, 20}, {Kind::TimeLabel, 22}, {Kind::TimeUnit, 24},
                                          {Kind::Time, 26}};

// An input as long as a setup file is the file itself (filler, a tail, anything). A
// shorter one is packed: the records' values in file order (four bytes each; a format
// its length and, when that is possible, as many characters), zero filler, the file
// ending where the input does. Mutations then land on values rather than on the 97 %
// of a file that is filler.
QByteArray FileFrom(const QByteArray& input) {
  if (input.size() >= movie::kMcfSize) return input;
  QByteArray file;
  qsizetype p = 0;
  for (int r = 0; r < kRecords; ++r) {
    const bool format = r % movie::kMcfRecordsPerChannel == 16;
    qsizetype take = format ? 2 : 4;
    if (input.size() - p < take) break;
    if (format) {
      const qint16 n = Value<qint16>(input, p);
      if (n >= 0 && n <= movie::kMaxFormatLength) take = std::min<qsizetype>(2 + n, input.size() - p);
    }
    file += input.mid(p, take).leftJustified(kRecord, '\0');
    p += take;
  }
  return file + input.mid(p);
}

bool WouldRead(const QByteArray& file) {
  if (file.size() < movie::kMcfSize) return false;
  for (int c = 1; c <= movie::kChannels; ++c) {
    const qint16 n = Value<qint16>(file, At(c, 17));
    if (!std::isfinite(Value<float>(file, At(c, 1))) || !std::isfinite(Value<float>(file, At(c, 2))) || n < 0 ||
        n > movie::kMaxFormatLength)
      return false;
  }
  return true;
}

// What reading `file` over `layout` must give.
MovieLayout Expected(MovieLayout layout, const QByteArray& file) {
  for (int c = 1; c <= movie::kChannels; ++c) {
    movie::ChannelSetup& s = layout.setup[std::size_t(c - 1)];
    s.ScaleMin = Value<float>(file, At(c, 1));
    s.ScaleMax = Value<float>(file, At(c, 2));
    s.ValueFormat = QString::fromLatin1(file.mid(At(c, 17) + 2, Value<qint16>(file, At(c, 17))));
    for (auto [kind, top] : kTops) {
      const int block = movie::IsTimeLabel(kind) ? movie::kChannels : c;
      layout.at({kind, c}).top = Value<qint32>(file, At(block, top));
      layout.at({kind, c}).left = Value<qint32>(file, At(block, top + 1));
    }
  }
  return layout;
}

// A layout no file gives: every element moved, sized, every other one hidden.
MovieLayout Before() {
  MovieLayout l;
  qint32 n = 1;
  auto touch = [&n](movie::Element& e) {
    e = {-n, 3 * n, 7 * n, 11 * n, n % 2 == 0};
    ++n;
  };
  for (auto& ch : l.channel) std::for_each(ch.begin(), ch.end(), touch);
  std::for_each(l.time.begin(), l.time.end(), touch);
  for (int c = 0; c < movie::kChannels; ++c) l.setup[std::size_t(c)] = {-float(c), c + 0.5f, 3, 4, "kept"};
  return l;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray file = FileFrom(fuzz::Input(data, size));
  static const MovieLayout before = Before();
  MovieLayout read = before;
  QString error;
  const bool ok = movie::ReadMovieSetup(fuzz::ScratchFile(QStringLiteral("in.mcf"), file), read, &error);
  FUZZ_CHECK(ok == WouldRead(file));
  if (!ok) {
    FUZZ_CHECK(read == before && !error.isEmpty());
    return 0;
  }
  FUZZ_CHECK(read == Expected(before, file));

  const QString out = fuzz::ScratchPath(QStringLiteral("out.mcf"));
  QFile::remove(out);
  FUZZ_CHECK(movie::WriteMovieSetup(out, read, &error));
  FUZZ_CHECK(fuzz::FileBytes(out).size() == movie::kMcfSize);
  MovieLayout again = before;
  FUZZ_CHECK(movie::ReadMovieSetup(out, again, &error) && again == read);
  return 0;
}
