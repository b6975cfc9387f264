#pragma once
// The system's own texts: every message, title, status word and file filter is
// written here once.
#include <QString>
#include <QStringList>

namespace common::msg {

// Titles
inline const QString kTitleError = QStringLiteral("Error");
inline const QString kTitleErrorBang = QStringLiteral("Error!");
inline const QString kTitleStatus = QStringLiteral("Status");
inline const QString kTitleConfig = QStringLiteral("Config");
inline const QString kTitleLogger = QStringLiteral("Logger");
inline const QString kTitleMeter = QStringLiteral("Meter");
inline const QString kTitleMemoryClearing = QStringLiteral("Memory clearing");
inline const QString kTitleCommPortError = QStringLiteral("Communication port error!");

// Window titles. The main window's is "Velkaro  -  " + part A + " - " + part B,
// upper-cased as a whole (two blanks around the first dash, one around the second).
inline QString MainTitle(const QString& partA, const QString& partB) {
  return (QStringLiteral("Velkaro  -  ") + partA + QStringLiteral(" - ") + partB).toUpper();
}
// The meter's title after the configuration editor's "Load".
inline QString MeterConfigTitle(const QString& configName) {
  return (QStringLiteral("METER  - ") + configName).toUpper();
}

// Captions that change at run time
inline const QString kMainCaption = QStringLiteral("VELKARO");  // no log shown
inline const QString kCaptionSamples = QStringLiteral("Samples");
inline const QString kCaptionSeconds = QStringLiteral("Seconds");

// Link and commands
inline const QString kCommError = QStringLiteral("Communication error. Check com port settings.");
inline const QString kCommPortError = QStringLiteral("Communication port error. Check port settings!");
inline const QString kPortNotAvailable = QStringLiteral("Port not available!");
inline const QString kParametersStored = QStringLiteral("Parameters stored.");
inline const QString kVerifyFailed = QStringLiteral("Verify Failed!");
inline const QString kCompensationStored = QStringLiteral("Compensation stored.");
inline const QString kCompensationVerifyFailed = QStringLiteral("Compensation verify failed!");
inline const QString kTimeout = QStringLiteral("Timeout!!");
inline const QString kClearMemoryQuestion = QStringLiteral("This action will clear the Logger memory!!");
inline const QString kParametersSent = QStringLiteral("Parameters sent.");
inline const QString kConnectionTimeout = QStringLiteral("Connection timeout");
inline const QString kDelayRange = QStringLiteral("Delay has to be between 1 and 255");
// Device commands and a second download while a download runs.
inline const QString kDownloadRunning = QStringLiteral("A download is running. Wait until it has ended.");
// A compensation box holds one byte as it goes to the logger.
inline QString CompensationRange(const QString& box) {
  return box + QStringLiteral(" has to be between 0 and 255");
}

// The download progress beside the status box.
inline QString DownloadProgress(qint64 bytes, qint64 samples) {
  return samples > 0 ? QStringLiteral("%1 bytes, %2 samples").arg(bytes).arg(samples)
                     : QStringLiteral("%1 bytes").arg(bytes);
}
inline QString TimeLeft(qint64 amount, bool minutes) {
  return QStringLiteral("about %1 %2 left").arg(amount).arg(minutes ? QStringLiteral("min") : QStringLiteral("s"));
}
// Every good download is kept here until the next one, whatever becomes of its save.
inline const QString kLastDownloadName = QStringLiteral("dlg/last-download.dlt");
// The stream's byte count includes the framing; what is kept is the image without it.
inline QString DownloadKept(const QString& name, qint64 bytes) {
  return QStringLiteral("%1 bytes kept in %2").arg(bytes).arg(name);
}

// Status box words
inline const QString kStatusLoading = QStringLiteral("Loading");
inline const QString kStatusDecoding = QStringLiteral("Decoding");
inline const QString kStatusUnpack = QStringLiteral("Unpack");  // followed by the count, no blank
inline const QString kStatusReady = QStringLiteral("Ready");
inline const QString kStatusNoData = QStringLiteral("No Data");
inline const QString kStatusFault = QStringLiteral("Fault!");

// Files
inline const QString kFilterDlg = QStringLiteral("dlg files (*.dlg)|*.dlg");
inline const QString kFilterDlt = QStringLiteral("dlt files (*.dlt)|*.dlt");
inline const QString kFilterCfg = QStringLiteral("cfg files (*.cfg)|*.cfg");
inline const QString kFilterFsh = QStringLiteral("fsh files (*.fsh)|*.fsh");
inline const QString kFileNotLoaded = QStringLiteral("File Not loaded!!");
inline const QString kNoData = QStringLiteral("No data!");
// A file the user named could not be written (the old file, if any, is untouched).
inline QString FileNotWritten(const QString& name) {
  return QStringLiteral("File '") + name + QStringLiteral("' could not be written.");
}
// Start-up found its settings file or default configuration missing or damaged;
// one message lists every problem and says that the built-in defaults are in use.
inline QString StartupFilesDefaulted(const QStringList& problems) {
  return problems.join(QStringLiteral("\n")) + QStringLiteral("\nBuilt-in defaults are used.");
}
inline QString SettingsNotWritten(const QString& reason) {
  return QStringLiteral("Settings not saved: ") + reason;
}
inline QString LoadedRawImageFailed(const QString& name, const QString& reason) {
  return QStringLiteral("Error loading dlt file '") + name + QStringLiteral("': ") + reason;
}
inline const QString kConfigurationNotStored = QStringLiteral("Configuration not stored");
inline QString CannotCreateFolder(const QString& dir) {
  return QStringLiteral("Cannot create the folder '") + dir + QStringLiteral("'.");
}

inline QString FileExistsQuestion(const QString& name) {
  return QStringLiteral("File name '") + name + QStringLiteral("' exist. Are you sure, you want to save?");
}
inline QString ConfigExistsQuestion(const QString& fullName) {
  return QStringLiteral("Config file '") + fullName + QStringLiteral("' exist. Are you sure, you want to save?");
}
inline QString ErrorOpeningDlg(const QString& name) {
  return QStringLiteral("Error opening dlg file '") + name + QStringLiteral("'");
}
// Loading a log whose own configuration is missing (logger).
inline QString ConfigNotFound(qint32 number) {
  return QStringLiteral("Config file '") + QString::number(number) + QStringLiteral(".cfg") +
         QStringLiteral("' not found, config.cfg used instead");
}
// First live frame from a logger whose configuration is missing (meter). The blank
// after ".cfg" is part of the text.
inline QString MeterConfigMissing(qint32 number) {
  return QStringLiteral("Config file '") + QString::number(number) + QStringLiteral(".cfg ") +
         QStringLiteral("' does not exist. Using config.cfg instead.");
}
// A configuration file that exists but cannot be applied; the one in use is kept.
inline QString ConfigNotRead(const QString& path, const QString& reason) {
  return QStringLiteral("Config file '") + path + QStringLiteral("' could not be read (") + reason +
         QStringLiteral("). The configuration in use is kept.");
}
inline QString NonNumericWinHeight(int channel) {
  return QStringLiteral("Non numeric input for WinHeight CH") + QString::number(channel) + QStringLiteral(" !");
}
inline QString NonNumericMin(int channel) {
  return QStringLiteral("Non numeric input for CH ") + QString::number(channel) + QStringLiteral(" MIN value!");
}
inline QString NonNumericMax(int channel) {
  return QStringLiteral("Non numeric input for CH ") + QString::number(channel) + QStringLiteral(" MAX value!");
}

// Log files and memory images: why a read, write or decode failed (logtool prints
// these; the logger shows its own one-line messages above).
inline QString LogCannotOpen(const QString& path, const QString& reason) {
  return QStringLiteral("Cannot open '%1': %2").arg(path, reason);
}
inline QString LogCannotWrite(const QString& path, const QString& reason) {
  return QStringLiteral("Cannot write '%1': %2").arg(path, reason);
}
// A write that stopped short without a reason of its own: what a full disk does.
inline const QString kWriteStoppedShort = QStringLiteral("not every byte could be written (is the disk full?)");
inline QString DlgTooShort(const QString& path, qint64 size) {
  return QStringLiteral("'%1' is too short for a dlg header (%2 bytes).").arg(path).arg(size);
}
inline QString DlgNegativeCount(const QString& path, qint32 count) {
  return QStringLiteral("'%1' gives a negative sample count (%2).").arg(path).arg(count);
}
// A rate code of 0 stands for no sample rate at all: only a damaged file or image brings it.
inline QString DlgNoRate(const QString& path) {
  return QStringLiteral("'%1' gives a sample rate code of 0: the log is damaged.").arg(path);
}
inline const QString kImageNoRate = QStringLiteral("The memory image gives a sample rate code of 0: it is damaged.");
inline QString DlgCountBeyondFile(const QString& path, qint32 count, qint64 held) {
  return QStringLiteral("'%1' gives %2 samples but holds only %3.").arg(path).arg(count).arg(held);
}
inline QString DltShorterThanAsked(const QString& path, qint64 size, qint64 lastIndex) {
  return QStringLiteral("'%1' holds %2 bytes, too few for last index %3.").arg(path).arg(size).arg(lastIndex);
}
inline QString DltTooLarge(const QString& path, qint64 size) {
  return QStringLiteral("'%1' is larger than a memory image (%2 bytes).").arg(path).arg(size);
}
inline QString DltBadLastIndex(qint64 lastIndex) {
  return QStringLiteral("Last index %1 is outside a memory image.").arg(lastIndex);
}
// The byte-count box held a number no index can be; shown as typed.
inline QString DltBadLastIndexText(const QString& typed) {
  return QStringLiteral("Last index %1 is outside a memory image.").arg(typed.trimmed());
}
inline const QString kImageTooShort = QStringLiteral("The memory image is too short for its header and one record.");
inline const QString kImageNoChannels = QStringLiteral("The memory image names no channel.");
inline QString LogRangeOutside(qint32 first, qint32 count, qint32 columns) {
  return QStringLiteral("Samples %1 to %2 are outside the log's %3 columns.")
      .arg(first)
      .arg(qint64(first) + count - 1)
      .arg(columns);
}

// CSV export, crop and delete
inline const QString kTitleDelete = QStringLiteral("Delete");
inline const QString kFilterCsv = QStringLiteral("csv files (*.csv)|*.csv");
inline const QString kNonNumericStart = QStringLiteral("Non numeric input for Start!");
inline const QString kNonNumericStop = QStringLiteral("Non numeric input for Stop!");
inline const QString kDeleteQuestion = QStringLiteral("Do You really want to delete the current file?");
inline const QString kCropStartAfterEnd =
    QStringLiteral("Start sample is after End sample: a cropped log needs at least one sample.");
inline const QString kExportStartAfterEnd = QStringLiteral("Start sample is after End sample: there is nothing to export.");
inline const QString kStatsStartAfterEnd = QStringLiteral("Start sample is after End sample: there is nothing to measure.");
// Cropping onto the open log's own file would replace the flight on disk by a part of it.
inline QString CropOntoOpenLog(const QString& path) {
  return QStringLiteral("'%1' is the open log: a crop cannot replace it. Choose another name.").arg(path);
}
inline QString FileNotDeleted(const QString& name, const QString& reason) {
  return QStringLiteral("File '") + name + QStringLiteral("' could not be deleted: ") + reason;
}

// Speed and altitude: the box, its message, the compensation dialog
inline const QString kSpeedAlt = QStringLiteral("Speed / Alt");  // the box's caption and the message title
inline const QString kSetZeroLevels = QStringLiteral("Set zero levels!");
// A zero lock takes the values of the last left click on the trend; before one there is nothing to lock.
inline const QString kTitleZeroLock = QStringLiteral("Zero lock");
inline const QString kClickZeroSampleFirst = QStringLiteral("Click the trend at the zero sample first.");
inline const QString kSpeedCompTitle = QStringLiteral("Speed Pressure Compensation");
inline const QString kFromSampleCaption = QStringLiteral("Speed Compensation Pressure from current sample.");
inline const QString kFromBiasCaption = QStringLiteral("Speed Compensation Pressure from Bias sample.");
inline const QString kFromUserCaption = QStringLiteral("Speed Compensation Pressure from user.");
inline const QString kPressureUnit = QStringLiteral("mBar");
// logtool derive and stats: a sample the log does not hold.
inline QString SampleOutsideLog(qint64 sample, qint32 count) {
  if (count <= 0) return QStringLiteral("Sample %1 is outside the log, which holds no samples.").arg(sample);
  return QStringLiteral("Sample %1 is outside the log (0 to %2).").arg(sample).arg(count - 1);
}

}  // namespace common::msg
