// The .mcf reader. The outcome is foretold from the record table alone: a file is
// refused exactly when it is short, a scale is not a finite number or a format length
// lies outside 0..126, and then the layout is as it was. A file read gives every
// record's value to its element (sizes and visibility stay, the time labels take the
// last block), and written back gives 324 records of those values on zero filler that
// read the same again.
#include "fuzz_support.h"
#include "logger/movie/mcf.h"

#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

using movie::Element;
using movie::Kind;
using movie::MovieLayout;

constexpr int kRecord = 128;
constexpr int kBlock = movie::kMcfRecordsPerChannel * kRecord;

// Record `n` (1..27) of channel c's block.
qint64 At(int c, int n) { return qint64(c - 1) * kBlock + qint64(n - 1) * kRecord; }
qint32 I32(const QByteArray& b, qint64 at) { return qFromLittleEndian<qint32>(b.constData() + at); }
float F32(const QByteArray& b, qint64 at) { return qFromLittleEndian<float>(b.constData() + at); }
qint16 I16(const QByteArray& b, qint64 at) { return qFromLittleEndian<qint16>(b.constData() + at); }

// Records of top and left per element kind; sizes only for the two tall pictures.
struct Place {
  Kind kind;
  int top;
};
constexpr Place kPlaces[] = {{Kind::Bar, 5},         {Kind::Mitta, 9},       {Kind::CHLabel, 11},
                             {Kind::ChUnit, 13},     {Kind::ChValue, 15},    {Kind::HorBar, 18},
                             {Kind::Vaakamitta, 20}, {Kind::TimeLabel, 22},  {Kind::TimeUnit, 24},
                             {Kind::Time, 26}};

// An input as long as a setup file is the file as it is (filler, a tail, anything).
// A shorter one is packed: the records' values in file order (four bytes each; for a
// format its length and, when that is possible, as many characters), zero filler, the
// file ending where the input does. Mutations then land on values, not on the 97 % of
// a file that is filler.
QByteArray FileFrom(const QByteArray& input) {
  if (input.size() >= movie::kMcfSize) return input;
  QByteArray file;
  qsizetype p = 0;
  for (int r = 0; r < movie::kChannels * movie::kMcfRecordsPerChannel; ++r) {
    const bool format = r % movie::kMcfRecordsPerChannel == 16;
    qsizetype take = format ? 2 : 4;
    if (input.size() - p < take) break;
    if (format) {
      const qint16 n = I16(input, p);
      if (n >= 0 && n <= movie::kMaxFormatLength) take = std::min<qsizetype>(2 + n, input.size() - p);
    }
    QByteArray record = input.mid(p, take);
    record.resize(kRecord, '\0');
    file += record;
    p += take;
  }
  return file + input.mid(p);
}

bool WouldRead(const QByteArray& file) {
  if (file.size() < movie::kMcfSize) return false;
  for (int c = 1; c <= movie::kChannels; ++c) {
    if (!std::isfinite(F32(file, At(c, 1))) || !std::isfinite(F32(file, At(c, 2)))) return false;
    const qint16 n = I16(file, At(c, 17));
    if (n < 0 || n > movie::kMaxFormatLength) return false;
  }
  return true;
}

bool Same(float a, float b) { return std::bit_cast<quint32>(a) == std::bit_cast<quint32>(b); }
bool Same(const Element& a, const Element& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height && a.visible == b.visible;
}
bool Same(const MovieLayout& a, const MovieLayout& b) {
  for (int c = 0; c < movie::kChannels; ++c) {
    const movie::ChannelSetup& s = a.setup[std::size_t(c)];
    const movie::ChannelSetup& t = b.setup[std::size_t(c)];
    if (!Same(s.ScaleMin, t.ScaleMin) || !Same(s.ScaleMax, t.ScaleMax) || !Same(s.PendingMin, t.PendingMin) ||
        !Same(s.PendingMax, t.PendingMax) || s.ValueFormat != t.ValueFormat)
      return false;
    for (int k = 0; k < movie::kChannelKinds; ++k)
      if (!Same(a.channel[std::size_t(c)][std::size_t(k)], b.channel[std::size_t(c)][std::size_t(k)])) return false;
  }
  for (int k = 0; k < 3; ++k)
    if (!Same(a.time[std::size_t(k)], b.time[std::size_t(k)])) return false;
  return true;
}

