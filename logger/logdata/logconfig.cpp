#include "logger/logdata/logconfig.h"

#include "common/messages.h"

#include <QDir>

namespace logdata {

namespace {
const QString kDefaultConfigName = QStringLiteral("config.cfg");
}

LogConfigChoice FindLogConfig(const QString& cfgDir, qint32 configNumber) {
  const QString own = common::FindConfigFile(cfgDir, common::ConfigFileFor(configNumber));
  if (!own.isEmpty()) return {own, true, {}};
  // Without any config.cfg the plain name stands, so that the read says which file is missing.
  QString fallback = common::FindConfigFile(cfgDir, kDefaultConfigName);
  if (fallback.isEmpty()) fallback = QDir(cfgDir).filePath(kDefaultConfigName);
  return {fallback, false, common::msg::ConfigNotFound(configNumber)};
}

bool ApplyLogConfig(const QString& cfgDir, qint32 configNumber, common::ChannelConfiguration& config,
                    QString* warning, QString* error) {
  const LogConfigChoice choice = FindLogConfig(cfgDir, configNumber);
  if (warning) *warning = choice.warning;
  common::ChannelConfiguration read;
  if (!common::ReadConfigFile(choice.path, read, error)) return false;
  read.ConfigNumber = configNumber;
  config = read;
  return true;
}

}  // namespace logdata
