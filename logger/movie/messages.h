#pragma once
// The movie window's own texts, each written once.
#include <QString>
#include <limits>

namespace movie::msg {

inline const QString kTitleMovie = QStringLiteral("Movie");
inline const QString kCaptionDatamovie = QStringLiteral("Datamovie");
inline const QString kNoDataToShow = QStringLiteral("No data to show!");
inline const QString kMinimumResolution =
    QStringLiteral("800x600 minimum resolution for Movie. Small fonts recommended.");

// Dialog2
inline const QString kStartFrom = QStringLiteral("Start from sample");
inline const QString kStopAt = QStringLiteral("Stop at sample");
inline const QString kFramerate = QStringLiteral("Framerate");
inline const QString kOk = QStringLiteral("OK");
inline const QString kNonNumericStart = QStringLiteral("Non numeric input for Start!");
inline const QString kNonNumericStop = QStringLiteral("Non numeric input for Stop!");
// A range the log cannot fill is refused before any sample is read.
inline QString RangeOutsideLog(qint32 sampleCount) {
  return QStringLiteral("Start and stop must lie between 0 and %1 (the samples of the log), "
                        "and start must not be after stop.")
      .arg(sampleCount);
}
// Dialog2 judges each box before the pair.
inline QString StartOutsideLog(qint32 sampleCount) {
  return QStringLiteral("Start must lie between 0 and %1, the samples of the log.").arg(sampleCount);
}
inline QString StopOutsideLog(qint32 sampleCount) {
  return QStringLiteral("Stop must lie between 0 and %1, the samples of the log.").arg(sampleCount);
}
inline const QString kEmptyRange =
    QStringLiteral("Stop must come after start: the movie shows the samples from start to stop - 1.");
// A run and the logger's link keep out of each other's way.
inline const QString kDownloadRunning = QStringLiteral("A download is running. Make the movie when it has ended.");
inline const QString kMovieRunning =
    QStringLiteral("A movie is being made. Send commands to the logger when it has ended or was cancelled.");

// Movie window controls
inline const QString kMax = QStringLiteral("MAX");
inline const QString kMin = QStringLiteral("MIN");
inline const QString kForm = QStringLiteral("Form");
inline const QString kMakeMovie = QStringLiteral("Make Movie");
inline const QString kSaveSetup = QStringLiteral("Save Setup");
inline const QString kLoadSetup = QStringLiteral("Load Setup");
inline const QString kCancel = QStringLiteral("Cancel");
inline const QString kNonNumericMax = QStringLiteral("Non numeric input for MAX !");
inline const QString kNonNumericMin = QStringLiteral("Non numeric input for MIN !");
inline const QString kDefaultFormat = QStringLiteral("##.##");
// A scale value is kept (and saved) as a 32-bit float: a larger number would become
// infinite, and no setup holding it could be read again.
inline QString BoundTooLarge(const QString& box) {
  return QStringLiteral("The number for %1 is too large: a scale value must lie between -%2 and %2.")
      .arg(box, QString::number(double(std::numeric_limits<float>::max()), 'g', 3));
}

// Canvas labels
inline const QString kDesignName = QStringLiteral("CHL");
inline const QString kDesignUnit = QStringLiteral("CHu");
inline const QString kDesignValue = QStringLiteral("0");
inline const QString kTimeLabel = QStringLiteral("Time");
inline const QString kDesignTime = QStringLiteral("0.00");
inline const QString kTimeUnit = QStringLiteral("Sec");

// Setup files and movies
inline const QString kFilterMcf = QStringLiteral("mcf files (*.mcf)|*.mcf");
inline const QString kFilterAvi = QStringLiteral("avi files (*.avi)|*.avi");
inline const QString kFilterMov = QStringLiteral("mov files (*.mov)|*.mov");
inline const QString kFilterMp4 = QStringLiteral("mp4 files (*.mp4)|*.mp4");
inline const QString kFilterVideo =
    QStringLiteral("video files (*.mp4;*.mov;*.mkv;*.avi)|*.mp4;*.mov;*.mkv;*.avi");
inline QString ErrorOpeningMcf(const QString& name) {
  return QStringLiteral("Error opening mcf file '") + name + QStringLiteral("'");
}
inline const QString kWriteError = QStringLiteral("There was an error writing the file.");
// Two blanks after the dash; the first frame is number 0.
inline QString FrameSaved(const QString& name, qint32 n, qint32 count) {
  return QStringLiteral("Movie -  ") + name + QStringLiteral(" - Frame number ") + QString::number(n) +
         QStringLiteral(" of ") + QString::number(count) + QStringLiteral(" saved");
}
// No blank before "Finished!".
inline QString Finished(const QString& name) { return QStringLiteral("Movie -  ") + name + QStringLiteral("Finished!"); }

// The compression dialog
inline const QString kCompressionTitle = QStringLiteral("Video Compression");
inline const QString kCodecRaw = QStringLiteral("Full Frames (Uncompressed)");
inline const QString kCodecMjpeg = QStringLiteral("Motion JPEG");
inline const QString kCodecFfv1 = QStringLiteral("FFV1 (lossless)");
inline const QString kCodecMpeg4 = QStringLiteral("MPEG-4 Part 2");
inline const QString kCodecProres = QStringLiteral("ProRes 4444 with transparency (.mov)");

// Gauges over a video
inline const QString kOverVideo = QStringLiteral("Over a video…");
inline const QString kOverlayTitle = QStringLiteral("Over a video");
inline const QString kOverlayAt = QStringLiteral("Start in the video (s)");
inline const QString kOverlayX = QStringLiteral("Left (px)");
inline const QString kOverlayY = QStringLiteral("Top (px)");
inline const QString kOverlayScale = QStringLiteral("Scale");
inline QString NonNumericOverlay(const QString& box) { return QStringLiteral("Non numeric input for %1!").arg(box); }
inline QString ScaleOutside(double max) { return QStringLiteral("The scale must lie above 0 and up to %1.").arg(max); }

}  // namespace movie::msg