// A layout no default file would give: every element moved, sized, half hidden.
MovieLayout Before() {
  MovieLayout l;
  qint32 n = 1;
  auto touch = [&n](Element& e) {
    e.left = -n;
    e.top = 3 * n;
    e.width = 7 * n;
    e.height = 11 * n;
    e.visible = (n++ % 2) == 0;
  };
  for (auto& ch : l.channel)
    for (Element& e : ch) touch(e);
  for (Element& e : l.time) touch(e);
  for (int c = 0; c < movie::kChannels; ++c) l.setup[std::size_t(c)] = {-float(c), float(c) + 0.5f, 3, 4, "kept"};
  return l;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray input = FileFrom(fuzz::Input(data, size));
  const QString in = fuzz::ScratchFile(QStringLiteral("in.mcf"), input);
  static const MovieLayout before = Before();
  MovieLayout read = before;
  QString error;
  const bool ok = movie::ReadMovieSetup(in, read, &error);
  FUZZ_CHECK(ok == WouldRead(input));
  if (!ok) {
    FUZZ_CHECK(Same(read, before));
    FUZZ_CHECK(!error.isEmpty());
    return 0;
  }

  for (int c = 1; c <= movie::kChannels; ++c) {
    const movie::ChannelSetup& s = read.setup[std::size_t(c - 1)];
    const movie::ChannelSetup& was = before.setup[std::size_t(c - 1)];
    FUZZ_CHECK(Same(s.ScaleMin, F32(input, At(c, 1))) && Same(s.ScaleMax, F32(input, At(c, 2))));
    FUZZ_CHECK(Same(s.PendingMin, was.PendingMin) && Same(s.PendingMax, was.PendingMax));
    FUZZ_CHECK(s.ValueFormat.toLatin1() == input.mid(At(c, 17) + 2, I16(input, At(c, 17))));
    for (const Place& p : kPlaces) {
      // The time labels repeat in every block; the last one wins.
      const int from = movie::IsTimeLabel(p.kind) ? movie::kChannels : c;
      const Element& e = read.at({p.kind, c});
      const Element& old = before.at({p.kind, c});
      FUZZ_CHECK(e.top == I32(input, At(from, p.top)) && e.left == I32(input, At(from, p.top + 1)));
      FUZZ_CHECK(e.width == old.width && e.height == old.height && e.visible == old.visible);
    }
  }

  const QString out = fuzz::ScratchPath(QStringLiteral("out.mcf"));
  QFile::remove(out);
  FUZZ_CHECK(movie::WriteMovieSetup(out, read, &error));
  const QByteArray written = fuzz::FileBytes(out);
  FUZZ_CHECK(written.size() == movie::kMcfSize);
  for (int c = 1; c <= movie::kChannels; ++c) {
    // Records holding a value as the input had it: everything but the sizes (3, 4, 7,
    // 8: the layout's own) and the earlier blocks' time labels (the last block's).
    for (int n = 1; n <= movie::kMcfRecordsPerChannel; ++n) {
      const qint64 at = At(c, n);
      const int width = n == 17 ? 2 + I16(written, at) : 4;
      FUZZ_CHECK(std::all_of(written.cbegin() + at + width, written.cbegin() + at + kRecord, [](char b) { return b == 0; }));
      if (n == 3 || n == 4 || n == 7 || n == 8) continue;
      const qint64 from = n >= 22 ? At(movie::kChannels, n) : at;
      FUZZ_CHECK(std::memcmp(written.constData() + at, input.constData() + from, std::size_t(width)) == 0);
    }
    const Element& bar = read.at({Kind::Bar, c});
    const Element& mitta = read.at({Kind::Mitta, c});
    FUZZ_CHECK(I32(written, At(c, 3)) == bar.width && I32(written, At(c, 4)) == bar.height);
    FUZZ_CHECK(I32(written, At(c, 7)) == mitta.width && I32(written, At(c, 8)) == mitta.height);
  }
  MovieLayout again = before;
  FUZZ_CHECK(movie::ReadMovieSetup(out, again, &error));
  FUZZ_CHECK(Same(again, read));
  return 0;
}
