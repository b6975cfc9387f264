#pragma once
// The Start and End boxes of the export and crop windows, and the same rules for
// logtool's --from and --to: each change is checked, refused text is replaced, values
// outside the log are clamped, and the number a box stands for is read from it.
#include <QString>

namespace logdata {
class SampleStore;
}

namespace logexport {

// The box text after a change: `text` is what the box must show (the typed text when
// it passed unchanged), `refused` that the typed text was not a number.
struct BoxCheck {
  QString text;
  bool refused = false;
};

// Start: not a number -> refused, "0"; below 0 -> "0"; above `limit` -> the limit.
BoxCheck CheckStartText(const QString& text, qint32 limit);
// End: not a number -> refused, "1"; above `limit` -> the limit; then below 1 -> "1".
BoxCheck CheckEndText(const QString& text, qint32 limit);

// The sample a box stands for: its leading number (0 when none leads) rounded to a
// whole number, halves to even.
qint32 BoxValue(const QString& text);

// The highest sample number either box accepts: LoadedSampleCount, the count of the
// last .dlg loaded. A download or raw image that was not saved replaces the samples
// without changing that count, so it is held to the store's spare last column as well:
// a stale, larger count must never send a writer past the samples.
qint32 RangeLimit(const logdata::SampleStore& store);

}  // namespace logexport
