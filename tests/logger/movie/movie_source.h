#pragma once
// A small log for the movie suites: `count` samples, raw value of channel c at sample j
// = (j * c) % 4096 (channels 11 and 12 modulo 256), every channel reading its raw value.
#include "common/numtext.h"
#include "logger/movie/frame.h"

namespace movietest {

// A caption with the locale's decimal separator: captions follow the locale.
inline QString L(const char* text) {
  return QString::fromLatin1(text).replace(QLatin1Char('.'), common::LocaleDecimalSeparator());
}

struct Log {
  explicit Log(qint32 count, quint8 freqCode = 5) {
    store.reset(count);
    store.SampleCount = count;
    store.FreqCode = freqCode;
    for (qint32 j = 0; j < count; ++j)
      for (int c = 1; c <= 12; ++c) store.at(c - 1, j) = qint16((j * c) % (c > 10 ? 256 : 4096));
    for (int c = 1; c <= 12; ++c)
      config.channel[std::size_t(c - 1)] = {QStringLiteral("N%1").arg(c), 0, double(common::FullScale(c)),
                                            QStringLiteral("U%1").arg(c)};
    session.opened(QStringLiteral("movie.dlg"));
  }
  movie::MovieSource source() const { return movie::SourceOf(session); }

  session::LogSession session;
  logdata::SampleStore& store = session.store();
  common::ChannelConfiguration& config = session.config();
  trend::ViewState& view = session.view();
  derived::DerivedTable& derived = session.derivedTable();
};

}  // namespace movietest
