// Seeds for fuzz_mcf, written by the movie window's own writer: the opening layout, a
// flight layout with bars, scales and labels on the canvas, and the extremes a user
// can type (the longest and the empty format, negative scales, a file with a tail);
// each also as its values in a row.
#include "logger/movie/mcf.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <cstdio>

namespace {

// The target also takes a file shorter than a setup as its records' values in a row
// (each record's first four bytes; a format's length and characters): the same
// layout in that form lets the mutations start on values.
QByteArray Packed(const QByteArray& file) {
  QByteArray values;
  for (qint64 at = 0; at + 128 <= file.size(); at += 128) {
    const bool format = at / 128 % movie::kMcfRecordsPerChannel == 16;
    values += file.mid(at, format ? 2 + qFromLittleEndian<qint16>(file.constData() + at) : 4);
  }
  return values;
}

bool Write(const QString& path, const movie::MovieLayout& layout) {
  QString error;
  QFile f(path);
  if (movie::WriteMovieSetup(path, layout, &error) && f.open(QIODevice::ReadOnly)) {
    QFile packed(path + QStringLiteral(".values"));
    return packed.open(QIODevice::WriteOnly | QIODevice::Truncate) && packed.write(Packed(f.read(movie::kMcfSize))) > 0;
  }
  std::fprintf(stderr, "%s\n", qPrintable(error));
  return false;
}

void Place(movie::MovieLayout& l, movie::Kind kind, int c, int leftPx, int topPx) {
  movie::Element& e = l.at({kind, c});
  e.left = movie::Twips(leftPx);
  e.top = movie::Twips(topPx);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mcf_seeds DIR\n");
    return 2;
  }
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  using movie::Kind;

  movie::MovieLayout flight;
  const int shown[] = {1, 5, 6};
  for (int i = 0; i < 3; ++i) {
    const int c = shown[i];
    Place(flight, Kind::Bar, c, 40 + 120 * i, 60);
    Place(flight, Kind::Mitta, c, 60 + 120 * i, 60);
    Place(flight, Kind::CHLabel, c, 40 + 120 * i, 340);
    Place(flight, Kind::ChUnit, c, 40 + 120 * i, 370);
    Place(flight, Kind::ChValue, c, 40 + 120 * i, 400);
  }
  Place(flight, Kind::HorBar, 11, 300, 470);
  Place(flight, Kind::Vaakamitta, 11, 300, 482);
  Place(flight, Kind::TimeLabel, 0, 560, 20);
  Place(flight, Kind::Time, 0, 600, 20);
  Place(flight, Kind::TimeUnit, 0, 680, 20);
  flight.setup[0] = {0, 4095, 0, 4095, QStringLiteral("####")};
  flight.setup[4] = {900, 1100, 900, 1100, QStringLiteral("0.0")};
  flight.setup[5] = {-50.5f, 300, -50.5f, 300, QStringLiteral("##0.00")};
  flight.setup[10] = {0, 255, 0, 255, QStringLiteral("#")};

  movie::MovieLayout extremes = flight;
  extremes.setup[2].ValueFormat = QString(movie::kMaxFormatLength, QLatin1Char('#'));
  extremes.setup[3].ValueFormat.clear();
  extremes.setup[7] = {-1e30f, 1e30f, 0, 1, QStringLiteral("0.000000")};
  extremes.at({Kind::Bar, 12}).height = movie::Twips(540);
  Place(extremes, Kind::Vaakamitta, 12, -10, 539);
  // Written over a longer file: the reader never looks past the last record.
  const QString tail = dir.filePath(QStringLiteral("tail.mcf"));
  QFile f(tail);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(QByteArray(movie::kMcfSize + 300, 'x')) < 0)
    return 1;
  f.close();

  const bool ok = Write(dir.filePath(QStringLiteral("default.mcf")), movie::MovieLayout()) &&
                  Write(dir.filePath(QStringLiteral("flight.mcf")), flight) && Write(tail, extremes);
  return ok ? 0 : 1;
}
