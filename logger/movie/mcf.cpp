#include "logger/movie/mcf.h"

#include "common/recordfile.h"

#include <QFile>
#include <cmath>

namespace movie {

namespace record = common::record;

namespace {

void SetError(QString* error, const QString& text) {
  if (error) *error = text;
}

class Writer {
 public:
  template <typename T>
  void value(T v) {
    out += record::padded(record::littleEndian<T>(v));
  }
  void text(const QByteArray& t) {
    out += record::padded(record::littleEndian<qint16>(qint16(t.size())) + t);
  }
  QByteArray out;
};

class Reader {
 public:
  explicit Reader(const QByteArray& file) : file_(file) {}
  template <typename T>
  T value() {
    return record::readLittleEndian<T>(file_, record::offsetOf(++record_));
  }
  // False for a length no record can hold.
  bool text(QString& t) {
    const qint64 at = record::offsetOf(++record_);
    const qint16 n = record::readLittleEndian<qint16>(file_, at);
    if (n < 0 || n > kMaxFormatLength) return false;
    t = QString::fromLatin1(file_.constData() + at + 2, n);
    return true;
  }

 private:
  const QByteArray& file_;
  int record_ = 0;
};

}  // namespace

bool WriteMovieSetup(const QString& path, const MovieLayout& layout, QString* error) {
  Writer w;
  w.out.reserve(int(kMcfSize));
  for (int c = 1; c <= kChannels; ++c) {
    const ChannelSetup& s = layout.setup[std::size_t(c - 1)];
    const QString& format = s.ValueFormat;
    const QByteArray latin = format.toLatin1();
    if (format.size() > kMaxFormatLength || QString::fromLatin1(latin) != format) {
      SetError(error, QStringLiteral("The number format of CH%1 is longer than %2 characters or holds characters "
                                     "the file cannot store.")
                          .arg(c)
                          .arg(kMaxFormatLength));
      return false;
    }
    // The reader refuses an infinite scale: such a setup would be lost, not saved.
    if (!std::isfinite(s.ScaleMin) || !std::isfinite(s.ScaleMax)) {
      SetError(error, QStringLiteral("The scale of CH%1 is not a number.").arg(c));
      return false;
    }
    auto pos = [&](Kind kind) {
      const Element& e = layout.at({kind, c});
      w.value<qint32>(e.top);
      w.value<qint32>(e.left);
    };
    auto picture = [&](Kind kind) {
      const Element& e = layout.at({kind, c});
      w.value<qint32>(e.width);
      w.value<qint32>(e.height);
      pos(kind);
    };
    w.value<float>(s.ScaleMin);
    w.value<float>(s.ScaleMax);
    picture(Kind::Bar);
    picture(Kind::Mitta);
    pos(Kind::CHLabel);
    pos(Kind::ChUnit);
    pos(Kind::ChValue);
    w.text(latin);
    pos(Kind::HorBar);
    pos(Kind::Vaakamitta);
    pos(Kind::TimeLabel);
    pos(Kind::TimeUnit);
    pos(Kind::Time);
  }
  QFile f(path);
  if (!f.open(QIODevice::ReadWrite) || f.write(w.out) != w.out.size() || !f.flush()) {
    SetError(error, QStringLiteral("Cannot write '%1': %2").arg(path, f.errorString()));
    return false;
  }
  return true;
}

bool ReadMovieSetup(const QString& path, MovieLayout& layout, QString* error) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    SetError(error, QStringLiteral("Cannot open '%1': %2").arg(path, f.errorString()));
    return false;
  }
  const QByteArray file = f.read(kMcfSize);
  if (file.size() < kMcfSize) {
    SetError(error, QStringLiteral("'%1' is too short for a movie setup (%2 bytes).").arg(path).arg(file.size()));
    return false;
  }
  MovieLayout read = layout;
  Reader r(file);
  for (int c = 1; c <= kChannels; ++c) {
    ChannelSetup& s = read.setup[std::size_t(c - 1)];
    auto pos = [&](Kind kind) {
      Element& e = read.at({kind, c});
      e.top = r.value<qint32>();
      e.left = r.value<qint32>();
    };
    auto picture = [&](Kind kind) {
      r.value<qint32>();  // width and height: not applied
      r.value<qint32>();
      pos(kind);
    };
    s.ScaleMin = r.value<float>();
    s.ScaleMax = r.value<float>();
    if (!std::isfinite(s.ScaleMin) || !std::isfinite(s.ScaleMax)) {
      SetError(error, QStringLiteral("'%1': the scale of CH%2 is not a number.").arg(path).arg(c));
      return false;
    }
    picture(Kind::Bar);
    picture(Kind::Mitta);
    pos(Kind::CHLabel);
    pos(Kind::ChUnit);
    pos(Kind::ChValue);
    if (!r.text(s.ValueFormat)) {
      SetError(error, QStringLiteral("'%1': the number format of CH%2 has an impossible length.").arg(path).arg(c));
      return false;
    }
    pos(Kind::HorBar);
    pos(Kind::Vaakamitta);
    // The time labels are one set for the whole file: each block moves them again.
    pos(Kind::TimeLabel);
    pos(Kind::TimeUnit);
    pos(Kind::Time);
  }
  layout = read;
  return true;
}

}  // namespace movie
